// The program as a user starts it: a screenshot run ends by itself with a picture.

#include "catalogue/ConditionClasses.h"
#include "tests/reportd/SpawnedServer.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestHttpServer.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

TEST(Screenshot, AHeadlessRunSavesThePictureAndExits) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    const std::string url = "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort());
    const auto run = testing_support::RunOffscreen(
        VENTORA_BINARY,
        {"--server", QString::fromStdString(url), "--open", "KJFK", "--screenshot", "shot.png"},
        {{"XDG_CONFIG_HOME", QString::fromStdString((folder.Path() / "config").string())}});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    // The station has no server to answer: its message goes to standard error instead of
    // waiting for a user.
    EXPECT_TRUE(run.errors.contains(QString::fromStdString(
        "The report server " + url + " did not answer (connection refused).")))
        << run.errors.toStdString();
    const QImage shot("shot.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 550);
}

namespace {

// The program started as a user starts it, in the current folder, with a profile of its own.
testing_support::ProgramRun Ventora(const QStringList& arguments, const std::string& profile = {}) {
    const std::filesystem::path config = std::filesystem::current_path() / "config";
    if (!profile.empty()) {
        std::filesystem::create_directories(config / "Korvessa");
        testing_support::WriteFile(config / "Korvessa" / "Ventora.conf", profile);
    }
    return testing_support::RunOffscreen(
        VENTORA_BINARY, arguments, {{"XDG_CONFIG_HOME", QString::fromStdString(config.string())}});
}

} // namespace

TEST(Screenshot, APictureThatCannotBeWrittenFailsTheRun) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    const auto run = Ventora({"--screenshot", "/nonexistent/folder/shot.png"});
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains("cannot write the picture /nonexistent/folder/shot.png"))
        << run.errors.toStdString();
}

TEST(Screenshot, AFolderThatTakesNoLayoutDoesNotTrapTheProgram) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    std::filesystem::create_directory("LAYOUT.BIN.tmp"); // the layout cannot be written
    const auto run = Ventora({"--screenshot", "shot.png"}, "[Settings]\niSaveLayout=1\n");
    ASSERT_TRUE(run.finished) << "the program did not end";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.count("Can not create file: \"LAYOUT.BIN\""), 1)
        << run.errors.toStdString();
    EXPECT_TRUE(std::filesystem::exists("shot.png"));
}

// With a colour mode the picture waits for the bundled server's first table: the stations have
// their categories' colours, none the design's red.
TEST(Screenshot, AColourModeRunWaitsForTheTableOfCurrentConditions) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    testing_support::SpawnedServer server({"--stations", "stations.txt", "--simulate"});
    ASSERT_GT(server.Port(), 0) << server.Said();
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(server.Port());
    const auto run =
        Ventora({"--server", url, "--map-colours", "category", "--screenshot", "shot.png"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QImage shot("shot.png");
    ASSERT_FALSE(shot.isNull());
    shot.save(VENTORA_ARTIFACT_DIR "/screenshot-map-colours-category.png");
    int red = 0;
    int coloured = 0;
    // Below the menus and the toolbar, whose icons have red of their own.
    for (int y = 60; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            red += c == QColor(255, 0, 0);
            for (FlightCategory f : {FlightCategory::VFR, FlightCategory::MVFR, FlightCategory::IFR,
                                     FlightCategory::LIFR}) {
                const Rgb rgb = FlightCategoryColour(f);
                coloured += c == QColor(rgb.r, rgb.g, rgb.b);
            }
        }
    EXPECT_EQ(red, 0);
    EXPECT_GE(coloured, 6 * 9) << "six stations' dots";

    const auto wrong = Ventora({"--map-colours", "rainbow"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.errors.contains("--map-colours wants stations, category, temperature or "
                                      "wind, not \"rainbow\""))
        << wrong.errors.toStdString();
}

TEST(CommandLine, HelpVersionAndNoDisplayAreAnsweredWithoutAWindow) {
    testing_support::ScopedWorkingFolder folder;
    const auto help = Ventora({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.startsWith("Usage: ventora [options]")) << help.output.toStdString();
    for (const char* option :
         {"--user-folder", "--server <URL>", "--open <ICAO>", "--screenshot <FILE.png>",
          "--map-colours <MODE>", "--help", "--version"})
        EXPECT_TRUE(help.output.contains(option)) << option << "\n" << help.output.toStdString();
    EXPECT_FALSE(help.output.contains("--platform"));
    const auto version = Ventora({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.trimmed(), QStringLiteral("ventora " VENTORA_VERSION));
    const auto wrong = Ventora({"--no-such-option"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.errors.contains("no-such-option")) << wrong.errors.toStdString();

    // Without a display the program says so and how to take a picture instead; a display that
    // is named but not there is said the same way. Neither aborts.
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    for (const std::map<QString, QString>& environment :
         {std::map<QString, QString>{{"QT_QPA_PLATFORM", ""}},
          std::map<QString, QString>{{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ":97"}}}) {
        const auto run = testing_support::RunOffscreen(VENTORA_BINARY, {}, environment);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains("ventora: no display was found"))
            << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains("QT_QPA_PLATFORM=offscreen ventora --screenshot FILE.png"));
    }
}
