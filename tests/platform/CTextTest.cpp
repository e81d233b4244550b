#include "platform/CText.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace platform;

TEST(LeadingNumbers, ReadLikeTheCLibrary) {
    const struct {
        const char* text;
        double value;
    } doubles[] = {{"45.5", 45.5},   {"  -3.25abc", -3.25}, {"+7", 7.0},
                   {"1e3x", 1000.0}, {"abc", 0.0},          {"", 0.0},
                   {"45,5", 45.0}};
    for (const auto& c : doubles)
        EXPECT_DOUBLE_EQ(LeadingDouble(c.text), c.value) << c.text;
    const struct {
        const char* text;
        int value;
    } ints[] = {{"3abc", 3}, {"  -12", -12}, {"x12", 0}, {"99999999999", 2147483647}};
    for (const auto& c : ints)
        EXPECT_EQ(LeadingInt(c.text), c.value) << c.text;
}

TEST(LeadingNumbers, IgnoreTheUserLocale) {
    const char* german[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    bool switched = false;
    for (const char* name : german)
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_DOUBLE_EQ(LeadingDouble("45.500000"), 45.5);
    EXPECT_EQ(Format("%f", 45.5), "45.500000");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Format, PrintsLikePrintfAndGrowsBeyondSmallBuffers) {
    EXPECT_EQ(Format("%02d_%02d_%04d_%s.txt", 12, 6, 2026, "x"), "12_06_2026_x.txt");
    EXPECT_EQ(Format("%4.f", -4.0), "  -4");
    const std::string longText(1000, 'a');
    EXPECT_EQ(Format("<%s>", longText.c_str()), "<" + longText + ">");
}

TEST(Texts, TrimLowerAndReplace) {
    EXPECT_EQ(Trim(" \t ab c \r\n"), "ab c");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(ToLower("BeR\xC4"), "ber\xC4"); // only ASCII letters change
    std::string s = "a    b";
    ReplaceAll(s, "  ", " ");
    EXPECT_EQ(s, "a  b"); // one pass: replaced text is not scanned again
    s = "xyx";
    ReplaceAll(s, "x", "xx");
    EXPECT_EQ(s, "xxyxx");
}

TEST(Texts, FindAnswersAsTheStandardFind) {
    const std::string_view text = "<TR><TD>a</TD><TD ALIGN=\"left\">b</TD>TT";
    const struct {
        std::string_view needle;
        std::size_t from;
    } cases[] = {
        {"<TD ALIGN", 0},
        {"<TD", 5},
        {"</TD>", 0},
        {"TT", 0},
        {"TT", 37},
        {"T", 0},
        {"", 3},
        {"", 40},
        {"", 41},
        {"<TX", 0},
        {"<TD>a", 1},
        {"DT", 0},
        {"<TR><TD>a</TD><TD ALIGN=\"left\">b</TD>TT!", 0},
        {"b</TD>TT", 99},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::Find(text, c.needle, c.from), text.find(c.needle, c.from))
            << c.needle << " from " << c.from;
}
