#include "observations/MetarDecoder.h"

#include <cctype>

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

int ToInt(std::string_view s) {
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// dddff(f)(Gff(f))KT|MPS|KMH, with VRB for ddd.
std::optional<MetarReport::Wind> ParseWind(std::string_view g) {
    double toKnots = 1.0;
    std::string_view unit;
    if (EndsWith(g, "KT")) {
        unit = "KT";
    } else if (EndsWith(g, "MPS")) {
        unit = "MPS";
        toKnots = 1.0 / kMetresPerSecondPerKnot;
    } else if (EndsWith(g, "KMH")) {
        unit = "KMH";
        toKnots = kKnotsPerKmh;
    } else {
        return std::nullopt;
    }
    std::string_view body = g.substr(0, g.size() - unit.size());
    if (body.size() < 5)
        return std::nullopt;
    MetarReport::Wind wind;
    const std::string_view dir = body.substr(0, 3);
    if (dir == "VRB") {
        wind.variable = true;
    } else if (AllDigits(dir)) {
        wind.direction = ToInt(dir);
        if (wind.direction > 360)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    body.remove_prefix(3);
    const std::size_t gustAt = body.find('G');
    const std::string_view speed = body.substr(0, gustAt);
    if (speed.size() < 2 || speed.size() > 3 || !AllDigits(speed))
        return std::nullopt;
    wind.speedKnots = ToInt(speed) * toKnots;
    if (gustAt != std::string_view::npos) {
        const std::string_view gust = body.substr(gustAt + 1);
        if (gust.size() < 2 || gust.size() > 3 || !AllDigits(gust))
            return std::nullopt;
        wind.gustKnots = ToInt(gust) * toKnots;
    }
    return wind;
}

// M05 is -5; "//" and the like are missing.
std::optional<double> ParseTemperature(std::string_view s) {
    bool negative = false;
    if (!s.empty() && s[0] == 'M') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.size() != 2 || !AllDigits(s))
        return std::nullopt;
    const double v = ToInt(s);
    return negative ? -v : v;
}

bool IsTimeGroup(std::string_view g) {
    return g.size() == 7 && g[6] == 'Z' && AllDigits(g.substr(0, 6));
}

} // namespace

std::vector<std::string_view> SplitGroups(std::string_view text) {
    std::vector<std::string_view> groups;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])))
            ++j;
        if (j > i)
            groups.push_back(text.substr(i, j - i));
        i = j;
    }
    return groups;
}

MetarReport DecodeMetar(std::string_view report) {
    MetarReport r;
    const auto groups = SplitGroups(report);
    std::size_t i = 0;
    while (i < groups.size() && (groups[i] == "METAR" || groups[i] == "SPECI"))
        ++i;
    if (i < groups.size() && !IsTimeGroup(groups[i]) && groups[i].size() == 4) {
        r.station = std::string(groups[i]);
        ++i;
    }
    for (; i < groups.size(); ++i) {
        const std::string_view g = groups[i];
        if (g == "RMK")
            break;
        if (g == "NIL") {
            r.nil = true;
            break;
        }
        if (g == "AUTO") {
            r.automatic = true;
        } else if (g == "COR" || g == "CCA" || g == "CCB") {
            r.corrected = true;
        } else if (IsTimeGroup(g) && r.hour < 0) {
            r.day = ToInt(g.substr(0, 2));
            r.hour = ToInt(g.substr(2, 2));
            r.minute = ToInt(g.substr(4, 2));
        } else if (!r.wind && (r.wind = ParseWind(g))) {
            // taken
        } else if (g.size() == 5 && (g[0] == 'Q' || g[0] == 'A') && AllDigits(g.substr(1))) {
            const int v = ToInt(g.substr(1));
            if (r.pressureHpa)
                continue; // the first pressure group counts
            if (g[0] == 'Q') {
                r.pressureHpa = v;
                r.altimeterInHg = v / kHpaPerInchHg;
            } else {
                r.altimeterInHg = v / 100.0;
                r.pressureHpa = v / 100.0 * kHpaPerInchHg;
            }
        } else if (!r.temperatureC && g.find('/') != std::string_view::npos && g.size() <= 7) {
            // tt/dd, with the dewpoint possibly missing ("" or "//"); "1/2SM" is a visibility.
            const std::size_t slash = g.find('/');
            const std::string_view dew = g.substr(slash + 1);
            const auto t = ParseTemperature(g.substr(0, slash));
            const auto d = ParseTemperature(dew);
            if (t && (d || dew.empty() || dew == "//")) {
                r.temperatureC = t;
                r.dewpointC = d;
            }
        }
    }
    return r;
}
