// The program as a user starts it: a screenshot run ends by itself with a picture.

#include "tests/support/AppFixture.h"
#include "tests/support/TestHttpServer.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

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
    EXPECT_TRUE(errors.contains(QString::fromStdString(
        "The report server " + url + " did not answer (connection refused).")))
        << errors.toStdString();
    const QImage shot("shot.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 550);
}
