// ventora: the viewer of weather-station reports.

#include "app/MainFrame.h"
#include "app/VentoraApp.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

const char* kUsage =
    "usage: ventora [--user-folder] [--server URL] [--open ICAO]... [--screenshot FILE.png]\n"
    "\n"
    "  --user-folder       work in the per-user folder ~/.local/share/Korvessa/Ventora\n"
    "                      (created with the bundled station list on first start)\n"
    "                      instead of the folder the program is started in\n"
    "  --server URL        the report server (default: the profile's section\n"
    "                      \"Server\", value \"strBaseUrl\", or http://127.0.0.1:8573)\n"
    "  --open ICAO         after start-up, open the station's meteogram (repeatable)\n"
    "  --screenshot FILE   save a picture of the main window once start-up is done,\n"
    "                      then close it and exit; messages go to standard error\n";

} // namespace

int main(int argc, char** argv) {
    CVentoraApp::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--server" && hasValue) {
            options.serverUrl = argv[++i];
        } else if (arg == "--screenshot" && hasValue) {
            options.screenshot = argv[++i];
        } else if (arg == "--open" && hasValue) {
            options.open.push_back(argv[++i]);
        } else if (arg == "--user-folder") {
            options.userFolder = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.rfind("-platform", 0) == 0 || arg.rfind("-style", 0) == 0) {
            ++i; // Qt's own options
        } else {
            std::fprintf(stderr, "ventora: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    // A screenshot needs no display.
    if (!options.screenshot.empty() && !std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication application(argc, argv);
    // Numbers in files and settings are written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    CVentoraApp app;
    if (!app.InitInstance(options))
        return 1;
    CMainFrame* frame = app.MainFrame();

    bool saved = false;
    frame->WhenStarted([&] {
        app.OpenStations(options.open);
        if (options.screenshot.empty())
            return;
        QApplication::processEvents();
        saved = frame->grab().save(QString::fromLocal8Bit(options.screenshot.c_str()));
        // What a headless run read, so that a script can tell a full catalogue from none.
        std::fprintf(stderr, "ventora: %d stations from %s\n", frame->StationsAll().GetSize(),
                     (std::filesystem::current_path() / "stations.txt").c_str());
        if (saved)
            std::fprintf(stderr, "ventora: picture saved to %s\n", options.screenshot.c_str());
        else
            std::fprintf(stderr, "ventora: cannot write the picture %s\n",
                         options.screenshot.c_str());
        frame->close();
        QApplication::quit();
    });
    const int result = application.exec();
    app.DestroyMainFrame();
    if (!options.screenshot.empty())
        return saved ? 0 : 1;
    return result;
}
