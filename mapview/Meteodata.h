#pragma once

#include "observations/ObservationRecord.h"

#include <cstdint>
#include <string>

// The meteodata file of a station window: "Meteodata/%02d_%02d_%04d_%s.txt" (month, day and year
// of the local date of `now`, the station name lower-cased with "/", "(", ")" and "-" made "_"),
// three header lines, then one tab-separated line per observation, newest first, in metric units.
std::string MeteodataFileName(const std::string& station, std::int64_t now);
std::string MeteodataLine(const ObservationRecord& record);
std::string MeteodataText(const ObservationSeries& series);

// Writes the file into the folder "Meteodata" of the working folder (made when missing; the
// working folder itself when it cannot be made). The file is written beside the old one and
// then put in its place, so that a failure leaves the old file whole; a failure is reported
// with a message naming the file. Returns the path written, or empty on failure.
std::string WriteMeteodata(const std::string& station, const ObservationSeries& series,
                           std::int64_t now);
