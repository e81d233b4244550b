#include "observations/ReportProtocol.h"

#include <charconv>
#include <string_view>

namespace protocol {

namespace {

constexpr std::string_view kMostRecent = "most recent only";

// `text` without its blanks and plus signs at both ends, in lower case, runs of separators as
// one blank.
std::string Normalised(std::string_view text) {
    std::string out;
    bool pendingBlank = false;
    for (char c : text) {
        if (c == ' ' || c == '+' || c == '\t') {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

} // namespace

std::string HoursText(int hours) {
    return hours <= 0 ? std::string(kMostRecent) : "past " + std::to_string(hours) + " hours";
}

std::optional<int> ReadHoursText(std::string_view text) {
    const std::string h = Normalised(text);
    if (h == kMostRecent)
        return 0;
    constexpr std::string_view head = "past ", tail = " hours";
    if (h.size() <= head.size() + tail.size() || h.compare(0, head.size(), head) != 0 ||
        h.compare(h.size() - tail.size(), tail.size(), tail) != 0)
        return std::nullopt;
    const std::string_view number(h.data() + head.size(), h.size() - head.size() - tail.size());
    int hours = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), hours);
    if (error != std::errc() || end != number.data() + number.size() || number.size() > 2 ||
        hours < 1 || hours > kMaxHours)
        return std::nullopt;
    return hours;
}

} // namespace protocol
