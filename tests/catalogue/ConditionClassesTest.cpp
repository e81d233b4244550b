#include "catalogue/ConditionClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Relative luminance (ITU-R BT.709 weights on the coded values).
double Luminance(Rgb c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

} // namespace

TEST(ConditionClasses, FlightCategoriesFollowTheAviationColours) {
    const Rgb vfr = FlightCategoryColour(FlightCategory::VFR);
    const Rgb mvfr = FlightCategoryColour(FlightCategory::MVFR);
    const Rgb ifr = FlightCategoryColour(FlightCategory::IFR);
    const Rgb lifr = FlightCategoryColour(FlightCategory::LIFR);
    EXPECT_TRUE(vfr.g > 2 * vfr.r && vfr.g > 2 * vfr.b);     // green
    EXPECT_TRUE(mvfr.b > 2 * mvfr.r && mvfr.b > 2 * mvfr.g); // blue
    EXPECT_TRUE(ifr.r > 2 * ifr.g && ifr.r > 2 * ifr.b);     // red
    EXPECT_TRUE(lifr.r > 2 * lifr.g && lifr.b > 2 * lifr.g); // magenta
    for (Rgb c : {vfr, mvfr, ifr, lifr})
        EXPECT_NE(c, kNoReportColour);
}

TEST(ConditionClasses, TemperatureScaleIsViridisAndRisesInLightness) {
    // The published ends and middle of the scale.
    EXPECT_EQ(TemperatureColour(kColdestC), (Rgb{0x44, 0x01, 0x54}));
    EXPECT_EQ(TemperatureColour(kWarmestC), (Rgb{0xFD, 0xE7, 0x25}));
    EXPECT_EQ(TemperatureColour((kColdestC + kWarmestC) / 2), (Rgb{0x21, 0x90, 0x8C}));
    // Beyond the ends the end colours hold; no number is no report.
    EXPECT_EQ(TemperatureColour(kColdestC - 5), TemperatureColour(kColdestC));
    EXPECT_EQ(TemperatureColour(kWarmestC + 5), TemperatureColour(kWarmestC));
    EXPECT_EQ(TemperatureColour(std::numeric_limits<double>::infinity()),
              TemperatureColour(kWarmestC));
    EXPECT_EQ(TemperatureColour(std::nan("")), kNoReportColour);
    // Half-way between two points of the table lies half-way between their colours.
    const Rgb between = TemperatureColour(kColdestC + (kWarmestC - kColdestC) / 16);
    EXPECT_EQ(between, (Rgb{0x46, 0x17, 0x68}));
    // Warmer is lighter all the way: the order reads without hue.
    double previous = -1;
    for (double c = kColdestC; c <= kWarmestC; c += 0.5) {
        const double l = Luminance(TemperatureColour(c));
        EXPECT_GE(l, previous) << c;
        previous = l;
    }
}

TEST(ConditionClasses, WindClassesByBeaufortForce) {
    const struct {
        int knots;
        WindClass wind;
    } cases[] = {{0, WindClass::Calm},      {1, WindClass::Light},     {10, WindClass::Light},
                 {11, WindClass::Moderate}, {21, WindClass::Moderate}, {22, WindClass::Strong},
                 {33, WindClass::Strong},   {34, WindClass::Gale},     {150, WindClass::Gale}};
    for (const auto& c : cases)
        EXPECT_EQ(WindClassOf(c.knots), c.wind) << c.knots;
    const char* names[] = {"calm", "light", "moderate", "strong", "gale"};
    double previous = 256;
    for (int i = 0; i < 5; ++i) {
        const auto wind = static_cast<WindClass>(i);
        EXPECT_EQ(WindClassName(wind), names[i]);
        EXPECT_EQ(WindClassOf(WindClassFromKnots(wind)), wind);
        EXPECT_EQ(WindClassOf(WindClassFromKnots(wind) - 1),
                  static_cast<WindClass>(std::max(i - 1, 0)));
        // Five even steps of the same scale, stronger darker.
        EXPECT_EQ(WindClassColour(wind),
                  TemperatureColour(kWarmestC - i * (kWarmestC - kColdestC) / 4))
            << names[i];
        const double l = Luminance(WindClassColour(wind));
        EXPECT_LT(l, previous) << names[i];
        previous = l;
    }
}
