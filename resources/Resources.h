#pragma once

#include <string>
#include <vector>

// The program's resources as data: menus, toolbar, accelerators, string table and dialog
// templates. Pictures live in ResourceImages.h.
namespace resources {

struct MenuItem {
    std::string text; // "&Close"; empty for a separator
    int id = 0;       // 0 for a separator or a popup
    std::vector<MenuItem> popup;
    bool IsSeparator() const { return text.empty() && popup.empty(); }
};

// Menus 128 (no map window active) and 129 (a map window active): the bar's popups.
const std::vector<MenuItem>& Menu(int id);

// Toolbar 128: the command of each button, in order.
const std::vector<int>& Toolbar();

struct Accelerator {
    int key; // a Qt key with its modifiers, as QKeySequence takes it
    int id;
};
const std::vector<Accelerator>& Accelerators();

// The string of a command: "status-bar prompt\ntooltip"; empty when there is none.
std::string String(int id);
std::string Prompt(int id);
std::string Tooltip(int id);

enum class ControlKind { Static, GroupBox, Edit, PushButton, CheckBox, DropDownList, Icon };

enum ControlStyle : unsigned {
    kNone = 0,
    kDefault = 1, // the default push button
    kHidden = 2,
    kDisabled = 4,
    kCentered = 8, // text centred (edit fields, static texts)
    kRight = 16,   // right-aligned static text
    kTabStop = 32,
    kAutoHScroll = 64,
    kBorder = 128,
    kVScroll = 256,
};

struct DialogControl {
    ControlKind kind;
    int id;
    std::string text;
    int x, y, cx, cy; // dialog units
    unsigned style = kNone;
    std::vector<std::string> items = {}; // initial items of a list
};

struct DialogTemplate {
    int id;
    std::string caption;
    int cx, cy; // dialog units
    std::string fontFace;
    int fontPoints;
    std::vector<DialogControl> controls; // in tab order
};

const DialogTemplate& Dialog(int id);

} // namespace resources
