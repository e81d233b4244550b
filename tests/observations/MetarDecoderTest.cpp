#include "observations/MetarDecoder.h"
#include "tests/support/TestPaths.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

TEST(MetarDecoder, ReadsWindInEveryUnit) {
    auto wind = DecodeMetar("KJFK 070451Z 27009G21KT 10SM A3012").wind;
    ASSERT_TRUE(wind);
    EXPECT_EQ(wind->direction, 270);
    EXPECT_DOUBLE_EQ(wind->speedKnots, 9);
    EXPECT_DOUBLE_EQ(*wind->gustKnots, 21);

    // Gusts are given in the unit of the speed, and become knots as the speed does.
    wind = DecodeMetar("UUWW 020030Z 11002G12MPS CAVOK 04/M03 Q1016").wind;
    ASSERT_TRUE(wind);
    EXPECT_NEAR(wind->speedKnots, 2 / 0.514444, 1e-9);
    EXPECT_NEAR(*wind->gustKnots, 12 / 0.514444, 1e-9);

    wind = DecodeMetar("XXXX 020030Z 18036G54KMH 9999").wind;
    ASSERT_TRUE(wind);
    EXPECT_NEAR(wind->speedKnots, 36 / 1.852, 1e-9);
    EXPECT_NEAR(*wind->gustKnots, 54 / 1.852, 1e-9);

    wind = DecodeMetar("METAR LTCI 012350Z VRB02KT 9999").wind;
    ASSERT_TRUE(wind);
    EXPECT_TRUE(wind->variable);
    EXPECT_EQ(wind->direction, 0);

    wind = DecodeMetar("SPECI CERM 020000Z COR AUTO 00000KT 10/09").wind;
    ASSERT_TRUE(wind);
    EXPECT_EQ(wind->direction, 0);
    EXPECT_EQ(wind->speedKnots, 0);

    // Corrected reports may leave the unit out: the speeds are knots.
    wind = DecodeMetar("SPECI KBOS 071215Z COR 20010G19 10SM FEW050 05/M03 A2998").wind;
    ASSERT_TRUE(wind);
    EXPECT_EQ(wind->direction, 200);
    EXPECT_DOUBLE_EQ(wind->speedKnots, 10);
    EXPECT_DOUBLE_EQ(*wind->gustKnots, 19);
    wind = DecodeMetar("KBOS 071215Z 20010 10SM A2998").wind;
    ASSERT_TRUE(wind);
    EXPECT_DOUBLE_EQ(wind->speedKnots, 10);
    // Other digit groups are not winds: a visibility, a variable sector, remarks.
    EXPECT_FALSE(DecodeMetar("KBOS 071215Z 9999 FEW050").wind);
    EXPECT_FALSE(DecodeMetar("KBOS 071215Z 9999 060V150").wind);
    EXPECT_FALSE(DecodeMetar("KBOS 071215Z 10SM 20010").wind); // after the visibility
    EXPECT_FALSE(DecodeMetar("KBOS 20010 071215Z").wind);      // before the time
}

TEST(MetarDecoder, ReadsVisibilityWithoutDirectionalVariation) {
    auto v =
        DecodeMetar("LSMA 020020Z AUTO 10003KT 060V150 7000NDV RA FEW008 10/09 Q1010").visibility;
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->metres, 7000);
    EXPECT_FALSE(v->atLeast);
    v = DecodeMetar("EYSA 020020Z AUTO 13007KT 9999NDV FEW036 08/03 Q1004").visibility;
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->atLeast);
    v = DecodeMetar("EGLL 020020Z AUTO 2300NDV").visibility; // no wind group
    ASSERT_TRUE(v);
    EXPECT_DOUBLE_EQ(v->metres, 2300);
}

TEST(MetarDecoder, NumbersOfAnyLengthNeitherOverflowNorCount) {
    // Digit counts are bounded in every group: these are not visibilities at all.
    for (const char* group : {"1/99999999999SM", "99999999999/2SM", "123/4SM", "1/234SM"}) {
        SCOPED_TRACE(group);
        const auto r = DecodeMetar(std::string("KXYZ 011200Z 27005KT ") + group + " A2992");
        EXPECT_FALSE(r.visibility);
        EXPECT_DOUBLE_EQ(*r.altimeterInHg, 29.92);
    }
    const auto r = DecodeMetar("KXYZ 011200Z 270999999999999KT 99999999999 FEW99999999 "
                               "M99999999999/99999999999 A99999999999");
    EXPECT_FALSE(r.wind);
    EXPECT_FALSE(r.visibility);
    EXPECT_TRUE(r.clouds.empty());
    EXPECT_FALSE(r.temperatureC);
    EXPECT_FALSE(r.altimeterInHg);
    EXPECT_DOUBLE_EQ(DecodeMetar("KXYZ 011200Z 1 1/2SM").visibility->miles, 1.5);
}

TEST(MetarDecoder, ReadsPressureInBothUnits) {
    auto r = DecodeMetar("EDDF 061950Z 27005KT 9999 Q1013");
    EXPECT_DOUBLE_EQ(*r.pressureHpa, 1013);
    EXPECT_NEAR(*r.altimeterInHg, 29.9139, 1e-4);
    r = DecodeMetar("KJFK 070451Z 27009KT A3012");
    EXPECT_DOUBLE_EQ(*r.altimeterInHg, 30.12);
    EXPECT_NEAR(*r.pressureHpa, 1019.98, 0.01);
    // Reports that give both groups: the first one stands, whichever unit it has.
    r = DecodeMetar("RJTT 061950Z 27005KT 9999 Q1013 A2992");
    EXPECT_DOUBLE_EQ(*r.pressureHpa, 1013);
    EXPECT_NEAR(*r.altimeterInHg, 29.9139, 1e-4);
    r = DecodeMetar("RJTT 061950Z 27005KT 9999 A2992 Q1013");
    EXPECT_DOUBLE_EQ(*r.altimeterInHg, 29.92);
    EXPECT_NEAR(*r.pressureHpa, 1013.21, 0.01);
}

TEST(MetarDecoder, IsLenientAndStopsAtRemarks) {
    const auto r = DecodeMetar("BIAR 020000Z 30008KT 6000 -SN BKN014 M00/M01 Q//// R05R/CLRD65 "
                               "Q1014 RMK WIND 00107KT A2990");
    ASSERT_TRUE(r.wind);
    EXPECT_EQ(r.wind->direction, 300); // the remark's wind group is not read
    EXPECT_DOUBLE_EQ(*r.pressureHpa, 1014);
    EXPECT_DOUBLE_EQ(*r.temperatureC, 0);
    EXPECT_DOUBLE_EQ(*r.dewpointC, -1);
    EXPECT_EQ(r.day, 2);
    EXPECT_EQ(r.hour, 0);

    const auto v = DecodeMetar("KXYZ 011200Z 1/2SM FG M05/ A2992");
    EXPECT_FALSE(v.wind);
    EXPECT_DOUBLE_EQ(*v.temperatureC, -5); // "1/2SM" is not a temperature
    EXPECT_FALSE(v.dewpointC);

    EXPECT_TRUE(DecodeMetar("KXYZ 011200Z NIL").nil);
    EXPECT_FALSE(DecodeMetar("").wind);
    EXPECT_FALSE(DecodeMetar("99999KT").wind); // direction above 360
}

// The weather centre's own decoding of 200 real reports.
TEST(MetarDecoder, AgreesWithTheWeatherCentreOnTheSamples) {
    const auto path = testing_support::SharedDataFile("metar-samples-expected.json");
    if (path.empty())
        GTEST_SKIP() << "public sample reports not present";
    const std::string json = testing_support::ReadFile(path);
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    const QJsonArray reports = root["reports"].toArray();
    ASSERT_EQ(reports.size(), 200);

    int compared = 0;
    for (const auto& item : reports) {
        const QJsonObject o = item.toObject();
        const std::string raw = o["raw"].toString().toStdString();
        SCOPED_TRACE(raw);
        const MetarReport r = DecodeMetar(raw);

        if (o["wind_dir_degrees"].isNull()) {
            EXPECT_FALSE(r.wind);
        } else {
            ASSERT_TRUE(r.wind);
            EXPECT_EQ(r.wind->direction, o["wind_dir_degrees"].toString().toInt());
            EXPECT_NEAR(r.wind->speedKnots, o["wind_speed_kt"].toString().toDouble(), 0.5);
            ++compared;
        }
        // Where the centre gives no altimeter, the report holds no usable pressure group
        // ("Q////", or only remarks).
        if (o["altim_in_hg"].isNull()) {
            EXPECT_FALSE(r.altimeterInHg);
        } else {
            ASSERT_TRUE(r.altimeterInHg);
            EXPECT_NEAR(*r.altimeterInHg, o["altim_in_hg"].toString().toDouble(), 0.01);
        }
        if (o["visibility_statute_mi"].isNull()) {
            // The centre leaves "NDV" visibilities unread; they are read here.
            EXPECT_EQ(static_cast<bool>(r.visibility), raw.find("NDV ") != std::string::npos);
        } else {
            ASSERT_TRUE(r.visibility);
            EXPECT_NEAR(r.visibility->miles, o["visibility_statute_mi"].toString().toDouble(),
                        0.01);
        }
        std::string weather;
        for (const std::string& w : r.weather)
            weather += (weather.empty() ? "" : " ") + w;
        EXPECT_EQ(weather, o["wx_string"].toString().toStdString());
        if (!o["temp_c"].isNull() && r.temperatureC) {
            // The centre reads the tenths from the remarks' T group; the main group is whole.
            EXPECT_NEAR(*r.temperatureC, o["temp_c"].toString().toDouble(), 1.0);
        }
    }
    EXPECT_GT(compared, 190);
}
