#include "observations/LatestTable.h"
#include "observations/ReportProtocol.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kObserved = 1796655060; // 2026-12-07 14:51 UTC

const char* const kHeader = "icao,observed_utc,temperature_c,dewpoint_c,wind_direction_deg,"
                            "wind_speed_kt,wind_gust_kt,visibility_m,ceiling_ft,altimeter_hpa,"
                            "flight_category,report\r\n";

// The table of one good row with one field replaced.
std::string WithField(std::size_t column, const std::string& value) {
    std::string line =
        "KJFK,2026-12-07T14:51:00Z,13.0,-1.0,270,9,15,16093,800,1020.0,IFR,KJFK 071451Z";
    std::size_t begin = 0;
    for (std::size_t i = 0; i < column; ++i)
        begin = line.find(',', begin) + 1;
    const std::size_t end =
        column + 1 < protocol::kLatestColumns.size() ? line.find(',', begin) : line.size();
    return kHeader + line.replace(begin, end - begin, value) + "\r\n";
}

} // namespace

TEST(LatestTable, RowsGiveTheReportsNumbersAndWriteAsCsv) {
    const struct {
        const char* report;
        const char* fields; // from temperature_c to flight_category
    } cases[] = {
        {"KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012 RMK AO2",
         "13.0,-1.0,270,9,,16093,,1020.0,VFR"},
        {"EDDF 071450Z VRB03KT 2500 -SN BR BKN008 OVC015CB M01/M02 Q1002",
         "-1.0,-2.0,,3,,2500,800,1002.0,IFR"},
        {"UUWW 071450Z 11002MPS CAVOK M00/M03 Q1016", "0.0,-3.0,110,4,,10000,,1016.0,VFR"},
        {"KBOS 071454Z 13518G30KT 1/2SM FG VV002 05/05 A2990",
         "5.0,5.0,135,18,30,805,200,1012.5,LIFR"},
        {"CERM 071400Z AUTO 00000KT 10/ RMK AO1", "10.0,,0,0,,,,,"},
        {"XXXX 071400Z NIL", ",,,,,,,,"},
    };
    std::vector<LatestRow> rows;
    std::string expected = kHeader;
    for (const auto& c : cases) {
        rows.push_back(MakeLatestRow("KXYZ", kObserved, c.report));
        expected += std::string("KXYZ,2026-12-07T14:51:00Z,") + c.fields + "," + c.report + "\r\n";
    }
    EXPECT_EQ(WriteLatestTable(rows), expected);
    EXPECT_EQ(WriteLatestTable({}), kHeader);

    // Texts that need quotes, and the core's single-byte texts in UTF-8.
    const LatestRow odd = MakeLatestRow("K\xC9ZZ", kObserved, "KXYZ 071451Z \"odd, \xB0\"");
    EXPECT_EQ(WriteLatestTable({&odd, 1}), std::string(kHeader) +
                                               "K\xC3\x89ZZ,2026-12-07T14:51:00Z,,,,,,,,,,"
                                               "\"KXYZ 071451Z \"\"odd, \xC2\xB0\"\"\"\r\n");

    // What is written reads back the same, in the same order.
    rows.push_back(odd);
    const LatestTable read = ReadLatestTable(WriteLatestTable(rows));
    EXPECT_EQ(read.rows, rows);
    EXPECT_EQ(read.skippedRows, 0);
}

TEST(LatestTable, ReadsColumnsByNameInAnyOrder) {
    const LatestTable read = ReadLatestTable("report,extra,observed_utc,icao,ceiling_ft\n"
                                             "\n"
                                             "\"KJFK 071451Z, odd\",x,2026-12-07T14:51:00Z,KJFK,"
                                             "800\n"
                                             "EDDF 071450Z,y,2026-12-07T14:51:00Z, EDDF ,\n");
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.skippedRows, 0);
    LatestRow jfk{"KJFK", kObserved, {}, "KJFK 071451Z, odd"};
    jfk.values.ceilingFt = 800;
    EXPECT_EQ(read.rows[0], jfk);
    EXPECT_EQ(read.rows[1], (LatestRow{"EDDF", kObserved, {}, "EDDF 071450Z"}));

    for (const char* noHeader : {"", "\r\n", "a,b\n1,2\n", "icao,report\nKJFK,x\n"})
        EXPECT_THROW(ReadLatestTable(noHeader), TableFormatError) << noHeader;
}

TEST(LatestTable, PassesOverBadRowsAndKeepsTheRest) {
    const struct {
        std::size_t column;
        const char* value;
        bool readable;
    } cases[] = {
        {0, "", false},
        {0, "ZZZZ", false}, // not a known station
        {1, "2026-12-07 14:51", false},
        {1, "", false},
        {2, "warm", false},
        {2, "nan", false},
        {2, "1e999", false},
        {2, " -12.5 ", true},
        {2, "", true},
        {3, "12,5", false}, // one field too many
        {4, "361", false},
        {4, "-1", false},
        {4, "360", true},
        {5, "9.5", false},
        {5, "-1", false},
        {6, "1e3", false},
        {7, "99999999999", false},
        {8, "0x10", false},
        {9, "1020.0.0", false},
        {9, "1020", true},
        {10, "VMC", false},
        {10, "LIFR", true},
        {10, "", true},
    };
    const auto known = [](std::string_view icao) { return icao != "ZZZZ"; };
    for (const auto& c : cases) {
        const std::string table = WithField(c.column, c.value);
        const LatestTable read = ReadLatestTable(table, known);
        EXPECT_EQ(read.rows.size(), c.readable ? 1u : 0u) << table;
        EXPECT_EQ(read.skippedRows, c.readable ? 0 : 1) << table;
    }
    // Without a list of stations every ICAO reads.
    EXPECT_EQ(ReadLatestTable(WithField(0, "ZZZZ")).rows.size(), 1u);

    // Bad rows cost only themselves, a cut last row included.
    const std::string good = WithField(0, "KJFK").substr(std::string(kHeader).size());
    const LatestTable read = ReadLatestTable(
        WithField(4, "400") + good + "KJFK,2026-12-07T14:51:00Z\r\n" + good + "\"KJFK", known);
    EXPECT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.skippedRows, 3);
}
