#include "tests/support/ReportPageBuilder.h"

#include "platform/CText.h"

#include <cmath>
#include <ctime>

namespace testing_support {

std::string PageNumber(double value) {
    std::string text = platform::Format("%.1f", value);
    if (text == "-0.0")
        text = "0.0";
    platform::ReplaceAll(text, "-", "&#45;");
    platform::ReplaceAll(text, ".", "&#46;");
    return text;
}

std::string RowHtml(const PageRow& r) {
    const int fahrenheit = static_cast<int>(std::lround(r.temperature * 1.8 + 32));
    std::string html;
    html += platform::Format(
        "<TR><TD ALIGN=\"right\"><B>Conditions at:</B></TD><TD ALIGN=\"left\">%s (%s, NY, US) "
        "observed %d/%d/%d&#160;&#160;%02d:%02d&#160;UTC</TD></TR>\n",
        r.icao.c_str(), r.name.c_str(), r.month, r.day, r.year, r.hour, r.minute);
    html += "<TR><TD ALIGN=\"right\"><B>Temperature:</B></TD><TD ALIGN=\"left\">" +
            PageNumber(r.temperature) + "&deg;C (" + std::to_string(fahrenheit) +
            "&deg;F)</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Dewpoint:</B></TD><TD ALIGN=\"left\">" +
            PageNumber(r.dewpoint) + "&deg;C (30&deg;F) [RH = 38%]</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Pressure (altimeter):</B></TD><TD ALIGN=\"left\">" +
            r.pressureCell + "</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Winds:</B></TD><TD ALIGN=\"left\">" + r.windsCell +
            "</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Visibility:</B></TD><TD ALIGN=\"left\">10 or more miles "
            "(16+ km)</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Ceiling:</B></TD><TD ALIGN=\"left\">at least 12,000 feet "
            "AGL</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Clouds:</B></TD><TD ALIGN=\"left\">few clouds at 25000 "
            "feet AGL</TD></TR>\n";
    html += "<TR><TD ALIGN=\"right\"><B>Present Weather:</B></TD><TD ALIGN=\"left\">no "
            "significant weather observed at this time</TD></TR>\n";
    html +=
        "<TR><TD COLSPAN=\"2\"><SPAN CLASS=\"monospace\">" + r.report + "<BR></SPAN></TD></TR>\n";
    return html;
}

std::string PageHtml(const std::vector<PageRow>& rows) {
    std::string html = "<HTML><HEAD><TITLE>Translated reports</TITLE></HEAD><BODY>\n<TABLE>\n";
    for (const PageRow& row : rows)
        html += RowHtml(row);
    html += "</TABLE>\n</BODY></HTML>\n";
    return html;
}

std::string SorryPage() {
    return "<HTML><BODY><P>Sorry, no reports of that station in the period.</P></BODY></HTML>\n";
}

std::vector<PageRow> SampleRows(int count) {
    std::vector<PageRow> rows;
    std::tm base{};
    base.tm_year = 2026 - 1900;
    base.tm_mon = 11;
    base.tm_mday = 7;
    base.tm_hour = 4;
    base.tm_min = 50;
    const std::time_t start = timegm(&base);
    for (int i = 0; i < count; ++i) {
        const std::time_t t = start - static_cast<std::time_t>(i) * 1800;
        std::tm tm{};
        gmtime_r(&t, &tm);
        PageRow row;
        row.year = tm.tm_year + 1900;
        row.month = tm.tm_mon + 1;
        row.day = tm.tm_mday;
        row.hour = tm.tm_hour;
        row.minute = tm.tm_min;
        row.temperature = std::round((5.0 + 8.0 * std::sin(i * 0.13)) * 10.0) / 10.0;
        const int direction = (i * 37) % 360;
        const int knots = 3 + i % 17;
        const int altimeter = 2980 + (i * 7) % 60;
        row.windsCell = platform::Format("from the N (%d degrees) at %d MPH (%d knots; %.1f m/s)",
                                         direction, knots * 115 / 100, knots, knots * 0.514444);
        row.pressureCell = platform::Format("%.2f inches Hg (%.1f mb)", altimeter / 100.0,
                                            altimeter / 100.0 * 33.8639);
        row.report =
            platform::Format("KJFK %02d%02d%02dZ %03d%02dKT 10SM FEW250 %s%02d/M01 A%04d", row.day,
                             row.hour, row.minute, direction, knots, row.temperature < 0 ? "M" : "",
                             static_cast<int>(std::lround(std::fabs(row.temperature))), altimeter);
        rows.push_back(row);
    }
    return rows;
}

} // namespace testing_support
