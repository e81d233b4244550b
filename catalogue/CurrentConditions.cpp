#include "catalogue/CurrentConditions.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<std::string_view, kMapColoursCount> kModeNames = {"stations", "category",
                                                                       "temperature", "wind"};

// A report without the value the mode colours by: a filled dot all the same, darker than the
// small dots of stations without a report.
constexpr Rgb kNoValueColour{90, 90, 90};

// The temperature classes the legend counts, by their lower bounds in degrees Celsius; each is
// shown in the scale's colour of its middle.
struct TemperatureBand {
    double fromC;
    double middleC;
};
constexpr std::array<TemperatureBand, 5> kTemperatureBands = {
    {{-1e300, -30}, {-20, -10}, {0, 7.5}, {15, 22.5}, {30, 37.5}}};

double Fahrenheit(double celsius) {
    return celsius * 9.0 / 5.0 + 32.0;
}

std::string TemperatureBandName(std::size_t band, bool metric) {
    auto degrees = [metric](double celsius) {
        return platform::Format("%.0f", metric ? celsius : Fahrenheit(celsius));
    };
    const char* unit = metric ? "\xB0"
                                "C"
                              : "\xB0"
                                "F";
    if (band == 0)
        return "below " + degrees(kTemperatureBands[1].fromC) + " " + unit;
    if (band + 1 == kTemperatureBands.size())
        return degrees(kTemperatureBands[band].fromC) + " " + unit + " and above";
    return degrees(kTemperatureBands[band].fromC) + " to " +
           degrees(kTemperatureBands[band + 1].fromC) + " " + unit;
}

std::size_t TemperatureBandOf(double celsius) {
    std::size_t band = 0;
    while (band + 1 < kTemperatureBands.size() && celsius >= kTemperatureBands[band + 1].fromC)
        ++band;
    return band;
}

Rgb FromClass(int legendClass, MapColours mode) {
    switch (mode) {
    case MapColours::Category:
        return FlightCategoryColour(static_cast<FlightCategory>(legendClass));
    case MapColours::Temperature:
        return TemperatureColour(kTemperatureBands[static_cast<std::size_t>(legendClass)].middleC);
    case MapColours::Wind:
        return WindClassColour(static_cast<WindClass>(legendClass));
    case MapColours::Stations:
        break;
    }
    return kNoReportColour;
}

} // namespace

std::string_view MapColoursName(MapColours mode) {
    return kModeNames[static_cast<std::size_t>(mode)];
}

std::optional<MapColours> ReadMapColours(std::string_view name) {
    for (std::size_t i = 0; i < kModeNames.size(); ++i)
        if (name == kModeNames[i])
            return static_cast<MapColours>(i);
    return std::nullopt;
}

void CurrentConditions::Take(LatestTable table, std::int64_t fetchedAt) {
    m_table = std::move(table);
    m_rowByIcao.clear();
    m_rowByIcao.reserve(m_table.rows.size());
    for (std::size_t i = 0; i < m_table.rows.size(); ++i)
        m_rowByIcao.emplace(m_table.rows[i].icao, static_cast<int>(i)); // the first one counts
    m_fetchedAt = fetchedAt;
    m_failedAt = 0;
}

const LatestRow* CurrentConditions::RowOf(std::string_view icao) const {
    if (icao.empty() || m_rowByIcao.empty())
        return nullptr;
    const auto it = m_rowByIcao.find(std::string(icao));
    return it == m_rowByIcao.end() ? nullptr : &m_table.rows[static_cast<std::size_t>(it->second)];
}

StationMark CurrentConditions::MarkOf(MapColours mode, const LatestRow* row) const {
    StationMark mark;
    if (!row || mode == MapColours::Stations)
        return mark;
    mark.reported = true;
    const ReportValues& v = row->values;
    switch (mode) {
    case MapColours::Category:
        if (v.flightCategory) {
            mark.legendClass = static_cast<int>(*v.flightCategory);
            mark.colour = FlightCategoryColour(*v.flightCategory);
            return mark;
        }
        break;
    case MapColours::Temperature:
        if (v.temperatureC) {
            mark.legendClass = static_cast<int>(TemperatureBandOf(*v.temperatureC));
            mark.colour = TemperatureColour(*v.temperatureC);
            return mark;
        }
        break;
    case MapColours::Wind:
        if (v.windSpeedKt) {
            const WindClass wind = WindClassOf(*v.windSpeedKt);
            mark.legendClass = static_cast<int>(wind);
            mark.colour = WindClassColour(wind);
            return mark;
        }
        break;
    case MapColours::Stations:
        break;
    }
    mark.colour = kNoValueColour;
    return mark;
}

std::vector<LegendLine> CurrentConditions::Legend(MapColours mode, const StationTable& stations,
                                                  bool metric) const {
    std::vector<LegendLine> lines;
    if (mode == MapColours::Stations)
        return lines;
    const std::size_t classes = mode == MapColours::Temperature ? kTemperatureBands.size()
                                : mode == MapColours::Wind      ? 5
                                                                : 4;
    std::vector<long long> counts(classes, 0);
    long long noValue = 0;
    long long noReport = 0;
    for (const StationRecord& s : stations) {
        const LatestRow* row = RowOf(s.strICAO);
        const StationMark mark = MarkOf(mode, row);
        if (!mark.reported)
            ++noReport;
        else if (mark.legendClass < 0)
            ++noValue;
        else
            ++counts[static_cast<std::size_t>(mark.legendClass)];
    }
    for (std::size_t c = 0; c < classes; ++c) {
        const int legendClass = static_cast<int>(c);
        std::string name;
        if (mode == MapColours::Category)
            name = FlightCategoryName(static_cast<FlightCategory>(legendClass));
        else if (mode == MapColours::Wind)
            name = WindClassName(static_cast<WindClass>(legendClass));
        else
            name = TemperatureBandName(c, metric);
        lines.push_back({FromClass(legendClass, mode), name + " " + GroupedCount(counts[c])});
    }
    if (noValue > 0) {
        const char* what = mode == MapColours::Category      ? "no category"
                           : mode == MapColours::Temperature ? "no temperature"
                                                             : "no wind";
        lines.push_back({kNoValueColour, std::string(what) + " " + GroupedCount(noValue)});
    }
    lines.push_back({kNoReportColour, "no report " + GroupedCount(noReport)});
    return lines;
}

std::string CurrentConditions::AsOf(std::int64_t now) const {
    if (!HasTable())
        return {};
    return "as of " + (m_failedAt != 0 ? UtcClockAndAge(m_fetchedAt, now) : UtcClock(m_fetchedAt));
}

std::string CurrentConditions::StatusText() const {
    std::string text = "Current conditions: " + GroupedCount(RowCount()) + " stations, as of " +
                       UtcClock(m_fetchedAt);
    if (SkippedRows() > 0)
        text += "; " + GroupedCount(SkippedRows()) +
                (SkippedRows() == 1 ? " bad row skipped" : " bad rows skipped");
    return text;
}

std::string GroupedCount(long long count) {
    const bool negative = count < 0;
    std::string digits = std::to_string(negative ? -count : count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return negative ? "-" + digits : digits;
}

std::string UtcClock(std::int64_t instant) {
    const auto tm = platform::UtcBreakdown(instant);
    return platform::Format("%02d:%02d UTC", tm ? tm->tm_hour : 0, tm ? tm->tm_min : 0);
}

std::string UtcClockAndAge(std::int64_t instant, std::int64_t now) {
    const std::int64_t minutes = std::max<std::int64_t>(now - instant, 0) / 60;
    std::string age;
    if (minutes < 120)
        age = platform::Format("%lld min ago", static_cast<long long>(minutes));
    else if (minutes < 48 * 60)
        age = platform::Format("%lld h ago", static_cast<long long>(minutes / 60));
    else
        age = platform::Format("%lld days ago", static_cast<long long>(minutes / (24 * 60)));
    return UtcClock(instant) + ", " + age;
}

std::string StationTip(const StationRecord& station, const LatestRow* row, bool metric,
                       std::int64_t now) {
    std::string tip =
        platform::Trim(station.strStation) + " (" + platform::Trim(station.strICAO) + ")";
    if (!row)
        return tip + "\nno report in the table of current conditions";
    const ReportValues& v = row->values;
    tip += "\n" + UtcClockAndAge(row->observedUtc, now);
    auto temperature = [metric](const std::optional<double>& c) {
        if (!c)
            return std::string("not reported");
        return metric ? platform::Format("%.0f \xB0"
                                         "C",
                                         *c)
                      : platform::Format("%.0f \xB0"
                                         "F",
                                         Fahrenheit(*c));
    };
    tip +=
        "\nTemperature " + temperature(v.temperatureC) + ", dew point " + temperature(v.dewpointC);

    std::string wind = "not reported";
    if (v.windSpeedKt && *v.windSpeedKt == 0) {
        wind = "calm";
    } else if (v.windSpeedKt) {
        const double knots = *v.windSpeedKt;
        wind = (v.windDirectionDeg ? platform::Format("%03d\xB0", *v.windDirectionDeg)
                                   : std::string("variable")) +
               platform::Format(" at %d kt", *v.windSpeedKt) +
               (metric ? platform::Format(" (%.0f m/s)", knots * 0.514444)
                       : platform::Format(" (%.0f mph)", knots * 1.150779));
        if (v.windGustKt)
            wind += platform::Format(", gusts %d kt", *v.windGustKt);
    }
    tip += "\nWind " + wind;

    std::string visibility = "not reported";
    if (v.visibilityM) {
        const int m = *v.visibilityM;
        if (!metric)
            visibility = platform::Format("%.1f mi", m / 1609.344);
        else if (m == 9999) // the code for 10 km or more
            visibility = "10 km or more";
        else if (m >= 5000)
            visibility = platform::Format("%.0f km", m / 1000.0);
        else
            visibility = GroupedCount(m) + " m";
    }
    tip += "\nVisibility " + visibility;
    tip += "\nCeiling " + (v.ceilingFt ? GroupedCount(*v.ceilingFt) + " ft" : std::string("none"));
    tip += "\nFlight category " + (v.flightCategory
                                       ? std::string(FlightCategoryName(*v.flightCategory))
                                       : std::string("unknown"));
    tip += "\n" + row->report;
    return tip;
}
