#include "mapview/MeteogramPane.h"

#include "catalogue/StationCatalogue.h"
#include "mapview/Meteodata.h"
#include "mapview/MeteogramOutput.h"
#include "observations/ReportProtocol.h"
#include "platform/Abandon.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"
#include "store/ObservationMerge.h"
#include "store/ObservationStore.h"
#include "views/WindowHost.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

MeteogramPane::MeteogramPane(WindowHost& host, QWidget& window) : ViewPane(host, window) {
    // Ticks must not come early: an early tick fetches the report already shown.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &window,
                     [this] { platform::AbandonOnError([this] { RefreshTick(); }); });
}

MeteogramPane::~MeteogramPane() = default;

bool MeteogramPane::Create() {
    ClearStation(m_station);
    ResetObservation(m_latest);
    m_pGraph = std::make_unique<CGraph>();
    TakeStation(m_station, m_host.CurrentStation());
    // A new row is seen at the window's next paint, which draws the whole meteogram.
    m_meteogram = std::make_unique<Meteogram>(
        m_pGraph, m_station, m_series, m_host.CurrentStation(), [this] { m_window.update(); });
    // A station with kept observations opens with them at once and asks the server after its
    // first paint; one without opens only with what the server gives.
    if (m_host.Catalogue().OpeningFromStore() && OpenFromStore()) {
        m_fillIn = true;
        QTimer::singleShot(0, &m_window, [this] {
            platform::AbandonOnError([this] { FillIn(StationCatalogue::Retrieval::Opening); });
        });
    } else if (!RetrieveObservations()) {
        return false;
    }
    m_timer.start(std::max(m_station.iPeriodMinutes, 1) * 60000);
    return true;
}

bool MeteogramPane::OpenFromStore() {
    ObservationStore* store = m_host.Store();
    if (!store)
        return false;
    const std::optional<ObservationRecord> newest = store->Newest(m_station.strICAO);
    if (!newest)
        return false;
    // The period the window shows, ending with the newest report kept: with the server down
    // for days, the last days it answered.
    const std::int64_t to = ObservedInstant(*newest);
    const int hours = std::max(m_host.CurrentStation().iShowPastHours, 1);
    ObservationSeries stored = store->ReadPeriod(m_station.strICAO, to - hours * 3600LL, to);
    if (stored.GetSize() == 0)
        return false;
    m_series = std::move(stored);
    TakeTimeAxis();
    ShowSeries();
    return true;
}

void MeteogramPane::TakeTimeAxis() {
    // Without two reports at different times of day the interval of the last time stays, or
    // the default one: kept reports open without questions.
    const std::int32_t period = m_station.iPeriodMinutes;
    const std::int32_t delta = m_station.iUtcDeltaHours;
    if (m_series.GetSize() < 2 || m_meteogram->ComputeTimeAxis() == 0) {
        m_station.iPeriodMinutes = period > 0 ? period : 30;
        m_station.iUtcDeltaHours = period > 0 ? delta : 0;
    }
}

void MeteogramPane::ShowSeries() {
    m_meteogram->SetUpMeteogram();
    const bool metric = m_host.CurrentStation().bMetricStyle;
    for (int i = m_series.GetSize() - 1; i >= 0; --i) {
        ObservationRecord copy;
        ResetObservation(copy);
        copy = m_series.At(i);
        if (!metric)
            ToImperial(copy);
        m_meteogram->AddObservation(copy);
    }
    if (m_series.GetSize() > 0)
        m_latest = m_series.At(0);
    m_window.update();
}

void MeteogramPane::FillIn(StationCatalogue::Retrieval retrieval) {
    if (!m_meteogram)
        return;
    // A window opened while the server is known to be down does not wait for it again: its
    // ticks ask.
    if (retrieval == StationCatalogue::Retrieval::Opening &&
        m_host.Catalogue().ServerDownSince() != 0) {
        m_meteogram->SetFootNote(OfflineNote());
        m_window.update();
        return;
    }
    platform::WaitCursor wait;
    const int hours = m_host.CurrentStation().iShowPastHours;
    ObservationSeries page;
    const bool fetched = m_host.Catalogue().FetchObservations(
        &m_station, &page, protocol::HoursText(hours), std::max(hours, 2), retrieval);
    if (fetched && page.GetSize() > 0) {
        // The page's rows replace the kept ones of their times; kept rows it lacks stay.
        m_series = MergeObservations(m_series, page);
        const std::int32_t period = m_station.iPeriodMinutes;
        TakeTimeAxis();
        ShowSeries();
        m_fillIn = false;
        if (m_station.iPeriodMinutes != period && m_timer.isActive())
            m_timer.start(std::max(m_station.iPeriodMinutes, 1) * 60000);
        m_meteogram->SetFootNote({});
        m_window.update();
        return;
    }
    if (StationCatalogue::RetrievalBusy())
        return;
    m_meteogram->SetFootNote(OfflineNote());
    m_window.update();
}

std::string MeteogramPane::OfflineNote() const {
    if (m_series.GetSize() == 0)
        return {};
    const std::int64_t newest = ObservedInstant(m_series.At(0));
    const auto tm = platform::UtcBreakdown(newest);
    const StationCatalogue& catalogue = m_host.Catalogue();
    const std::string what =
        catalogue.ServerDownSince() != 0
            ? platform::Format("The report server %s %s.", catalogue.ServerUrl().c_str(),
                               catalogue.LastFailure().c_str())
            : std::string("The report server has no reports of the station now.");
    return platform::Format("Offline: newest report %02d:%02d UTC, %s ago. %s",
                            tm ? tm->tm_hour : 0, tm ? tm->tm_min : 0,
                            AgeText(platform::CurrentTime() - newest).c_str(), what.c_str());
}

void MeteogramPane::Draw(platform::DrawingSurface& dc) {
    if (m_meteogram)
        m_meteogram->Draw(dc);
}

std::string MeteogramPane::WhatIsWrongWithTheNewestTimes() {
    const std::int64_t newest = ObservedInstant(m_series.At(0));
    const std::int64_t next = ObservedInstant(m_series.At(1));
    const auto date = [](std::int64_t t) {
        const auto tm = platform::UtcBreakdown(t);
        return tm ? platform::Format("%04d-%02d-%02d %02d:%02d UTC", tm->tm_year + 1900,
                                     tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min)
                  : std::string("?");
    };
    // No report is older than the reports of today's stations, nor a day ahead of the clock.
    constexpr std::int64_t kFirstReports = 631152000; // 1990-01-01
    for (const std::int64_t t : {newest, next})
        if (t < kFirstReports || t > platform::CurrentTime() + 86400)
            return "are dated " + date(newest) + " and " + date(next) + ", and no report can be " +
                   (t < kFirstReports ? "that old" : "dated in the future");
    if (m_meteogram->ComputeTimeAxis() != 0)
        return {};
    if (newest == next)
        return "have the same time";
    return platform::Format("are dated %s and %s, whole days apart", date(newest).c_str(),
                            date(next).c_str());
}

bool MeteogramPane::RetrieveObservations() {
    platform::WaitCursor wait;
    m_series.RemoveAll();
    const int hours = m_host.CurrentStation().iShowPastHours;
    m_strText = protocol::HoursText(hours);
    if (!m_host.Catalogue().FetchObservations(&m_station, &m_series, m_strText, std::max(hours, 2)))
        return false;
    wait.Restore();
    const int n = m_series.GetSize();
    if (n == 0)
        return false;
    if (n == 1) {
        m_station.iPeriodMinutes = 30;
        m_station.iUtcDeltaHours = 0;
        platform::MessageBox(
            platform::Format("Get only one record from the station \"%s\".\nTherefore compelled to "
                             "set the time-period to 30 mins and the time-delta UTC to 0 hours, "
                             "sorry.",
                             m_station.strStation.c_str()),
            platform::MessageIcon::Exclamation);
    } else if (const std::string wrong = WhatIsWrongWithTheNewestTimes(); !wrong.empty()) {
        // Said rather than failing silently: the page has reports, only no interval.
        platform::MessageBox(
            platform::Format("The two newest reports of the station \"%s\" %s, so no reporting "
                             "interval can be derived; the station's window is not opened.",
                             m_station.strStation.c_str(), wrong.c_str()),
            platform::MessageIcon::Exclamation);
        return false;
    }
    ShowSeries();
    return true;
}

void MeteogramPane::RefreshTick() {
    if (!m_meteogram)
        return;
    if (m_fillIn) {
        // Opened with kept reports only: the whole period once the server answers.
        FillIn(StationCatalogue::Retrieval::Refresh);
    } else {
        platform::WaitCursor wait;
        // A tick reads into a series of its own: a failure leaves the window's observations
        // whole, and the window's series keeps every observation it has shown.
        ObservationSeries latest;
        const bool fetched = m_host.Catalogue().FetchObservations(
            &m_station, &latest, protocol::HoursText(0), 1, StationCatalogue::Retrieval::Refresh);
        NoteRefresh(fetched);
        if (fetched && latest.GetSize() > 0) {
            const ObservationRecord& newest = latest.At(0);
            // The observation already shown comes back until the station reports again; an
            // older one (a server that lost its newest) is not shown as if it were new.
            if (m_series.GetSize() == 0 ||
                ObservedInstant(newest) > ObservedInstant(m_series.At(0))) {
                m_series.InsertAt(0, newest);
                m_latest = newest;
                ObservationRecord copy = newest;
                if (!m_host.CurrentStation().bMetricStyle)
                    ToImperial(copy);
                m_meteogram->AddObservation(copy);
            }
        }
    }
    // The application's wait cursor goes down once more (never below none).
    platform::Services().EndWaitCursor();
}

void MeteogramPane::NoteRefresh(bool fetched) {
    std::string note;
    if (!fetched && !StationCatalogue::RetrievalBusy()) {
        const auto now = platform::LocalBreakdown(platform::CurrentTime());
        const std::int64_t down = m_host.Catalogue().ServerDownSince();
        note = down != 0 ? platform::Format("Not refreshed at %02d:%02d: the report server %s.",
                                            now ? now->tm_hour : 0, now ? now->tm_min : 0,
                                            m_host.Catalogue().LastFailure().c_str())
                         : platform::Format("Not refreshed at %02d:%02d: no report came.",
                                            now ? now->tm_hour : 0, now ? now->tm_min : 0);
    }
    // A refresh that failed says so at the window's foot until one succeeds.
    if (m_meteogram && note != m_meteogram->FootNote()) {
        m_meteogram->SetFootNote(note);
        m_window.update();
    }
}

void MeteogramPane::Destroy() {
    m_timer.stop();
    m_strText = StationCatalogue::RecentEntry(m_station);
    m_host.AddToRecentFileList(m_strText);
    if (m_host.CurrentStation().bWriteFile)
        WriteMeteodata(m_station.strStation, m_series, platform::CurrentTime());
    RemoveFromOpened();
    m_meteogram.reset();
    m_pGraph.reset();
}

void MeteogramPane::RemoveFromOpened() {
    StationTable& opened = m_host.StationsOpened();
    for (int i = 0; i < opened.GetSize(); ++i)
        if (opened.At(i).strICAO == m_station.strICAO) {
            opened.RemoveAt(i);
            return;
        }
}

void MeteogramPane::MouseMove(QPoint at) {
    if (!m_meteogram)
        return;
    const std::optional<int> row = m_meteogram->RowAt(at.x(), at.y());
    if (row != m_meteogram->Readout()) {
        m_meteogram->SetReadout(row);
        m_window.update();
    }
}

void MeteogramPane::MouseLeave() {
    if (m_meteogram && m_meteogram->Readout()) {
        m_meteogram->SetReadout(std::nullopt);
        m_window.update();
    }
}

bool MeteogramPane::KeyPress(int key) {
    if (!m_meteogram)
        return false;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        m_meteogram->MoveReadout(key == Qt::Key_Left ? -1 : 1);
        break;
    case Qt::Key_Escape:
        if (!m_meteogram->Readout())
            return false;
        m_meteogram->SetReadout(std::nullopt);
        break;
    default:
        return false;
    }
    m_window.update();
    return true;
}

platform::CommandUi MeteogramPane::RefreshState() const {
    return {m_meteogram && !StationCatalogue::RetrievalBusy()};
}

void MeteogramPane::Refresh() {
    if (!RefreshState().enabled)
        return;
    RefreshTick();
    // The next tick comes a whole period after this retrieval, not after the last tick.
    if (m_timer.isActive())
        m_timer.start();
}

std::string MeteogramPane::AgeText(std::int64_t seconds) {
    const std::int64_t minutes = std::max<std::int64_t>(seconds, 0) / 60;
    if (minutes < 60)
        return platform::Format("%d min", static_cast<int>(minutes));
    if (minutes < 10 * 60 && minutes % 60 != 0)
        return platform::Format("%d h %d min", static_cast<int>(minutes / 60),
                                static_cast<int>(minutes % 60));
    if (minutes < 48 * 60)
        return platform::Format("%d h", static_cast<int>(minutes / 60));
    return platform::Format("%d days", static_cast<int>(minutes / (24 * 60)));
}

std::string MeteogramPane::StatusText() const {
    if (!m_meteogram || m_series.GetSize() == 0)
        return {};
    const auto clock = [](std::int64_t t) {
        const auto tm = platform::UtcBreakdown(t);
        return platform::Format("%02d:%02d", tm ? tm->tm_hour : 0, tm ? tm->tm_min : 0);
    };
    const std::int64_t now = platform::CurrentTime();
    const std::int64_t newest = ObservedInstant(m_series.At(0));
    std::string text = "Newest report " + clock(newest) + " UTC, " + AgeText(now - newest) + " ago";
    if (now - newest > 2 * 60 * static_cast<std::int64_t>(std::max(m_station.iPeriodMinutes, 1)))
        text += ", overdue";
    if (m_timer.isActive())
        text += "; next retrieval " + clock(now + (m_timer.remainingTime() + 999) / 1000) + " UTC";
    return text;
}

void MeteogramPane::DrawPlain(platform::DrawingSurface& dc) {
    const std::optional<int> readout = m_meteogram->Readout();
    m_meteogram->SetReadout(std::nullopt);
    m_meteogram->Draw(dc);
    m_meteogram->SetReadout(readout);
}

QImage MeteogramPane::Picture() const {
    if (!m_meteogram)
        return m_window.grab().toImage();
    const std::optional<int> readout = m_meteogram->Readout();
    m_meteogram->SetReadout(std::nullopt);
    const QImage image = m_window.grab().toImage();
    m_meteogram->SetReadout(readout);
    return image;
}

std::string MeteogramPane::DefaultPictureName() const {
    return meteogram_output::DefaultPictureName(
        m_station.strICAO,
        m_series.GetSize() > 0 ? ObservedInstant(m_series.At(0)) : platform::CurrentTime());
}

void MeteogramPane::OnSavePicture() {
    const QString png = QStringLiteral("PNG picture (*.png)");
    const QString svg = QStringLiteral("SVG drawing (*.svg)");
    QFileDialog dialog(&m_window, QStringLiteral("Save Picture"),
                       QDir::current().filePath(platform::FromCp1252(DefaultPictureName())),
                       png + QStringLiteral(";;") + svg);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    // The name follows the type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QString suffix = filter == svg ? QStringLiteral("svg") : QStringLiteral("png");
        dialog.setDefaultSuffix(suffix);
        const QStringList names = dialog.selectedFiles();
        if (!names.isEmpty()) {
            const QFileInfo info(names.front());
            dialog.selectFile(info.completeBaseName() + QLatin1Char('.') + suffix);
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SavePicture(dialog.selectedFiles().front());
}

bool MeteogramPane::SavePicture(const QString& path) {
    if (!m_meteogram)
        return false;
    const std::string cause = meteogram_output::WritePicture(
        path, Picture(), m_window.size(), [this](platform::DrawingSurface& dc) { DrawPlain(dc); },
        platform::FromCp1252(m_pGraph ? m_pGraph->m_strTitle : m_station.strStation.str()));
    if (cause.empty())
        return true;
    platform::MessageBox(platform::Format("The picture could not be written to \"%s\": %s.",
                                          platform::ToCp1252(path).c_str(), cause.c_str()),
                         platform::MessageIcon::Exclamation);
    return false;
}

bool MeteogramPane::PrintTo(QPagedPaintDevice& device) {
    return m_meteogram &&
           meteogram_output::PrintPicture(device, m_window.size(),
                                          [this](platform::DrawingSurface& dc) { DrawPlain(dc); });
}

void MeteogramPane::OnPrint(bool preview) {
    if (!m_meteogram)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(platform::FromCp1252(m_station.strStation));
    bool printed = true;
    if (preview) {
        QPrintPreviewDialog dialog(&printer, &m_window);
        dialog.setWindowTitle(QStringLiteral("Print Preview - ") +
                              platform::FromCp1252(m_station.strStation));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [this, &printed](QPrinter* p) { printed = PrintTo(*p); });
        dialog.exec();
    } else {
        QPrintDialog dialog(&printer, &m_window);
        if (dialog.exec() != QDialog::Accepted)
            return;
        printed = PrintTo(printer);
    }
    if (!printed) {
        const QString where =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        platform::MessageBox(
            platform::Format("The meteogram could not be printed to \"%s\": the printer or file "
                             "could not be opened.",
                             platform::ToCp1252(where).c_str()),
            platform::MessageIcon::Exclamation);
    }
}

std::string MeteogramPane::ObservationTable() const {
    return meteogram_output::ObservationTable(m_series, m_host.CurrentStation().bMetricStyle != 0);
}

void MeteogramPane::CopyToClipboard() {
    if (m_meteogram)
        meteogram_output::CopyToClipboard(Picture(), ObservationTable());
}
