// What a client sends the report server: request heads and the report query.

#include "reportd/HttpServer.h"
#include "reportd/ReportQuery.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto head = ParseRequestHead(text))
        if (head->target.empty() || head->target[0] != '/')
            __builtin_trap();
    if (const auto query = ParseReportQuery(text))
        if (query->icao.empty() || query->hours < 0 || query->hours > 96)
            __builtin_trap();
    DecodeQueryValue(text);
    return 0;
}
