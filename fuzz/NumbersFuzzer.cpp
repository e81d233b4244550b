// The number readers: leading numbers of texts, positions from a station's texts, and the
// numbers of a row's cells.

#include "catalogue/StationRecord.h"
#include "observations/ReportNumbers.h"
#include "platform/CText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    platform::LeadingDouble(text);
    platform::LeadingInt(text);
    platform::Trim(text);

    // The same bytes as the texts of a station and as the cells of a row.
    const std::size_t third = size / 3;
    StationRecord s;
    s.strLat = text.substr(0, third);
    s.strLon = text.substr(third, third);
    s.strElev = text.substr(2 * third);
    CoordinatesFromTexts(s);

    ObservationRecord r;
    r.strPressure = s.strLat;
    r.strWinds = s.strLon;
    r.strReport = s.strElev;
    FillReportNumbers(r);
    return 0;
}
