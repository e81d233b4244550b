#include "platform/CText.h"

#include <cctype>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace platform {

namespace {

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

} // namespace

double LeadingDouble(std::string_view text) {
    // strtod_l with the C locale reads exactly what atof reads, whatever the user's locale.
    const std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, CLocale());
}

std::optional<double> WholeNumber(std::string_view text) {
    const std::string copy = Trim(text);
    if (copy.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, CLocale());
    if (end != copy.c_str() + copy.size())
        return std::nullopt;
    return value;
}

int LeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max() + 1LL)
            value = std::numeric_limits<int>::max() + 1LL;
        ++i;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

std::string Format(const char* format, ...) {
    const locale_t previous = uselocale(CLocale());
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
        result.assign(small, static_cast<std::size_t>(length));
    } else if (length >= 0) {
        result.resize(static_cast<std::size_t>(length));
        std::vsnprintf(result.data(), result.size() + 1, format, copy);
    }
    va_end(copy);
    uselocale(previous);
    return result;
}

std::string ToLower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.size() < 2 || from > text.size() || text.size() - from < needle.size())
        return text.find(needle, from);
    const char* const start = text.data();
    const char* at = start + from;
    const char* const last = start + text.size() - needle.size(); // the last candidate
    const std::size_t back = needle.size() - 1;
    while (at <= last) {
        at = static_cast<const char*>(
            std::memchr(at, needle[0], static_cast<std::size_t>(last - at) + 1));
        if (!at)
            break;
        if (at[back] == needle[back] && std::memcmp(at + 1, needle.data() + 1, back - 1) == 0)
            return static_cast<std::size_t>(at - start);
        ++at;
    }
    return std::string_view::npos;
}

std::string Trim(std::string_view text) {
    return std::string(TrimView(text));
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty())
        return;
    std::size_t pos = text.find(from);
    if (pos == std::string::npos)
        return;
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    while (pos != std::string::npos) {
        result.append(text, start, pos - start);
        result.append(to);
        start = pos + from.size();
        pos = text.find(from, start);
    }
    result.append(text, start, std::string::npos);
    text.swap(result);
}

std::string Elide(std::string_view text, std::size_t length) {
    if (text.size() <= length)
        return std::string(text);
    constexpr std::string_view dots = "...";
    return std::string(text.substr(0, length > dots.size() ? length - dots.size() : 0)) +
           std::string(dots);
}

} // namespace platform
