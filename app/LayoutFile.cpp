#include "app/LayoutFile.h"

#include "app/MainFrame.h"
#include "app/WindowKinds.h"

void RestoreLayout(CMainFrame& frame) {
    if (iRestoreLayout == 0) {
        frame.OpenChildWindow(KIND_WORLD_MAP);
        return;
    }
    if (frame.m_bLayoutRestored)
        return;
    frame.m_bLayoutRestored = true;
    frame.OpenChildWindow(KIND_WORLD_MAP);
}

bool SaveLayout(CMainFrame&) {
    return true;
}
