// The latest-report table as the viewer reads it, and the data service's bulk file of current
// reports (gzip or not) as the report server reads it.

#include "observations/CurrentReports.h"
#include "observations/LatestTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Table(std::string_view text) {
    LatestTable read;
    try {
        read = ReadLatestTable(text, [](std::string_view icao) { return icao != "ZZZZ"; });
    } catch (const TableFormatError&) {
        return;
    }
    for (const LatestRow& row : read.rows)
        if (row.icao.empty() || row.icao == "ZZZZ")
            __builtin_trap();
    // Written once, the rows read back unchanged and write the same text again.
    const std::string written = WriteLatestTable(read.rows);
    const LatestTable again = ReadLatestTable(written);
    if (again.skippedRows != 0 || again.rows.size() != read.rows.size() ||
        WriteLatestTable(again.rows) != written)
        __builtin_trap();
}

void Bulk(std::string_view data) {
    try {
        const CurrentReports read = ReadCurrentReportsFile(data);
        for (const CurrentReport& r : read.reports)
            if (r.icao.empty() || r.raw.empty())
                __builtin_trap();
    } catch (const TableFormatError&) {
    }
    try {
        const std::string text = Gunzip(data, 1 << 20);
        if (text.size() > (1u << 20))
            __builtin_trap();
    } catch (const TableFormatError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Table(text);
    Bulk(text);
    return 0;
}
