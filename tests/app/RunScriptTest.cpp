// `scripts/run --live`: the bundled report server on a data service (here a fake one in this
// process), the viewer on that server, and a plain word when the service cannot be reached.

#include "platform/CText.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <mutex>
#include <regex>
#include <set>

namespace fs = std::filesystem;
using testing_support::ScopedWorkingFolder;
using testing_support::TestHttpServer;

namespace {

// Runs scripts/run as a user would, without a display, with this build and a profile that
// writes every closed meteogram's observations to Meteodata/. Its output and errors together.
struct ScriptRun {
    bool finished = false;
    int exitCode = -1;
    QString output;
};

ScriptRun RunScript(const QStringList& arguments, int port, const std::string& upstream) {
    const fs::path work = fs::current_path() / "work";
    fs::create_directories(fs::current_path() / "config" / "Korvessa");
    testing_support::WriteFile(fs::current_path() / "config" / "Korvessa" / "Ventora.conf",
                               "[Settings]\niSaveSettings=1\nbWriteFile=1\n");
    const auto run = testing_support::RunOffscreen(
        "bash", QStringList{VENTORA_SOURCE_DIR "/scripts/run"} + arguments,
        {{"QT_QPA_PLATFORM", ""},
         {"XDG_CONFIG_HOME", QString::fromStdString((fs::current_path() / "config").string())},
         {"VENTORA_BUILD_DIR", VENTORA_BUILD_DIR},
         {"VENTORA_WORKDIR", QString::fromStdString(work.string())},
         {"VENTORA_PORT", QString::number(port)},
         {"VENTORA_UPSTREAM", QString::fromStdString(upstream)}},
        {}, 60000);
    return {run.finished, run.exitCode, run.output + run.errors};
}

// Hourly reports of the past day, newest first, as the data service sends them.
std::string RawReports(std::time_t now) {
    std::string body;
    const std::time_t newest = now - 600 - (now % 3600); // ten minutes before the hour
    for (int i = 0; i < 24; ++i) {
        const std::time_t t = newest - i * 3600;
        std::tm utc{};
        gmtime_r(&t, &utc);
        body += platform::Format("KJFK %02d%02d%02dZ 27009KT 10SM FEW250 %02d/M01 A3012\n",
                                 utc.tm_mday, utc.tm_hour, utc.tm_min, 10 + i % 7);
    }
    return body;
}

std::string MeteodataOfTheRun() {
    const fs::path folder = fs::current_path() / "work" / "Meteodata";
    if (!fs::is_directory(folder))
        return {};
    for (const auto& entry : fs::directory_iterator(folder))
        return testing_support::ReadFile(entry.path());
    return {};
}

} // namespace

TEST(RunScript, LiveReportsComeFromTheDataService) {
    ScopedWorkingFolder folder;
    std::mutex mutex;
    std::set<std::string> asked;
    TestHttpServer upstream([&](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            asked.insert(req.get_param_value("ids"));
        }
        res.set_content(RawReports(std::time(nullptr)), "text/plain");
    });
    const std::string service = upstream.BaseUrl() + "/api/data/metar";
    const int port = testing_support::RefusingPort();

    const ScriptRun run = RunScript({"--live", "--open", "KJFK"}, port, service);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    const std::string output = run.output.toStdString();
    EXPECT_NE(output.find("ventora-reportd: the data service " + service + " answers"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find(platform::Format("Report server (live reports from %s) on "
                                           "http://127.0.0.1:%d",
                                           service.c_str(), port)),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("SIMULATED"), std::string::npos);
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_TRUE(asked.count("KJFK")) << "the service was never asked for the station";
    }
    EXPECT_TRUE(fs::exists(fs::current_path() / "work" / "ventora.png"));

    // The meteogram held the service's reports: 24 hours of them, temperatures as sent.
    const std::string meteodata = MeteodataOfTheRun();
    const std::regex row(R"(\d\d/\d\d/\d{4}\t\d\d:50\t(\d+)\.00\t1019\.98\t)");
    int rows = 0;
    std::set<std::string> temperatures;
    for (auto it = std::sregex_iterator(meteodata.begin(), meteodata.end(), row);
         it != std::sregex_iterator(); ++it, ++rows)
        temperatures.insert((*it)[1]);
    EXPECT_GE(rows, 20) << meteodata;
    EXPECT_EQ(temperatures, (std::set<std::string>{"10", "11", "12", "13", "14", "15", "16"}))
        << meteodata;
}

TEST(RunScript, AServiceThatCannotBeReachedIsSaidPlainly) {
    ScopedWorkingFolder folder;
    const std::string service =
        "http://127.0.0.1:" + std::to_string(testing_support::RefusingPort()) + "/api/data/metar";
    const int port = testing_support::RefusingPort();

    const ScriptRun run = RunScript({"--live", "--open", "KJFK"}, port, service);
    ASSERT_TRUE(run.finished);
    const std::string output = run.output.toStdString();
    EXPECT_EQ(run.exitCode, 1) << output; // nothing live could be shown
    EXPECT_NE(output.find("The data service " + service +
                          " could not be reached: no live reports were shown."),
              std::string::npos);
    EXPECT_NE(output.find("ventora-reportd: the data service " + service +
                          " cannot be reached: it did not answer (connection refused). Report "
                          "pages say so until it answers; no simulated reports are served "
                          "instead."),
              std::string::npos)
        << output;
    // The viewer says what its server answered, and shows nothing made up.
    EXPECT_NE(output.find(platform::Format("The report server http://127.0.0.1:%d answered with "
                                           "an error (HTTP 502 Bad Gateway): the data service at "
                                           "%s did not answer (connection refused).",
                                           port, service.c_str())),
              std::string::npos)
        << output;
    EXPECT_EQ(output.find("SIMULATED"), std::string::npos);
    EXPECT_EQ(MeteodataOfTheRun().find(":50\t"), std::string::npos);
}

TEST(RunScript, LiveReportsAreNotTakenFromAServerAlreadyListening) {
    ScopedWorkingFolder folder;
    TestHttpServer other([](const httplib::Request&, httplib::Response& res) {
        res.set_content("a report server of simulated reports", "text/plain");
    });
    const ScriptRun run = RunScript({"--live"}, other.Port(), "http://127.0.0.1:1/");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.contains(QString("Something already listens on 127.0.0.1:%1 (perhaps a "
                                            "report server of simulated reports). Stop it, or "
                                            "choose another port with VENTORA_PORT, to see live "
                                            "reports.")
                                        .arg(other.Port())))
        << run.output.toStdString();
    EXPECT_FALSE(fs::exists(fs::current_path() / "work" / "ventora.png"));
}
