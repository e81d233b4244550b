#include "observations/FlightCategory.h"
#include "tests/support/TestPaths.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <iostream>

namespace {

// The category's name, or "" for none.
std::string CategoryOf(const std::string& report) {
    const auto category = FlightCategoryOf(DecodeMetar(report));
    return category ? std::string(FlightCategoryName(*category)) : std::string();
}

} // namespace

TEST(FlightCategory, BoundariesOfCeilingAndVisibility) {
    const struct {
        const char* groups; // between the wind and the temperature groups
        const char* category;
    } cases[] = {
        // Ceilings, with a visibility that does not limit.
        {"10SM OVC004", "LIFR"},
        {"10SM OVC005", "IFR"},
        {"10SM BKN009", "IFR"},
        {"10SM BKN010", "MVFR"},
        {"10SM OVC030", "MVFR"},
        {"10SM OVC031", "VFR"},
        {"10SM VV004", "LIFR"},
        {"10SM VV005", "IFR"},
        {"10SM SCT002 FEW004", "VFR"},         // no ceiling
        {"10SM FEW003 BKN020 OVC004", "LIFR"}, // the lowest ceiling layer counts
        {"10SM BKN/// OVC008", "IFR"},         // a layer without a height is passed over
        {"10SM FEW///", "VFR"},
        {"10SM BKN001CB", "LIFR"},
        // Statute miles, fractions included, with a clear sky.
        {"M1/4SM CLR", "LIFR"},
        {"3/4SM SKC", "LIFR"},
        {"1SM CLR", "IFR"},
        {"2 7/8SM CLR", "IFR"},
        {"3SM CLR", "MVFR"},
        {"4 1/2SM CLR", "MVFR"},
        {"5SM CLR", "MVFR"},
        {"6SM CLR", "VFR"},
        {"P6SM CLR", "VFR"},
        // Metres: 1,609 m to the mile.
        {"0000 NSC", "LIFR"},
        {"1600 NSC", "LIFR"},
        {"1700 NSC", "IFR"},
        {"4800 NCD", "IFR"},
        {"4900 NCD", "MVFR"},
        {"8000 NSC", "MVFR"},
        {"9000 NSC", "VFR"},
        {"9999 NSC", "VFR"},
        {"9999NDV BKN025", "MVFR"},
        {"CAVOK", "VFR"},
        // The worse of the two decides.
        {"1/2SM OVC040", "LIFR"},
        {"4SM BKN008", "IFR"},
        {"2SM OVC004", "LIFR"},
        // Both are needed.
        {"OVC004", ""},
        {"//// OVC004", ""},
        {"10SM", ""},
        {"1/4SM FG", ""},
        {"1/4SM FG VV///", ""},
        {"//// NCD", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::string report = std::string("KXYZ 071450Z 27005KT ") + c.groups + " 05/03 A2992";
        EXPECT_EQ(CategoryOf(report), c.category) << report;
    }
    EXPECT_EQ(CategoryOf("KXYZ 071450Z NIL"), "");
}

TEST(FlightCategory, NamesReadBack) {
    for (FlightCategory c :
         {FlightCategory::VFR, FlightCategory::MVFR, FlightCategory::IFR, FlightCategory::LIFR})
        EXPECT_EQ(ReadFlightCategory(FlightCategoryName(c)), c);
    for (const char* other : {"", "vfr", "VFR ", "LIFRX"})
        EXPECT_FALSE(ReadFlightCategory(other)) << other;
}

// The weather centre's own category of 200 real reports.
TEST(FlightCategory, AgreesWithTheWeatherCentreOnTheSamples) {
    const auto path = testing_support::SharedDataFile("metar-samples-expected.json");
    if (path.empty())
        GTEST_SKIP() << "public sample reports not present";
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(testing_support::ReadFile(path)))
            .object();
    const QJsonArray reports = root["reports"].toArray();
    ASSERT_EQ(reports.size(), 200);
    int agreed = 0;
    for (const auto& item : reports) {
        const QJsonObject o = item.toObject();
        const std::string raw = o["raw"].toString().toStdString();
        const std::string expected = o["flight_category"].toString().toStdString();
        const std::string category = CategoryOf(raw);
        if (raw.find("NDV ") != std::string::npos) {
            // The centre leaves "NDV" visibilities unread and so gives no category.
            EXPECT_EQ(expected, "") << raw;
            EXPECT_NE(category, "") << raw;
            continue;
        }
        EXPECT_EQ(category, expected) << raw;
        agreed += category == expected;
    }
    RecordProperty("agreed", agreed);
    std::cout << "flight categories agreeing with the weather centre: " << agreed << " of "
              << reports.size() << "\n";
}
