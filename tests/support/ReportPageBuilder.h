#pragma once

#include <string>
#include <vector>

namespace testing_support {

// One row of a translated report page as the report server prints it.
struct PageRow {
    std::string icao = "KJFK";
    std::string name = "NEW YORK/JFK";
    int year = 2026, month = 12, day = 7, hour = 4, minute = 51;
    double temperature = 12.8;
    double dewpoint = -1.1;
    std::string pressureCell = "30&#46;12 inches Hg (1019&#46;9 mb)";
    std::string windsCell = "from the W (270 degrees) at 10 MPH (9 knots; 4&#46;6 m/s)";
    std::string report = "KJFK 070451Z 27009KT 10SM FEW250 13/M01 A3012 RMK AO2";
};

// "12&#46;8" and "&#45;3&#46;4": one decimal, minus sign and point as references.
std::string PageNumber(double value);

std::string RowHtml(const PageRow& row);
std::string PageHtml(const std::vector<PageRow>& rows);
std::string SorryPage();

// `count` rows, newest first, 30 minutes apart from 2026-12-07 04:50 backwards, with
// temperatures and winds that vary by row.
std::vector<PageRow> SampleRows(int count);

} // namespace testing_support
