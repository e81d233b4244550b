#pragma once

#include "observations/Csv.h"
#include "observations/ReportNumbers.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One row of the latest-report table: a station's newest report and the numbers it gives.
struct LatestRow {
    std::string icao;
    std::int64_t observedUtc = 0; // seconds since 1970
    ReportValues values;
    std::string report; // the coded report as received

    bool operator==(const LatestRow&) const = default;
};

// The row of a station's report, its numbers those of the station's translated page.
LatestRow MakeLatestRow(std::string icao, std::int64_t observedUtc, std::string report);

// The table as RFC 4180 CSV in UTF-8: a header of protocol::kLatestColumns, then the rows in
// their order, each line ended by CRLF; a missing number is an empty field.
std::string WriteLatestTable(std::span<const LatestRow> rows);

struct LatestTable {
    std::vector<LatestRow> rows;
    // Rows passed over: a wrong number of fields, no or an unknown ICAO, an unreadable time,
    // number or category.
    int skippedRows = 0;
};

// Reads a table by its header's names: columns in any order, others ignored; "icao" and
// "observed_utc" are needed, any other column missing leaves its value empty. With `known`
// given, rows of stations it does not know are passed over. TableFormatError when the text has
// no header with the needed columns.
LatestTable ReadLatestTable(std::string_view csv,
                            const std::function<bool(std::string_view icao)>& known = {});
