#include "platform/DateParser.h"

#include <array>
#include <cctype>
#include <string>

namespace platform {

namespace {

struct Token {
    enum Kind { Number, Word, Punct } kind;
    std::string_view text;
    int value = 0; // numbers only
};

// No way of writing a date and a time of day takes more than this; longer texts are not looked
// at (a page may carry megabytes where a date belongs).
constexpr std::size_t kLongest = 80;

// The tokens of a text of at most kLongest characters (one character each at least), held
// without an allocation: a page reads a date in every row.
class Tokens {
public:
    void push_back(const Token& token) { m_items[m_size++] = token; }
    std::size_t size() const { return m_size; }
    const Token& operator[](std::size_t i) const { return m_items[i]; }

private:
    std::array<Token, kLongest> m_items{};
    std::size_t m_size = 0;
};

// The C library's classes of a byte, without its call for the ASCII bytes, which every locale
// classes alike.
bool IsSpace(unsigned char c) {
    return c < 0x80 ? c == ' ' || (c >= '\t' && c <= '\r') : std::isspace(c) != 0;
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(unsigned char c) {
    return c < 0x80 ? (c | 0x20) >= 'a' && (c | 0x20) <= 'z' : std::isalpha(c) != 0;
}

std::optional<Tokens> Tokenize(std::string_view text) {
    if (text.size() > kLongest) // a token takes a character at least
        return std::nullopt;
    Tokens tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsSpace(c)) {
            ++i;
        } else if (IsDigit(c)) {
            std::size_t j = i;
            int value = 0;
            while (j < text.size() && IsDigit(static_cast<unsigned char>(text[j]))) {
                if (j - i >= 6) // no field of a date or time has so many digits
                    return std::nullopt;
                value = value * 10 + (text[j] - '0');
                ++j;
            }
            tokens.push_back({Token::Number, text.substr(i, j - i), value});
            i = j;
        } else if (IsAlpha(c)) {
            std::size_t j = i;
            while (j < text.size() && IsAlpha(static_cast<unsigned char>(text[j])))
                ++j;
            tokens.push_back({Token::Word, text.substr(i, j - i)});
            i = j;
        } else if (c == ':' || c == '/' || c == '-' || c == ',' || c == '.') {
            tokens.push_back({Token::Punct, text.substr(i, 1)});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int MonthFromName(std::string_view word) {
    static const std::array<std::string_view, 12> names = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    for (std::size_t m = 0; m < names.size(); ++m)
        if (EqualsNoCase(word, names[m]) || EqualsNoCase(word, names[m].substr(0, 3)))
            return static_cast<int>(m) + 1;
    if (EqualsNoCase(word, "sept"))
        return 9;
    return 0;
}

int ExpandYear(const Token& token) {
    if (token.text.size() <= 2)
        return token.value < 30 ? 2000 + token.value : 1900 + token.value;
    return token.value;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

class Reader {
public:
    explicit Reader(const Tokens& tokens) : m_tokens(tokens) {}

    bool AtEnd() const { return m_pos >= m_tokens.size(); }
    const Token* Peek(std::size_t ahead = 0) const {
        return m_pos + ahead < m_tokens.size() ? &m_tokens[m_pos + ahead] : nullptr;
    }
    bool IsNumber(std::size_t ahead = 0) const {
        const Token* t = Peek(ahead);
        return t && t->kind == Token::Number;
    }
    bool IsPunct(char c, std::size_t ahead = 0) const {
        const Token* t = Peek(ahead);
        return t && t->kind == Token::Punct && t->text[0] == c;
    }
    bool IsWord(std::size_t ahead = 0) const {
        const Token* t = Peek(ahead);
        return t && t->kind == Token::Word;
    }

    // HH:MM[:SS] [AM|PM]
    bool ReadTime(DateTimeFields& f) {
        if (!(IsNumber() && IsPunct(':', 1) && IsNumber(2)))
            return false;
        f.hour = Peek()->value;
        f.minute = Peek(2)->value;
        m_pos += 3;
        if (IsPunct(':') && IsNumber(1)) {
            f.second = Peek(1)->value;
            m_pos += 2;
        }
        if (IsWord()) {
            const std::string_view w = Peek()->text;
            const bool am = EqualsNoCase(w, "AM") || EqualsNoCase(w, "A");
            const bool pm = EqualsNoCase(w, "PM") || EqualsNoCase(w, "P");
            if (am || pm) {
                if (f.hour < 1 || f.hour > 12)
                    return false;
                f.hour = f.hour % 12 + (pm ? 12 : 0);
                ++m_pos;
            }
        }
        return f.hour <= 23 && f.minute <= 59 && f.second <= 59;
    }

    bool ReadDate(DateTimeFields& f) {
        if (IsNumber() && IsPunct('/', 1) && IsNumber(2) && IsPunct('/', 3) && IsNumber(4)) {
            const Token& year = *Peek(4);
            if (year.text.size() != 2 && year.text.size() != 4)
                return false;
            f.month = Peek()->value;
            f.day = Peek(2)->value;
            f.year = ExpandYear(year);
            m_pos += 5;
        } else if (IsNumber() && Peek()->text.size() == 4 && IsPunct('-', 1) && IsNumber(2) &&
                   IsPunct('-', 3) && IsNumber(4)) {
            f.year = Peek()->value;
            f.month = Peek(2)->value;
            f.day = Peek(4)->value;
            m_pos += 5;
        } else if (IsNumber() && IsWord(1) && IsNumber(2)) {
            f.day = Peek()->value;
            f.month = MonthFromName(Peek(1)->text);
            f.year = ExpandYear(*Peek(2));
            m_pos += 3;
        } else if (IsWord() && IsNumber(1)) {
            f.month = MonthFromName(Peek()->text);
            f.day = Peek(1)->value;
            m_pos += 2;
            if (IsPunct(','))
                ++m_pos;
            if (!IsNumber())
                return false;
            f.year = ExpandYear(*Peek());
            ++m_pos;
        } else {
            return false;
        }
        return f.month >= 1 && f.month <= 12 && f.year >= 1 && f.day >= 1 &&
               f.day <= DaysInMonth(f.year, f.month);
    }

private:
    const Tokens& m_tokens;
    std::size_t m_pos = 0;
};

} // namespace

std::optional<DateTimeFields> ParseUsDateTime(std::string_view text) {
    const auto tokens = Tokenize(text);
    if (!tokens)
        return std::nullopt;
    DateTimeFields fields;
    Reader reader(*tokens);
    const bool timeFirst = reader.IsNumber() && reader.IsPunct(':', 1);
    if (timeFirst) {
        if (!reader.ReadTime(fields) || !reader.ReadDate(fields))
            return std::nullopt;
    } else {
        if (!reader.ReadDate(fields) || !reader.ReadTime(fields))
            return std::nullopt;
    }
    if (!reader.AtEnd())
        return std::nullopt;
    return fields;
}

} // namespace platform
