#include "store/ObservationCsv.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "store/Utf8Text.h"

#include <charconv>
#include <cmath>

namespace {

void AppendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Fifteen significant digits: every digit the reports carry, none of binary noise.
void AppendNumber(std::string& out, double value) {
    out += ',';
    if (std::isnan(value))
        return;
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    out.append(buffer, end.ptr);
}

void AppendText(std::string& out, const std::string& text) {
    out += ',';
    AppendField(out, Utf8FromCp1252(text));
}

std::string IsoUtc(std::int64_t instant) {
    const auto tm = platform::UtcBreakdown(instant);
    if (!tm)
        return {};
    return platform::Format("%04d-%02d-%02dT%02d:%02d:%02dZ", tm->tm_year + 1900, tm->tm_mon + 1,
                            tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec);
}

} // namespace

std::string ObservationCsvHeader() {
    return "station,observed_utc,temperature_degC,pressure_hPa,pressure_inHg,wind_speed_m_s,"
           "wind_direction_deg,conditions_at,temperature_text,dewpoint_text,pressure_text,"
           "winds_text,visibility_text,ceiling_text,clouds_text,present_weather_text,report\r\n";
}

void AppendObservationCsvRow(std::string& out, const std::string& icao,
                             const ObservationRecord& record) {
    AppendField(out, Utf8FromCp1252(icao));
    out += ',';
    out += IsoUtc(ObservedInstant(record));
    AppendNumber(out, record.dTemperature);
    AppendNumber(out, record.dPressure + 1000);
    AppendNumber(out, record.dPressureInHg);
    AppendNumber(out, record.dWindSpeed);
    AppendNumber(out, record.dWindDirection);
    for (const std::string* text :
         {&record.strConditionsAt, &record.strTemperature, &record.strDewpoint, &record.strPressure,
          &record.strWinds, &record.strVisibility, &record.strCeiling, &record.strClouds,
          &record.strPresentWeather, &record.strReport})
        AppendText(out, *text);
    out += "\r\n";
}
