#include "dialogs/ReportServerDialog.h"

#include "platform/UserServices.h"
#include "platform/qt/Cp1252.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>

ReportServerDialog::ReportServerDialog(const std::string& address, QWidget* parent)
    : QDialog(parent), m_edit(new QLineEdit(platform::FromCp1252(address))), m_address(address) {
    setWindowTitle(QStringLiteral("Report Server"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Address:"), m_edit);
    layout->addLayout(form);
    auto* hint = new QLabel(QStringLiteral(
        "Station windows ask this server for their reports, for example http://127.0.0.1:8573."));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    m_edit->selectAll();
}

void ReportServerDialog::accept() {
    QString text = m_edit->text().trimmed();
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty() || url.hasQuery() || url.hasFragment()) {
        platform::MessageBox(
            "\"" + platform::ToCp1252(m_edit->text()) +
                "\" is not the address of a report server. Give an address such as "
                "http://127.0.0.1:8573 (http:// or https://, a host name, and a port where the "
                "server does not listen on the usual one).",
            platform::MessageIcon::Exclamation);
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_address = platform::ToCp1252(text);
    QDialog::accept();
}
