// ventora: the viewer of weather-station reports.

#include "app/MainFrame.h"
#include "app/VentoraApp.h"
#include "catalogue/CurrentConditions.h"

#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

const char* kNoDisplay =
    "ventora: no display was found (%s). Start it on a desktop, or take a picture of its window "
    "without one:\n"
    "    QT_QPA_PLATFORM=offscreen ventora --screenshot FILE.png\n";

bool HasDisplay() {
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") ||
           std::getenv("WAYLAND_DISPLAY");
}

// A display that is named but cannot be reached ends Qt's start with a fatal message: said in
// the program's words, and the run ends with status 1 instead of an abort.
void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg && message.contains(QStringLiteral("platform plugin"))) {
        std::fprintf(stderr, kNoDisplay, "the window system could not be reached");
        std::_Exit(1);
    }
    // The offscreen platform of a screenshot run cannot size windows to their hints; that is no
    // fault of the run.
    if (message.contains(QStringLiteral("does not support propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg)
        std::abort();
}

// The quality a PNG writer of Qt turns into zlib's compression level 1.
constexpr int kFastPngQuality = 80;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("ventora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VENTORA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Ventora, a viewer of weather-station reports: the world's stations on a map and in "
        "tables, and a meteogram window per station fed from a report server."));
    const QCommandLineOption userFolder(
        QStringLiteral("user-folder"),
        QStringLiteral("Work in the per-user folder ~/.local/share/Korvessa/Ventora (created with "
                       "the bundled station list on first start) instead of the current folder."));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("The report server (default: the profile's section \"Server\", value "
                       "\"strBaseUrl\", or http://127.0.0.1:8573)."),
        QStringLiteral("URL"));
    const QCommandLineOption open(
        QStringLiteral("open"),
        QStringLiteral("After start-up, open the station's meteogram (may be repeated)."),
        QStringLiteral("ICAO"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window once start-up is done, then exit; "
                       "messages go to standard error. Needs no display."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption mapColours(
        QStringLiteral("map-colours"),
        QStringLiteral("Colour the maps' stations for this run: stations (the red dots), category "
                       "(flight category), temperature or wind, from every station's latest "
                       "report. A --screenshot run waits for the first table."),
        QStringLiteral("MODE"));
    // Qt's own options, taken by the application object.
    QCommandLineOption platform(QStringLiteral("platform"), QString(), QStringLiteral("name"));
    QCommandLineOption style(QStringLiteral("style"), QString(), QStringLiteral("name"));
    platform.setFlags(QCommandLineOption::HiddenFromHelp);
    style.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({userFolder, server, open, screenshot, mapColours, platform, style});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    // The application object, which would name the program in the help, comes later.
    const auto helpText = [&parser] {
        return parser.helpText()
            .replace(QStringLiteral("<executable_name>"), QStringLiteral("ventora"))
            .toLocal8Bit();
    };
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "ventora: %s\n\n%s", parser.errorText().toLocal8Bit().constData(),
                     helpText().constData());
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "ventora: unknown argument %s\n\n%s",
                     parser.positionalArguments().first().toLocal8Bit().constData(),
                     helpText().constData());
        return 2;
    }
    // Both answered without a window system.
    if (parser.isSet(help)) {
        std::fputs(helpText().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("ventora %s\n", VENTORA_VERSION);
        return 0;
    }

    CVentoraApp::Options options;
    options.serverUrl = parser.value(server).toStdString();
    options.screenshot = parser.value(screenshot).toLocal8Bit().toStdString();
    for (const QString& code : parser.values(open))
        options.open.push_back(code.toStdString());
    options.userFolder = parser.isSet(userFolder);
    if (parser.isSet(mapColours)) {
        const auto mode = ReadMapColours(parser.value(mapColours).toStdString());
        if (!mode) {
            std::fprintf(stderr,
                         "ventora: --map-colours wants stations, category, temperature or wind, "
                         "not \"%s\"\n\n%s",
                         parser.value(mapColours).toLocal8Bit().constData(),
                         helpText().constData());
            return 2;
        }
        options.mapColours = static_cast<int>(*mode);
    }

    if (!HasDisplay()) {
        // A screenshot needs no display.
        if (options.screenshot.empty()) {
            std::fprintf(stderr, kNoDisplay, "neither DISPLAY nor WAYLAND_DISPLAY is set");
            return 1;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    qInstallMessageHandler(OnQtMessage);

    QApplication application(argc, argv);
    // Numbers in files and settings are written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");

    CVentoraApp app;
    if (!app.InitInstance(options))
        return 1;
    CMainFrame* frame = app.MainFrame();

    bool saved = false;
    const auto takePicture = [&] {
        QApplication::processEvents();
        // A PNG file is written with zlib's fastest level: the default level took more time
        // than the rest of the start-up; the pixels are the same, the file somewhat larger.
        const QString file = QString::fromLocal8Bit(options.screenshot.c_str());
        const bool png = file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
        saved = frame->grab().save(file, nullptr, png ? kFastPngQuality : -1);
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
    };
    frame->WhenStarted([&] {
        app.OpenStations(options.open);
        // With colours, once the first table has arrived or failed.
        if (!options.screenshot.empty())
            frame->WhenConditionsSettled(takePicture);
    });
    const int result = application.exec();
    app.DestroyMainFrame();
    if (!options.screenshot.empty())
        return saved ? 0 : 1;
    return result;
}
