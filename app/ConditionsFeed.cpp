#include "app/ConditionsFeed.h"

#include "observations/ReportProtocol.h"
#include "platform/CalendarTime.h"

#include <QMetaObject>

namespace {

ConditionsOutcome FetchTable(const std::string& url,
                             const std::unordered_set<std::string>& stations,
                             const std::atomic<bool>& cancel) {
    PageFetcher::Limits limits;
    limits.cancel = &cancel;
    const PageFetcher fetcher(limits);
    ConditionsOutcome outcome;
    PageFetcher::Response answer = fetcher.Get(url);
    outcome.fetchedAt = platform::CurrentTime();
    if (answer.Ok()) {
        try {
            LatestTable table = ReadLatestTable(answer.body, [&stations](std::string_view icao) {
                return stations.count(std::string(icao)) > 0;
            });
            for (const LatestRow& row : table.rows)
                if (row.report.find(protocol::kSimulatedRemark) != std::string::npos) {
                    outcome.simulated = true;
                    break;
                }
            outcome.table = std::move(table);
            return outcome;
        } catch (const TableFormatError& error) {
            // Whatever answered is no report server of ours.
            answer.failure = FetchFailure::Other;
            answer.detail = std::string("gave no table of current conditions: ") + error.what();
        }
    }
    answer.body.clear();
    outcome.failure = std::move(answer);
    return outcome;
}

} // namespace

ConditionsFeed::ConditionsFeed(QObject* parent, std::function<std::string()> url,
                               std::function<std::unordered_set<std::string>()> stations,
                               std::function<void(ConditionsOutcome)> done)
    : QObject(parent), m_url(std::move(url)), m_stations(std::move(stations)),
      m_done(std::move(done)) {
    m_timer.setInterval(kPeriodMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { FetchNow(); });
}

ConditionsFeed::~ConditionsFeed() {
    // A fetch under way gives up; what it would hand over goes with this object.
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

void ConditionsFeed::SetActive(bool on) {
    if (!on) {
        m_timer.stop();
        return;
    }
    if (m_timer.isActive())
        return;
    m_timer.start();
    FetchNow();
}

void ConditionsFeed::FetchNow() {
    if (m_busy) {
        m_again = true;
        return;
    }
    if (m_worker.joinable())
        m_worker.join();
    m_busy = true;
    m_again = false;
    m_worker = std::thread([this, url = m_url(), stations = m_stations()] {
        ConditionsOutcome outcome = FetchTable(url, stations, m_cancel);
        QMetaObject::invokeMethod(
            this, [this, outcome = std::move(outcome)]() mutable { Finish(std::move(outcome)); },
            Qt::QueuedConnection);
    });
}

void ConditionsFeed::Finish(ConditionsOutcome outcome) {
    if (m_worker.joinable())
        m_worker.join();
    m_busy = false;
    m_done(std::move(outcome));
    if (m_again)
        FetchNow();
}
