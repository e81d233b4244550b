// The shipped proxy set-up for many users, for real: nginx with packaging/nginx's file in front
// of two report servers, the viewer's requests through it, one server killed on the way.

#include "catalogue/StationCatalogue.h"
#include "observations/ReportProtocol.h"
#include "tests/reportd/RawClient.h"
#include "tests/reportd/SpawnedServer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestPaths.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace testing_support;

namespace {

const char kNginx[] = "/usr/sbin/nginx";

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t length = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    ::close(fd);
    return ntohs(addr.sin_port);
}

// nginx in the foreground with the shipped file, its ports and folders made local.
class Proxy {
public:
    Proxy(const std::filesystem::path& folder, int port, int first, int second) {
        std::string conf =
            ReadFile(std::string(VENTORA_SOURCE_DIR) + "/packaging/nginx/ventora-reportd.conf");
        conf = std::regex_replace(conf, std::regex("127\\.0\\.0\\.1:8573"),
                                  "127.0.0.1:" + std::to_string(first));
        conf = std::regex_replace(conf, std::regex("127\\.0\\.0\\.1:8574"),
                                  "127.0.0.1:" + std::to_string(second));
        conf = std::regex_replace(conf, std::regex("listen 80;"),
                                  "listen 127.0.0.1:" + std::to_string(port) + ";");
        conf = std::regex_replace(conf, std::regex("listen \\[::\\]:80;"), "");
        conf = std::regex_replace(conf, std::regex("/var/cache/nginx/ventora"),
                                  (folder / "cache").string());
        WriteFile((folder / "ventora-reportd.conf").string(), conf);
        const std::string f = folder.string();
        WriteFile((folder / "nginx.conf").string(),
                  "daemon off;\nworker_processes 1;\npid " + f + "/nginx.pid;\nerror_log " + f +
                      "/error.log warn;\nevents { worker_connections 256; }\nhttp {\n"
                      "access_log off;\nclient_body_temp_path " +
                      f + "/body;\nproxy_temp_path " + f + "/proxy;\nfastcgi_temp_path " + f +
                      "/fastcgi;\nuwsgi_temp_path " + f + "/uwsgi;\nscgi_temp_path " + f +
                      "/scgi;\ninclude " + f + "/ventora-reportd.conf;\n}\n");
        // nginx's workers run as an unprivileged user when it is started as root.
        std::filesystem::permissions(folder, std::filesystem::perms::all);
        const std::string conf_path = f + "/nginx.conf";
        const char* argv[] = {kNginx, "-p", f.c_str(), "-c", conf_path.c_str(), nullptr};
        posix_spawn(&m_pid, kNginx, nullptr, nullptr, const_cast<char* const*>(argv), environ);
        for (int i = 0; i < 500; ++i) {
            const int fd = ConnectTo(port);
            if (fd >= 0) {
                ::close(fd);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Proxy() {
        ::kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }

private:
    pid_t m_pid = 0;
};

std::string PagePath(const std::string& icao, int hours) {
    return std::string(protocol::kReportPath) + "?" + std::string(protocol::kStationKey) + "=" +
           icao + "&" + std::string(protocol::kHoursKey) + "=past+" + std::to_string(hours) +
           "+hours";
}

} // namespace

TEST(ScaleOut, NginxCachesAndSkipsADeadServer) {
    if (!std::filesystem::exists(kNginx))
        GTEST_SKIP() << "nginx is not installed (scripts/deps installs it)";
    ScopedWorkingFolder folder;
    const std::string list = StationLine("NY", "NYC/JFK ARPT", "KJFK", "40 38N", "073 46W") + "\n" +
                             StationLine("  ", "HAMBURG", "EDDH", "53 38N", "009 59E") + "\n";
    WriteFile("stations.txt", list);
    // A fixed clock: both servers make the same pages.
    SpawnedServer first({"--now", "2026-12-07T05:00"});
    SpawnedServer second({"--now", "2026-12-07T05:00"});
    ASSERT_GT(first.Port(), 0) << first.Said();
    ASSERT_GT(second.Port(), 0) << second.Said();
    const int port = FreePort();
    Proxy proxy(folder.Path(), port, first.Port(), second.Port());
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    // The viewer's own requests: the list, then a station's reports.
    MessageRecorder recorder;
    PageFetcher fetcher;
    StationRecord current;
    StationTable all;
    StationCatalogue catalogue(fetcher, current, all);
    catalogue.SetServerUrl(base);
    EXPECT_EQ(fetcher.Get(base + std::string(protocol::kStationListPath)).body, list);
    StationRecord jfk;
    jfk.strICAO = "KJFK";
    ObservationSeries series;
    ASSERT_TRUE(catalogue.FetchObservations(&jfk, &series, "past+24+hours", 24));
    EXPECT_GT(series.GetSize(), 20);
    EXPECT_TRUE(recorder.messages.empty());

    // Asked again, the page comes from the proxy's cache.
    const std::string close = "Connection: close\r\n";
    const std::string page = PagePath("EDDH", 6);
    EXPECT_EQ(Talk(port, Get(page, close)).answers.at(0).Field("x-cache-status"), "MISS");
    const RawTalk again = Talk(port, Get(page, close));
    EXPECT_EQ(again.Status(), 200);
    EXPECT_EQ(again.answers.at(0).Field("x-cache-status"), "HIT");

    // One server dies; every request is still answered, pages never asked for included.
    ASSERT_NE(first.Kill(SIGKILL), 0);
    for (int hours = 1; hours <= 20; ++hours) {
        const RawTalk talk = Talk(port, Get(PagePath(hours % 2 ? "KJFK" : "EDDH", hours), close));
        EXPECT_EQ(talk.Status(), 200) << hours;
        EXPECT_EQ(talk.answers.at(0).body.find(std::string(protocol::kNoData)), std::string::npos);
    }
}
