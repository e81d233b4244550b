#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

// What ventora-reportd is asked to do.
struct ServerOptions {
    enum class Source { Simulated, Folder, Upstream };

    int port = 8573;
    std::string bind = "127.0.0.1";
    std::string stations; // empty: DefaultStationList
    Source source = Source::Simulated;
    std::string metarDir;
    std::string upstream;
    std::string upstreamBulk; // empty: the bulk file on the host of `upstream`
    int cacheSeconds = 300;
    std::int64_t fixedNow = -1; // below 0: the system clock
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// The options of a command line, or what is wrong with it.
std::variant<ServerOptions, std::string> ParseCommandLine(int argc, char** argv);

// What --help prints: every option.
std::string UsageText();

// The station list to serve when none is named: stations.txt in the current folder, else the
// first of the installed lists that exists (the last when none does).
std::filesystem::path DefaultStationList(const std::vector<std::filesystem::path>& installed);
