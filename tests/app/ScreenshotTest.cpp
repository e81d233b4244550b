// The program as a user starts it: a screenshot run ends by itself with a picture.

#include "tests/support/AppFixture.h"
#include "tests/support/TestHttpServer.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

TEST(Screenshot, AHeadlessRunSavesThePictureAndExits) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    QProcess ventora;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((folder.Path() / "config").string()));
    env.remove("DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    ventora.setProcessEnvironment(env);
    const std::string url = "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort());
    ventora.start(VENTORA_BINARY, {"--server", QString::fromStdString(url), "--open", "KJFK",
                                   "--screenshot", "shot.png"});
    ASSERT_TRUE(ventora.waitForFinished(30000));
    EXPECT_EQ(ventora.exitCode(), 0);
    // The station has no server to answer: its message goes to standard error instead of
    // waiting for a user.
    const QString errors = QString::fromLocal8Bit(ventora.readAllStandardError());
    EXPECT_TRUE(errors.contains(QString::fromStdString("The report server " + url +
                                                       " did not answer (connection refused).")))
        << errors.toStdString();
    const QImage shot("shot.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 550);
}

namespace {

struct ProgramRun {
    int exitCode = -1;
    bool finished = false;
    QString errors;
};

// The program started as a user starts it, in the current folder, with a profile of its own.
ProgramRun Ventora(const QStringList& arguments, const std::string& profile = {}) {
    const std::filesystem::path config = std::filesystem::current_path() / "config";
    if (!profile.empty()) {
        std::filesystem::create_directories(config / "Korvessa");
        testing_support::WriteFile(config / "Korvessa" / "Ventora.conf", profile);
    }
    QProcess ventora;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.string()));
    env.remove("DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    ventora.setProcessEnvironment(env);
    ventora.start(VENTORA_BINARY, arguments);
    ProgramRun run;
    run.finished = ventora.waitForFinished(30000);
    if (!run.finished)
        ventora.kill();
    run.exitCode = ventora.exitCode();
    run.errors = QString::fromLocal8Bit(ventora.readAllStandardError());
    return run;
}

} // namespace

TEST(Screenshot, APictureThatCannotBeWrittenFailsTheRun) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    const ProgramRun run = Ventora({"--screenshot", "/nonexistent/folder/shot.png"});
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains("cannot write the picture /nonexistent/folder/shot.png"))
        << run.errors.toStdString();
}

TEST(Screenshot, AFolderThatTakesNoLayoutDoesNotTrapTheProgram) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("stations.txt", testing_support::SampleStationList());
    std::filesystem::create_directory("LAYOUT.BIN.tmp"); // the layout cannot be written
    const ProgramRun run = Ventora({"--screenshot", "shot.png"}, "[Settings]\niSaveLayout=1\n");
    ASSERT_TRUE(run.finished) << "the program did not end";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.count("Can not create file: \"LAYOUT.BIN\""), 1)
        << run.errors.toStdString();
    EXPECT_TRUE(std::filesystem::exists("shot.png"));
}
