#include "catalogue/StationCatalogue.h"

#include "catalogue/StationList.h"
#include "observations/ReportPage.h"
#include "platform/CText.h"
#include "platform/UserServices.h"

#include <fstream>

namespace {

constexpr std::size_t kStationListLimit = 1000000;

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
        text.resize(kStationListLimit);
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
        const bool cut = text.size() == kStationListLimit && file.peek() != EOF;
        if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        else if (cut)
            text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    } else {
        text = m_fetcher.Fetch(m_serverUrl + kStationListPath, kStationListLimit);
        if (text.empty())
            return false;
    }
    m_all.RemoveAll();
    ParseStationList(text, m_all);
    return true;
}

std::string StationCatalogue::ReportUrl(const std::string& icao,
                                        const std::string& hoursText) const {
    return m_serverUrl + "/weather/surface/index.php?metarIds=" + icao + "&hoursStr=" + hoursText +
           "&std_trans=translated&num_metars=number&submit_metars=Retrieve";
}

std::string StationCatalogue::StationDescription(const StationRecord& s) {
    return platform::Format("%s %s %s   (%s, %s),  Elevation: %s m,  %s", s.strStation.c_str(),
                            s.strCD.c_str(), s.strICAO.c_str(), s.strLat.c_str(), s.strLon.c_str(),
                            s.strElev.c_str(), s.strCY.c_str());
}

bool StationCatalogue::FetchObservations(const StationRecord* station, ObservationSeries* series,
                                         const std::string& hoursText, int rowCountHint) {
    if (!station || g_retrievalBusy)
        return false;
    BusyGuard busy;

    ObservationRecord working;
    if (series)
        series->RemoveAll();

    const std::size_t buffer =
        static_cast<std::size_t>(std::max(rowCountHint, 0)) * 20000u + 50000u;
    const std::string page = m_fetcher.Fetch(ReportUrl(station->strICAO, hoursText), buffer);

    if (ReadReportRows(page, series, working).outcome == ReportOutcome::Rows)
        return true;

    // The flag stays set while the message waits, so timer ticks meanwhile are refused.
    platform::MessageBox(platform::Format("Sorry, no data available for the Station:\n\n%s.",
                                          StationDescription(*station).c_str()),
                         platform::MessageIcon::Exclamation);
    return false;
}
