#include "mapview/Meteodata.h"
#include "platform/CalendarTime.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

std::int64_t Local(int y, int mo, int d, int h, int mi) {
    return *platform::MakeLocalTime({y, mo, d, h, mi, 0});
}

ObservationRecord Observation(std::int64_t t, double temp, double pressure, double dir,
                              double speed) {
    ObservationRecord r;
    r.tObserved = t;
    r.dTemperature = temp;
    r.dPressure = pressure;
    r.dWindDirection = dir;
    r.dWindSpeed = speed;
    return r;
}

const char* kHeader =
    "---------------------------------------------------------------------------\n"
    "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\n"
    "---------------------------------------------------------------------------\n";

} // namespace

TEST(Meteodata, LinesInTheExactFormat) {
    EXPECT_EQ(MeteodataLine(Observation(Local(2026, 12, 6, 9, 50), 21.5, 13.2, 270, 5.1)),
              "12/06/2026\t09:50\t21.50\t1013.20\t\t270.00\t\t5.10\n");
    EXPECT_EQ(MeteodataLine(Observation(Local(2026, 1, 2, 0, 5), -3.2, -12.0, 0, 0)),
              "01/02/2026\t00:05\t-3.20\t988.00\t\t0.00\t\t0.00\n");
    ObservationRecord broken;
    broken.tObserved = -1;
    EXPECT_EQ(MeteodataLine(broken), "00/00/0000\t-1:-1\t0.00\t1000.00\t\t0.00\t\t0.00\n");
    // Values the report did not give leave their columns empty rather than writing a 0.
    const double none = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(MeteodataLine(Observation(Local(2026, 12, 6, 9, 50), none, none, 270, none)),
              "12/06/2026\t09:50\t\t\t\t270.00\t\t\n");
}

TEST(Meteodata, FileNamesAreMadeSafe) {
    const std::int64_t december6 = Local(2026, 12, 6, 15, 0);
    EXPECT_EQ(MeteodataFileName("North-Field (X)", december6), "12_06_2026_north_field _x_.txt");
    EXPECT_EQ(MeteodataFileName("Alpha/Beta-2", december6), "12_06_2026_alpha_beta_2.txt");
}

TEST(Meteodata, WritesIntoTheMeteodataFolderAndReplacesTheDaysFile) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::MessageRecorder recorder;
    ObservationSeries series;
    series.Add(Observation(Local(2026, 12, 6, 9, 50), 21.5, 13.2, 270, 5.1));
    series.Add(Observation(Local(2026, 12, 6, 9, 20), 21.0, 13.0, 260, 4.0));
    const std::int64_t now = Local(2026, 12, 6, 10, 0);

    const std::string path = WriteMeteodata("EDDF", series, now);
    EXPECT_EQ(path, "Meteodata/12_06_2026_eddf.txt");
    EXPECT_EQ(testing_support::ReadFile(path),
              std::string(kHeader) + "12/06/2026\t09:50\t21.50\t1013.20\t\t270.00\t\t5.10\n" +
                  "12/06/2026\t09:20\t21.00\t1013.00\t\t260.00\t\t4.00\n");

    // A later window of the same station the same day replaces the file; an empty series
    // writes the header only.
    WriteMeteodata("EDDF", ObservationSeries(), now);
    EXPECT_EQ(testing_support::ReadFile(path), kHeader);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Meteodata"), {}), 1);
}

TEST(Meteodata, WithoutAFolderTheFileLandsInTheWorkingFolder) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::MessageRecorder recorder;
    testing_support::WriteFile("Meteodata", "a file in the way");
    EXPECT_EQ(WriteMeteodata("EDDF", ObservationSeries(), Local(2026, 12, 6, 10, 0)),
              "./12_06_2026_eddf.txt");
    EXPECT_TRUE(std::filesystem::exists("12_06_2026_eddf.txt"));
}

TEST(Meteodata, AFileThatCannotBePutInPlaceIsReportedAndNothingIsLeftBehind) {
    testing_support::ScopedWorkingFolder folder;
    testing_support::MessageRecorder recorder;
    // A folder holding a file stands where the day's file belongs, so it cannot be replaced.
    std::filesystem::create_directories("Meteodata/12_06_2026_eddf.txt");
    testing_support::WriteFile("Meteodata/12_06_2026_eddf.txt/keep", "kept");
    ObservationSeries series;
    series.Add(Observation(Local(2026, 12, 6, 9, 50), 21.5, 13.2, 270, 5.1));
    EXPECT_EQ(WriteMeteodata("EDDF", series, Local(2026, 12, 6, 10, 0)), "");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Can not open an output file \"12_06_2026_eddf.txt\".");
    EXPECT_EQ(testing_support::ReadFile("Meteodata/12_06_2026_eddf.txt/keep"), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Meteodata"), {}),
              1); // no leftovers
}
