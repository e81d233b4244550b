// A translated report page as a server may send it: rows, dates, temperatures, cells.

#include "observations/PageFetcher.h"
#include "observations/ReportPage.h"
#include "platform/CText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The clean-up as it is defined: each replacement once over the whole text, in this order,
// then the text trimmed. The one-pass decoder must give the same.
std::string DecodeByDefinition(std::string_view raw) {
    static const std::pair<std::string_view, std::string_view> steps[] = {
        {"  ", " "},    {"\n", " "},    {"&#34;", "\""}, {"&#33;", "!"},  {"&#36;", "$"},
        {"&#37;", "%"}, {"&#38;", "&"}, {"&#45;", "-"},  {"&#46;", "."},  {"&#47;", "/"},
        {"&#60;", "<"}, {"&#62;", ">"}, {"&#160;", " "}, {"&#247;", "-"}, {"&deg;", "\xB0"},
    };
    std::string text(raw);
    for (const auto& [from, to] : steps)
        platform::ReplaceAll(text, from, to);
    return platform::Trim(text);
}

} // namespace

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
    const std::string_view head = page.substr(0, 512);
    if (PageFetcher::DecodeExtracted(head) != DecodeByDefinition(head))
        __builtin_trap();
    ObservationRecord probe;
    ReadReportRows(page, nullptr, probe);
    return 0;
}
