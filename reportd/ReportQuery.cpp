#include "reportd/ReportQuery.h"

#include "observations/ReportProtocol.h"
#include "platform/CText.h"

#include <algorithm>
#include <cctype>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::string> DecodeQueryValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int hi = HexDigit(text[i + 1]);
            const int lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// Calls `take` with each decoded key and value of the query; false for a broken escape.
template <typename Take> bool ForEachPair(std::string_view query, Take take) {
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view pair = query.substr(start, end - start);
        const std::size_t eq = pair.find('=');
        const auto key = DecodeQueryValue(pair.substr(0, eq));
        const auto value =
            DecodeQueryValue(eq == std::string_view::npos ? "" : pair.substr(eq + 1));
        if (!key || !value)
            return false;
        take(*key, *value);
        start = end + 1;
    }
    return true;
}

} // namespace

std::optional<int> ParseLatestQuery(std::string_view query) {
    std::optional<std::string> hours;
    if (!query.empty() && !ForEachPair(query, [&hours](const std::string& key, std::string value) {
            if (key == protocol::kLatestHoursKey)
                hours = std::move(value);
        }))
        return std::nullopt;
    if (!hours)
        return protocol::kDefaultLatestHours;
    if (hours->empty() || hours->size() > 2)
        return std::nullopt;
    int n = 0;
    for (char c : *hours) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > protocol::kMaxHours)
        return std::nullopt;
    return n;
}

std::optional<ReportQuery> ParseReportQuery(std::string_view query) {
    std::optional<std::string> ids;
    std::optional<std::string> hours;
    if (!ForEachPair(query, [&](const std::string& key, std::string value) {
            if (key == protocol::kStationKey)
                ids = std::move(value);
            else if (key == protocol::kHoursKey)
                hours = std::move(value);
        }))
        return std::nullopt;
    if (!ids || !hours)
        return std::nullopt;

    ReportQuery q;
    q.icao = platform::Trim(*ids);
    for (char& c : q.icao)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (q.icao.size() != 4)
        return std::nullopt;
    for (char c : q.icao)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return std::nullopt;

    // Plus signs may arrive encoded ("%2B"), so they count as blanks after decoding too.
    const auto period = protocol::ReadHoursText(*hours);
    if (!period)
        return std::nullopt;
    q.hours = *period;
    return q;
}
