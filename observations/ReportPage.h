#pragma once

#include "observations/ObservationRecord.h"

#include <string_view>

// Reading a translated report page row by row through its marker texts. Each value of row K is
// the K-th run of its label, start marker and end marker; the reader resumes every value where
// its previous run ended, so a page of N rows costs N searches per value rather than N squared.
enum class ReportValue {
    Observed,
    Utc,
    TemperatureWhole,
    TemperatureFraction,
    ConditionsCell,
    TemperatureCell,
    DewpointCell,
    PressureCell,
    WindsCell,
    VisibilityCell,
    CeilingCell,
    CloudsCell,
    PresentWeatherCell,
    Report,
    Count
};

struct ReportMarkers {
    std::string_view label;
    std::string_view start;
    std::string_view end;
};

const ReportMarkers& MarkersOf(ReportValue value);

class ReportPageReader {
public:
    explicit ReportPageReader(std::string_view page) : m_page(page) {}

    // The decoded text of the value in row `row` (from 1); rows are asked in rising order per
    // value, a row may be skipped. Empty when a marker is missing.
    std::string Get(ReportValue value, int row);

private:
    struct Cursor {
        int done = 0;        // runs found so far
        bool failed = false; // a run was missing: every later run is missing too
        std::size_t p = 0;   // where the next run's search starts
        std::size_t valueBegin = 0;
        std::size_t valueEnd = 0;
    };

    std::string_view m_page;
    Cursor m_cursors[static_cast<int>(ReportValue::Count)];
};

enum class ReportOutcome { Rows, NoData };

struct ReportReadResult {
    ReportOutcome outcome = ReportOutcome::NoData;
    int rows = 0; // rows read, also those read before a failure
};

// Cuts the page into observation rows and appends them to `series` (when given) in page order.
// `working` is the record carried from row to row: a row that does not set a field keeps the
// previous row's value. A page that is empty or holds "Sorry", a first row without its observed
// text, or a row whose date cannot be read gives NoData.
ReportReadResult ReadReportRows(std::string_view page, ObservationSeries* series,
                                ObservationRecord& working);
