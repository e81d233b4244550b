#include "tests/reportd/RunningServer.h"
#include "tests/support/TestPaths.h"
#include "reportd/Simulation.h"

#include <httplib.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

// 2,000 requests for 24-hour pages of simulated reports from 4 client threads on loopback.
static void BM_ReportServerLoad(benchmark::State& state) {
    const std::string list =
        testing_support::ReadFile(std::string(VENTORA_SOURCE_DIR) + "/data/stations.txt");
    testing_support::RunningServer server(list, std::make_unique<SimulatedSource>(),
                                          [] { return UtcTime(2026, 12, 7, 5, 0); });
    const char* stations[] = {"KJFK", "EDDF", "YSSY", "EGLL", "RJTT", "CYYZ", "FAOR", "SBGR"};
    constexpr int kThreads = 4;
    constexpr int kRequests = 2000;
    std::atomic<int> errors{0};
    for (auto _ : state) {
        std::vector<std::thread> clients;
        for (int c = 0; c < kThreads; ++c)
            clients.emplace_back([&, c] {
                httplib::Client client("127.0.0.1", server.Port());
                client.set_keep_alive(true);
                client.set_tcp_nodelay(true);
                for (int i = c; i < kRequests; i += kThreads) {
                    const std::string target =
                        std::string("/weather/surface/index.php?metarIds=") + stations[i % 8] +
                        "&hoursStr=past+24+hours&std_trans=translated&num_metars=number"
                        "&submit_metars=Retrieve";
                    auto res = client.Get(target.c_str());
                    if (!res || res->status != 200 || res->body.find("Sorry") != std::string::npos)
                        ++errors;
                }
            });
        for (auto& t : clients)
            t.join();
    }
    if (errors)
        state.SkipWithError("requests failed");
    state.counters["requests_per_s"] =
        benchmark::Counter(kRequests, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["errors"] = errors.load();
}
BENCHMARK(BM_ReportServerLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
