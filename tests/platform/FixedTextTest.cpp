#include "platform/FixedText.h"

#include <gtest/gtest.h>

#include <string>

using platform::FixedText;

TEST(FixedText, HoldsUpToItsWidthAndCutsTheRest) {
    const struct {
        std::string given;
        std::string kept;
    } cases[] = {{"", ""}, {"KJF", "KJF"}, {"KJFK", "KJFK"}, {"KJFKX", "KJFK"}};
    for (const auto& c : cases) {
        FixedText<4> text = std::string("stale");
        text = c.given;
        EXPECT_EQ(text.size(), c.kept.size()) << c.given;
        EXPECT_EQ(text.str(), c.kept) << c.given;
        EXPECT_EQ(text.c_str()[text.size()], '\0') << c.given; // C callers read up to the NUL
        EXPECT_EQ(text.empty(), c.kept.empty()) << c.given;
    }
    FixedText<17> name = FixedText<4>("EDDF");
    name = FixedText<2>("DE");
    EXPECT_EQ(name, "DE");
    name.clear();
    EXPECT_TRUE(name.empty());
}

TEST(FixedText, ComparesAndJoinsAsItsText) {
    const FixedText<7> lon = "073 46W";
    EXPECT_EQ(lon, std::string("073 46W"));
    EXPECT_NE(lon, "073 46E");
    EXPECT_LT(FixedText<4>("EDDF"), FixedText<4>("EDDH"));
    EXPECT_LT(FixedText<4>("EDD"), FixedText<4>("EDDF")); // a prefix sorts first, as strings do
    EXPECT_EQ("(" + lon + ")", "(073 46W)");
    EXPECT_EQ(std::string("lon ") + lon, "lon 073 46W");
    EXPECT_EQ(lon.find(' '), 3u);
    EXPECT_EQ(lon.substr(4), "46W");
    EXPECT_EQ(lon.back(), 'W');
}
