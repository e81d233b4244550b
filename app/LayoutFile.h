#pragma once

class CMainFrame;

// The window layout file "LAYOUT.BIN" in the working folder.
// At the main window's first showing: re-creates the saved child windows, or opens one world map.
void RestoreLayout(CMainFrame& frame);
// At the main window's close: writes the layout when "iSaveLayout" is on. False when the file
// could not be created (the main window then stays open).
bool SaveLayout(CMainFrame& frame);
