#include "catalogue/StationList.h"
#include "tests/support/StationLine.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

using testing_support::StationLine;

namespace {

const std::string kBerlin =
    StationLine("  ", "BERLIN/TEGEL", "EDDT", "52 34N", "013 19E", "  37", "DE", "TXL", "10382");
const std::string kSydney =
    StationLine("  ", "SYDNEY\\INTL", "YSSY", "33 52S", "151 10E", "   3", "AU");
const std::string kLosAngeles =
    StationLine("CA", "LOS ANGELES", "KLAX", "33 56N", "118 15W", "  38", "US");

StationTable Parse(const std::string& text) {
    StationTable table;
    ParseStationList(text, table);
    return table;
}

} // namespace

TEST(StationLine, CutsTrimsAndConvertsEveryField) {
    const StationRecord r = ParseStationLine(kBerlin);
    EXPECT_EQ(r.strCD, "");
    EXPECT_EQ(r.strStation, "BERLIN_TEGEL");
    EXPECT_EQ(r.strICAO, "EDDT");
    EXPECT_EQ(r.strIATA, "TXL");
    EXPECT_EQ(r.strNumber, "10382");
    EXPECT_EQ(r.strLat, "52 34N");
    EXPECT_EQ(r.strLon, "013 19E");
    EXPECT_EQ(r.strElev, "37");
    EXPECT_EQ(r.strCol62, "X");
    EXPECT_EQ(r.strCol65, "");
    EXPECT_EQ(r.strCol79, "7");
    EXPECT_EQ(r.strCY, "DE");
    EXPECT_DOUBLE_EQ(r.dColatitude, 90 - (52 + 34 * 0.016666666666666666));
    EXPECT_DOUBLE_EQ(r.dLongitude, 180 + (13 + 19 * 0.016666666666666666));
    EXPECT_DOUBLE_EQ(r.dElevation, 37);
    EXPECT_EQ(r.iPeriodMinutes, 0);
    EXPECT_EQ(r.bMetricStyle, 0);

    const StationRecord s = ParseStationLine(kSydney);
    EXPECT_EQ(s.strStation, "SYDNEY_INTL"); // the backslash too, length kept
    EXPECT_DOUBLE_EQ(s.dColatitude, 90 + (33 + 52 * 0.016666666666666666));
    const StationRecord l = ParseStationLine(kLosAngeles);
    EXPECT_DOUBLE_EQ(l.dLongitude, 180 - 118.25);
}

TEST(StationLine, HemispheresOtherThanNorthAndWestCountAsSouthAndEast) {
    const StationRecord r =
        ParseStationLine(StationLine("  ", "NOWHERE", "XXXX", "10 30 ", "020 30 ", "abc"));
    EXPECT_EQ(r.strLat, "10 30");
    EXPECT_DOUBLE_EQ(r.dColatitude, 90 + 10.5);
    EXPECT_DOUBLE_EQ(r.dLongitude, 180 + 20.5);
    EXPECT_EQ(r.dElevation, 0);
}

// The elevation is the number its field starts with, whatever way it is written.
TEST(StationLine, ReadsTheElevationAsTheNumberItsFieldStartsWith) {
    const struct {
        const char* field;
        double metres;
    } cases[] = {{"  37", 37}, {"-12 ", -12}, {" +7 ", 7}, {"12.5", 12.5}, {"1e2 ", 100},
                 {"    ", 0},  {"-   ", 0},   {"3 4 ", 3}, {"0x1F", 31},   {"9999", 9999}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseStationLine(StationLine("  ", "X", "XXXX", "10 30N", "020 30E", c.field))
                      .dElevation,
                  c.metres)
            << c.field;
}

TEST(StationLine, ReadsBlankPaddedDegreesFromTheirColumns) {
    const StationRecord r =
        ParseStationLine(StationLine("ON", "ARMSTRONG", "CYYW", "50 18N", " 83 51W", " 351", "CN"));
    EXPECT_EQ(r.strLon, "83 51W");
    EXPECT_DOUBLE_EQ(r.dLongitude, 180 - (83 + 51 * 0.016666666666666666));
}

TEST(StationList, TakesLinesOf83Or84CharactersInFileOrder) {
    const std::string lf = kBerlin + "\n" + kSydney + "\n" + kLosAngeles + "\n";
    const std::string crlf = kBerlin + "\r\n" + kSydney + "\r\n" + kLosAngeles + "\r\n";
    const StationTable a = Parse(lf);
    const StationTable b = Parse(crlf);
    ASSERT_EQ(a.GetSize(), 3);
    ASSERT_EQ(b.GetSize(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(a[i] == b[i]);
    EXPECT_EQ(a[0].strICAO, "EDDT");
    EXPECT_EQ(a[2].strICAO, "KLAX");

    const std::string text = "! header\n" + kBerlin.substr(0, 82) + "\n" + kSydney + "xy\n" +
                             kLosAngeles + "\n" + kLosAngeles + "\n";
    const StationTable c = Parse(text);
    ASSERT_EQ(c.GetSize(), 2); // 82 and 85 characters skipped, the duplicate kept
    EXPECT_EQ(c[0].strICAO, "KLAX");
    EXPECT_EQ(c[1].strICAO, "KLAX");
}

TEST(StationList, ReadsALastLineWithoutLineFeedAndSkipsBlankLines) {
    const StationTable a = Parse(kBerlin + "\n" + kSydney);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a[1].strICAO, "YSSY");
    const StationTable b = Parse("\n\n" + kBerlin + "\n\n" + kSydney + "\n");
    ASSERT_EQ(b.GetSize(), 2);
    EXPECT_EQ(Parse("").GetSize(), 0);
    EXPECT_EQ(Parse("\n").GetSize(), 0);
}

TEST(StationList, KeepsStationsWithoutIcaoCode) {
    const StationTable t =
        Parse(StationLine("AK", "BARROW ARM-NSA", "", "71 19N", "156 37W") + "\n");
    ASSERT_EQ(t.GetSize(), 1);
    EXPECT_EQ(t[0].strICAO, "");
}

TEST(StationList, ReadsThePublicList) {
    const auto path = testing_support::SharedDataFile("stations.txt");
    if (path.empty())
        GTEST_SKIP() << "public station list not present";
    StationTable table;
    EXPECT_EQ(ParseStationList(testing_support::ReadFile(path), table), 9595);
    ASSERT_EQ(table.GetSize(), 9595);

    int blankIcao = 0;
    const StationRecord* jfk = nullptr;
    const StationRecord* sydney = nullptr;
    const StationRecord* armstrong = nullptr;
    for (const StationRecord& r : table) {
        blankIcao += r.strICAO.empty();
        if (r.strICAO == "KJFK")
            jfk = &r;
        if (r.strICAO == "YSSY")
            sydney = &r;
        if (r.strICAO == "CYYW")
            armstrong = &r;
    }
    EXPECT_EQ(blankIcao, 208);
    EXPECT_EQ(table[0].strICAO, "PADK");
    EXPECT_EQ(table[0].strStation, "ADAK NAS");
    EXPECT_EQ(table[0].strNumber, "70454");

    ASSERT_TRUE(jfk);
    EXPECT_EQ(jfk->strStation, "NYC_JFK ARPT");
    EXPECT_EQ(jfk->strCD, "NY");
    EXPECT_EQ(jfk->strIATA, "JFK");
    EXPECT_EQ(jfk->strLat, "40 38N");
    EXPECT_EQ(jfk->strLon, "073 46W");
    EXPECT_EQ(jfk->strElev, "9");
    EXPECT_EQ(jfk->strCY, "US");
    EXPECT_DOUBLE_EQ(jfk->dLongitude, 180 - (73 + 46 * 0.016666666666666666));
    EXPECT_DOUBLE_EQ(jfk->dColatitude, 90 - (40 + 38 * 0.016666666666666666));

    ASSERT_TRUE(sydney);
    EXPECT_EQ(sydney->strStation, "SYDNEY INTL AIRP");
    EXPECT_EQ(sydney->strCD, "");
    EXPECT_DOUBLE_EQ(sydney->dColatitude, 90 + 33 + 57 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(sydney->dLongitude, 180 + 151 + 10 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(sydney->dElevation, 3);

    ASSERT_TRUE(armstrong); // blank-padded longitude degrees
    EXPECT_EQ(armstrong->strLon, "88 54W");
    EXPECT_DOUBLE_EQ(armstrong->dLongitude, 180 - (88 + 54 * 0.016666666666666666));
}

TEST(StationLine, EveryFieldComesFromItsOwnColumns) {
    // A line with a different character in every column: a field cut one column off shows.
    std::string line;
    for (int i = 0; i < 83; ++i)
        line += static_cast<char>(i < 60 ? '0' + i : 'a' + (i - 60) % 26);
    const StationRecord r = ParseStationLine(line);
    const auto columns = [&line](std::size_t first, std::size_t last) {
        return line.substr(first, last - first + 1);
    };
    const std::pair<std::string, std::string> fields[] = {
        {r.strCD, columns(0, 1)},      {r.strICAO, columns(20, 23)},
        {r.strIATA, columns(26, 28)},  {r.strNumber, columns(32, 36)},
        {r.strLat, columns(39, 44)},   {r.strLon, columns(47, 53)},
        {r.strElev, columns(55, 58)},  {r.strCol62, columns(62, 62)},
        {r.strCol65, columns(65, 65)}, {r.strCol68, columns(68, 68)},
        {r.strCol71, columns(71, 71)}, {r.strCol74, columns(74, 74)},
        {r.strCol77, columns(77, 77)}, {r.strCol79, columns(79, 79)},
        {r.strCY, columns(81, 82)},
    };
    for (const auto& [field, expected] : fields)
        EXPECT_EQ(field, expected);
    EXPECT_EQ(r.strStation, columns(3, 19)); // no '/' or '\\' among them
}
