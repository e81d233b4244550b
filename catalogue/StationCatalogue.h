#pragma once

#include "catalogue/CatalogueHost.h"
#include "catalogue/StationRecord.h"
#include "observations/ObservationRecord.h"
#include "observations/PageFetcher.h"
#include "platform/DrawingSurface.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kDefaultServerUrl = "http://127.0.0.1:8573";
inline constexpr const char* kStationListFile = "stations.txt";

// The service through which the windows reach the station catalogue and the report server.
class StationCatalogue {
public:
    enum class Source { LocalFile, ReportServer };

    StationCatalogue(PageFetcher& fetcher, StationRecord& currentStation, StationTable& all);

    void SetHost(CatalogueHost* host) { m_host = host; }

    void SetServerUrl(const std::string& url) { m_serverUrl = url; }
    const std::string& ServerUrl() const { return m_serverUrl; }

    // Replaces the catalogue with every station line of "stations.txt" in the working folder (a
    // file beyond 64 MiB is read up to there, and the host is told) or of the report server's
    // list. False, with the catalogue untouched, when the file cannot be opened (the host is
    // told) or the download fails or is empty (silently).
    bool LoadStationList(Source source);

    // How a retrieval came about: asked for by the user, by a window's refresh tick, or by a
    // window that opened with its kept observations. Only what the user asked for is answered
    // in a message box; the others' trouble is told in their window and the status bar.
    enum class Retrieval { Asked, Refresh, Opening };

    // Retrieves the report page of the station and appends its rows to `series` (emptied
    // first; rows are only counted when no series is given). False, and the host is told, for a
    // station without an ICAO code, a page that says there are no reports or has none, and a
    // server that did not give a whole page (a page is whole only with its end marker); then the
    // server notice says since when and what fails, and which stations a refresh tick could not
    // refresh. False at once, silently, while another retrieval is under way.
    bool FetchObservations(const StationRecord* station, ObservationSeries* series,
                           const std::string& hoursText, int rowCountHint,
                           Retrieval retrieval = Retrieval::Asked);

    // The outcome of a fetch that serves no single station (the maps' table of current
    // conditions), for the server's outage state: a failure counts as a refresh tick's does,
    // told once per outage in the server notice, with `what` among what was not refreshed; a
    // success ends the outage. `simulated`: what the server gave were made-up reports.
    void NoteRefresh(const std::string& what, const PageFetcher::Response& response,
                     bool simulated);

    // Since when (seconds since 1970) the report server has not given a page; 0 while it does.
    std::int64_t ServerDownSince() const { return m_serverDownSince; }
    // What went wrong with the latest retrieval that failed for the server's fault, in words that
    // follow "The report server <address> " ("answered with an error (HTTP 503 ...)").
    const std::string& LastFailure() const { return m_lastFailure; }

    std::string ReportUrl(const std::string& icao, const std::string& hoursText) const;

    // Stations whose name or ICAO code contains the text, ignoring case. With `selectFirst`
    // the first match is selected and 1 returned at once; otherwise matches go to the result
    // table, and with `openList` a result list opens (after a message when none matched).
    int SearchStations(const std::string& text, const StationTable& table, bool selectFirst,
                       bool openList);

    // Probes the report server for the station and opens its meteogram window; false when no
    // window opened. A station whose observations the host keeps opens at once, unprobed: its
    // window shows them and asks the server itself.
    bool SelectStation(const StationRecord& station);
    // While SelectStation opens the window of a station with kept observations (unprobed).
    bool OpeningFromStore() const { return m_openingFromStore; }

    // The catalogue stations in a square of 2 x `minutes` of arc around a world-map point, into
    // the result table; returns how many.
    int FindNearestStations(int x, int y, double minutes);

    // A world-map point in map degrees and as texts; false (and nothing changed) off the map.
    // The position is shown in the status line.
    bool PointToCoordinates(int x, int y, ObservationRecord* result = nullptr);

    static platform::Point CoordinatesToPoint(double longitude, double colatitude);

    // "%s %s %s   (%s, %s),  Elevation: %s m,  %s" as the no-data message shows a station.
    static std::string StationDescription(const StationRecord& station);

    // The recent list's entry of a station, "NAME (ICAO)", and the code an entry names.
    static std::string RecentEntry(const StationRecord& station);
    static std::string RecentEntryCode(std::string_view entry);

    static bool RetrievalBusy();

private:
    void Tell(CatalogueNotice::Kind kind, std::string text, bool asked = true);
    // `name` is what was not had (a station's name, or "the map's current conditions"), `icao`
    // the station's code when there is one.
    void NoteFailure(std::string_view name, std::string_view icao,
                     const PageFetcher::Response& response, Retrieval retrieval);
    void NoteSuccess(bool simulated);
    std::string OutageNotice() const;

    PageFetcher& m_fetcher;
    StationRecord& m_currentStation;
    StationTable& m_all;
    std::string m_serverUrl = kDefaultServerUrl;
    CatalogueHost* m_host = nullptr;
    // The station list the catalogue holds came from this address with this entity tag.
    std::string m_listUrl, m_listEtag;
    std::int64_t m_serverDownSince = 0;
    bool m_openingFromStore = false;
    PageFetcher::Response m_failure; // the latest failure, without its body
    std::string m_lastFailure;
    std::vector<std::string> m_notRefreshed; // stations a tick could not refresh in this outage
    std::string m_notice;                    // the server notice as last set
};
