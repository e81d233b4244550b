#pragma once

#include "catalogue/StationRecord.h"

#include <string>

// The user's settings in the profile's section "Settings": the three program-wide switches and,
// when "iSaveSettings" is exactly 1, the nine parameters held in the current station record.
void ReadSettings(StationRecord& current);
void WriteSettings(const StationRecord& current);

// The report server's address: section "Server", value "strBaseUrl".
std::string ReadServerUrl();

inline constexpr const char* kSettingsSection = "Settings";
