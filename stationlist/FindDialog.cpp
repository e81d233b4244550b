#include "stationlist/FindDialog.h"

#include "resources/CommandIds.h"

std::string m_strFindText;

CDia_Find::CDia_Find(QWidget* parent) : TemplateDialog(ids::IDD_FIND, parent) {
    setObjectName(QStringLiteral("findDialog"));
}

void CDia_Find::OnOK() {
    m_strText = Text(ids::IDC_FIND_TEXT);
    m_strFindText = m_strText;
    done(ids::IDOK);
}
