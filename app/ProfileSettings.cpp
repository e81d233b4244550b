#include "app/ProfileSettings.h"

#include "catalogue/StationCatalogue.h"
#include "platform/qt/Profile.h"

using platform::Profile;

std::optional<int> ProfileSettings::ReadInt(const std::string& name) {
    if (!Profile::Has(kSettingsSection, name))
        return std::nullopt;
    // A value that is no number reads as absent: its default.
    constexpr int kNone = -2147483647 - 1;
    const int value = Profile::GetInt(kSettingsSection, name, kNone);
    return value == kNone ? std::nullopt : std::optional<int>(value);
}

std::optional<std::string> ProfileSettings::ReadText(const std::string& name) {
    if (!Profile::Has(kSettingsSection, name))
        return std::nullopt;
    return Profile::GetString(kSettingsSection, name, std::string());
}

void ProfileSettings::WriteInt(const std::string& name, int value) {
    Profile::WriteInt(kSettingsSection, name, value);
}

void ProfileSettings::WriteText(const std::string& name, const std::string& value) {
    Profile::WriteString(kSettingsSection, name, value);
}

void ReadSettings(StationRecord& current) {
    ProfileSettings store;
    ReadSettings(current, store);
}

void WriteSettings(const StationRecord& current) {
    ProfileSettings store;
    WriteSettings(current, store);
}

std::string ReadServerUrl() {
    return Profile::GetString("Server", "strBaseUrl", kDefaultServerUrl);
}

void WriteServerUrl(const std::string& url) {
    Profile::WriteString("Server", "strBaseUrl", url);
}
