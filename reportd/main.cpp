// ventora-reportd: a small report server for the viewer. It serves the station list and
// translated report pages from simulated reports, a folder of real reports or an upstream
// aviation-weather data service.

#include "platform/CText.h"
#include "reportd/MetarDirectory.h"
#include "reportd/ReportServer.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

const char* kUsage =
    "usage: ventora-reportd [--port 8573] [--bind 127.0.0.1] [--stations FILE]\n"
    "                       [--simulate | --metar-dir DIR | --upstream URL]\n"
    "                       [--cache-seconds 300] [--now YYYY-MM-DDTHH:MM] [--quiet]\n"
    "\n"
    "  --stations FILE     the station list to serve and to name stations by (stations.txt)\n"
    "  --simulate          synthetic reports for every station (the default)\n"
    "  --metar-dir DIR     real reports from station files and cycle files in DIR\n"
    "  --upstream URL      real reports from a data service answering\n"
    "                      URL?ids=ICAO&hours=N&format=raw\n"
    "  --cache-seconds N   how long upstream answers are kept per station\n"
    "  --now TIME          a fixed clock (UTC), for replaying old reports\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "ventora-reportd: %s\n%s", message.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int port = 8573;
    std::string bind = "127.0.0.1";
    std::string stations = "stations.txt";
    std::string metarDir;
    std::string upstream;
    int cacheSeconds = 300;
    std::int64_t fixedNow = -1;
    bool quiet = false;
    int modes = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(arg + " needs a value");
            return argv[++i];
        };
        try {
            if (arg == "--port") {
                port = std::stoi(value());
            } else if (arg == "--bind") {
                bind = value();
            } else if (arg == "--stations") {
                stations = value();
            } else if (arg == "--simulate") {
                ++modes;
            } else if (arg == "--metar-dir") {
                metarDir = value();
                ++modes;
            } else if (arg == "--upstream") {
                upstream = value();
                ++modes;
            } else if (arg == "--cache-seconds") {
                cacheSeconds = std::stoi(value());
            } else if (arg == "--now") {
                int y, mo, d, h, mi;
                const std::string text = value();
                if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d", &y, &mo, &d, &h, &mi) != 5)
                    return Fail("--now wants YYYY-MM-DDTHH:MM");
                fixedNow = UtcTime(y, mo, d, h, mi);
            } else if (arg == "--quiet") {
                quiet = true;
            } else if (arg == "--help" || arg == "-h") {
                std::fputs(kUsage, stdout);
                return 0;
            } else {
                return Fail("unknown option " + arg);
            }
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }
    if (modes > 1)
        return Fail("choose one of --simulate, --metar-dir and --upstream");

    std::ifstream in(stations, std::ios::binary);
    if (!in)
        return Fail("cannot read the station list " + stations);
    std::ostringstream list;
    list << in.rdbuf();

    ReportServer::Clock clock = [fixedNow] {
        return fixedNow >= 0 ? fixedNow : static_cast<std::int64_t>(std::time(nullptr));
    };
    std::unique_ptr<ReportSource> source;
    UpstreamSource* upstreamSource = nullptr; // owned by `source`
    std::string what = "simulated reports";
    if (!metarDir.empty() && !std::filesystem::is_directory(metarDir))
        return Fail("the report folder " + metarDir + " does not exist or is no folder");
    if (!metarDir.empty()) {
        source = std::make_unique<MetarDirectorySource>(metarDir);
        what = "reports from " + metarDir;
    } else if (!upstream.empty()) {
        auto live = std::make_unique<UpstreamSource>(upstream, cacheSeconds, clock);
        upstreamSource = live.get();
        source = std::move(live);
        what = "reports from " + upstream;
    } else {
        source = std::make_unique<SimulatedSource>();
    }

    // SIGINT and SIGTERM are taken by a thread of their own, which stops the server cleanly.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ReportServer server(list.str(), std::move(source), clock);
    server.SetLogging(!quiet);
    if (upstreamSource) {
        // Said at start, so that nobody takes a dead service for stations without reports.
        const std::string code = server.AnyStationCode();
        const std::string failure = upstreamSource->Probe(code.empty() ? "KJFK" : code);
        if (failure.empty())
            std::fprintf(stderr, "ventora-reportd: the data service %s answers\n",
                         upstream.c_str());
        else
            std::fprintf(stderr,
                         "ventora-reportd: the data service %s cannot be reached: it %s. Report "
                         "pages say so until it answers; no simulated reports are served "
                         "instead.\n",
                         upstream.c_str(), failure.c_str());
    }
    errno = 0;
    const int bound = server.Bind(bind, port);
    if (bound < 0) {
        const int error = errno;
        if (error == EADDRINUSE)
            std::fprintf(stderr,
                         "ventora-reportd: cannot listen on %s:%d: the port is in use (another "
                         "server listens there); stop it or choose another --port\n",
                         bind.c_str(), port);
        else
            std::fprintf(stderr, "ventora-reportd: cannot listen on %s:%d: %s\n", bind.c_str(),
                         port, error ? std::strerror(error) : "the address cannot be used");
        return 1;
    }
    std::fprintf(stderr, "ventora-reportd: %d stations, %s, on http://%s:%d\n",
                 server.StationCount(), what.c_str(), bind.c_str(), bound);

    std::thread waiter([&server, &signals] {
        int received = 0;
        sigwait(&signals, &received);
        std::fprintf(stderr, "ventora-reportd: stopping\n");
        server.Stop();
    });
    const bool served = server.Run();
    if (waiter.joinable()) {
        // Wake the waiter when the server ended on its own.
        pthread_kill(waiter.native_handle(), SIGTERM);
        waiter.join();
    }
    return served ? 0 : 1;
}
