#pragma once

#include "app/LayoutEntry.h"
#include "app/LayoutRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class CMainFrame;

inline constexpr const char* kLayoutFile = "LAYOUT.BIN";

// At the main window's first showing: re-creates the saved child windows, or opens one world map.
void RestoreLayout(CMainFrame& frame);
// At the main window's close: writes the layout when "iSaveLayout" is on. False, after telling
// the user, when the file could not be written (the old file then stays as it was).
bool SaveLayout(CMainFrame& frame);
