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

// Where the text of a value stands in a row's cells: between the first start marker after the
// first occurrence of its label and the first end marker after that; empty when a marker is
// missing (as PageFetcher::Extract cuts it).
std::string_view Cut(std::string_view cells, std::size_t label, std::string_view start,
                     std::string_view end) {
    if (label == std::string_view::npos)
        return {};
    const std::size_t b = platform::Find(cells, start, label);
    if (b == std::string_view::npos)
        return {};
    const std::size_t c = platform::Find(cells, end, b);
    if (c == std::string_view::npos || c < b + start.size())
        return {};
    return cells.substr(b + start.size(), c - b - start.size());
}

// The values of one row, cut from its cells in one pass over the labels: each label is looked
// for once, and the values that share it are cut from the same place.
class RowReader {
public:
    explicit RowReader(const ReportRow& row) : m_row(row) {}

    std::string_view Raw(ReportValue value) {
        if (value == ReportValue::Report)
            return m_row.report;
        const ReportMarkers& m = MarkersOf(value);
        return Cut(m_row.cells, Label(m.label), m.start, m.end);
    }

    // The decoded value into `text` (its storage reused).
    void Decode(ReportValue value, std::string& text) {
        PageFetcher::DecodeExtractedInto(Raw(value), text);
    }

private:
    std::size_t Label(std::string_view label) {
        if (label.empty())
            return 0;
        for (std::size_t i = 0; i < m_found; ++i)
            if (m_labels[i] == label)
                return m_positions[i];
        const std::size_t at = platform::Find(m_row.cells, label);
        if (m_found < std::size(m_labels)) {
            m_labels[m_found] = label;
            m_positions[m_found++] = at;
        }
        return at;
    }

    const ReportRow& m_row;
    std::string_view m_labels[static_cast<int>(ReportValue::Count)];
    std::size_t m_positions[static_cast<int>(ReportValue::Count)] = {};
    std::size_t m_found = 0;
};

} // namespace

const ReportMarkers& MarkersOf(ReportValue value) {
    return kMarkers[static_cast<int>(value)];
}

ReportRowCutter::ReportRowCutter(std::string_view page)
    : m_page(page), m_nextLabel(platform::Find(page, kRowLabel)) {}

bool ReportRowCutter::Next(ReportRow& row) {
    const std::size_t begin =
        m_nextLabel >= m_position ? m_nextLabel : platform::Find(m_page, kRowLabel, m_position);
    if (begin == std::string_view::npos) {
        m_position = m_page.size();
        return false;
    }
    const std::size_t nextRow = platform::Find(m_page, kRowLabel, begin + kRowLabel.size());
    m_nextLabel = nextRow;
    const std::size_t span = platform::Find(m_page, kReportStart, begin);
    if (span != std::string_view::npos && (nextRow == std::string_view::npos || span < nextRow)) {
        const std::size_t text = span + kReportStart.size();
        const std::size_t end = platform::Find(m_page, kReportEnd, text);
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
    std::string text;
    RowReader(row).Decode(value, text);
    return text;
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
        for (std::size_t at = platform::Find(page, kRowLabel); at != std::string_view::npos;
             at = platform::Find(page, kRowLabel, at + kRowLabel.size()))
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
    // Texts reused from row to row: a row allocates only for what it keeps.
    std::string observed, utc, when, whole, fraction;
    for (int k = 1;; ++k) {
        const bool more = cutter.Next(row);
        RowReader values(row);
        if (more)
            values.Decode(ReportValue::Observed, observed);
        if (!more || observed.empty())
            return finish(k > 1 ? ReportOutcome::Rows : ReportOutcome::NoData);

        values.Decode(ReportValue::Utc, utc);
        if (!utc.empty()) {
            when.assign(utc).append(1, ' ').append(observed);
            const auto fields = platform::ParseUsDateTime(when);
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
        values.Decode(ReportValue::TemperatureWhole, whole);
        if (whole.empty() || !HasDigit(whole)) {
            working.dTemperature = kMissing;
        } else if (platform::LeadingDouble(whole) == 0.0) {
            working.dTemperature = 0.0;
        } else {
            values.Decode(ReportValue::TemperatureFraction, fraction);
            if (!fraction.empty())
                working.dTemperature =
                    platform::LeadingDouble(whole.append(1, '.').append(fraction));
        }

        values.Decode(ReportValue::ConditionsCell, working.strConditionsAt);
        values.Decode(ReportValue::TemperatureCell, working.strTemperature);
        values.Decode(ReportValue::DewpointCell, working.strDewpoint);
        values.Decode(ReportValue::PressureCell, working.strPressure);
        values.Decode(ReportValue::WindsCell, working.strWinds);
        values.Decode(ReportValue::VisibilityCell, working.strVisibility);
        values.Decode(ReportValue::CeilingCell, working.strCeiling);
        values.Decode(ReportValue::CloudsCell, working.strClouds);
        values.Decode(ReportValue::PresentWeatherCell, working.strPresentWeather);
        values.Decode(ReportValue::Report, working.strReport);
        FillReportNumbers(working);

        ++result.rows;
        if (series)
            series->Add(working);
    }
}
