#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace platform {

// A text of at most N bytes kept inside its owner, for the fixed-width fields of a record that
// there are many of: no heap, and a copy is a copy of bytes. Longer texts are cut to N bytes.
// It reads like a std::string (and converts to one), so that its users need not know.
template <std::size_t N> class FixedText {
    static_assert(N > 0 && N < 256, "the length is kept in one byte");

public:
    static constexpr std::size_t npos = std::string::npos;

    FixedText() = default;
    FixedText(std::string_view text) { assign(text); }
    FixedText(const char* text) { assign(text); }
    FixedText(const std::string& text) { assign(text); }
    template <std::size_t M> FixedText(const FixedText<M>& text) { assign(text.view()); }

    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    FixedText& operator=(const char* text) { return *this = std::string_view(text); }
    FixedText& operator=(const std::string& text) { return *this = std::string_view(text); }
    template <std::size_t M> FixedText& operator=(const FixedText<M>& text) {
        return *this = text.view();
    }

    void assign(std::string_view text) {
        m_size = static_cast<std::uint8_t>(std::min(text.size(), N));
        // A few bytes copy faster where they stand than through a call; forward, so that a
        // text assigned a later part of itself comes out right.
        if constexpr (N <= 32)
            for (std::size_t i = 0; i < m_size; ++i)
                m_text[i] = text[i];
        else
            std::memmove(m_text, text.data(), m_size);
        m_text[m_size] = '\0';
    }
    void clear() { assign({}); }

    static constexpr std::size_t capacity() { return N; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const char* c_str() const { return m_text; }
    const char* data() const { return m_text; }
    const char* begin() const { return m_text; }
    const char* end() const { return m_text + m_size; }
    char operator[](std::size_t i) const { return m_text[i]; }
    char back() const { return m_text[m_size - 1]; }

    std::string_view view() const { return {m_text, m_size}; }
    std::string str() const { return std::string(m_text, m_size); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    std::size_t find(char c, std::size_t from = 0) const { return view().find(c, from); }
    std::size_t find(std::string_view s, std::size_t from = 0) const {
        return view().find(s, from);
    }
    std::string substr(std::size_t from, std::size_t count = npos) const {
        return std::string(view().substr(from, count));
    }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const char* b) { return a.view() == b; }
    friend std::strong_ordering operator<=>(const FixedText& a, const FixedText& b) {
        return a.view() <=> b.view();
    }
    friend std::strong_ordering operator<=>(const FixedText& a, std::string_view b) {
        return a.view() <=> b;
    }

    friend std::string operator+(const FixedText& a, std::string_view b) {
        std::string r;
        r.reserve(a.size() + b.size());
        return r.append(a.view()).append(b);
    }
    friend std::string operator+(std::string_view a, const FixedText& b) {
        std::string r;
        r.reserve(a.size() + b.size());
        return r.append(a).append(b.view());
    }
    friend std::string operator+(const FixedText& a, const std::string& b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const std::string& a, const FixedText& b) {
        return std::string_view(a) + b;
    }
    friend std::string operator+(const FixedText& a, const char* b) {
        return a + std::string_view(b);
    }
    friend std::string operator+(const char* a, const FixedText& b) {
        return std::string_view(a) + b;
    }
    friend std::string operator+(std::string&& a, const FixedText& b) {
        return std::move(a.append(b.view()));
    }

    friend std::ostream& operator<<(std::ostream& out, const FixedText& t) {
        return out << t.view();
    }

private:
    std::uint8_t m_size = 0;
    char m_text[N + 1] = {};
};

} // namespace platform
