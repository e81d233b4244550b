#include "reportd/Simulation.h"

#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kDaySeconds = 86400.0;
constexpr double kYearDays = 365.2425;
// 20 July 2000, days since 1970: the northern hemisphere's warmest time of the year.
constexpr double kSummerPeakDay = 11158.0;

std::uint32_t Hash(const std::string& text) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

// A phase in [0, 1) derived from the station and a salt, so that stations differ.
double Phase(std::uint32_t hash, int salt) {
    std::uint32_t h = hash ^ (0x9E3779B9u * static_cast<std::uint32_t>(salt + 1));
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return (h % 100000) / 100000.0;
}

double Wave(double days, double periodDays, double phase) {
    return std::sin(kTwoPi * (days / periodDays + phase));
}

bool UsStyle(const StationRecord& s) {
    return s.strCY == "US" || (!s.strICAO.empty() && s.strICAO[0] == 'K');
}

} // namespace

bool ReportsHalfHourly(const StationRecord& station) {
    return Hash(station.strICAO) % 3 == 0;
}

SimulatedWeather SimulateWeather(const StationRecord& s, std::int64_t time) {
    const std::uint32_t h = Hash(s.strICAO);
    const double lat = 90.0 - s.dColatitude;
    const double lon = s.dLongitude - 180.0;
    const double absLat = std::fabs(lat);
    const double days = static_cast<double>(time) / kDaySeconds;
    const double utcHours = std::fmod(days, 1.0) * 24.0;
    const double solarHour = std::fmod(utcHours + lon / 15.0 + 48.0, 24.0);
    const double afternoon = std::cos(kTwoPi * (solarHour - 15.0) / 24.0); // +1 at 15 h

    // Temperature: climate by latitude, season by hemisphere, the day's cycle, height, fronts.
    double mean = 27.0 - 0.1 * absLat - 0.005 * absLat * absLat;
    if (lat < -60)
        mean -= (absLat - 60.0) * 0.8; // the Antarctic plateau is colder than the Arctic sea
    const double seasonAmplitude = 0.22 * absLat;
    const double season = seasonAmplitude * std::cos(kTwoPi * (days - kSummerPeakDay) / kYearDays) *
                          (lat >= 0 ? 1.0 : -1.0);
    const double daily = (3.0 + 3.0 * std::cos(lat * std::numbers::pi / 180.0)) * afternoon;
    const double fronts = 3.0 * Wave(days, 4.3, Phase(h, 1)) + 1.5 * Wave(days, 1.7, Phase(h, 2));
    const double height = -6.5 * std::max(0.0, s.dElevation) / 1000.0;

    SimulatedWeather w;
    w.temperatureC = mean + season + daily + fronts + height;
    const double spread =
        1.0 + 3.5 * (1.0 + Wave(days, 3.1, Phase(h, 3))) + 2.0 * std::max(0.0, afternoon);
    w.dewpointC = w.temperatureC - spread;

    // Pressure waves travel eastwards.
    const double synoptic = Wave(days - lon / 360.0 * 3.0, 5.0, Phase(h, 4) * 0.2);
    w.pressureHpa = 1013.0 + 11.0 * synoptic + 4.0 * Wave(days + lon / 90.0, 2.3, Phase(h, 5));

    // Winds veer and back around a prevailing direction and freshen when the pressure is low.
    const double direction = 260.0 + 360.0 * Phase(h, 6) * 0.3 +
                             70.0 * Wave(days, 3.7, Phase(h, 7)) +
                             40.0 * Wave(days, 1.3, Phase(h, 8));
    double speed = 3.0 + 5.0 * (1.0 + Wave(days, 2.9, Phase(h, 9))) +
                   3.0 * std::max(0.0, afternoon) + 12.0 * std::max(0.0, -synoptic - 0.5);
    speed -= 3.0; // light airs fall calm now and then
    w.windKnots = std::max(0, static_cast<int>(std::lround(speed)));
    if (w.windKnots == 0) {
        w.windDirection = 0;
    } else {
        const int tens = static_cast<int>(std::lround(std::fmod(direction + 720.0, 360.0) / 10.0));
        w.windDirection = tens == 0 ? 360 : tens * 10;
    }
    if (w.windKnots >= 15)
        w.gustKnots = w.windKnots + 7 + static_cast<int>(h % 5);

    // Occasional precipitation; mist and fog when the air is near saturation.
    const double rain =
        Wave(days, 2.1, Phase(h, 10)) + 0.6 * Wave(days, 0.77, Phase(h, 11)) - 0.4 * synoptic;
    const bool snow = w.temperatureC <= 1.0;
    if (rain > 1.15) {
        const char* intensity = rain > 1.45 ? "+" : rain > 1.28 ? "" : "-";
        const bool showers = !snow && afternoon > 0.5 && w.temperatureC > 15;
        w.weather = std::string(intensity) + (showers ? "SH" : "") + (snow ? "SN" : "RA");
        const int base = snow ? 3000 : 8000;
        w.visibilityMetres = rain > 1.45 ? base / 5 : rain > 1.28 ? base / 2 : base;
        w.dewpointC = w.temperatureC - std::min(spread, 1.5);
    } else if (spread < 1.6 && afternoon < 0) {
        w.weather = spread < 1.2 ? "FG" : "BR";
        w.visibilityMetres = spread < 1.2 ? 400 : 3000;
    }

    const bool wet = !w.weather.empty();
    const int low = 8 + static_cast<int>(h % 12);
    if (wet)
        w.clouds = platform::Format("BKN%03d OVC%03d", low, low + 15);
    else if (spread < 4.0)
        w.clouds = platform::Format("SCT%03d BKN%03d", low + 10, low + 40);
    else if (spread < 6.5)
        w.clouds = platform::Format("FEW%03d", 40 + static_cast<int>(h % 30));
    else
        w.clouds = UsStyle(s) ? "CLR" : "NSC";
    return w;
}

std::string SimulatedReport(const StationRecord& s, std::int64_t time) {
    const SimulatedWeather w = SimulateWeather(s, time);
    const std::tm when = platform::UtcBreakdown(time).value_or(std::tm{});
    const bool us = UsStyle(s);
    std::string r = platform::Format("%s %02d%02d%02dZ AUTO ", s.strICAO.c_str(), when.tm_mday,
                                     when.tm_hour, when.tm_min);
    if (w.windKnots == 0)
        r += "00000KT ";
    else if (w.gustKnots)
        r += platform::Format("%03d%02dG%02dKT ", w.windDirection, w.windKnots, w.gustKnots);
    else
        r += platform::Format("%03d%02dKT ", w.windDirection, w.windKnots);

    if (us) {
        const double miles = w.visibilityMetres / 1609.344;
        r += miles >= 9.9   ? "10SM "
             : miles >= 1   ? platform::Format("%dSM ", static_cast<int>(miles))
             : miles >= 0.5 ? "1/2SM "
                            : "1/4SM ";
    } else {
        r += platform::Format("%04d ", std::min(w.visibilityMetres, 9999));
    }
    if (!w.weather.empty())
        r += w.weather + " ";
    r += w.clouds + " ";

    auto temp = [](double c) {
        const int v = static_cast<int>(std::lround(c));
        return v < 0 ? platform::Format("M%02d", -v) : platform::Format("%02d", v);
    };
    r += temp(w.temperatureC) + "/" + temp(w.dewpointC) + " ";
    if (us)
        r += platform::Format("A%04d ",
                              static_cast<int>(std::lround(w.pressureHpa / 33.8639 * 100)));
    else
        r += platform::Format("Q%04d ", static_cast<int>(std::lround(w.pressureHpa)));
    r += protocol::kSimulatedRemark;
    return r;
}

namespace {

// The station's report slots, :20 and :50 of every hour or :50 only, in seconds.
std::int64_t SlotOf(const StationRecord& station) {
    return ReportsHalfHourly(station) ? 1800 : 3600;
}

// The station's last report slot at or before `to`.
std::int64_t LastSlot(std::int64_t slot, std::int64_t to) {
    const std::int64_t offset = 50 * 60 % slot;
    return to - ((to - offset) % slot + slot) % slot;
}

} // namespace

std::vector<TimedReport> SimulatedSource::Reports(const StationRecord& station, std::int64_t from,
                                                  std::int64_t to) {
    std::vector<TimedReport> reports;
    if (to < from)
        return reports;
    const std::int64_t slot = SlotOf(station);
    for (std::int64_t t = LastSlot(slot, to); t >= from; t -= slot)
        reports.push_back({t, SimulatedReport(station, t)});
    return reports;
}

std::vector<std::optional<TimedReport>>
SimulatedSource::NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                               std::int64_t to) {
    // Only the newest report of each station is made.
    std::vector<std::optional<TimedReport>> newest(stations.size());
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const std::int64_t t = LastSlot(SlotOf(*stations[i]), to);
        if (t >= from && t <= to)
            newest[i] = TimedReport{t, SimulatedReport(*stations[i], t)};
    }
    return newest;
}
