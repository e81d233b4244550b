#include "mapview/Meteodata.h"

#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/FileReplace.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

const char* kRule = "---------------------------------------------------------------------------\n";

} // namespace

std::string MeteodataFileName(const std::string& station, std::int64_t now) {
    std::string name = platform::ToLower(station);
    for (char from : {'/', '(', ')', '-'})
        std::replace(name.begin(), name.end(), from, '_');
    const auto tm = platform::LocalBreakdown(now);
    return platform::Format("%02d_%02d_%04d_%s.txt", tm ? tm->tm_mon + 1 : 0, tm ? tm->tm_mday : 0,
                            tm ? tm->tm_year + 1900 : 0, name.c_str());
}

std::string MeteodataLine(const ObservationRecord& r) {
    // The report's own UTC date and clock time.
    const auto tm = platform::UtcBreakdown(ObservedInstant(r));
    // A value the report did not give leaves its column empty.
    auto number = [](const char* format, double value) {
        return std::isfinite(value) ? platform::Format(format, value) : std::string();
    };
    return platform::Format("%02d/%02d/%04d\t%02d:%02d\t", tm ? tm->tm_mon + 1 : 0,
                            tm ? tm->tm_mday : 0, tm ? tm->tm_year + 1900 : 0,
                            tm ? tm->tm_hour : -1, tm ? tm->tm_min : -1) +
           number("%02.2f", r.dTemperature) + "\t" + number("%04.2f", r.dPressure + 1000.0) +
           "\t\t" + number("%03.2f", r.dWindDirection) + "\t\t" + number("%03.2f", r.dWindSpeed) +
           "\n";
}

std::string MeteodataText(const ObservationSeries& series) {
    std::string text = kRule;
    text += "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\n";
    text += kRule;
    for (int i = 0; i < series.GetSize(); ++i)
        text += MeteodataLine(series.At(i));
    return text;
}

std::string WriteMeteodata(const std::string& station, const ObservationSeries& series,
                           std::int64_t now) {
    // The path is built instead of changing the working folder, which other files rely on.
    std::error_code error;
    std::filesystem::path folder = "Meteodata";
    if (!std::filesystem::is_directory(folder, error) &&
        !std::filesystem::create_directory(folder, error))
        folder = ".";
    const std::string name = MeteodataFileName(station, now);
    std::string text;
    {
        platform::WaitCursor wait;
        text = MeteodataText(series);
    }
    const std::filesystem::path path = folder / name;
    if (platform::ReplaceFileContents(path, text) != platform::ReplaceResult::Written) {
        platform::MessageBox(platform::Format("Can not open an output file \"%s\".", name.c_str()),
                             platform::MessageIcon::Exclamation);
        return {};
    }
    return path.string();
}
