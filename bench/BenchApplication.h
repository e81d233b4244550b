#pragma once

#include <QApplication>

#include <cstdlib>

// One QApplication for every benchmark that draws or shows widgets, on the offscreen platform.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "ventora_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static QApplication app(argc, argv);
    }
}
