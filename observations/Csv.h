#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A table that cannot be read at all: no header, a column it needs missing, damaged data.
class TableFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads an RFC 4180 text record by record: fields separated by commas, records by CRLF or LF,
// a field in double quotes may hold commas, line ends and doubled quotes. A leading UTF-8
// byte-order mark is passed over.
class CsvReader {
public:
    explicit CsvReader(std::string_view text);

    // Reads the next record; false at the end of the text. The fields stay valid until the next
    // call.
    bool Next();
    const std::vector<std::string_view>& Fields() const { return m_fields; }
    // The record is an empty line.
    bool Blank() const { return m_fields.size() == 1 && m_fields[0].empty() && !m_quoted; }
    // The text ends inside a quoted field: it was cut.
    bool Unterminated() const { return m_unterminated; }

private:
    struct Span {
        bool inBuffer;
        std::size_t begin;
        std::size_t length;
    };
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_buffer; // quoted fields with doubled quotes, unescaped
    std::vector<Span> m_spans;
    std::vector<std::string_view> m_fields;
    bool m_quoted = false;
    bool m_unterminated = false;
};

// Appends the field, in quotes (doubled inside) when it holds a comma, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view field);
// The same for a text of the core, converted to UTF-8.
void AppendCsvText(std::string& out, std::string_view cp1252);

// Where each name stands among the header's fields (the first of equal names, blanks around
// them ignored); -1 for a name that is missing.
std::vector<int> ColumnsOf(const std::vector<std::string_view>& header,
                           std::initializer_list<std::string_view> names);

// ISO 8601 UTC times: "2026-12-07T14:50:00Z" for an instant (seconds since 1970) from year 0
// to 9999. The reader also takes fractions of a second and a time without seconds.
void AppendIsoUtc(std::string& out, std::int64_t instant);
std::optional<std::int64_t> ReadIsoUtc(std::string_view text);

// The core's single-byte texts in the tables' UTF-8 and back; what has no counterpart becomes
// "?". Plain ASCII passes through unchanged.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
