#include "observations/ReportPage.h"

#include "observations/PageFetcher.h"
#include "observations/ReportNumbers.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/DateParser.h"

namespace {

constexpr std::string_view kCell = "<TD ALIGN=\"left\">";
constexpr std::string_view kCellEnd = "</TD>";

const ReportMarkers kMarkers[] = {
    {"Conditions", "observed", "&#160;"}, {"Conditions", "&#160;&#160;", "&#160;UTC"},
    {"Temperature", kCell, "&#46;"},      {"Temperature", "&#46;", "&deg;C"},
    {"Conditions at", kCell, kCellEnd},   {"Temperature", kCell, kCellEnd},
    {"Dewpoint", kCell, kCellEnd},        {"Pressure", kCell, kCellEnd},
    {"Winds", kCell, kCellEnd},           {"Visibility", kCell, kCellEnd},
    {"Ceiling", kCell, kCellEnd},         {"Clouds", kCell, kCellEnd},
    {"Present Weather", kCell, kCellEnd}, {"", "<SPAN CLASS=\"monospace\">", "<BR>"},
};

} // namespace

const ReportMarkers& MarkersOf(ReportValue value) {
    return kMarkers[static_cast<int>(value)];
}

std::string ReportPageReader::Get(ReportValue value, int row) {
    Cursor& cur = m_cursors[static_cast<int>(value)];
    const ReportMarkers& m = MarkersOf(value);
    if (row < cur.done)
        throw platform::InvalidArgument("report rows must be read in rising order");
    while (!cur.failed && cur.done < row) {
        std::size_t a = cur.p;
        if (!m.label.empty())
            a = m_page.find(m.label, cur.p);
        const std::size_t b = a == std::string_view::npos ? a : m_page.find(m.start, a);
        const std::size_t c = b == std::string_view::npos ? b : m_page.find(m.end, b);
        if (c == std::string_view::npos) {
            cur.failed = true;
            break;
        }
        cur.p = c;
        cur.valueBegin = b + m.start.size();
        cur.valueEnd = c;
        ++cur.done;
    }
    if (cur.failed || cur.valueEnd < cur.valueBegin)
        return {};
    return PageFetcher::DecodeExtracted(
        m_page.substr(cur.valueBegin, cur.valueEnd - cur.valueBegin));
}

ReportReadResult ReadReportRows(std::string_view page, ObservationSeries* series,
                                ObservationRecord& working) {
    ReportReadResult result;
    if (page.empty() || page.find("Sorry") != std::string_view::npos)
        return result;

    ReportPageReader reader(page);
    for (int k = 1;; ++k) {
        const std::string observed = reader.Get(ReportValue::Observed, k);
        if (observed.empty()) {
            if (k > 1)
                result.outcome = ReportOutcome::Rows;
            return result;
        }

        const std::string utc = reader.Get(ReportValue::Utc, k);
        if (!utc.empty()) {
            const auto fields = platform::ParseUsDateTime(utc + " " + observed);
            if (!fields)
                return result;
            platform::DateTimeFields minute = *fields;
            minute.second = 0;
            const auto t = platform::MakeLocalTime(minute);
            const auto instant = platform::MakeUtcTime(minute);
            if (!t || !instant)
                return result;
            working.tObserved = *t;
            working.tObservedUtc = *instant;
        }

        const std::string whole = reader.Get(ReportValue::TemperatureWhole, k);
        if (whole.empty()) {
            working.dTemperature = 0.0;
        } else if (platform::LeadingDouble(whole) == 0.0) {
            working.dTemperature = 0.0;
        } else {
            const std::string fraction = reader.Get(ReportValue::TemperatureFraction, k);
            if (!fraction.empty())
                working.dTemperature = platform::LeadingDouble(whole + "." + fraction);
        }

        working.strConditionsAt = reader.Get(ReportValue::ConditionsCell, k);
        working.strTemperature = reader.Get(ReportValue::TemperatureCell, k);
        working.strDewpoint = reader.Get(ReportValue::DewpointCell, k);
        working.strPressure = reader.Get(ReportValue::PressureCell, k);
        working.strWinds = reader.Get(ReportValue::WindsCell, k);
        working.strVisibility = reader.Get(ReportValue::VisibilityCell, k);
        working.strCeiling = reader.Get(ReportValue::CeilingCell, k);
        working.strClouds = reader.Get(ReportValue::CloudsCell, k);
        working.strPresentWeather = reader.Get(ReportValue::PresentWeatherCell, k);
        working.strReport = reader.Get(ReportValue::Report, k);
        FillReportNumbers(working);

        ++result.rows;
        if (series)
            series->Add(working);
    }
}
