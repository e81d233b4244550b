#pragma once

// Command, menu, dialog and control identifiers.
namespace ids {

enum Command : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent list; its entries take the ids that follow
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_WORLD_MAP = 503,
    ID_VIEW_PARAMETERS = 32774,
    ID_VIEW_SHOW_ALL_STATIONS = 32777,
    ID_VIEW_MARK_ALL_STATIONS = 32778,
    ID_VIEW_FIND_STATION = 32780,
    // Beyond the design's commands.
    ID_FILE_SAVE_PICTURE = 32790,
    ID_FILE_EXPORT_OBSERVATIONS = 32791,
    ID_VIEW_REFRESH = 32792,
    ID_VIEW_REPORT_SERVER = 32793,
    ID_VIEW_MAP_COLOURS_STATIONS = 32794, // the four map colour modes, in the order of iMapColours
    ID_VIEW_MAP_COLOURS_CATEGORY = 32795,
    ID_VIEW_MAP_COLOURS_TEMPERATURE = 32796,
    ID_VIEW_MAP_COLOURS_WIND = 32797,
};

constexpr int kRecentFileCount = 40;

enum Resource : int {
    IDR_MAINFRAME = 128,  // menu, toolbar, accelerators and icon of the main frame
    IDR_VENTORTYPE = 129, // menu and icon of map windows
    IDD_ABOUTBOX = 100,
    IDR_LISTTYPE = 501, // icon of list windows
};

enum Control : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDC_STATIC = -1,
};

} // namespace ids
