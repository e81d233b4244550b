#include "app/ProfileSettings.h"
#include "platform/CText.h"
#include "platform/qt/Profile.h"
#include "tests/support/AppFixture.h"
#include "views/WindowKinds.h"

#include <QSettings>

#include <sys/stat.h>

#include <clocale>
#include <tuple>

using platform::Profile;
using testing_support::AppFixture;

namespace {

QString Stored(const char* name) {
    return QSettings("Korvessa", "Ventora").value(QString("Settings/") + name).toString();
}

} // namespace

class SettingsTest : public AppFixture {};

TEST_F(SettingsTest, AFirstStartUsesTheDefaults) {
    StationRecord c;
    ReadSettings(c);
    EXPECT_EQ(c.bShowTemperature, 1);
    EXPECT_EQ(c.bShowPressure, 1);
    EXPECT_EQ(c.bShowWindSpeed, 1);
    EXPECT_EQ(c.bShowWindDirection, 1);
    EXPECT_EQ(c.bMetricStyle, 1);
    EXPECT_EQ(c.bShowTimeUTC, 0);
    EXPECT_EQ(c.bWriteFile, 0);
    EXPECT_EQ(c.iShowPastHours, 24);
    EXPECT_EQ(c.dNearestMinutes, 90.0);
    EXPECT_EQ(iSaveLayout, 0);
    EXPECT_EQ(iRestoreLayout, 0);
    EXPECT_EQ(iSaveSettings, 0);

    // Saving off: only the switches are written.
    WriteSettings(c);
    EXPECT_EQ(Stored("iSaveSettings"), "0");
    EXPECT_EQ(Stored("iSaveLayout"), "0");
    EXPECT_FALSE(Profile::Has("Settings", "bShowPressure"));
}

TEST_F(SettingsTest, StoredValuesRoundTrip) {
    Profile::WriteInt("Settings", "iSaveSettings", 1);
    Profile::WriteString("Settings", "dNearestMinutes", "45.5");
    Profile::WriteInt("Settings", "bWriteFile", 2); // anything but 1 reads as off
    Profile::WriteInt("Settings", "bShowTimeUTC", 1);
    Profile::WriteInt("Settings", "iShowPastHours", 36);
    StationRecord c;
    ReadSettings(c);
    EXPECT_EQ(c.dNearestMinutes, 45.5);
    EXPECT_EQ(c.bWriteFile, 0);
    EXPECT_EQ(c.bShowTimeUTC, 1);
    EXPECT_EQ(c.iShowPastHours, 36);
    WriteSettings(c);
    EXPECT_EQ(Stored("dNearestMinutes"), "45.500000");
    EXPECT_EQ(Stored("bWriteFile"), "0");
    EXPECT_EQ(Stored("bShowTimeUTC"), "1");
    EXPECT_EQ(Stored("iSaveSettings"), "1");

    // A text that does not begin with a number reads as 0, which is no radius: the default.
    Profile::WriteString("Settings", "dNearestMinutes", "far");
    ReadSettings(c);
    EXPECT_EQ(c.dNearestMinutes, 90.0);
}

TEST_F(SettingsTest, ValuesOutOfRangeFallBackToTheirDefaults) {
    Profile::WriteInt("Settings", "iSaveSettings", 1);
    const struct {
        int hours;
        int read;
    } hours[] = {{-5, 24}, {0, 24}, {1, 1}, {96, 96}, {97, 24}, {1000, 24}, {2147483647, 24}};
    for (const auto& h : hours) {
        Profile::WriteInt("Settings", "iShowPastHours", h.hours);
        StationRecord c;
        ReadSettings(c);
        EXPECT_EQ(c.iShowPastHours, h.read) << h.hours;
    }
    const struct {
        const char* stored;
        double read;
    } radii[] = {{"nan", 90},   {"inf", 90},  {"-inf", 90},     {"-3", 90},   {"0", 90},
                 {"1e300", 90}, {"0.5", 0.5}, {"10800", 10800}, {"10801", 90}};
    for (const auto& r : radii) {
        Profile::WriteString("Settings", "dNearestMinutes", r.stored);
        StationRecord c;
        ReadSettings(c);
        EXPECT_EQ(c.dNearestMinutes, r.read) << r.stored;
        WriteSettings(c); // and what is written back is usable
        EXPECT_EQ(Stored("dNearestMinutes").toStdString(), platform::Format("%f", r.read));
    }
}

TEST_F(SettingsTest, SavingSwitchedOffKeepsTheOldValuesButIgnoresThem) {
    Profile::WriteInt("Settings", "iSaveSettings", 2);
    Profile::WriteInt("Settings", "bShowPressure", 0);
    Profile::WriteInt("Settings", "iSaveLayout", 1);
    StationRecord c;
    ReadSettings(c);
    EXPECT_EQ(c.bShowPressure, 1); // defaults, since saving is not exactly 1
    EXPECT_EQ(iSaveLayout, 1);
    WriteSettings(c);
    EXPECT_EQ(Stored("iSaveSettings"), "0");
    EXPECT_EQ(Stored("bShowPressure"), "0"); // left as it was
    EXPECT_EQ(Stored("iSaveLayout"), "1");
}

TEST_F(SettingsTest, TheNearestRadiusIgnoresADecimalCommaLocale) {
    const char* german[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    bool switched = false;
    for (const char* name : german)
        switched = switched || std::setlocale(LC_ALL, name);
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    Profile::WriteInt("Settings", "iSaveSettings", 1);
    StationRecord c;
    ReadSettings(c);
    c.dNearestMinutes = 45.5;
    WriteSettings(c);
    EXPECT_EQ(Stored("dNearestMinutes"), "45.500000");
    ReadSettings(c);
    EXPECT_EQ(c.dNearestMinutes, 45.5);
    std::setlocale(LC_ALL, "C");
}

TEST_F(SettingsTest, TheProgramReadsAtStartAndWritesAtExit) {
    Profile::WriteInt("Settings", "iSaveSettings", 1);
    Profile::WriteInt("Settings", "iShowPastHours", 12);
    Start(testing_support::SampleStationList());
    EXPECT_EQ(Frame().CurrentStation().iShowPastHours, 12);
    Frame().CurrentStation().iShowPastHours = 48;
    Frame().CurrentStation().dNearestMinutes = 30;
    Stop();
    EXPECT_EQ(Stored("iShowPastHours"), "48");
    EXPECT_EQ(Stored("dNearestMinutes"), "30.000000");
}

TEST_F(SettingsTest, TheRecentListKeepsFortyEntriesAcrossRuns) {
    Start(testing_support::SampleStationList());
    for (int i = 1; i <= 41; ++i)
        Frame().AddToRecentFileList("STATION " + std::to_string(i) + " (X" + std::to_string(i) +
                                    ")");
    Frame().AddToRecentFileList("STATION 30 (X30)"); // moves to the top
    Stop();
    m_app.reset();

    Start(testing_support::SampleStationList());
    const auto& entries = App().RecentFiles().Entries();
    ASSERT_EQ(entries.size(), 40u);
    EXPECT_EQ(entries[0], "STATION 30 (X30)");
    EXPECT_EQ(entries[1], "STATION 41 (X41)");
    EXPECT_EQ(entries[39], "STATION 2 (X2)"); // the oldest fell off
}

TEST_F(SettingsTest, ARunThatChangedNothingLeavesTheProfileFileAlone) {
    Profile::WriteInt("Settings", "iSaveSettings", 1);
    Start(testing_support::SampleStationList());
    Frame().AddToRecentFileList("STATION 1 (X1)");
    Stop();
    const std::string file = QSettings("Korvessa", "Ventora").fileName().toStdString();
    // A file written again is a new file put in the old one's place, written at another time.
    const auto identity = [&file] {
        struct stat s {};
        stat(file.c_str(), &s);
        return std::tuple(s.st_ino, s.st_mtim.tv_sec, s.st_mtim.tv_nsec);
    };
    const auto before = identity();
    ASSERT_NE(std::get<0>(before), 0u);
    m_app.reset();
    Start(testing_support::SampleStationList());
    Frame().AddToRecentFileList("STATION 1 (X1)"); // already at the top
    Stop();
    EXPECT_EQ(identity(), before);

    m_app.reset();
    Start(testing_support::SampleStationList());
    Frame().CurrentStation().iShowPastHours = 48;
    Stop();
    EXPECT_NE(identity(), before);
    EXPECT_EQ(Stored("iShowPastHours"), "48");
}
