#include "dialogs/FindDialog.h"

#include "resources/CommandIds.h"
#include "resources/Resources.h"

std::string m_strFindText;

const resources::DialogTemplate& CDia_Find::Template() {
    using K = resources::ControlKind;
    using namespace resources;
    using ids::IDC_STATIC;
    using ids::IDCANCEL;
    using ids::IDOK;
    static const DialogTemplate find = {
        IDD,
        "Find a station",
        215,
        97,
        "MS Shell Dlg",
        8,
        {
            {K::Edit, IDC_FIND_TEXT, "", 39, 39, 137, 14, kBorder | kTabStop | kAutoHScroll},
            {K::PushButton, IDOK, "OK", 100, 76, 50, 14, kDefault | kTabStop},
            {K::PushButton, IDCANCEL, "Abbrechen", 158, 76, 50, 14, kTabStop},
            {K::Static, IDC_STATIC, "Please enter a part of a name or an  ICAO code:", 28, 17, 159,
             12},
            {K::GroupBox, IDC_STATIC, "", 7, 7, 201, 61},
        }};
    return find;
}

CDia_Find::CDia_Find(QWidget* parent) : TemplateDialog(Template(), parent) {
    setObjectName(QStringLiteral("findDialog"));
}

void CDia_Find::OnOK() {
    m_strText = Text(IDC_FIND_TEXT);
    m_strFindText = m_strText;
    done(ids::IDOK);
}
