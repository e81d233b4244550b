// Search, selection, nearest stations and map-point conversion of the catalogue service.

#include "catalogue/StationCatalogue.h"
#include "platform/CText.h"
#include "platform/UserServices.h"

#include <cmath>

namespace {

// World-map area: x 20..519, y 45..294 of the map view's client area.
constexpr int kMapLeft = 20, kMapTop = 45, kMapRight = 520, kMapBottom = 295;

// "%03d %02dE" and the like: whole degrees and truncated minutes, 60 minutes carried.
std::string DegreesText(double value, const char* format, char hemisphere) {
    int degrees = static_cast<int>(std::floor(value));
    int minutes = static_cast<int>((value - degrees) * 60.0);
    if (minutes == 60) {
        minutes = 0;
        ++degrees;
    }
    return platform::Format(format, degrees, minutes, hemisphere);
}

} // namespace

int StationCatalogue::SearchStations(const std::string& text, const StationTable& table,
                                     bool selectFirst, bool openList) {
    if (openList && m_host)
        m_host->StationsResult().RemoveAll();
    const std::string lower = platform::ToLower(text);
    bool found = false;
    {
        platform::WaitCursor wait;
        for (int i = 0; i < table.GetSize(); ++i) {
            const StationRecord& r = table.At(i);
            if (platform::ToLower(r.strStation).find(lower) == std::string::npos &&
                platform::ToLower(r.strICAO).find(lower) == std::string::npos)
                continue;
            found = true;
            if (selectFirst) {
                const StationRecord chosen = r; // the table may change while the window opens
                wait.Restore();
                SelectStation(chosen);
                return 1;
            }
            if (m_host)
                m_host->StationsResult().Add(r);
        }
    }
    if (!found)
        platform::MessageBox(platform::Format("No station \"%s\" found in a list.", lower.c_str()),
                             platform::MessageIcon::Exclamation);
    if (openList && m_host)
        m_host->OpenResultList(platform::Format("The stations found by \"%s\"", lower.c_str()));
    return m_host ? m_host->StationsResult().GetSize() : 0;
}

bool StationCatalogue::SelectStation(const StationRecord& station) {
    const StationRecord chosen = station; // `station` may live in a table that changes
    TakeStation(m_currentStation, chosen);
    if (!FetchObservations(&chosen, nullptr, "most recent only", 1))
        return false;
    if (!m_host || !m_host->OpenStationWindow(chosen.strStation))
        return false;
    m_host->StationsOpened().Add(chosen);
    m_strWork = platform::Format("%s (%s)", chosen.strStation.c_str(), chosen.strICAO.c_str());
    m_host->AddToRecentFileList(m_strWork);
    return true;
}

int StationCatalogue::FindNearestStations(int x, int y, double minutes) {
    StationTable& result = m_host->StationsResult();
    result.RemoveAll();
    ObservationRecord point;
    PointToCoordinates(x, y, &point);
    const double longitude = point.dPointLongitude;
    const double colatitude = point.dPointColatitude;
    const double d = minutes * 0.016666666666666666;
    for (int i = 0; i < m_all.GetSize(); ++i) {
        const StationRecord& r = m_all.At(i);
        if (std::fabs(r.dLongitude - longitude) < d && std::fabs(r.dColatitude - colatitude) < d)
            result.Add(r);
    }
    return result.GetSize();
}

bool StationCatalogue::PointToCoordinates(int x, int y, ObservationRecord* result) {
    if (x < kMapLeft || x >= kMapRight || y < kMapTop || y >= kMapBottom)
        return false;
    const double longitude = (x - kMapLeft) * 0.721442885771543;
    const double colatitude = (y - kMapTop) * 0.7228915662650601;
    const std::string lon = longitude >= 180 ? DegreesText(longitude - 180, "%03d %02d%c", 'E')
                                             : DegreesText(180 - longitude, "%03d %02d%c", 'W');
    const std::string lat = colatitude >= 90 ? DegreesText(colatitude - 90, "%02d %02d%c", 'S')
                                             : DegreesText(90 - colatitude, "%02d %02d%c", 'N');
    if (m_host)
        m_host->SetStatusText(platform::Format("  %s,  %s", lon.c_str(), lat.c_str()));
    if (result) {
        result->dPointLongitude = longitude;
        result->dPointColatitude = colatitude;
        result->strPointLon = lon;
        result->strPointLat = lat;
    }
    return true;
}

platform::Point StationCatalogue::CoordinatesToPoint(double longitude, double colatitude) {
    return {kMapLeft - static_cast<int>(longitude * -1.386111111111111),
            kMapTop - static_cast<int>(colatitude * -1.3833333333333333)};
}
