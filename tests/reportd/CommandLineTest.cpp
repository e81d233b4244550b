// ventora-reportd's command line: every option read and described, mistakes refused, and the
// station list it serves when none is named.

#include "reportd/CommandLine.h"
#include "tests/reportd/UtcTime.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

namespace {

std::variant<ServerOptions, std::string> Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "ventora-reportd");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return ParseCommandLine(static_cast<int>(args.size()), argv.data());
}

} // namespace

TEST(CommandLine, ReadsEveryOption) {
    const auto parsed =
        Parse({"--port", "9000", "--bind", "::", "--stations", "s.txt", "--upstream",
               "http://u/metar", "--cache-seconds", "60", "--now", "2026-12-07T05:00", "--quiet",
               "--upstream-bulk", "http://b/all.csv.gz"});
    ASSERT_TRUE(std::holds_alternative<ServerOptions>(parsed)) << std::get<std::string>(parsed);
    const ServerOptions& o = std::get<ServerOptions>(parsed);
    EXPECT_EQ(o.port, 9000);
    EXPECT_EQ(o.bind, "::");
    EXPECT_EQ(o.stations, "s.txt");
    EXPECT_EQ(o.source, ServerOptions::Source::Upstream);
    EXPECT_EQ(o.upstream, "http://u/metar");
    EXPECT_EQ(o.upstreamBulk, "http://b/all.csv.gz");
    EXPECT_EQ(o.cacheSeconds, 60);
    EXPECT_EQ(o.fixedNow, UtcTime(2026, 12, 7, 5, 0));
    EXPECT_TRUE(o.quiet);
    const ServerOptions folder = std::get<ServerOptions>(Parse({"-p", "0", "--metar-dir", "m"}));
    EXPECT_EQ(folder.source, ServerOptions::Source::Folder);
    EXPECT_EQ(folder.metarDir, "m");
    EXPECT_EQ(folder.port, 0);
    const ServerOptions plain = std::get<ServerOptions>(Parse({}));
    EXPECT_EQ(plain.source, ServerOptions::Source::Simulated);
    EXPECT_EQ(plain.port, 8573);
    EXPECT_EQ(plain.bind, "127.0.0.1");
    EXPECT_FALSE(plain.quiet);
}

TEST(CommandLine, RefusesMistakesSayingWhich) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--port", "65536"}, "--port wants a number from 0 to 65535"},
        {{"--port", "80x"}, "--port wants a number"},
        {{"--port"}, "--port needs a value"},
        {{"--simulate", "--metar-dir", "m"}, "choose one of"},
        {{"--now", "2026-12-07"}, "--now wants YYYY-MM-DDTHH:MM"},
        {{"--cache-seconds", "-1"}, "--cache-seconds wants a number"},
        {{"--colour"}, "unknown option --colour"},
        {{"stray"}, "unexpected argument stray"},
        {{"--upstream-bulk", "http://b/x.gz"}, "--upstream-bulk goes with --upstream"},
    };
    for (const auto& [args, message] : cases) {
        const auto parsed = Parse(args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << args[0];
        EXPECT_NE(std::get<std::string>(parsed).find(message), std::string::npos)
            << std::get<std::string>(parsed);
    }
}

TEST(CommandLine, HelpDescribesEveryOptionAndVersionSaysIt) {
    const auto help = testing_support::RunCommand(std::string(VENTORA_REPORTD_BINARY) + " --help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--port", "--bind", "--stations", "--simulate", "--metar-dir", "--upstream",
          "--upstream-bulk", "--cache-seconds", "--now", "--quiet", "--help", "--version",
          // and the requests it answers
          "/weather/surface/stations.txt", "/weather/surface/index.php",
          "/weather/surface/latest.csv[?hours=N]"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    const auto version =
        testing_support::RunCommand(std::string(VENTORA_REPORTD_BINARY) + " --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("ventora-reportd ", 0), 0u) << version.output;
}

TEST(CommandLine, TheListOfTheCurrentFolderComesFirst) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::WriteFile("installed.txt", "x");
    EXPECT_EQ(DefaultStationList({"missing.txt", "installed.txt"}), "installed.txt");
    EXPECT_EQ(DefaultStationList({"missing.txt"}), "missing.txt");
    testing_support::WriteFile("stations.txt", "x");
    EXPECT_EQ(DefaultStationList({"installed.txt"}), "stations.txt");
}
