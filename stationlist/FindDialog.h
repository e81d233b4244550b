#pragma once

#include "platform/qt/TemplateDialog.h"

#include <string>

// The text of the latest confirmed find dialog; empty at program start.
extern std::string m_strFindText;

// "Find a station": asks for a part of a station name or an ICAO code.
class CDia_Find : public platform::TemplateDialog {
public:
    explicit CDia_Find(QWidget* parent = nullptr);
    std::string m_strText;

protected:
    void OnOK() override;
};
