// The per-user working folder of a start from the desktop's menu.

#include "app/UserFolder.h"
#include "catalogue/StationList.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestPaths.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::ScopedWorkingFolder;
using testing_support::WriteFile;

namespace {

struct UserFolderFixture : ::testing::Test {
    ScopedWorkingFolder scratch;
    fs::path home = scratch.Path() / "home";
    fs::path folder = home / ".local" / "share" / "Korvessa" / "Ventora";
    fs::path bundled = scratch.Path() / "share" / "ventora" / "stations.txt";

    UserFolderFixture() {
        fs::create_directories(bundled.parent_path());
        WriteFile(bundled, "the bundled list\n");
    }
};

} // namespace

TEST_F(UserFolderFixture, AFirstStartCreatesTheFolderWithTheBundledList) {
    const UserFolderResult result = EnterUserFolder(folder, {scratch.Path() / "missing", bundled});
    EXPECT_TRUE(result.entered);
    EXPECT_TRUE(result.seeded);
    EXPECT_EQ(result.message, "");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder));
    EXPECT_EQ(ReadFile(folder / "stations.txt"), "the bundled list\n");
    EXPECT_FALSE(fs::exists(folder / "stations.txt.part"));
}

TEST_F(UserFolderFixture, LaterStartsKeepTheUsersList) {
    ASSERT_TRUE(EnterUserFolder(folder, {bundled}).seeded);
    WriteFile(folder / "stations.txt", "the user's own list\n");
    WriteFile(bundled, "a newer bundled list\n");
    const UserFolderResult again = EnterUserFolder(folder, {bundled});
    EXPECT_TRUE(again.entered);
    EXPECT_FALSE(again.seeded);
    EXPECT_EQ(again.message, "");
    EXPECT_EQ(ReadFile(folder / "stations.txt"), "the user's own list\n");
}

TEST_F(UserFolderFixture, AnInterruptedFirstCopyIsRedone) {
    fs::create_directories(folder);
    WriteFile(folder / "stations.txt.part", "the bundled li");
    EXPECT_TRUE(EnterUserFolder(folder, {bundled}).seeded);
    EXPECT_EQ(ReadFile(folder / "stations.txt"), "the bundled list\n");
    EXPECT_FALSE(fs::exists(folder / "stations.txt.part"));
}

TEST_F(UserFolderFixture, WithoutABundledListTheUserIsToldWhereToPutOne) {
    const UserFolderResult result = EnterUserFolder(folder, {scratch.Path() / "missing"});
    EXPECT_TRUE(result.entered);
    EXPECT_FALSE(result.seeded);
    EXPECT_EQ(result.message, "No bundled station list was found to put into the working folder " +
                                  folder.string() +
                                  "; the catalogue stays empty until a station list "
                                  "\"stations.txt\" is put there.");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder));
}

TEST_F(UserFolderFixture, AFolderThatCannotBeMadeEndsTheStartWithAMessage) {
    WriteFile(home, "a file where the home folder should be");
    const fs::path before = fs::current_path();
    const UserFolderResult result = EnterUserFolder(folder, {bundled});
    EXPECT_FALSE(result.entered);
    EXPECT_EQ(result.message.rfind(
                  "The working folder " + folder.string() + " could not be created: ", 0),
              0u)
        << result.message;
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(UserFolderFixture, AListThatCannotBeCopiedIsReportedAndTheStartGoesOn) {
    fs::create_directories(folder);
    fs::create_directory(folder / "stations.txt.part"); // nothing can be written there
    const UserFolderResult result = EnterUserFolder(folder, {bundled});
    EXPECT_TRUE(result.entered);
    EXPECT_FALSE(result.seeded);
    EXPECT_EQ(result.message.rfind("The bundled station list could not be copied into the "
                                   "working folder " +
                                       folder.string() + ": ",
                                   0),
              0u)
        << result.message;
    EXPECT_FALSE(fs::exists(folder / "stations.txt"));
}

TEST(UserFolder, IsTheVentoraFolderInTheUsersDataFolder) {
    const fs::path data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    EXPECT_EQ(UserFolderPath(), data / "Korvessa" / "Ventora");
}

// The program as its desktop entry starts it: from whatever folder, with --user-folder.
TEST(UserFolder, TheProgramStartedFromTheMenuWorksInTheSeededFolder) {
    ScopedWorkingFolder scratch;
    fs::create_directory("elsewhere");
    const fs::path shot = scratch.Path() / "shot.png";
    const auto run =
        testing_support::RunOffscreen(VENTORA_BINARY,
                                      {"--user-folder", "--server", "http://127.0.0.1:1",
                                       "--screenshot", QString::fromStdString(shot.string())},
                                      {{"HOME", QString::fromStdString(scratch.Path().string())},
                                       {"XDG_DATA_HOME", ""},
                                       {"XDG_CONFIG_HOME", ""}},
                                      "elsewhere");
    ASSERT_TRUE(run.finished);
    const QString& errors = run.errors;
    EXPECT_EQ(run.exitCode, 0) << errors.toStdString();

    const fs::path folder = scratch.Path() / ".local" / "share" / "Korvessa" / "Ventora";
    const std::string list = ReadFile(folder / "stations.txt");
    EXPECT_EQ(list, ReadFile(VENTORA_BUNDLED_STATIONS));
    StationTable expected;
    const int stations = ParseStationList(list, expected);
    EXPECT_GT(stations, 9000);
    EXPECT_TRUE(errors.contains(QString("ventora: %1 stations from ").arg(stations) +
                                QString::fromStdString((folder / "stations.txt").string())))
        << errors.toStdString();
    EXPECT_TRUE(fs::is_empty("elsewhere"));
    EXPECT_TRUE(fs::exists(shot));
}
