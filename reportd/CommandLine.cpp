#include "reportd/CommandLine.h"

#include "platform/CalendarTime.h"

#include <getopt.h>

#include <cstdio>
#include <cstdlib>

namespace {

enum LongOnly {
    kSimulate = 256,
    kMetarDir,
    kUpstream,
    kUpstreamBulk,
    kCacheSeconds,
    kNow,
    kQuiet,
    kVersion
};

const option kOptions[] = {
    {"port", required_argument, nullptr, 'p'},
    {"bind", required_argument, nullptr, 'b'},
    {"stations", required_argument, nullptr, 's'},
    {"simulate", no_argument, nullptr, kSimulate},
    {"metar-dir", required_argument, nullptr, kMetarDir},
    {"upstream", required_argument, nullptr, kUpstream},
    {"upstream-bulk", required_argument, nullptr, kUpstreamBulk},
    {"cache-seconds", required_argument, nullptr, kCacheSeconds},
    {"now", required_argument, nullptr, kNow},
    {"quiet", no_argument, nullptr, kQuiet},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

bool ReadNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < low || n > high)
        return false;
    value = static_cast<int>(n);
    return true;
}

} // namespace

std::string UsageText() {
    return "usage: ventora-reportd [OPTION]...\n"
           "Serves the station list and translated weather report pages to the Ventora viewer.\n"
           "\n"
           "Requests:\n"
           "  GET /weather/surface/stations.txt   the station list\n"
           "  GET /weather/surface/index.php?metarIds=ICAO&hoursStr=HOURS\n"
           "                        a station's reports as a translated page; HOURS is\n"
           "                        \"most recent only\" or \"past N hours\" (N from 1 to 96)\n"
           "  GET /weather/surface/latest.csv[?hours=N]\n"
           "                        every station's newest report of the past N hours (1 to\n"
           "                        96, 3 unless given) as CSV, one row a station in the\n"
           "                        list's order\n"
           "\n"
           "Options:\n"
           "  -p, --port PORT       the TCP port to listen on (8573; 0 for any free one)\n"
           "  -b, --bind ADDRESS    the address to listen on (127.0.0.1; 0.0.0.0 for every\n"
           "                        IPv4 address, :: for every address)\n"
           "  -s, --stations FILE   the station list to serve and to name stations by\n"
           "                        (stations.txt in the current folder, else the installed\n"
           "                        list)\n"
           "      --simulate        synthetic reports for every station (the default)\n"
           "      --metar-dir DIR   real reports from station files and cycle files in DIR\n"
           "      --upstream URL    real reports from a data service answering\n"
           "                        URL?ids=ICAO&hours=N&format=raw\n"
           "      --upstream-bulk URL\n"
           "                        the data service's gzip CSV file of every station's\n"
           "                        current report, for latest.csv (fetched at most once a\n"
           "                        minute; /data/cache/metars.cache.csv.gz on the host of\n"
           "                        --upstream unless given)\n"
           "      --cache-seconds N how long upstream answers are kept per station (300)\n"
           "      --now TIME        a fixed clock, YYYY-MM-DDTHH:MM in UTC, for replaying old\n"
           "                        reports\n"
           "      --quiet           no line per request on standard error\n"
           "  -h, --help            this text\n"
           "      --version         the program's version\n";
}

std::variant<ServerOptions, std::string> ParseCommandLine(int argc, char** argv) {
    ServerOptions options;
    int sources = 0;
    optind = 1;
    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, ":p:b:s:h", kOptions, nullptr);
        if (c == -1)
            break;
        const std::string value = optarg ? optarg : "";
        switch (c) {
        case 'p':
            if (!ReadNumber(optarg, 0, 65535, options.port))
                return "--port wants a number from 0 to 65535, not \"" + value + "\"";
            break;
        case 'b':
            options.bind = value;
            break;
        case 's':
            options.stations = value;
            break;
        case kSimulate:
            options.source = ServerOptions::Source::Simulated;
            ++sources;
            break;
        case kMetarDir:
            options.source = ServerOptions::Source::Folder;
            options.metarDir = value;
            ++sources;
            break;
        case kUpstream:
            options.source = ServerOptions::Source::Upstream;
            options.upstream = value;
            ++sources;
            break;
        case kUpstreamBulk:
            options.upstreamBulk = value;
            break;
        case kCacheSeconds:
            if (!ReadNumber(optarg, 0, 86400, options.cacheSeconds))
                return "--cache-seconds wants a number from 0 to 86400";
            break;
        case kNow: {
            platform::DateTimeFields f;
            char tail = 0;
            const auto when = std::sscanf(optarg, "%d-%d-%dT%d:%d%c", &f.year, &f.month, &f.day,
                                          &f.hour, &f.minute, &tail) == 5
                                  ? platform::MakeUtcTime(f)
                                  : std::nullopt;
            if (!when)
                return "--now wants YYYY-MM-DDTHH:MM";
            options.fixedNow = *when;
            break;
        }
        case kQuiet:
            options.quiet = true;
            break;
        case 'h':
            options.help = true;
            break;
        case kVersion:
            options.version = true;
            break;
        case ':':
            return std::string(argv[optind - 1]) + " needs a value";
        default:
            return "unknown option " + std::string(argv[optind - 1]);
        }
    }
    if (optind < argc)
        return "unexpected argument " + std::string(argv[optind]);
    if (sources > 1)
        return "choose one of --simulate, --metar-dir and --upstream";
    if (!options.upstreamBulk.empty() && options.source != ServerOptions::Source::Upstream)
        return "--upstream-bulk goes with --upstream";
    return options;
}

std::filesystem::path DefaultStationList(const std::vector<std::filesystem::path>& installed) {
    std::error_code error;
    if (std::filesystem::is_regular_file("stations.txt", error))
        return "stations.txt";
    for (const auto& list : installed)
        if (std::filesystem::is_regular_file(list, error))
            return list;
    return installed.empty() ? std::filesystem::path("stations.txt") : installed.back();
}
