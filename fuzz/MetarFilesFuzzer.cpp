// The report server's inputs of reports: station and cycle files, and an upstream service's
// raw answer.

#include "platform/CalendarTime.h"
#include "reportd/MetarDirectory.h"
#include "reportd/UpstreamSource.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& [station, reports] : ParseStationFile(text))
        if (station.size() != 4 || reports.empty())
            __builtin_trap();
    const std::int64_t now = *platform::MakeUtcTime({2026, 12, 7, 5, 0, 0});
    const auto reports = ParseRawReports(text, now);
    for (std::size_t i = 1; i < reports.size(); ++i)
        if (reports[i - 1].time < reports[i].time)
            __builtin_trap();
    return 0;
}
