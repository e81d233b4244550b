#include "observations/Csv.h"

#include <iconv.h>

#include <algorithm>
#include <chrono>

namespace {

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Converts with iconv; an input byte it cannot convert becomes "?" and is passed over.
std::string Convert(std::string_view text, const char* to, const char* from) {
    if (IsAscii(text))
        return std::string(text);
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no text conversion");
    std::string out(text.size() * 3, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1))
            break;
        // Every character becomes at most three bytes: only unconvertible input stops here.
        *dst++ = '?';
        --outLeft;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size())
        return -1;
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

void AppendDigits(std::string& out, long long value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
}

} // namespace

CsvReader::CsvReader(std::string_view text) : m_text(text) {
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
        m_pos = 3;
}

bool CsvReader::Next() {
    if (m_pos >= m_text.size())
        return false;
    const std::size_t size = m_text.size();
    m_buffer.clear();
    m_spans.clear();
    m_quoted = false;
    m_unterminated = false;
    std::size_t i = m_pos;
    for (;;) {
        if (i < size && m_text[i] == '"') {
            // Up to the quote that is not doubled; only a field with doubled quotes is copied.
            m_quoted = true;
            const std::size_t begin = ++i;
            const std::size_t bufferBegin = m_buffer.size();
            bool copied = false;
            std::size_t contentEnd = size;
            for (;;) {
                const std::size_t quote = m_text.find('"', i);
                if (quote == std::string_view::npos) {
                    m_unterminated = true;
                    if (copied)
                        m_buffer.append(m_text.substr(i));
                    i = size;
                    break;
                }
                if (quote + 1 < size && m_text[quote + 1] == '"') {
                    m_buffer.append(m_text.substr(i, quote + 1 - i));
                    copied = true;
                    i = quote + 2;
                    continue;
                }
                if (copied)
                    m_buffer.append(m_text.substr(i, quote - i));
                contentEnd = quote;
                i = quote + 1;
                break;
            }
            m_spans.push_back(copied ? Span{true, bufferBegin, m_buffer.size() - bufferBegin}
                                     : Span{false, begin, contentEnd - begin});
            // Anything between the closing quote and the separator is passed over.
            while (i < size && m_text[i] != ',' && m_text[i] != '\n')
                ++i;
        } else {
            std::size_t end = i;
            while (end < size && m_text[end] != ',' && m_text[end] != '\n')
                ++end;
            std::size_t length = end - i;
            if (end < size && m_text[end] == '\n' && length > 0 && m_text[end - 1] == '\r')
                --length;
            m_spans.push_back({false, i, length});
            i = end;
        }
        if (i < size && m_text[i] == ',') {
            ++i;
            continue;
        }
        m_pos = i + 1; // past the line end, or beyond the end of the text
        break;
    }
    m_fields.clear();
    const std::string_view buffer(m_buffer);
    for (const Span& s : m_spans)
        m_fields.push_back(s.inBuffer ? buffer.substr(s.begin, s.length)
                                      : m_text.substr(s.begin, s.length));
    return true;
}

void AppendCsvField(std::string& out, std::string_view field) {
    // A plain loop: find_first_of searches the set once per character.
    bool plain = true;
    for (char c : field)
        plain = plain && c != ',' && c != '"' && c != '\r' && c != '\n';
    if (plain) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvText(std::string& out, std::string_view cp1252) {
    if (IsAscii(cp1252))
        AppendCsvField(out, cp1252);
    else
        AppendCsvField(out, Cp1252ToUtf8(cp1252));
}

std::vector<int> ColumnsOf(const std::vector<std::string_view>& header,
                           std::initializer_list<std::string_view> names) {
    std::vector<int> columns;
    columns.reserve(names.size());
    for (std::string_view name : names) {
        int found = -1;
        for (std::size_t i = 0; i < header.size() && found < 0; ++i) {
            std::string_view h = header[i];
            while (!h.empty() && (h.front() == ' ' || h.front() == '\t'))
                h.remove_prefix(1);
            while (!h.empty() && (h.back() == ' ' || h.back() == '\t'))
                h.remove_suffix(1);
            if (h == name)
                found = static_cast<int>(i);
        }
        columns.push_back(found);
    }
    return columns;
}

void AppendIsoUtc(std::string& out, std::int64_t instant) {
    using namespace std::chrono;
    const sys_seconds time{seconds{instant}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const long long secondOfDay = (time - day).count();
    AppendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    AppendDigits(out, static_cast<unsigned>(date.month()), 2);
    out += '-';
    AppendDigits(out, static_cast<unsigned>(date.day()), 2);
    out += 'T';
    AppendDigits(out, secondOfDay / 3600, 2);
    out += ':';
    AppendDigits(out, secondOfDay / 60 % 60, 2);
    out += ':';
    AppendDigits(out, secondOfDay % 60, 2);
    out += 'Z';
}

std::optional<std::int64_t> ReadIsoUtc(std::string_view text) {
    using namespace std::chrono;
    // YYYY-MM-DDTHH:MM[:SS[.fff]]Z
    if (text.size() < 17 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text.back() != 'Z')
        return std::nullopt;
    const int y = Digits(text, 0, 4);
    const int mo = Digits(text, 5, 2);
    const int d = Digits(text, 8, 2);
    const int h = Digits(text, 11, 2);
    const int mi = Digits(text, 14, 2);
    int s = 0;
    std::string_view rest = text.substr(16, text.size() - 17);
    if (!rest.empty()) {
        s = rest[0] == ':' ? Digits(rest, 1, 2) : -1;
        rest.remove_prefix(std::min<std::size_t>(rest.size(), 3));
        // A fraction of a second, of up to nine digits, is passed over.
        if (!rest.empty() && (rest[0] != '.' || rest.size() < 2 || rest.size() > 10 ||
                              Digits(rest, 1, rest.size() - 1) < 0))
            return std::nullopt;
    }
    const year_month_day date{year{y}, month{static_cast<unsigned>(mo)},
                              day{static_cast<unsigned>(d)}};
    if (y < 0 || mo < 0 || d < 0 || !date.ok() || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59)
        return std::nullopt;
    return (sys_days{date}.time_since_epoch() + hours{h} + minutes{mi} + seconds{s}) / seconds{1};
}

std::string Cp1252ToUtf8(std::string_view text) {
    return Convert(text, "UTF-8", "CP1252");
}

std::string Utf8ToCp1252(std::string_view text) {
    return Convert(text, "CP1252//TRANSLIT", "UTF-8");
}
