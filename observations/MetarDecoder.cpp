#include "observations/MetarDecoder.h"

#include <cctype>
#include <iterator>

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The value of a digit string; callers check the digits first. Longer texts than any group
// holds read as a large value rather than overflowing.
int ToInt(std::string_view s) {
    if (s.size() > 9)
        return 999999999;
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// dddff(f)(Gff(f))KT|MPS|KMH, with VRB for ddd. Without a unit (as some corrected reports
// send it: "20010G19") the speeds are knots, when `unitless` allows that reading at all.
std::optional<MetarReport::Wind> ParseWind(std::string_view g, bool unitless) {
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
    } else if (!unitless || g.size() < 5 || !std::isdigit(static_cast<unsigned char>(g.back()))) {
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

// "1/2SM", "3SM", "M1/4SM", "P6SM"; `whole` is a preceding "1" of "1 1/2SM".
std::optional<MetarReport::Visibility> ParseMiles(std::string_view g, int whole) {
    if (!EndsWith(g, "SM"))
        return std::nullopt;
    std::string_view body = g.substr(0, g.size() - 2);
    MetarReport::Visibility v;
    v.inMiles = true;
    if (!body.empty() && (body[0] == 'P' || body[0] == 'M')) {
        v.atLeast = body[0] == 'P';
        body.remove_prefix(1);
    }
    const std::size_t slash = body.find('/');
    double miles = 0;
    if (slash == std::string_view::npos) {
        if (!AllDigits(body) || body.size() > 2)
            return std::nullopt;
        miles = ToInt(body);
    } else {
        // Fractions of a mile: "1/16", "15/16" at most.
        const std::string_view num = body.substr(0, slash);
        const std::string_view den = body.substr(slash + 1);
        if (!AllDigits(num) || !AllDigits(den) || num.size() > 2 || den.size() > 2 ||
            ToInt(den) == 0)
            return std::nullopt;
        miles = static_cast<double>(ToInt(num)) / ToInt(den);
    }
    v.miles = whole + miles;
    v.metres = v.miles * kMetresPerMile;
    if (v.miles >= 10)
        v.atLeast = true;
    return v;
}

std::optional<MetarReport::Cloud> ParseCloud(std::string_view g) {
    for (std::string_view cover : {"FEW", "SCT", "BKN", "OVC", "VV"}) {
        if (g.substr(0, cover.size()) != cover)
            continue;
        std::string_view rest = g.substr(cover.size());
        if (rest.size() < 3)
            return std::nullopt;
        MetarReport::Cloud cloud;
        cloud.cover = std::string(cover);
        const std::string_view height = rest.substr(0, 3);
        if (AllDigits(height))
            cloud.heightFeet = ToInt(height) * 100;
        else if (height != "///")
            return std::nullopt;
        rest.remove_prefix(3);
        if (rest == "CB" || rest == "TCU")
            cloud.type = std::string(rest);
        else if (!rest.empty() && rest != "///")
            return std::nullopt;
        return cloud;
    }
    return std::nullopt;
}

constexpr std::string_view kDescriptors[] = {"MI", "PR", "BC", "DR", "BL", "SH", "TS", "FZ"};
constexpr std::string_view kPhenomena[] = {"DZ", "RA", "SN", "SG", "IC", "PL", "GR", "GS",
                                           "UP", "BR", "FG", "FU", "VA", "DU", "SA", "HZ",
                                           "PY", "PO", "SQ", "FC", "SS", "DS"};

bool IsOneOf(std::string_view code, const std::string_view* first, const std::string_view* last) {
    for (; first != last; ++first)
        if (*first == code)
            return true;
    return false;
}

// [-|+|VC] [descriptor] phenomena... ; "TS" and "SH" may stand alone.
bool IsWeatherGroup(std::string_view g) {
    if (!g.empty() && (g[0] == '-' || g[0] == '+'))
        g.remove_prefix(1);
    else if (g.substr(0, 2) == "VC")
        g.remove_prefix(2);
    if (g.empty() || g.size() % 2 != 0)
        return false;
    bool any = false;
    for (std::size_t i = 0; i < g.size(); i += 2) {
        const std::string_view code = g.substr(i, 2);
        const bool descriptor = IsOneOf(code, std::begin(kDescriptors), std::end(kDescriptors));
        const bool phenomenon = IsOneOf(code, std::begin(kPhenomena), std::end(kPhenomena));
        if (!descriptor && !phenomenon)
            return false;
        if (descriptor && i > 0)
            return false;
        any = true;
    }
    return any;
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
        if (g == "RMK" || g == "BECMG" || g == "TEMPO")
            break; // remarks and trend forecasts do not describe the observation
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
        } else if (!r.wind && (r.wind = ParseWind(g, r.hour >= 0 && !r.visibility))) {
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
        } else if (g == "CAVOK") {
            r.cavok = true;
            r.skyClear = true;
            r.visibility = MetarReport::Visibility{10000, 10000 / kMetresPerMile, false, true};
        } else if (auto twoGroups =
                       !r.visibility && g.size() == 1 && AllDigits(g) && i + 1 < groups.size()
                           ? ParseMiles(groups[i + 1], ToInt(g))
                           : std::nullopt) {
            r.visibility = twoGroups; // "1 1/2SM"
            ++i;
        } else if (auto miles = r.visibility ? std::nullopt : ParseMiles(g, 0)) {
            r.visibility = miles;
        } else if (!r.visibility && (g.size() == 4 || (g.size() == 7 && EndsWith(g, "NDV"))) &&
                   AllDigits(g.substr(0, 4)) && (r.wind || r.hour >= 0)) {
            // Metres; "NDV" (no directional variation) comes from automatic stations.
            MetarReport::Visibility v;
            v.metres = ToInt(g.substr(0, 4));
            v.miles = v.metres / kMetresPerMile;
            v.atLeast = v.metres >= 9999;
            r.visibility = v;
        } else if (g == "SKC" || g == "CLR" || g == "NSC" || g == "NCD") {
            r.skyClear = true;
        } else if (auto cloud = ParseCloud(g)) {
            r.clouds.push_back(*cloud);
        } else if (IsWeatherGroup(g)) {
            r.weather.push_back(std::string(g));
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

std::optional<int> MetarReport::CeilingFeet() const {
    std::optional<int> lowest;
    for (const Cloud& c : clouds)
        if ((c.cover == "BKN" || c.cover == "OVC" || c.cover == "VV") && c.heightFeet >= 0 &&
            (!lowest || c.heightFeet < *lowest))
            lowest = c.heightFeet;
    return lowest;
}

std::string DescribeWeather(std::string_view g) {
    static const std::pair<std::string_view, std::string_view> words[] = {
        {"DZ", "drizzle"},
        {"RA", "rain"},
        {"SN", "snow"},
        {"SG", "snow grains"},
        {"IC", "ice crystals"},
        {"PL", "ice pellets"},
        {"GR", "hail"},
        {"GS", "small hail"},
        {"UP", "unknown precipitation"},
        {"BR", "mist"},
        {"FG", "fog"},
        {"FU", "smoke"},
        {"VA", "volcanic ash"},
        {"DU", "widespread dust"},
        {"SA", "sand"},
        {"HZ", "haze"},
        {"PY", "spray"},
        {"PO", "dust whirls"},
        {"SQ", "squalls"},
        {"FC", "funnel cloud"},
        {"SS", "sandstorm"},
        {"DS", "duststorm"},
        {"MI", "shallow"},
        {"PR", "partial"},
        {"BC", "patches of"},
        {"DR", "low drifting"},
        {"BL", "blowing"},
        {"FZ", "freezing"}};
    auto word = [](std::string_view code) -> std::string {
        for (const auto& [c, w] : words)
            if (c == code)
                return std::string(w);
        return std::string(code);
    };
    std::string intensity;
    bool vicinity = false;
    if (!g.empty() && g[0] == '-') {
        intensity = "light ";
        g.remove_prefix(1);
    } else if (!g.empty() && g[0] == '+') {
        intensity = "heavy ";
        g.remove_prefix(1);
    } else if (g.substr(0, 2) == "VC") {
        vicinity = true;
        g.remove_prefix(2);
    }
    std::string descriptor;
    bool showers = false;
    bool thunder = false;
    if (g.size() >= 2) {
        const std::string_view d = g.substr(0, 2);
        if (d == "SH" || d == "TS") {
            (d == "SH" ? showers : thunder) = true;
            g.remove_prefix(2);
        } else if (IsOneOf(d, std::begin(kDescriptors), std::end(kDescriptors))) {
            descriptor = word(d) + " ";
            g.remove_prefix(2);
        }
    }
    std::string phenomena;
    for (std::size_t i = 0; i + 1 < g.size(); i += 2)
        phenomena += (phenomena.empty() ? "" : " and ") + word(g.substr(i, 2));

    std::string text;
    if (thunder)
        text = intensity + "thunderstorm" + (phenomena.empty() ? "" : " with " + phenomena);
    else if (showers)
        text = intensity + (phenomena.empty() ? "" : phenomena + " ") + "showers";
    else
        text = intensity + descriptor + phenomena;
    return vicinity ? text + " in the vicinity" : text;
}
