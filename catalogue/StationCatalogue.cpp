#include "catalogue/StationCatalogue.h"

#include "catalogue/StationList.h"
#include "observations/ReportPage.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/FileHead.h"

#include <algorithm>
#include <cctype>

namespace {

// Today's list is under a megabyte; a file sixty times larger is no station list.
constexpr std::size_t kStationListLimit = 64u * 1024u * 1024u;

// Refuses a second retrieval that a timer tick starts while the first waits in its message box.
bool g_retrievalBusy = false;

class BusyGuard {
public:
    BusyGuard() { g_retrievalBusy = true; }
    ~BusyGuard() { g_retrievalBusy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

} // namespace

StationCatalogue::StationCatalogue(PageFetcher& fetcher, StationRecord& currentStation,
                                   StationTable& all)
    : m_fetcher(fetcher), m_currentStation(currentStation), m_all(all) {}

bool StationCatalogue::RetrievalBusy() {
    return g_retrievalBusy;
}

bool StationCatalogue::LoadStationList(Source source) {
    std::string text;
    if (source == Source::LocalFile) {
        // The whole list, whatever lines it holds (a long line or a zero byte is skipped as a
        // line of another length); only a file beyond any real list is cut, at a line's end.
        auto head = platform::ReadFileHead(kStationListFile, kStationListLimit);
        if (!head) {
            Tell(CatalogueNotice::Kind::StationListMissing,
                 platform::Format("Can not open a file \"%s\".", kStationListFile));
            return false;
        }
        text = std::move(head->text);
        if (head->cut) {
            const std::size_t last = text.rfind('\n');
            text.resize(last == std::string::npos ? 0 : last + 1);
            Tell(CatalogueNotice::Kind::StationListCut,
                 platform::Format("The station list \"%s\" is larger than %zu MiB; only the "
                                  "stations in its first %zu MiB were read.",
                                  kStationListFile, kStationListLimit / (1024 * 1024),
                                  kStationListLimit / (1024 * 1024)));
        }
    } else {
        // The list downloaded before is asked for again by its entity tag: unchanged, it is not
        // sent, and the catalogue read from it stands.
        const std::string url = m_serverUrl + std::string(protocol::kStationListPath);
        const bool revalidate = !m_listEtag.empty() && m_listUrl == url;
        const PageFetcher::Response response =
            m_fetcher.Get(url, 1000000, revalidate ? m_listEtag : std::string());
        if (revalidate && response.NotModified())
            return true;
        // A list that did not arrive whole, or an error page, is not a catalogue.
        if (!response.Ok() || response.body.empty())
            return false;
        text = response.body;
        m_listEtag = response.etag;
        m_listUrl = url;
    }
    if (source == Source::LocalFile)
        m_listEtag.clear();
    m_all.RemoveAll();
    ParseStationList(text, m_all);
    return true;
}

std::string StationCatalogue::ReportUrl(const std::string& icao,
                                        const std::string& hoursText) const {
    using namespace protocol;
    return m_serverUrl + std::string(kReportPath) + "?" + std::string(kStationKey) + "=" +
           PageFetcher::EscapeQueryValue(icao) + "&" + std::string(kHoursKey) + "=" +
           PageFetcher::EscapeQueryValue(hoursText) + "&" + std::string(kReportExtra);
}

std::string StationCatalogue::StationDescription(const StationRecord& s) {
    const std::string elevation = s.strElev.empty()
                                      ? std::string()
                                      : platform::Format(",  Elevation: %s m", s.strElev.c_str());
    return platform::Format("%s %s %s   (%s, %s)%s,  %s", s.strStation.c_str(), s.strCD.c_str(),
                            s.strICAO.c_str(), s.strLat.c_str(), s.strLon.c_str(),
                            elevation.c_str(), s.strCY.c_str());
}

std::string StationCatalogue::RecentEntry(const StationRecord& station) {
    return platform::Format("%s (%s)", station.strStation.c_str(), station.strICAO.c_str());
}

std::string StationCatalogue::RecentEntryCode(std::string_view entry) {
    // The last parenthesis: a name may hold one of its own ("CUMBERLAND (X) (KCBE)").
    const std::size_t open = entry.rfind('(');
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = entry.find(')', open);
    return std::string(
        entry.substr(open + 1, close == std::string_view::npos ? 4 : close - open - 1));
}

void StationCatalogue::Tell(CatalogueNotice::Kind kind, std::string text, bool asked) {
    if (m_host)
        m_host->Report({kind, std::move(text), asked});
}

bool StationCatalogue::FetchObservations(const StationRecord* station, ObservationSeries* series,
                                         const std::string& hoursText, int rowCountHint,
                                         Retrieval retrieval) {
    if (!station || g_retrievalBusy)
        return false;
    BusyGuard busy;

    ObservationRecord working;
    if (series)
        series->RemoveAll();
    const bool asked = retrieval == Retrieval::Asked;
    // Without a code the server would be asked for another station, or for none.
    if (platform::Trim(station->strICAO).empty()) {
        Tell(CatalogueNotice::Kind::NoIcao,
             platform::Format("%s has no ICAO code; its reports cannot be retrieved.",
                              platform::Trim(station->strStation).c_str()),
             asked);
        return false;
    }

    const std::size_t buffer =
        static_cast<std::size_t>(std::max(rowCountHint, 0)) * 20000u + 50000u;
    PageFetcher::Response response = m_fetcher.Get(ReportUrl(station->strICAO, hoursText), buffer);
    // A page is whole only with its end marker: a connection that ends without a length cuts a
    // page where no transport notices.
    if (response.Ok() && !response.body.empty() &&
        response.body.find(protocol::kPageEnd) == std::string::npos)
        response.failure = FetchFailure::Cut;
    if (!response.Ok()) {
        // Nothing of an error page or a cut one is read.
        NoteFailure(station->strStation, station->strICAO, response, retrieval);
        return false;
    }
    NoteSuccess(response.body.find(protocol::kSimulatedHeading) != std::string::npos);

    // The rows are read whether or not the caller wants them: every page read is kept.
    ObservationSeries rows;
    ObservationSeries* read = series ? series : &rows;
    if (ReadReportRows(response.body, read, working).outcome == ReportOutcome::Rows) {
        if (m_host)
            m_host->ObservationsRead(*station, *read);
        return true;
    }

    Tell(CatalogueNotice::Kind::NoData,
         platform::Format("Sorry, no data available for the Station:\n\n%s.",
                          StationDescription(*station).c_str()),
         asked);
    return false;
}

void StationCatalogue::NoteRefresh(const std::string& what, const PageFetcher::Response& response,
                                   bool simulated) {
    if (response.Ok()) {
        NoteSuccess(simulated);
        return;
    }
    NoteFailure(what, {}, response, Retrieval::Refresh);
}

void StationCatalogue::NoteFailure(std::string_view name, std::string_view icao,
                                   const PageFetcher::Response& response, Retrieval retrieval) {
    // The outage began with its first failure; what fails now may have changed since.
    if (m_serverDownSince == 0) {
        m_serverDownSince = platform::CurrentTime();
        m_notRefreshed.clear();
    }
    m_failure = response;
    m_failure.body.clear();
    m_lastFailure = DescribeFailure(response, m_fetcher.GetLimits());
    if (retrieval != Retrieval::Asked &&
        std::find(m_notRefreshed.begin(), m_notRefreshed.end(), name) == m_notRefreshed.end())
        m_notRefreshed.emplace_back(name);
    m_notice = OutageNotice();
    if (m_host)
        m_host->SetServerNotice(m_notice);
    // A station's reports, or what else could not be had ("the map's current conditions").
    std::string what = icao.empty()
                           ? std::string(name)
                           : "the reports of " + std::string(name) + " (" + std::string(icao) + ")";
    if (!what.empty())
        what[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(what[0])));
    Tell(CatalogueNotice::Kind::ServerFailed,
         platform::Format("The report server %s %s.\n\n%s could not be retrieved.",
                          m_serverUrl.c_str(), m_lastFailure.c_str(), what.c_str()),
         retrieval == Retrieval::Asked);
}

void StationCatalogue::NoteSuccess(bool simulated) {
    const std::string simulatedNotice = platform::Format(
        "The report server %s serves simulated reports, not real weather.", m_serverUrl.c_str());
    std::string notice = m_notice;
    if (m_serverDownSince != 0) {
        m_serverDownSince = 0;
        m_notRefreshed.clear();
        notice = platform::Format("The report server %s answers again.", m_serverUrl.c_str());
        if (simulated)
            notice += " It serves simulated reports, not real weather.";
    } else if (simulated) {
        notice = simulatedNotice;
    } else if (notice == simulatedNotice) {
        notice.clear();
    }
    if (notice != m_notice) {
        m_notice = notice;
        if (m_host)
            m_host->SetServerNotice(m_notice);
    }
}

std::string StationCatalogue::OutageNotice() const {
    const auto since = platform::LocalBreakdown(m_serverDownSince);
    const std::string when =
        platform::Format("%02d:%02d", since ? since->tm_hour : 0, since ? since->tm_min : 0);
    std::string what;
    switch (m_failure.failure) {
    case FetchFailure::Refused:
    case FetchFailure::NameNotFound:
    case FetchFailure::TimedOut:
        what = "has not answered since " + when;
        break;
    case FetchFailure::HttpStatus:
        what = platform::Format("answers with errors (HTTP %ld) since %s", m_failure.status,
                                when.c_str());
        break;
    default:
        what = "has given no whole page since " + when + " (it " + m_lastFailure + ")";
        break;
    }
    std::string text =
        platform::Format("The report server %s %s.", m_serverUrl.c_str(), what.c_str());
    if (!m_notRefreshed.empty()) {
        text += " Not refreshed: ";
        for (std::size_t i = 0; i < m_notRefreshed.size(); ++i)
            text += (i ? ", " : "") + m_notRefreshed[i];
        text += ".";
    }
    return text;
}
