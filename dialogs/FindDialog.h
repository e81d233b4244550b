#pragma once

#include "platform/qt/TemplateDialog.h"

#include <string>

// The text of the latest confirmed find dialog; empty at program start.
extern std::string m_strFindText;

// "Find a station": asks for a part of a station name or an ICAO code.
class CDia_Find : public platform::TemplateDialog {
public:
    enum : int { IDD = 139, IDC_FIND_TEXT = 1012 };

    // Template 139, in dialog units.
    static const resources::DialogTemplate& Template();

    explicit CDia_Find(QWidget* parent = nullptr);
    std::string m_strText;

protected:
    void OnOK() override;
};
