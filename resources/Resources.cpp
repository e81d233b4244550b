#include "resources/Resources.h"

#include "resources/CommandIds.h"

#include <Qt>

#include <map>
#include <stdexcept>

namespace resources {

using namespace ids;

namespace {

MenuItem Sep() {
    return MenuItem{};
}
MenuItem Item(const char* text, int id) {
    return MenuItem{text, id, {}};
}
MenuItem Popup(const char* text, std::vector<MenuItem> items) {
    return MenuItem{text, 0, std::move(items)};
}

} // namespace

const std::vector<MenuItem>& Menu(int id) {
    const auto file = [] {
        return Popup("&File", {Item("Save &Picture...", ID_FILE_SAVE_PICTURE),
                               Item("Export &Observations...", ID_FILE_EXPORT_OBSERVATIONS), Sep(),
                               Item("&Print...", ID_FILE_PRINT),
                               Item("Print Pre&view", ID_FILE_PRINT_PREVIEW), Sep(),
                               Item("Recent File", ID_FILE_MRU_FILE1), Sep(),
                               Item("&Close", ID_FILE_CLOSE), Item("E&xit", ID_APP_EXIT)});
    };
    const auto edit = [] { return Popup("&Edit", {Item("&Copy", ID_EDIT_COPY)}); };
    const auto help = [] {
        return Popup("&Help", {Item("&Help Topics", ID_HELP_FINDER), Sep(),
                               Item("&About Ventora...", ID_APP_ABOUT)});
    };
    const auto mapColours = [] {
        return Popup("Map &Colours", {Item("&Stations", ID_VIEW_MAP_COLOURS_STATIONS),
                                      Item("&Flight Category", ID_VIEW_MAP_COLOURS_CATEGORY),
                                      Item("&Temperature", ID_VIEW_MAP_COLOURS_TEMPERATURE),
                                      Item("&Wind", ID_VIEW_MAP_COLOURS_WIND)});
    };
    static const std::vector<MenuItem> mainFrame = {
        file(),
        edit(),
        Popup("&View",
              {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
               Item("World Map", ID_VIEW_WORLD_MAP), Sep(), Item("&Refresh", ID_VIEW_REFRESH),
               mapColours(), Item("Report &Server...", ID_VIEW_REPORT_SERVER)}),
        help(),
    };
    static const std::vector<MenuItem> mapWindow = {
        file(),
        edit(),
        Popup("&View",
              {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
               Item("World Map", ID_VIEW_WORLD_MAP),
               Item("Mark all stations", ID_VIEW_MARK_ALL_STATIONS),
               Item("Show all stations", ID_VIEW_SHOW_ALL_STATIONS),
               Item("Parameters", ID_VIEW_PARAMETERS), Item("Find station", ID_VIEW_FIND_STATION),
               Sep(), Item("&Refresh", ID_VIEW_REFRESH), mapColours(),
               Item("Report &Server...", ID_VIEW_REPORT_SERVER)}),
        Popup("&Window", {Item("&Cascade", ID_WINDOW_CASCADE), Item("&Tile", ID_WINDOW_TILE_HORZ),
                          Item("&Arrange Icons", ID_WINDOW_ARRANGE), Sep(),
                          Item("Tile Vertically", ID_WINDOW_TILE_VERT),
                          Item("Tile Horizontally", ID_WINDOW_TILE_HORZ)}),
        help(),
    };
    if (id == IDR_MAINFRAME)
        return mainFrame;
    if (id == IDR_VENTORTYPE)
        return mapWindow;
    throw std::out_of_range("no menu " + std::to_string(id));
}

const std::vector<int>& Toolbar() {
    static const std::vector<int> buttons = {ID_VIEW_PARAMETERS, ID_VIEW_MARK_ALL_STATIONS,
                                             ID_VIEW_SHOW_ALL_STATIONS, ID_VIEW_FIND_STATION,
                                             ID_VIEW_REFRESH};
    return buttons;
}

const std::vector<Accelerator>& Accelerators() {
    auto key = [](Qt::KeyboardModifiers m, Qt::Key k) {
        return QKeyCombination(m, k).toCombined();
    };
    static const std::vector<Accelerator> table = {
        {key(Qt::ControlModifier, Qt::Key_N), ID_FILE_NEW},
        {key(Qt::ControlModifier, Qt::Key_O), ID_FILE_OPEN},
        {key(Qt::ControlModifier, Qt::Key_S), ID_FILE_SAVE},
        {key(Qt::ControlModifier, Qt::Key_P), ID_FILE_PRINT},
        {key(Qt::ControlModifier, Qt::Key_Z), ID_EDIT_UNDO},
        {key(Qt::ControlModifier, Qt::Key_X), ID_EDIT_CUT},
        {key(Qt::ControlModifier, Qt::Key_C), ID_EDIT_COPY},
        {key(Qt::ControlModifier, Qt::Key_V), ID_EDIT_PASTE},
        {key(Qt::AltModifier, Qt::Key_Backspace), ID_EDIT_UNDO},
        {key(Qt::ShiftModifier, Qt::Key_Delete), ID_EDIT_CUT},
        {key(Qt::ControlModifier, Qt::Key_Insert), ID_EDIT_COPY},
        {key(Qt::ShiftModifier, Qt::Key_Insert), ID_EDIT_PASTE},
        {key(Qt::NoModifier, Qt::Key_F6), ID_NEXT_PANE},
        {key(Qt::ShiftModifier, Qt::Key_F6), ID_PREV_PANE},
        {key(Qt::ShiftModifier, Qt::Key_F1), ID_CONTEXT_HELP},
        {key(Qt::NoModifier, Qt::Key_F1), ID_HELP},
        // Closing the active child window, on every platform.
        {key(Qt::ControlModifier, Qt::Key_F4), ID_FILE_CLOSE},
        {key(Qt::ControlModifier, Qt::Key_W), ID_FILE_CLOSE},
        {key(Qt::NoModifier, Qt::Key_F5), ID_VIEW_REFRESH},
    };
    return table;
}

std::string String(int id) {
    static const std::map<int, std::string> table = {
        {ID_VIEW_WORLD_MAP, "Show World Map\nShow World Map"},
        {ID_VIEW_PARAMETERS, "Show Parameters Dialog\nShow Parameters Dialog"},
        {ID_VIEW_SHOW_ALL_STATIONS, "Show all stations\nShow all stations table"},
        {ID_VIEW_MARK_ALL_STATIONS, "Mark all stations\nMark all stations"},
        {ID_VIEW_FIND_STATION, "Find station\nFind station"},
        {ID_FILE_CLOSE, "Close the active window\nClose"},
        {ID_APP_EXIT, "Quit the application\nExit"},
        {ID_APP_ABOUT, "Display program information and version\nAbout"},
        {ID_HELP_FINDER, "List help topics\nHelp Topics"},
        {ID_HELP, "Display help for the current window\nHelp"},
        {ID_CONTEXT_HELP, "Display help for clicked buttons, menus and windows\nHelp"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
        {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
        {ID_WINDOW_TILE_VERT, "Arrange windows side by side\nTile Windows"},
        {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
        {ID_FILE_MRU_FILE1, "Open this station\nRecent Station"},
        {ID_FILE_SAVE_PICTURE, "Save the meteogram as a picture\nSave Picture"},
        {ID_FILE_EXPORT_OBSERVATIONS,
         "Write the stored observations of a period to a file\nExport Observations"},
        {ID_FILE_PRINT, "Print the meteogram\nPrint"},
        {ID_FILE_PRINT_PREVIEW, "Show the meteogram as it will be printed\nPrint Preview"},
        {ID_EDIT_COPY, "Copy the picture and the observations, or the selected rows\nCopy"},
        {ID_VIEW_REFRESH, "Fetch the newest reports now\nRefresh"},
        {ID_VIEW_REPORT_SERVER, "Show or change the report server's address\nReport Server"},
        {ID_VIEW_MAP_COLOURS_STATIONS, "Show the stations as red dots\nStations"},
        {ID_VIEW_MAP_COLOURS_CATEGORY,
         "Colour the stations by the flight category of their latest report\nFlight Category"},
        {ID_VIEW_MAP_COLOURS_TEMPERATURE,
         "Colour the stations by the temperature of their latest report\nTemperature"},
        {ID_VIEW_MAP_COLOURS_WIND,
         "Colour the stations by the wind speed of their latest report\nWind"},
    };
    const auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}

std::string Prompt(int id) {
    const std::string s = String(id);
    return s.substr(0, s.find('\n'));
}

std::string Tooltip(int id) {
    const std::string s = String(id);
    const std::size_t nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}

const DialogTemplate& Dialog(int id) {
    using K = ControlKind;
    static const DialogTemplate about = {
        IDD_ABOUTBOX,
        "About Ventora",
        170,
        62,
        "MS Shell Dlg",
        8,
        {
            {K::Icon, IDC_STATIC, "128", 11, 17, 20, 20},
            {K::Static, IDC_STATIC, "Ventora Version 1.2", 40, 17, 119, 8},
            {K::PushButton, IDOK, "OK", 113, 41, 50, 14, kDefault | kTabStop},
        }};
    switch (id) {
    case IDD_ABOUTBOX:
        return about;
    default:
        throw std::out_of_range("no dialog " + std::to_string(id));
    }
}

} // namespace resources
