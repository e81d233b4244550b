#include "app/VentoraDoc.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"

#include "platform/qt/Cp1252.h"

void CVentoraDoc::SetTitle(const std::string& title) {
    if (m_frame)
        m_frame->setWindowTitle(platform::FromCp1252(title));
}

bool CVentoraDoc::OnOpenDocument(const std::string& entry) {
    const std::string code = StationCatalogue::RecentEntryCode(entry);
    if (code.empty() || !m_pMainFrame)
        return false;
    CMainFrame& frame = *m_pMainFrame;
    frame.Catalogue().SearchStations(code, frame.StationsAll(), true, false);
    return false;
}
