#pragma once

#include <optional>
#include <string>
#include <string_view>

// A request for a station's translated page, read from the raw query of the request target.
struct ReportQuery {
    std::string icao; // upper case
    int hours = 0;    // 0 for "most recent only", else 1..96
};

// Reads "metarIds=ICAO&hoursStr=H&..." where H is "most recent only" or "past N hours", blanks
// written as "%20", "+" or themselves. No value for anything malformed.
std::optional<ReportQuery> ParseReportQuery(std::string_view query);

// The period of a latest-table request "hours=N" (N a whole number of hours from 1 to
// protocol::kMaxHours; protocol::kDefaultLatestHours without it); other keys are passed over.
// No value for anything malformed.
std::optional<int> ParseLatestQuery(std::string_view query);

// Strict percent-decoding ("+" is a blank); no value for a broken escape.
std::optional<std::string> DecodeQueryValue(std::string_view text);
