#include "catalogue/StationList.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

// The list shipped in data/ is what every user starts with: it must cover the world's METAR
// stations with their elevations.
namespace {

StationTable Load(const std::filesystem::path& path) {
    StationTable table;
    ParseStationList(testing_support::ReadFile(path), table);
    return table;
}

std::set<std::string> IcaoCodes(const StationTable& table) {
    std::set<std::string> codes;
    for (const StationRecord& r : table)
        if (!r.strICAO.empty())
            codes.insert(r.strICAO);
    return codes;
}

} // namespace

TEST(BundledStationList, CoversTheWorldsMetarStationsWithElevations) {
    const StationTable table = Load(VENTORA_BUNDLED_STATIONS);
    int metar = 0, withElevation = 0, withNumber = 0;
    std::set<std::string> countries;
    for (const StationRecord& r : table) {
        EXPECT_GE(r.dColatitude, 0.0) << r.strICAO;
        EXPECT_LE(r.dColatitude, 180.0) << r.strICAO;
        EXPECT_GE(r.dLongitude, 0.0) << r.strICAO;
        EXPECT_LE(r.dLongitude, 360.0) << r.strICAO;
        EXPECT_EQ(r.strCY.size(), 2u) << r.strICAO;
        countries.insert(r.strCY);
        if (r.strICAO.empty())
            continue;
        ++metar;
        withElevation += !r.strElev.empty();
        withNumber += !r.strNumber.empty();
    }
    EXPECT_GE(metar, 9500);
    EXPECT_GE(withElevation * 100, metar * 95) << withElevation << " of " << metar;
    EXPECT_GE(withNumber, 4000);
    EXPECT_GE(countries.size(), 190u);
    EXPECT_EQ(IcaoCodes(table).size(), static_cast<size_t>(metar)) << "an ICAO code twice";

    for (const StationRecord& r : table) {
        if (r.strICAO == "KJFK") {
            EXPECT_EQ(r.strElev, "9");
            EXPECT_EQ(r.strNumber, "74486");
        }
    }
}

TEST(BundledStationList, NoStationLineIsLostToItsLength) {
    // The loader takes lines of exactly 83 characters; a station line of another length would
    // vanish without a word, so no other line may carry a position in the station columns.
    const std::regex position(R"(\d\d \d\d[NS]  \d\d\d \d\d[EW])");
    std::istringstream text(testing_support::ReadFile(VENTORA_BUNDLED_STATIONS));
    std::string line;
    int number = 0, stations = 0;
    while (std::getline(text, line)) {
        ++number;
        stations += line.size() == 83;
        if (line.size() != 83 && line.size() >= 54) {
            EXPECT_FALSE(std::regex_match(line.substr(39, 15), position))
                << "line " << number << ": " << line;
        }
    }
    EXPECT_EQ(stations, Load(VENTORA_BUNDLED_STATIONS).GetSize());
}

TEST(BundledStationList, HoldsEveryStationOfThePublicList) {
    const auto path = testing_support::SharedDataFile("stations.txt");
    if (path.empty())
        GTEST_SKIP() << "public station list not present";
    const auto bundled = IcaoCodes(Load(VENTORA_BUNDLED_STATIONS));
    const auto known = IcaoCodes(Load(path));
    for (const std::string& code : known)
        EXPECT_TRUE(bundled.count(code)) << code;
    EXPECT_GE(bundled.size(), known.size());
}
