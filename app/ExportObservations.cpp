#include "app/ExportObservations.h"

#include "mapview/Meteodata.h"
#include "platform/CText.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "store/ObservationStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QTimeZone>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace {

QDateTime UtcDateTime(std::int64_t t) {
    return QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc());
}

// Why a file cannot be written at `path`, in the system's words.
std::string WhyNotWritable(const QString& path) {
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return platform::ToCp1252(probe.errorString());
    probe.cancelWriting();
    return "the file could not be written in full (is the disk full?)";
}

void TellCannotWrite(const QString& path, const std::string& cause) {
    platform::MessageBox(platform::Format("The observations could not be written to \"%s\": %s.",
                                          platform::ToCp1252(path).c_str(), cause.c_str()),
                         platform::MessageIcon::Exclamation);
}

} // namespace

ExportObservationsDialog::ExportObservationsDialog(QWidget* parent,
                                                   const std::vector<std::string>& stations,
                                                   const std::string& station, std::int64_t from,
                                                   std::int64_t to)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export Observations"));
    m_station = new QComboBox(this);
    m_station->setObjectName(QStringLiteral("station"));
    if (station.empty()) {
        m_station->setEditable(true);
        for (const std::string& icao : stations)
            m_station->addItem(platform::FromCp1252(icao));
    } else {
        m_station->addItem(platform::FromCp1252(station));
        m_station->setEnabled(false);
    }
    const auto dateEdit = [this](std::int64_t t, const char* name) {
        auto* edit = new QDateTimeEdit(UtcDateTime(t), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setTimeSpec(Qt::UTC);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
        edit->setCalendarPopup(true);
        return edit;
    };
    m_from = dateEdit(from, "from");
    m_to = dateEdit(to, "to");
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("format"));
    m_format->addItem(QStringLiteral("CSV (comma-separated, UTF-8)"));
    m_format->addItem(QStringLiteral("Meteodata (tab-separated text)"));
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setMinimumWidth(360);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    auto* file = new QHBoxLayout;
    file->addWidget(m_path);
    file->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Station:"), m_station);
    form->addRow(QStringLiteral("&From:"), m_from);
    form->addRow(QStringLiteral("&To:"), m_to);
    form->addRow(QStringLiteral("F&ormat:"), m_format);
    auto* fileLabel = new QLabel(QStringLiteral("F&ile:"), this);
    fileLabel->setBuddy(m_path);
    form->addRow(fileLabel, file);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Export"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    SuggestPath();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(m_path, &QLineEdit::textEdited, this, [this] { m_pathEdited = true; });
    for (QComboBox* box : {m_station, m_format})
        connect(box, &QComboBox::currentTextChanged, this, [this] { SuggestPath(); });
    for (QDateTimeEdit* edit : {m_from, m_to})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this] { SuggestPath(); });
}

std::string ExportObservationsDialog::Station() const {
    return platform::ToCp1252(m_station->currentText().trimmed().toUpper());
}

std::int64_t ExportObservationsDialog::From() const {
    return m_from->dateTime().toSecsSinceEpoch();
}

std::int64_t ExportObservationsDialog::To() const {
    return m_to->dateTime().toSecsSinceEpoch();
}

ExportObservationsDialog::Format ExportObservationsDialog::ChosenFormat() const {
    return m_format->currentIndex() == 1 ? Format::Meteodata : Format::Csv;
}

QString ExportObservationsDialog::Path() const {
    return m_path->text().trimmed();
}

void ExportObservationsDialog::SuggestPath() {
    const QString suffix =
        ChosenFormat() == Format::Meteodata ? QStringLiteral(".txt") : QStringLiteral(".csv");
    if (m_pathEdited) {
        // A name the user gave keeps its folder and stem; only its type follows the format.
        const QFileInfo info(Path());
        if (!Path().isEmpty())
            m_path->setText(QDir(info.path()).filePath(info.completeBaseName() + suffix));
        return;
    }
    const QString folder = Path().isEmpty() ? QDir::currentPath() : QFileInfo(Path()).path();
    const QString name = QStringLiteral("%1_%2_%3%4")
                             .arg(m_station->currentText().trimmed().toUpper(),
                                  m_from->dateTime().toString(QStringLiteral("yyyy-MM-dd")),
                                  m_to->dateTime().toString(QStringLiteral("yyyy-MM-dd")), suffix);
    m_path->setText(QDir(folder).filePath(name));
}

void ExportObservationsDialog::Browse() {
    QFileDialog dialog(this, QStringLiteral("Export Observations"), Path());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(ChosenFormat() == Format::Meteodata ? QStringLiteral("Text (*.txt)")
                                                             : QStringLiteral("CSV (*.csv)"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_path->setText(dialog.selectedFiles().front());
        m_pathEdited = true;
    }
}

void ExportObservationsDialog::accept() {
    std::string problem;
    if (Station().empty())
        problem = "Please name the station whose observations are to be exported.";
    else if (From() > To())
        problem = "The period ends before it begins.";
    else if (Path().isEmpty())
        problem = "Please name the file to write.";
    if (!problem.empty()) {
        platform::MessageBox(problem, platform::MessageIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

int ExportObservations(ObservationStore& store, const std::string& icao, std::int64_t from,
                       std::int64_t to, ExportObservationsDialog::Format format,
                       const QString& path, QWidget* parent) {
    const std::filesystem::path target(path.toStdString());
    if (format == ExportObservationsDialog::Format::Meteodata) {
        ObservationSeries rows;
        {
            platform::WaitCursor wait;
            rows = store.ReadPeriod(icao, from, to);
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            TellCannotWrite(path, platform::ToCp1252(file.errorString()));
            return -1;
        }
        const std::string text = MeteodataText(rows);
        if (file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size()) ||
            !file.commit()) {
            TellCannotWrite(path, platform::ToCp1252(file.errorString()));
            return -1;
        }
        return rows.GetSize();
    }

    // The bar shows only when the export takes more than half a second.
    QProgressDialog progress(
        QStringLiteral("Exporting the observations of %1...").arg(platform::FromCp1252(icao)),
        QStringLiteral("Cancel"), 0, 1, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    int written = 0;
    const ExportResult result = store.ExportCsv(icao, from, to, target, [&](int done, int total) {
        progress.setMaximum(std::max(total, 1));
        progress.setValue(done);
        written = done;
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    switch (result) {
    case ExportResult::Written:
        return written;
    case ExportResult::Cancelled:
        return -1;
    case ExportResult::Unavailable:
        platform::MessageBox(
            platform::Format("The observations of %s could not be read from the store, so "
                             "nothing was written to \"%s\".",
                             icao.c_str(), platform::ToCp1252(path).c_str()),
            platform::MessageIcon::Exclamation);
        return -1;
    case ExportResult::CannotWrite:
        TellCannotWrite(path, WhyNotWritable(path));
        return -1;
    }
    return -1;
}
