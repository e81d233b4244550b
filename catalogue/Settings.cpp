#include "catalogue/Settings.h"

#include "platform/CText.h"

#include <cmath>

std::int32_t iSaveLayout = 0;
std::int32_t iRestoreLayout = 0;
std::int32_t iSaveSettings = 0;

namespace {

// One parameter of the current station record.
struct Parameter {
    const char* name;
    std::uint8_t StationRecord::*flag = nullptr;
    std::int32_t StationRecord::*integer = nullptr;
    double StationRecord::*number = nullptr;
    double fallback = 0;
    double lowest = 0; // the range, for integers and numbers
    double highest = 0;
    bool lowestIncluded = true;
};

constexpr Parameter Flag(const char* name, std::uint8_t StationRecord::*field, int fallback) {
    return {name, field, nullptr, nullptr, static_cast<double>(fallback)};
}

// In the order they are read and written.
const Parameter kParameters[] = {
    Flag("bShowPressure", &StationRecord::bShowPressure, 1),
    Flag("bShowTemperature", &StationRecord::bShowTemperature, 1),
    Flag("bShowWindDirection", &StationRecord::bShowWindDirection, 1),
    Flag("bShowWindSpeed", &StationRecord::bShowWindSpeed, 1),
    Flag("bWriteFile", &StationRecord::bWriteFile, 0),
    Flag("bMetricStyle", &StationRecord::bMetricStyle, 1),
    Flag("bShowTimeUTC", &StationRecord::bShowTimeUTC, 0),
    {"iShowPastHours", nullptr, &StationRecord::iShowPastHours, nullptr, 24, 1, kMaxPastHours},
    {"iKeepDays", nullptr, &StationRecord::iKeepDays, nullptr, 90, 1, 3650},
    // Minutes of arc: more than half the world across is no square.
    {"dNearestMinutes", nullptr, nullptr, &StationRecord::dNearestMinutes, 90.0, 0, 180 * 60,
     false},
};

struct Switch {
    const char* name;
    std::int32_t* value;
};
const Switch kSwitches[] = {
    {"iSaveLayout", &iSaveLayout},
    {"iRestoreLayout", &iRestoreLayout},
    {"iSaveSettings", &iSaveSettings},
};

bool InRange(const Parameter& p, double v) {
    return std::isfinite(v) && (p.lowestIncluded ? v >= p.lowest : v > p.lowest) && v <= p.highest;
}

const Parameter* Find(const std::string& name) {
    for (const Parameter& p : kParameters)
        if (name == p.name)
            return &p;
    return nullptr;
}

} // namespace

std::optional<ParameterInfo> FindParameter(const std::string& name) {
    const Parameter* p = Find(name);
    if (!p)
        return std::nullopt;
    const auto kind = p->flag      ? ParameterInfo::Kind::Flag
                      : p->integer ? ParameterInfo::Kind::Integer
                                   : ParameterInfo::Kind::Number;
    return ParameterInfo{kind, p->lowest, p->highest, p->lowestIncluded};
}

std::optional<double> GetParameter(const StationRecord& c, const std::string& name) {
    const Parameter* p = Find(name);
    if (!p)
        return std::nullopt;
    if (p->flag)
        return c.*p->flag ? 1.0 : 0.0;
    if (p->integer)
        return static_cast<double>(c.*p->integer);
    return c.*p->number;
}

bool SetParameter(StationRecord& c, const std::string& name, double value) {
    const Parameter* p = Find(name);
    if (!p)
        return false;
    if (p->flag) {
        c.*p->flag = value != 0 ? 1 : 0;
        return true;
    }
    if (!InRange(*p, value))
        return false;
    if (p->integer)
        c.*p->integer = static_cast<std::int32_t>(value);
    else
        c.*p->number = value;
    return true;
}

void SetDefaultParameters(StationRecord& c) {
    for (const Parameter& p : kParameters) {
        if (p.flag)
            c.*p.flag = static_cast<std::uint8_t>(p.fallback);
        else if (p.integer)
            c.*p.integer = static_cast<std::int32_t>(p.fallback);
        else
            c.*p.number = p.fallback;
    }
}

void KeepParametersInRange(StationRecord& c) {
    for (const Parameter& p : kParameters) {
        if (p.integer && !InRange(p, c.*p.integer))
            c.*p.integer = static_cast<std::int32_t>(p.fallback);
        else if (p.number && !InRange(p, c.*p.number))
            c.*p.number = p.fallback;
    }
}

void ReadSettings(StationRecord& c, SettingsStore& store) {
    for (const Switch& s : kSwitches)
        *s.value = store.ReadInt(s.name).value_or(0);
    if (iSaveSettings != 1) {
        SetDefaultParameters(c);
        return;
    }
    for (const Parameter& p : kParameters) {
        if (p.flag) {
            const int stored = store.ReadInt(p.name).value_or(static_cast<int>(p.fallback));
            c.*p.flag = stored == 1 ? 1 : 0;
        } else if (p.integer) {
            c.*p.integer = store.ReadInt(p.name).value_or(static_cast<int>(p.fallback));
        } else {
            // Read in the C locale: a decimal comma of the user's locale must not cut the
            // fraction; a text without a number reads 0.
            const auto text = store.ReadText(p.name);
            c.*p.number = text ? platform::LeadingDouble(*text) : p.fallback;
        }
    }
    // A value no one could have chosen (edited by hand, or damaged) is not used.
    KeepParametersInRange(c);
}

void WriteSettings(const StationRecord& c, SettingsStore& store) {
    if (iSaveSettings == 1) {
        store.WriteInt("iSaveSettings", 1);
        for (const Parameter& p : kParameters) {
            if (p.flag)
                store.WriteInt(p.name, c.*p.flag ? 1 : 0);
            else if (p.integer)
                store.WriteInt(p.name, c.*p.integer);
            else
                store.WriteText(p.name, platform::Format("%f", c.*p.number));
        }
    } else {
        store.WriteInt("iSaveSettings", 0);
    }
    store.WriteInt("iSaveLayout", iSaveLayout);
    store.WriteInt("iRestoreLayout", iRestoreLayout);
}
