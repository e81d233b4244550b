#include "catalogue/StationCatalogue.h"

#include "catalogue/StationList.h"
#include "observations/ReportPage.h"
#include "observations/ReportProtocol.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

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
        std::ifstream file(kStationListFile, std::ios::binary);
        if (!file) {
            platform::MessageBox(platform::Format("Can not open a file \"%s\".", kStationListFile),
                                 platform::MessageIcon::Exclamation);
            return false;
        }
        // The whole list, whatever lines it holds (a long line or a zero byte is skipped as a
        // line of another length); only a file beyond any real list is cut, at a line's end.
        std::error_code error;
        const auto size = std::filesystem::file_size(kStationListFile, error);
        text.resize(error ? kStationListLimit
                          : static_cast<std::size_t>(
                                std::min<std::uintmax_t>(size + 1, kStationListLimit)));
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
        if (text.size() == kStationListLimit && file.peek() != EOF) {
            const std::size_t last = text.rfind('\n');
            text.resize(last == std::string::npos ? 0 : last + 1);
            platform::MessageBox(
                platform::Format("The station list \"%s\" is larger than %zu MiB; only the "
                                 "stations in its first %zu MiB were read.",
                                 kStationListFile, kStationListLimit / (1024 * 1024),
                                 kStationListLimit / (1024 * 1024)),
                platform::MessageIcon::Exclamation);
        }
    } else {
        const PageFetcher::Response response =
            m_fetcher.Get(m_serverUrl + std::string(protocol::kStationListPath), 1000000);
        // A list that did not arrive whole, or an error page, is not a catalogue.
        if (!response.Ok() || response.body.empty())
            return false;
        text = response.body;
    }
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

bool StationCatalogue::FetchObservations(const StationRecord* station, ObservationSeries* series,
                                         const std::string& hoursText, int rowCountHint,
                                         Retrieval retrieval) {
    if (!station || g_retrievalBusy)
        return false;
    BusyGuard busy;

    ObservationRecord working;
    if (series)
        series->RemoveAll();

    const std::size_t buffer =
        static_cast<std::size_t>(std::max(rowCountHint, 0)) * 20000u + 50000u;
    const PageFetcher::Response response =
        m_fetcher.Get(ReportUrl(station->strICAO, hoursText), buffer);

    // The flag stays set while a message waits, so timer ticks meanwhile are refused.
    if (!response.Ok()) {
        // Nothing of an error page or a cut one is read. A refresh tick tells of an outage once;
        // the status line keeps saying since when.
        const bool newOutage = m_serverDownSince == 0;
        if (newOutage)
            m_serverDownSince = platform::CurrentTime();
        if (m_host) {
            const auto since = platform::LocalBreakdown(m_serverDownSince);
            m_host->SetServerNotice(platform::Format(
                "The report server %s has not answered since %02d:%02d.", m_serverUrl.c_str(),
                since ? since->tm_hour : 0, since ? since->tm_min : 0));
        }
        if (retrieval == Retrieval::Asked || newOutage)
            platform::MessageBox(
                platform::Format("The report server %s %s.", m_serverUrl.c_str(),
                                 DescribeFailure(response, m_fetcher.GetLimits()).c_str()),
                platform::MessageIcon::Exclamation);
        return false;
    }
    if (m_serverDownSince != 0) {
        m_serverDownSince = 0;
        if (m_host)
            m_host->SetServerNotice(
                platform::Format("The report server %s answers again.", m_serverUrl.c_str()));
    }

    if (ReadReportRows(response.body, series, working).outcome == ReportOutcome::Rows)
        return true;

    platform::MessageBox(platform::Format("Sorry, no data available for the Station:\n\n%s.",
                                          StationDescription(*station).c_str()),
                         platform::MessageIcon::Exclamation);
    return false;
}
