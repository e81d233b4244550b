#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

// "Report Server": the address of the report server the windows ask for reports. OK takes an
// http:// or https:// address with a host; anything else gets a message naming what is wrong,
// and the dialog stays.
class ReportServerDialog : public QDialog {
public:
    explicit ReportServerDialog(const std::string& address, QWidget* parent = nullptr);

    // The address taken, without a trailing "/" (the request paths bring their own).
    const std::string& Address() const { return m_address; }
    QLineEdit* Edit() const { return m_edit; }

    void accept() override;

private:
    QLineEdit* m_edit;
    std::string m_address;
};
