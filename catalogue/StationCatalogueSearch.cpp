// Search, selection, nearest stations and map-point conversion of the catalogue service.

#include "catalogue/MapProjection.h"
#include "catalogue/StationCatalogue.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"

int StationCatalogue::SearchStations(const std::string& text, const StationTable& table,
                                     bool selectFirst, bool openList) {
    if (openList && m_host)
        m_host->StationsResult().RemoveAll();
    const std::string lower = platform::ToLower(text);
    bool found = false;
    for (int i = 0; i < table.GetSize(); ++i) {
        const StationRecord& r = table.At(i);
        if (platform::ToLower(r.strStation).find(lower) == std::string::npos &&
            platform::ToLower(r.strICAO).find(lower) == std::string::npos)
            continue;
        found = true;
        if (selectFirst) {
            const StationRecord chosen = r; // the table may change while the window opens
            SelectStation(chosen);
            return 1;
        }
        if (m_host)
            m_host->StationsResult().Add(r);
    }
    if (!found)
        Tell(CatalogueNotice::Kind::NoMatch, platform::Format("No station \"%s\" found in a list.",
                                                              platform::Elide(lower).c_str()));
    if (openList && m_host)
        m_host->OpenResultList(platform::Format("The stations found by \"%s\"", lower.c_str()));
    return m_host ? m_host->StationsResult().GetSize() : 0;
}

bool StationCatalogue::SelectStation(const StationRecord& station) {
    const StationRecord chosen = station; // `station` may live in a table that changes
    TakeStation(m_currentStation, chosen);
    const bool stored = m_host && m_host->HasStoredObservations(chosen.strICAO);
    if (!stored && !FetchObservations(&chosen, nullptr, protocol::HoursText(0), 1))
        return false;
    m_openingFromStore = stored;
    const bool opened = m_host && m_host->OpenStationWindow(chosen.strStation);
    m_openingFromStore = false;
    if (!opened)
        return false;
    m_host->StationsOpened().Add(chosen);
    m_host->AddToRecentFileList(RecentEntry(chosen));
    return true;
}

int StationCatalogue::FindNearestStations(int x, int y, double minutes) {
    StationTable& result = m_host->StationsResult();
    result.RemoveAll();
    // A point off the map stays at 0, 0 map degrees.
    ObservationRecord point;
    PointToCoordinates(x, y, &point);
    for (const StationRecord& r : m_all)
        if (InNearestSquare(point.dPointLongitude, point.dPointColatitude, minutes, r.dLongitude,
                            r.dColatitude))
            result.Add(r);
    return result.GetSize();
}

bool StationCatalogue::PointToCoordinates(int x, int y, ObservationRecord* result) {
    const auto position = WorldMapPosition(x, y);
    if (!position)
        return false;
    if (m_host)
        m_host->SetStatusText(platform::Format("  %s,  %s", position->longitudeText.c_str(),
                                               position->latitudeText.c_str()));
    if (result) {
        result->dPointLongitude = position->longitude;
        result->dPointColatitude = position->colatitude;
        result->strPointLon = position->longitudeText;
        result->strPointLat = position->latitudeText;
    }
    return true;
}

platform::Point StationCatalogue::CoordinatesToPoint(double longitude, double colatitude) {
    return WorldMapPoint(longitude, colatitude);
}
