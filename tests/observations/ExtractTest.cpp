#include "observations/PageFetcher.h"

#include <gtest/gtest.h>

TEST(Extract, CountsOccurrencesFromTheStart) {
    const std::string text = "x [one] y [two] z";
    EXPECT_EQ(PageFetcher::Extract(text, "", "[", "]", 1), "one");
    EXPECT_EQ(PageFetcher::Extract(text, "", "[", "]", 2), "two");
    EXPECT_EQ(PageFetcher::Extract(text, "", "[", "]", 3), "");
}

TEST(Extract, NeedsEveryMarkerAfterTheLabel) {
    EXPECT_EQ(PageFetcher::Extract("Winds: <b>calm", "Winds", "<b>", "</b>", 1), "");
    EXPECT_EQ(PageFetcher::Extract("<b>x</b> Winds: none", "Winds", "<b>", "</b>", 1), "");
    EXPECT_EQ(PageFetcher::Extract("Winds: <b>calm</b>", "Winds", "<b>", "</b>", 1), "calm");
    // Case counts.
    EXPECT_EQ(PageFetcher::Extract("winds: <b>calm</b>", "Winds", "<b>", "</b>", 1), "");
}

TEST(Extract, EndMarkerSearchStartsAtTheStartMarker) {
    // The end marker is found inside the start marker itself: a negative length gives nothing.
    EXPECT_EQ(PageFetcher::Extract("L abcd", "L", "abc", "bc", 1), "");
}

TEST(Extract, DecodesInOneOrderedPass) {
    const struct {
        const char* raw;
        const char* decoded;
    } cases[] = {
        {"a&#160;&#160;b", "a  b"}, // blanks come after folding
        {"a    b", "a  b"},         // one pass halves them
        {"x&#38;#160;y", "x y"},    // "&#38;" makes a reference
        {"&#38;#45;", "-"},
        {"&#38;#34;", "&#34;"}, // its step ran before "&"
        {"&#64;&#45;1&#46;5&deg;C", "&#64;-1.5\xB0"
                                    "C"},
        {"&#34;&#33;&#36;&#37;&#47;&#62;&#247;", "\"!$%/>-"},
        {" line\none \n", "line one"},
        {"no references  at all\n", "no references at all"},
        {"a   b", "a  b"},        // an odd run keeps its last blank
        {"a\n\nb", "a  b"},       // line feeds become blanks after the folding
        {"a&#160;\n b", "a   b"}, // so do references
        {"&#1600;, &amp; and &", "&#1600;, &amp; and &"}, // not references of the table
        {"\t &#160;x&#160;", "x"},                        // trimmed after decoding
        {"&#34 &#034; &deg x&", "&#34 &#034; &deg x&"},   // cut short or spelled otherwise
        {"&#60;&#160;&#247;&deg;", "< -\xB0"},
    };
    // Into a text that held something longer: none of it stays.
    std::string reused;
    for (const auto& c : cases) {
        EXPECT_EQ(PageFetcher::DecodeExtracted(c.raw), c.decoded) << c.raw;
        reused.assign(200, 'Z');
        PageFetcher::DecodeExtractedInto(c.raw, reused);
        EXPECT_EQ(reused, c.decoded) << c.raw;
    }
}

TEST(Extract, QueryValuesKeepOnlyUnreservedCharacters) {
    const struct {
        std::string value;
        const char* escaped;
    } cases[] = {
        {"azAZ09-._~", "azAZ09-._~"},         {"past 24 hours", "past%2024%20hours"},
        {"/?&=%+#", "%2F%3F%26%3D%25%2B%23"}, {"\xC3\xA9\x7F", "%C3%A9%7F"},
        {std::string("a\0b", 3), "a%00b"},    {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageFetcher::EscapeQueryValue(c.value), c.escaped) << c.value;
}
