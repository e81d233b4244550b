#pragma once

#include "observations/Csv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The public data service's bulk file of every station's current report: gzip-compressed CSV,
// headed by a few status lines, then a header row and one row a report.
inline constexpr std::string_view kBulkReportsPath = "/data/cache/metars.cache.csv.gz";

struct CurrentReport {
    std::string icao;
    std::int64_t observedUtc = 0; // seconds since 1970
    std::string raw;

    bool operator==(const CurrentReport&) const = default;
};

struct CurrentReports {
    std::vector<CurrentReport> reports; // in the file's order
    // Rows passed over: a wrong number of fields, no station, report or readable time.
    int skippedRows = 0;
};

// Far more than the service's file of some ten megabytes ever holds.
inline constexpr std::size_t kMaxBulkText = 256u << 20;

// The text of gzip data (one or more members); TableFormatError for data that are not gzip,
// damaged, cut short or would grow beyond maxBytes.
std::string Gunzip(std::string_view data, std::size_t maxBytes = kMaxBulkText);

// Reads the CSV text: the records before the header (the first record naming raw_text,
// station_id and observation_time) are passed over, columns are found by name.
// TableFormatError when there is no such header.
CurrentReports ReadCurrentReportsCsv(std::string_view csv);

// Reads the file as fetched: gzip data (by their first bytes) are unpacked first, so that a
// file a web server already unpacked reads too.
CurrentReports ReadCurrentReportsFile(std::string_view data);
