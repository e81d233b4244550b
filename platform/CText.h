#pragma once

#include <optional>
#include <string>
#include <string_view>

// The C library's text services as the program uses them, independent of the user's locale:
// numbers are always read and printed with a decimal point.
namespace platform {

// The leading decimal number of the text, as atof reads it (leading white space, optional
// sign, digits, fraction, exponent); 0 when the text does not begin with a number.
double LeadingDouble(std::string_view text);

// The leading decimal integer, as atoi reads it; 0 without digits, clamped to the int range.
int LeadingInt(std::string_view text);

// The number the whole text spells (blanks around it allowed), read in the C locale; none for a
// text that is no number or holds anything else.
std::optional<double> WholeNumber(std::string_view text);

// printf-style formatting in the C locale.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Single-byte lower-casing of ASCII letters (the C locale's tolower).
std::string ToLower(std::string_view text);

// Trims blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds at both ends.
std::string Trim(std::string_view text);
// The characters Trim takes away: the C locale's white space.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The same, as the part of `text` that stays (inline: the station list trims every field).
inline std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Where `needle` first stands in `text` at or after `from` (npos if nowhere), as
// std::string_view::find answers. A candidate must match the needle's last character before
// the rest is compared: in markup, most places its first character stands (every '<' of a
// tag for "<TD") are passed over without a call.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces every occurrence of `from` by `to`, scanning left to right once.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to);

// The text cut to at most `length` characters, its end replaced by "..." when it was longer:
// for a user's long text inside a message or a menu.
std::string Elide(std::string_view text, std::size_t length = 60);

} // namespace platform
