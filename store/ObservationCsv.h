#pragma once

#include "observations/ObservationRecord.h"

#include <string>

// Observations as CSV (RFC 4180: CRLF line ends, a field with a comma, a quote or a line end
// in quotes, quotes doubled) in UTF-8: one header row naming each column with its unit, then
// one row per observation. Times are UTC in ISO 8601 ("2026-12-07T04:51:00Z"); a missing
// number is an empty field, never 0. Pressure is in hPa, not the record's hPa minus 1000.
std::string ObservationCsvHeader();
void AppendObservationCsvRow(std::string& out, const std::string& icao,
                             const ObservationRecord& record);
