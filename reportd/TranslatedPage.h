#pragma once

#include "catalogue/StationRecord.h"
#include "reportd/ReportSource.h"

#include <string>
#include <vector>

// The station as the server shows it: the list's own texts (the name keeps its "/").
struct StationInfo {
    StationRecord record;
    std::string displayName;
};

// The translated page of a station's reports, newest first, each row labelled so that the
// viewer finds its values by marker texts. Numbers use the references "&#46;" and "&#45;".
std::string TranslatedPage(const StationInfo& station, const std::vector<TimedReport>& reports,
                           bool simulated);

// The answer for an unknown station, a period without reports, or a malformed request.
std::string SorryPage(const std::string& reason);

// The answer for a request the server cannot serve through a fault of its own.
std::string ServerErrorPage(const std::string& reason);

// One observation of the page: its table rows, then the coded report.
std::string TranslatedRow(const StationInfo& station, const TimedReport& report);

// "12&#46;8", "&#45;3&#46;4": a number with the given decimals, sign and point as references.
std::string PageNumber(double value, int decimals);
