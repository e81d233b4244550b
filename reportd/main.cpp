// ventora-reportd: a small report server for the viewer. It serves the station list and
// translated report pages from simulated reports, a folder of real reports or an upstream
// aviation-weather data service.

#include "reportd/CommandLine.h"
#include "reportd/FileText.h"
#include "reportd/MetarDirectory.h"
#include "reportd/ReportServer.h"
#include "reportd/Simulation.h"
#include "reportd/UpstreamSource.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

constexpr std::uintmax_t kLargestStationList = 64u * 1024u * 1024u;

int Fail(const std::string& message) {
    std::fprintf(stderr, "ventora-reportd: %s\n%s", message.c_str(), UsageText().c_str());
    return 2;
}

// The installed list: beside the program as installed, then under the configured prefix.
std::vector<std::filesystem::path> InstalledStationLists() {
    std::vector<std::filesystem::path> lists;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        lists.push_back(program.parent_path() / VENTORA_DATA_FROM_BINDIR / "stations.txt");
    lists.push_back(std::filesystem::path(VENTORA_INSTALLED_DATADIR) / "stations.txt");
    return lists;
}

std::unique_ptr<ReportSource> MakeSource(const ServerOptions& options,
                                         const ReportServer::Clock& clock,
                                         UpstreamSource*& upstream, std::string& what) {
    switch (options.source) {
    case ServerOptions::Source::Folder:
        what = "reports from " + options.metarDir;
        return std::make_unique<MetarDirectorySource>(options.metarDir);
    case ServerOptions::Source::Upstream: {
        auto live = std::make_unique<UpstreamSource>(options.upstream, options.cacheSeconds, clock);
        if (!options.upstreamBulk.empty())
            live->SetBulkUrl(options.upstreamBulk);
        upstream = live.get();
        what = "reports from " + options.upstream;
        return live;
    }
    case ServerOptions::Source::Simulated:
        break;
    }
    what = "simulated reports";
    return std::make_unique<SimulatedSource>();
}

// Said at start, so that nobody takes a dead service for stations without reports.
void ProbeUpstream(UpstreamSource& upstream, const std::string& url, const std::string& code) {
    const std::string failure = upstream.Probe(code.empty() ? "KJFK" : code);
    if (failure.empty())
        std::fprintf(stderr, "ventora-reportd: the data service %s answers\n", url.c_str());
    else
        std::fprintf(stderr,
                     "ventora-reportd: the data service %s cannot be reached: it %s. Report "
                     "pages say so until it answers; no simulated reports are served "
                     "instead.\n",
                     url.c_str(), failure.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseCommandLine(argc, argv);
    if (const auto* error = std::get_if<std::string>(&parsed))
        return Fail(*error);
    const ServerOptions& options = std::get<ServerOptions>(parsed);
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("ventora-reportd %s\n", VENTORA_VERSION);
        return 0;
    }

    const std::filesystem::path stations = options.stations.empty()
                                               ? DefaultStationList(InstalledStationLists())
                                               : std::filesystem::path(options.stations);
    const auto list = ReadFileText(stations, kLargestStationList);
    if (!list)
        return Fail("cannot read the station list " + stations.string());
    if (options.source == ServerOptions::Source::Folder &&
        !std::filesystem::is_directory(options.metarDir))
        return Fail("the report folder " + options.metarDir + " does not exist or is no folder");

    const std::int64_t fixedNow = options.fixedNow;
    ReportServer::Clock clock = [fixedNow] {
        return fixedNow >= 0 ? fixedNow : static_cast<std::int64_t>(std::time(nullptr));
    };
    UpstreamSource* upstream = nullptr; // owned by the server
    std::string what;
    auto source = MakeSource(options, clock, upstream, what);

    // SIGINT and SIGTERM are taken by a thread of their own, which stops the server cleanly.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    std::error_code ignored;
    const auto modified = std::filesystem::last_write_time(stations, ignored);
    const auto listModified = std::chrono::duration_cast<std::chrono::seconds>(
                                  std::chrono::file_clock::to_sys(modified).time_since_epoch())
                                  .count();
    ReportServer server(*list, std::move(source), clock, ignored ? 0 : listModified);
    server.SetLogging(!options.quiet);
    if (upstream)
        ProbeUpstream(*upstream, options.upstream, server.AnyStationCode());
    errno = 0;
    const int bound = server.Bind(options.bind, options.port);
    if (bound < 0) {
        const int error = errno;
        if (error == EADDRINUSE)
            std::fprintf(stderr,
                         "ventora-reportd: cannot listen on %s:%d: the port is in use (another "
                         "server listens there); stop it or choose another --port\n",
                         options.bind.c_str(), options.port);
        else
            std::fprintf(stderr, "ventora-reportd: cannot listen on %s:%d: %s\n",
                         options.bind.c_str(), options.port,
                         error ? std::strerror(error) : "the address cannot be used");
        return 1;
    }
    std::fprintf(stderr, "ventora-reportd: %d stations, %s, on http://%s:%d\n",
                 server.StationCount(), what.c_str(), options.bind.c_str(), bound);

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
