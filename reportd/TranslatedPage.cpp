#include "reportd/TranslatedPage.h"

#include "observations/MetarDecoder.h"
#include "observations/ReportNumbers.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"

#include <cmath>

namespace {

constexpr double kMphPerKnot = 1.150779;

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&#38;";
            break;
        case '<':
            out += "&#60;";
            break;
        case '>':
            out += "&#62;";
            break;
        case '"':
            out += "&#34;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Cell(const char* label, const std::string& value) {
    return platform::Format(
        "<TR><TD ALIGN=\"right\"><B>%s:</B></TD><TD ALIGN=\"left\">%s</TD></TR>\n", label,
        value.c_str());
}

std::string WithThousands(int value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

const char* CompassPoint(int degrees) {
    static const char* points[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                   "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    return points[static_cast<int>(std::lround(degrees / 22.5)) % 16];
}

std::string Speed(double knots) {
    return platform::Format("%d MPH (%d knots; %s m/s)",
                            static_cast<int>(std::lround(knots * kMphPerKnot)), WholeKnots(knots),
                            PageNumber(knots * kMetresPerSecondPerKnot, 1).c_str());
}

std::string Fahrenheit(double c) {
    return std::to_string(static_cast<int>(std::lround(c * 1.8 + 32)));
}

std::string WindsText(const MetarReport& r) {
    if (!r.wind)
        return "not reported";
    const MetarReport::Wind& w = *r.wind;
    std::string text;
    if (w.speedKnots < 0.5 && !w.gustKnots)
        return "calm";
    if (w.variable)
        text = "variable direction winds at " + Speed(w.speedKnots);
    else
        text = platform::Format("from the %s (%d degrees) at ", CompassPoint(w.direction),
                                w.direction) +
               Speed(w.speedKnots);
    if (w.gustKnots)
        text += " gusting to " + Speed(*w.gustKnots);
    return text;
}

std::string VisibilityText(const MetarReport& r) {
    if (!r.visibility)
        return "not reported";
    const MetarReport::Visibility& v = *r.visibility;
    if (v.atLeast && v.miles >= 9.9)
        return "10 or more miles (16+ km)";
    if (v.atLeast && !v.inMiles)
        return "6 or more miles (10+ km)";
    const double miles = v.inMiles ? v.miles : std::round(v.miles * 10) / 10;
    std::string m = PageNumber(miles, miles == std::floor(miles) ? 0 : 2);
    return m + (miles == 1 ? " mile (" : " miles (") + PageNumber(v.metres / 1000, 1) + " km)";
}

std::string CloudsText(const MetarReport& r) {
    static const std::pair<const char*, const char*> covers[] = {
        {"FEW", "few"}, {"SCT", "scattered"}, {"BKN", "broken"}, {"OVC", "overcast"}};
    std::string text;
    for (const MetarReport::Cloud& c : r.clouds) {
        std::string layer;
        if (c.cover == "VV") {
            layer = "sky obscured";
            if (c.heightFeet >= 0)
                layer += ", vertical visibility " + std::to_string(c.heightFeet) + " feet";
        } else {
            for (const auto& [code, word] : covers)
                if (c.cover == code)
                    layer = word;
            layer += c.type == "CB"    ? " cumulonimbus clouds"
                     : c.type == "TCU" ? " towering cumulus clouds"
                                       : " clouds";
            if (c.heightFeet >= 0)
                layer += " at " + std::to_string(c.heightFeet) + " feet AGL";
        }
        text += (text.empty() ? "" : "; ") + layer;
    }
    if (text.empty())
        return r.skyClear ? "sky clear" : "not reported";
    return text;
}

double RelativeHumidity(double t, double d) {
    auto e = [](double x) { return std::exp(17.625 * x / (243.04 + x)); };
    return std::min(100.0, 100.0 * e(d) / e(t));
}

} // namespace

std::string PageNumber(double value, int decimals) {
    std::string text = platform::Format("%.*f", decimals, value);
    if (std::stod(text) == 0)
        text = platform::Format("%.*f", decimals, 0.0); // no "-0.0"
    platform::ReplaceAll(text, "-", "&#45;");
    platform::ReplaceAll(text, ".", "&#46;");
    return text;
}

std::string TranslatedRow(const StationInfo& station, const TimedReport& report) {
    const StationRecord& s = station.record;
    const MetarReport r = DecodeMetar(report.raw);
    const ReportValues v = ValuesOf(r);
    const std::tm when = platform::UtcBreakdown(report.time).value_or(std::tm{});

    std::string place = Escape(station.displayName);
    if (!s.strCD.empty())
        place += ", " + s.strCD;
    if (!s.strCY.empty())
        place += ", " + s.strCY;
    std::string html =
        Cell("Conditions at",
             platform::Format("%s (%s) observed %d/%d/%d&#160;&#160;%02d:%02d&#160;UTC",
                              s.strICAO.c_str(), place.c_str(), when.tm_mon + 1, when.tm_mday,
                              when.tm_year + 1900, when.tm_hour, when.tm_min));

    // The temperature always carries its decimal point: the viewer reads the whole part up to it.
    html += Cell("Temperature", v.temperatureC ? PageNumber(*v.temperatureC, 1) + "&deg;C (" +
                                                     Fahrenheit(*v.temperatureC) + "&deg;F)"
                                               : std::string("not reported&#46;"));
    std::string dew = "not reported";
    if (v.dewpointC) {
        dew = PageNumber(*v.dewpointC, 1) + "&deg;C (" + Fahrenheit(*v.dewpointC) + "&deg;F)";
        if (v.temperatureC)
            dew += platform::Format(
                " [RH = %d%%]",
                static_cast<int>(std::lround(RelativeHumidity(*v.temperatureC, *v.dewpointC))));
    }
    html += Cell("Dewpoint", dew);
    html += Cell("Pressure (altimeter)", r.altimeterInHg
                                             ? PageNumber(*r.altimeterInHg, 2) + " inches Hg (" +
                                                   PageNumber(*v.altimeterHpa, 1) + " mb)"
                                             : std::string("not reported"));
    html += Cell("Winds", WindsText(r));
    html += Cell("Visibility", VisibilityText(r));
    html += Cell("Ceiling", v.ceilingFt ? WithThousands(*v.ceilingFt) + " feet AGL"
                                        : std::string("at least 12,000 feet AGL"));
    html += Cell("Clouds", CloudsText(r));
    std::string weather;
    for (const std::string& g : r.weather)
        weather += (weather.empty() ? "" : "; ") + DescribeWeather(g);
    html += Cell("Present Weather",
                 weather.empty() ? std::string("no significant weather observed at this time")
                                 : weather);
    html += "<TR><TD COLSPAN=\"2\"><SPAN CLASS=\"monospace\">" + Escape(report.raw) +
            "<BR></SPAN></TD></TR>\n";
    return html;
}

std::string TranslatedPage(const StationInfo& station, const std::vector<TimedReport>& reports,
                           bool simulated) {
    std::string html = "<HTML><HEAD><TITLE>" + station.record.strICAO +
                       " translated reports</TITLE></HEAD><BODY>\n";
    if (simulated)
        html += "<H2>" + std::string(protocol::kSimulatedHeading) + "</H2>\n";
    html += "<TABLE BORDER=\"0\">\n";
    for (const TimedReport& report : reports)
        html += TranslatedRow(station, report);
    html += "</TABLE>\n</BODY></HTML>\n";
    return html;
}

std::string SorryPage(const std::string& reason) {
    return "<HTML><HEAD><TITLE>No reports</TITLE></HEAD><BODY>\n<P>Sorry, " + Escape(reason) +
           "</P>\n</BODY></HTML>\n";
}

std::string ServerErrorPage(const std::string& reason) {
    return "<HTML><HEAD><TITLE>Report server error</TITLE></HEAD><BODY>\n<H2>The report server "
           "cannot serve this request</H2>\n<P>" +
           Escape(reason) + "</P>\n</BODY></HTML>\n";
}
