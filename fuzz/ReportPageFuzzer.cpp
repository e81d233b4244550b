// A translated report page as a server may send it: rows, dates, temperatures, cells.

#include "observations/ReportPage.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    ObservationSeries series;
    ObservationRecord working;
    const ReportReadResult result = ReadReportRows(page, &series, working);
    if (series.GetSize() > result.rows)
        __builtin_trap();
    // Newest first, as the windows rely on.
    for (int i = 1; i < series.GetSize(); ++i)
        if (ObservedInstant(series[i - 1]) < ObservedInstant(series[i]))
            __builtin_trap();
    ObservationRecord probe;
    ReadReportRows(page, nullptr, probe);
    return 0;
}
