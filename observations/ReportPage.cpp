#include "observations/ReportPage.h"

#include "observations/PageFetcher.h"
#include "observations/ReportNumbers.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/DateParser.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace {

constexpr std::string_view kCell = "<TD ALIGN=\"left\">";
constexpr std::string_view kCellEnd = "</TD>";
constexpr std::string_view kRowLabel = "Conditions";
constexpr std::string_view kReportStart = "<SPAN CLASS=\"monospace\">";
constexpr std::string_view kReportEnd = "<BR>";

const ReportMarkers kMarkers[] = {
    {"Conditions", "observed", "&#160;"}, {"Conditions", "&#160;&#160;", "&#160;UTC"},
    {"Temperature", kCell, "&#46;"},      {"Temperature", "&#46;", "&deg;C"},
    {"Conditions at", kCell, kCellEnd},   {"Temperature", kCell, kCellEnd},
    {"Dewpoint", kCell, kCellEnd},        {"Pressure", kCell, kCellEnd},
    {"Winds", kCell, kCellEnd},           {"Visibility", kCell, kCellEnd},
    {"Ceiling", kCell, kCellEnd},         {"Clouds", kCell, kCellEnd},
    {"Present Weather", kCell, kCellEnd}, {"", kReportStart, kReportEnd},
};

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Exact duplicates, NaN equal to NaN.
bool SameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool SameObservation(const ObservationRecord& a, const ObservationRecord& b) {
    return a.tObserved == b.tObserved && a.tObservedUtc == b.tObservedUtc &&
           SameNumber(a.dTemperature, b.dTemperature) && SameNumber(a.dPressure, b.dPressure) &&
           SameNumber(a.dPressureInHg, b.dPressureInHg) && SameNumber(a.dWindSpeed, b.dWindSpeed) &&
           SameNumber(a.dWindDirection, b.dWindDirection) &&
           a.strConditionsAt == b.strConditionsAt && a.strTemperature == b.strTemperature &&
           a.strDewpoint == b.strDewpoint && a.strPressure == b.strPressure &&
           a.strWinds == b.strWinds && a.strVisibility == b.strVisibility &&
           a.strCeiling == b.strCeiling && a.strClouds == b.strClouds &&
           a.strPresentWeather == b.strPresentWeather && a.strReport == b.strReport;
}

// Newest first; rows the page repeats word for word are kept once.
void OrderAndDropDuplicates(ObservationSeries& series, int first) {
    const auto begin = series.begin() + first;
    const auto newerFirst = [](const ObservationRecord& a, const ObservationRecord& b) {
        return ObservedInstant(a) > ObservedInstant(b);
    };
    // Pages come newest first as a rule: then nothing moves.
    if (!std::is_sorted(begin, series.end(), newerFirst))
        std::stable_sort(begin, series.end(), newerFirst);
    const auto end = std::unique(begin, series.end(), SameObservation);
    series.SetSize(static_cast<int>(end - series.begin()));
}

} // namespace

const ReportMarkers& MarkersOf(ReportValue value) {
    return kMarkers[static_cast<int>(value)];
}

bool ReportRowCutter::Next(ReportRow& row) {
    const std::size_t begin = m_page.find(kRowLabel, m_position);
    if (begin == std::string_view::npos) {
        m_position = m_page.size();
        return false;
    }
    const std::size_t nextRow = m_page.find(kRowLabel, begin + kRowLabel.size());
    const std::size_t span = m_page.find(kReportStart, begin);
    if (span != std::string_view::npos && (nextRow == std::string_view::npos || span < nextRow)) {
        const std::size_t text = span + kReportStart.size();
        const std::size_t end = m_page.find(kReportEnd, text);
        row.cells = m_page.substr(begin, span - begin);
        row.report =
            end == std::string_view::npos ? std::string_view() : m_page.substr(text, end - text);
        m_position = end == std::string_view::npos ? m_page.size() : end + kReportEnd.size();
    } else {
        // A row without a report of its own ends where the next one begins.
        const std::size_t end = nextRow == std::string_view::npos ? m_page.size() : nextRow;
        row.cells = m_page.substr(begin, end - begin);
        row.report = {};
        m_position = end;
    }
    return true;
}

std::string RowValue(const ReportRow& row, ReportValue value) {
    if (value == ReportValue::Report)
        return PageFetcher::DecodeExtracted(row.report);
    const ReportMarkers& m = MarkersOf(value);
    return PageFetcher::Extract(row.cells, m.label, m.start, m.end, 1);
}

ReportReadResult ReadReportRows(std::string_view page, ObservationSeries* series,
                                ObservationRecord& working) {
    ReportReadResult result;
    if (page.empty() || page.find("Sorry") != std::string_view::npos)
        return result;

    const int first = series ? series->GetSize() : 0;
    if (series) {
        // Room for every row at once: a long page is not copied over and over as it grows.
        int labels = 0;
        for (std::size_t at = page.find(kRowLabel); at != std::string_view::npos;
             at = page.find(kRowLabel, at + kRowLabel.size()))
            ++labels;
        series->Reserve(first + labels);
    }
    auto finish = [&](ReportOutcome outcome) {
        result.outcome = outcome;
        if (series)
            OrderAndDropDuplicates(*series, first);
        return result;
    };

    constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
    ReportRowCutter cutter(page);
    ReportRow row;
    for (int k = 1;; ++k) {
        const bool more = cutter.Next(row);
        const std::string observed = more ? RowValue(row, ReportValue::Observed) : std::string();
        if (observed.empty())
            return finish(k > 1 ? ReportOutcome::Rows : ReportOutcome::NoData);

        const std::string utc = RowValue(row, ReportValue::Utc);
        if (!utc.empty()) {
            const auto fields = platform::ParseUsDateTime(utc + " " + observed);
            if (!fields)
                return finish(ReportOutcome::NoData);
            platform::DateTimeFields minute = *fields;
            minute.second = 0;
            const auto t = platform::MakeLocalTime(minute);
            const auto instant = platform::MakeUtcTime(minute);
            if (!t || !instant)
                return finish(ReportOutcome::NoData);
            working.tObserved = *t;
            working.tObservedUtc = *instant;
        }

        // A whole part of 0 or -0 gives 0 whatever the fraction; one without a number is a
        // temperature the row does not give.
        const std::string whole = RowValue(row, ReportValue::TemperatureWhole);
        if (whole.empty() || !HasDigit(whole)) {
            working.dTemperature = kMissing;
        } else if (platform::LeadingDouble(whole) == 0.0) {
            working.dTemperature = 0.0;
        } else {
            const std::string fraction = RowValue(row, ReportValue::TemperatureFraction);
            if (!fraction.empty())
                working.dTemperature = platform::LeadingDouble(whole + "." + fraction);
        }

        working.strConditionsAt = RowValue(row, ReportValue::ConditionsCell);
        working.strTemperature = RowValue(row, ReportValue::TemperatureCell);
        working.strDewpoint = RowValue(row, ReportValue::DewpointCell);
        working.strPressure = RowValue(row, ReportValue::PressureCell);
        working.strWinds = RowValue(row, ReportValue::WindsCell);
        working.strVisibility = RowValue(row, ReportValue::VisibilityCell);
        working.strCeiling = RowValue(row, ReportValue::CeilingCell);
        working.strClouds = RowValue(row, ReportValue::CloudsCell);
        working.strPresentWeather = RowValue(row, ReportValue::PresentWeatherCell);
        working.strReport = RowValue(row, ReportValue::Report);
        FillReportNumbers(working);

        ++result.rows;
        if (series)
            series->Add(working);
    }
}
