#pragma once

class QWidget;

// The program's help: a window describing the windows and commands.
class HelpWindow {
public:
    static void Show(QWidget* parent);
};
