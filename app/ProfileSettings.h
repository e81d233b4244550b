#pragma once

#include "catalogue/Settings.h"

#include <string>

// The settings in the per-user profile: section "Settings" (see catalogue/Settings.h for what it
// holds), and the report server's address in section "Server", value "strBaseUrl".
class ProfileSettings : public SettingsStore {
public:
    std::optional<int> ReadInt(const std::string& name) override;
    std::optional<std::string> ReadText(const std::string& name) override;
    void WriteInt(const std::string& name, int value) override;
    void WriteText(const std::string& name, const std::string& value) override;
};

inline constexpr const char* kSettingsSection = "Settings";

// Reads and writes the settings of the profile.
void ReadSettings(StationRecord& current);
void WriteSettings(const StationRecord& current);

std::string ReadServerUrl();
void WriteServerUrl(const std::string& url);
