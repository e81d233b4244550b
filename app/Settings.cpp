#include "app/Settings.h"

#include "app/WindowKinds.h"
#include "catalogue/Parameters.h"
#include "catalogue/StationCatalogue.h"
#include "platform/CText.h"
#include "platform/qt/Profile.h"

using platform::Profile;

namespace {

// A flag is on only when the stored number is exactly 1.
std::uint8_t ReadFlag(const char* name, int fallback) {
    return Profile::GetInt(kSettingsSection, name, fallback) == 1 ? 1 : 0;
}

} // namespace

void ReadSettings(StationRecord& c) {
    iSaveLayout = Profile::GetInt(kSettingsSection, "iSaveLayout", 0);
    iRestoreLayout = Profile::GetInt(kSettingsSection, "iRestoreLayout", 0);
    iSaveSettings = Profile::GetInt(kSettingsSection, "iSaveSettings", 0);
    if (iSaveSettings != 1) {
        SetDefaultParameters(c);
        return;
    }
    c.bShowPressure = ReadFlag("bShowPressure", 1);
    c.bShowTemperature = ReadFlag("bShowTemperature", 1);
    c.bShowWindDirection = ReadFlag("bShowWindDirection", 1);
    c.bShowWindSpeed = ReadFlag("bShowWindSpeed", 1);
    c.bWriteFile = ReadFlag("bWriteFile", 0);
    c.bMetricStyle = ReadFlag("bMetricStyle", 1);
    c.bShowTimeUTC = ReadFlag("bShowTimeUTC", 0);
    c.iShowPastHours = Profile::GetInt(kSettingsSection, "iShowPastHours", 24);
    // Read in the C locale: a decimal comma of the user's locale must not cut the fraction.
    c.dNearestMinutes =
        platform::LeadingDouble(Profile::GetString(kSettingsSection, "dNearestMinutes", "90."));
    // A value that no one could have chosen (edited by hand, or damaged) is not used.
    KeepParametersInRange(c);
}

void WriteSettings(const StationRecord& c) {
    if (iSaveSettings == 1) {
        Profile::WriteInt(kSettingsSection, "iSaveSettings", 1);
        Profile::WriteInt(kSettingsSection, "bShowPressure", c.bShowPressure ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bShowTemperature", c.bShowTemperature ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bShowWindDirection", c.bShowWindDirection ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bShowWindSpeed", c.bShowWindSpeed ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bWriteFile", c.bWriteFile ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bMetricStyle", c.bMetricStyle ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "bShowTimeUTC", c.bShowTimeUTC ? 1 : 0);
        Profile::WriteInt(kSettingsSection, "iShowPastHours", c.iShowPastHours);
        Profile::WriteString(kSettingsSection, "dNearestMinutes",
                             platform::Format("%f", c.dNearestMinutes));
    } else {
        Profile::WriteInt(kSettingsSection, "iSaveSettings", 0);
    }
    Profile::WriteInt(kSettingsSection, "iSaveLayout", iSaveLayout);
    Profile::WriteInt(kSettingsSection, "iRestoreLayout", iRestoreLayout);
}

std::string ReadServerUrl() {
    return Profile::GetString("Server", "strBaseUrl", kDefaultServerUrl);
}
