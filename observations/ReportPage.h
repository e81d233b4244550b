#pragma once

#include "observations/ObservationRecord.h"

#include <cstddef>
#include <string>
#include <string_view>

// Reading a translated report page. The page is cut into rows first: a row begins at its
// "Conditions" label, its cells run up to the span of its coded report (or up to the next row),
// and the report runs from that span to the "<BR>" after it. Each value is then searched for by
// its label, start marker and end marker inside its own row's cells only, so that words of a
// report ("Temperature", "Conditions observed") are never taken for the labels of cells, and a
// page of N rows costs N short searches per value.
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

// One row of a page: the text that holds its cells, and the raw text of its coded report.
struct ReportRow {
    std::string_view cells;
    std::string_view report;
};

// Hands out the rows of a page in page order.
class ReportRowCutter {
public:
    explicit ReportRowCutter(std::string_view page);
    // The next row; false when there is none.
    bool Next(ReportRow& row);

private:
    std::string_view m_page;
    std::size_t m_position = 0;
    // Where the first label at or after the last row's start (past its own label) stands,
    // npos when nowhere: the next row starts there unless the last one ended beyond it.
    std::size_t m_nextLabel;
};

// The decoded text of a value of the row; empty when a marker is missing in the row.
std::string RowValue(const ReportRow& row, ReportValue value);

enum class ReportOutcome { Rows, NoData };

struct ReportReadResult {
    ReportOutcome outcome = ReportOutcome::NoData;
    int rows = 0; // rows read, also those read before a failure
};

// Cuts the page into observation rows and appends them to `series` (when given), newest first
// by observation time, each exact duplicate once. `working` is the record carried from row to
// row: a row that does not set a field keeps the previous row's value. A value the row does not
// give (a report without a pressure group and a pressure cell without a number, say) is NaN,
// never a made-up 0. A page that is empty or holds "Sorry", a first row without its observed
// text, or a row whose date cannot be read gives NoData (the rows before it stay appended).
ReportReadResult ReadReportRows(std::string_view page, ObservationSeries* series,
                                ObservationRecord& working);
