#include "observations/Csv.h"
#include "observations/CurrentReports.h"
#include "tests/support/Gzip.h"

#include <gtest/gtest.h>

namespace {

// The records of a text, fields joined by "|", records by "/" ("!" marks a cut record).
std::string Records(std::string_view text) {
    CsvReader reader(text);
    std::string out;
    while (reader.Next()) {
        if (!out.empty())
            out += "/";
        for (std::size_t i = 0; i < reader.Fields().size(); ++i)
            out += (i ? "|" : "") + std::string(reader.Fields()[i]);
        if (reader.Unterminated())
            out += "!";
        if (reader.Blank())
            out += "(blank)";
    }
    return out;
}

} // namespace

TEST(Csv, ReadsRecordsAsRfc4180WritesThem) {
    const struct {
        const char* text;
        const char* records;
    } cases[] = {
        {"a,b\r\nc,d\r\n", "a|b/c|d"},
        {"a,b\nc,d", "a|b/c|d"},
        {"a,,\r\n", "a||"},
        {",", "|"},
        {"a\r\n\r\nb\r\n", "a/(blank)/b"},
        {"\"x,y\",\"say \"\"hi\"\"\"\r\nz\r\n", "x,y|say \"hi\"/z"},
        {"\"two\r\nlines\",b\n", "two\r\nlines|b"},
        {"\"\",x\n", "|x"},
        {"\"q\"junk,b\n", "q|b"},
        {"a\"b,c\n", "a\"b|c"},
        {"a\rb,c\r\n", "a\rb|c"},
        {"\"cut,b\n", "cut,b\n!"},
        {"\"cut \"\"here\n", "cut \"here\n!"},
        {"\xEF\xBB\xBF"
         "a,b\n",
         "a|b"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Records(c.text), c.records) << c.text;
    // The text may be part of a larger one: nothing beyond its end is read.
    EXPECT_EQ(Records(std::string_view("\"a\"\"b").substr(0, 3)), "a");

    std::string out;
    for (const char* field : {"plain", "a,b", "say \"hi\"", "two\nlines", "cr\r", ""}) {
        AppendCsvField(out, field);
        out += ',';
    }
    EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\",,");
    EXPECT_EQ(Records(out), "plain|a,b|say \"hi\"|two\nlines|cr\r||");
}

TEST(Csv, FindsColumnsByName) {
    const std::vector<std::string_view> header = {"b", " a ", "c", "a"};
    EXPECT_EQ(ColumnsOf(header, {"a", "b", "d"}), (std::vector<int>{1, 0, -1}));
}

TEST(Csv, IsoUtcTimes) {
    const struct {
        const char* text;
        std::int64_t instant; // -1: unreadable
    } cases[] = {
        {"2026-12-07T14:50:00Z", 1796655000},
        {"2026-12-07T14:50Z", 1796655000},
        {"2026-12-07T14:50:09.123Z", 1796655009},
        {"1970-01-01T00:00:00Z", 0},
        {"2024-02-29T23:59:59Z", 1709251199},
        {"2023-02-29T00:00:00Z", -1},
        {"2026-13-01T00:00:00Z", -1},
        {"2026-12-00T00:00:00Z", -1},
        {"2026-12-07T24:00:00Z", -1},
        {"2026-12-07T14:60:00Z", -1},
        {"2026-12-07T14:50:60Z", -1},
        {"2026-12-07T14:50:00", -1},
        {"2026-12-07 14:50:00Z", -1},
        {"2026-12-07T14:50:0Z", -1},
        {"2026-12-07T14:50:00.Z", -1},
        {"2026-12-07T14:50:00.1234567890Z", -1},
        {"2026-12-07T14:50:00+00Z", -1},
        {"20x6-12-07T14:50:00Z", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        const auto instant = ReadIsoUtc(c.text);
        EXPECT_EQ(instant.value_or(-1), c.instant) << c.text;
        if (instant && std::string_view(c.text).size() == 20) {
            std::string text;
            AppendIsoUtc(text, *instant);
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST(Csv, TextsAreUtf8InTablesAndSingleByteInTheCore) {
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9 \x80 plain"), "caf\xC3\xA9 \xE2\x82\xAC plain");
    EXPECT_EQ(Utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC plain"), "caf\xE9 \x80 plain");
    // What has no counterpart, or is no UTF-8, becomes "?".
    EXPECT_EQ(Utf8ToCp1252("\xE2\x98\x80 \xC3"), "? ?");
    EXPECT_EQ(Utf8ToCp1252("\xFF"
                           "a"),
              "?a");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "?");
}

TEST(CurrentReports, ReadsTheServiceFileByColumnNames) {
    // The service heads its file with status lines; columns may come in any order, with more.
    const std::string csv =
        "No errors\nNo warnings\n4 ms\ndata source=metars\n3 results\n"
        "station_id,extra,observation_time,raw_text,flight_category\n"
        "KJFK,x,2026-12-07T14:51:00Z,KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012,VFR\n"
        "EDDF,,2026-12-07T14:50:00Z,\"EDDF 071450Z 27010KT, odd\",\n"
        "LFPG,,2026-12-07T14:30:00Z,LFPG 071430Z 27010KT CAVOK 10/02 Q1020,\n";
    const CurrentReports expected{
        {{"KJFK", 1796655060, "KJFK 071451Z 27009KT 10SM FEW250 13/M01 A3012"},
         {"EDDF", 1796655000, "EDDF 071450Z 27010KT, odd"},
         {"LFPG", 1796653800, "LFPG 071430Z 27010KT CAVOK 10/02 Q1020"}},
        0};
    for (const std::string& file : {testing_support::GzipText(csv), csv}) {
        const CurrentReports read = ReadCurrentReportsFile(file);
        EXPECT_EQ(read.reports, expected.reports);
        EXPECT_EQ(read.skippedRows, 0);
    }
    // Members one after another read as one file.
    const std::size_t half = csv.size() / 2;
    EXPECT_EQ(ReadCurrentReportsFile(testing_support::GzipText(csv.substr(0, half)) +
                                     testing_support::GzipText(csv.substr(half)))
                  .reports,
              expected.reports);
}

TEST(CurrentReports, PassesOverBadRowsAndRefusesBadFiles) {
    const std::string csv = "raw_text,station_id,observation_time\r\n"
                            "KJFK 071451Z 27009KT,KJFK,2026-12-07T14:51:00Z\r\n"
                            ",KBOS,2026-12-07T14:51:00Z\r\n"
                            "KBOS 071451Z 27009KT,,2026-12-07T14:51:00Z\r\n"
                            "KBOS 071451Z 27009KT,KBOS,yesterday\r\n"
                            "KBOS 071451Z 27009KT,KBOS\r\n"
                            "KBOS 071451Z 27009KT,KBOS,2026-12-07T14:51:00Z,more\r\n"
                            "\r\n"
                            "EDDF 071450Z 27010KT,EDDF,2026-12-07T14:50:00Z\r\n"
                            "\"LFPG 0714";
    const CurrentReports read = ReadCurrentReportsCsv(csv);
    ASSERT_EQ(read.reports.size(), 2u);
    EXPECT_EQ(read.reports[0].icao, "KJFK");
    EXPECT_EQ(read.reports[1].icao, "EDDF");
    EXPECT_EQ(read.skippedRows, 6);

    const std::string gz = testing_support::GzipText(csv);
    for (const std::string& bad :
         {gz.substr(0, gz.size() / 2), gz.substr(0, gz.size() - 4),
          gz.substr(0, 10) + std::string(gz.size(), 'x'), std::string("plain text")}) {
        EXPECT_THROW(Gunzip(bad), TableFormatError);
    }
    EXPECT_EQ(Gunzip(gz, csv.size()), csv);
    EXPECT_THROW(Gunzip(gz, csv.size() - 1), TableFormatError);
    EXPECT_THROW(ReadCurrentReportsFile(gz.substr(0, gz.size() - 1)), TableFormatError);
    for (const char* noHeader : {"", "raw_text,station_id\nKJFK 07,KJFK\n", "a,b,c\n1,2,3\n"})
        EXPECT_THROW(ReadCurrentReportsCsv(noHeader), TableFormatError) << noHeader;
}
