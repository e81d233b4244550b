#pragma once

#include "catalogue/StationRecord.h"

#include <cstdint>
#include <optional>
#include <string>

// The user's settings, in one table: the thirteen values of the profile's section "Settings"
// with their names, defaults and ranges. Ten are parameters held in a station record (the main
// frame's current station); three are the program-wide switches below. A new setting is a row
// of the table here, a field of the record, and a control of the Parameters dialog.

// Non-zero: write the layout file when the main window closes; restore it at start; exactly 1:
// the parameters are read at start and written at exit.
extern std::int32_t iSaveLayout;
extern std::int32_t iRestoreLayout;
extern std::int32_t iSaveSettings;

inline constexpr int kMaxPastHours = 96; // what the report server gives

// The per-user store the settings live in (the registry's place on this platform).
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // None when the store has no such value (or it is not a number).
    virtual std::optional<int> ReadInt(const std::string& name) = 0;
    virtual std::optional<std::string> ReadText(const std::string& name) = 0;
    virtual void WriteInt(const std::string& name, int value) = 0;
    virtual void WriteText(const std::string& name, const std::string& value) = 0;
};

void SetDefaultParameters(StationRecord& current);

// One parameter of the table, for a form that shows and changes it by its profile name.
struct ParameterInfo {
    enum class Kind { Flag, Integer, Number } kind;
    double lowest, highest; // the range of an integer or a number
    bool lowestIncluded;
};
std::optional<ParameterInfo> FindParameter(const std::string& name);
// The value of a named parameter of the record (a flag as 1 or 0); none for an unknown name.
std::optional<double> GetParameter(const StationRecord& current, const std::string& name);
// Sets a named parameter (an integer is truncated, a flag is on for any value but 0); false,
// with nothing changed, for an unknown name or a value out of its range.
bool SetParameter(StationRecord& current, const std::string& name, double value);

// Values no one could have chosen (hours outside 1..96, days to keep outside 1..3650, a nearest
// radius that is not a positive finite number of at most 180 degrees) go back to their
// defaults; the rest stays.
void KeepParametersInRange(StationRecord& current);

// The three switches, then, when "iSaveSettings" is exactly 1, the parameters (a flag is on only
// when stored as 1; a number is read in the C locale); otherwise the parameters' defaults.
void ReadSettings(StationRecord& current, SettingsStore& store);

// With saving on, "iSaveSettings" = 1 and the parameters (flags as 1 or 0, the radius as "%f");
// otherwise only "iSaveSettings" = 0. Always the two layout switches.
void WriteSettings(const StationRecord& current, SettingsStore& store);
