#include "catalogue/StationRecord.h"

#include "catalogue/MapProjection.h"

#include "platform/CText.h"

namespace {

template <typename F> void ForEachStationText(StationRecord& r, F f) {
    f(r.strCD), f(r.strStation), f(r.strICAO), f(r.strIATA), f(r.strNumber), f(r.strLat);
    f(r.strLon), f(r.strElev), f(r.strCol62), f(r.strCol65), f(r.strCol68), f(r.strCol71);
    f(r.strCol74), f(r.strCol77), f(r.strCol79), f(r.strCY);
}

} // namespace

void TakeStation(StationRecord& target, const StationRecord& source) {
    if (&target == &source)
        return;
    target.iPeriodMinutes = source.iPeriodMinutes;
    target.dLongitude = source.dLongitude;
    target.dColatitude = source.dColatitude;
    target.dElevation = source.dElevation;
    target.strCD = source.strCD;
    target.strStation = source.strStation;
    target.strICAO = source.strICAO;
    target.strIATA = source.strIATA;
    target.strNumber = source.strNumber;
    target.strLat = source.strLat;
    target.strLon = source.strLon;
    target.strElev = source.strElev;
    target.strCol62 = source.strCol62;
    target.strCol65 = source.strCol65;
    target.strCol68 = source.strCol68;
    target.strCol71 = source.strCol71;
    target.strCol74 = source.strCol74;
    target.strCol77 = source.strCol77;
    target.strCol79 = source.strCol79;
    target.strCY = source.strCY;
}

void ClearStation(StationRecord& record) {
    record.iPeriodMinutes = 0;
    record.dLongitude = 0.0;
    record.dColatitude = 0.0;
    record.dElevation = 0.0;
    ForEachStationText(record, [](auto& s) { s.clear(); });
}

void CoordinatesFromTexts(StationRecord& s) {
    const double lat = platform::LeadingDouble(s.strLat.substr(0, 2)) +
                       platform::LeadingDouble(s.strLat.size() > 3 ? s.strLat.substr(3, 2) : "") *
                           kDegreesPerMinute;
    s.dColatitude = !s.strLat.empty() && s.strLat.back() == 'N' ? 90 - lat : lat + 90;
    // The degrees end at the blank, so that a short degree field ("88 54W") reads right.
    const std::size_t blank = s.strLon.find(' ');
    const double lon =
        platform::LeadingDouble(s.strLon.substr(0, blank)) +
        platform::LeadingDouble(blank == std::string::npos ? "" : s.strLon.substr(blank + 1, 2)) *
            kDegreesPerMinute;
    s.dLongitude = !s.strLon.empty() && s.strLon.back() == 'W' ? 180 - lon : lon + 180;
    s.dElevation = platform::LeadingDouble(s.strElev);
}
