#pragma once

#include "observations/LatestTable.h"
#include "observations/PageFetcher.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>

// What one fetch of the table of current conditions brought: the table, or the failure (the
// answer without its body).
struct ConditionsOutcome {
    std::optional<LatestTable> table;
    PageFetcher::Response failure;
    std::int64_t fetchedAt = 0; // seconds since 1970
    bool simulated = false;     // the rows are made-up reports
};

// Fetches the report server's table of every station's latest report on a thread of its own, so
// that the window never waits: at once when switched on, then every kPeriodMilliseconds while
// on, and whenever asked. The outcome is handed to `done` on the window thread; a fetch asked for
// while one is under way follows it.
class ConditionsFeed : public QObject {
public:
    static constexpr int kPeriodMilliseconds = 5 * 60 * 1000;

    // `url`: the table's address, asked for at every fetch; `stations`: the ICAO codes of the
    // catalogue, whose rows are read (the others are counted as bad rows).
    ConditionsFeed(QObject* parent, std::function<std::string()> url,
                   std::function<std::unordered_set<std::string>()> stations,
                   std::function<void(ConditionsOutcome)> done);
    ~ConditionsFeed() override;

    // On: a fetch at once when it was off, and the timer; off: the timer stops (a fetch under
    // way still ends and is handed over).
    void SetActive(bool on);
    bool Active() const { return m_timer.isActive(); }
    void FetchNow();
    bool Busy() const { return m_busy; }
    // The five-minute timer (a test may shorten it).
    QTimer& Timer() { return m_timer; }

private:
    void Finish(ConditionsOutcome outcome);

    std::function<std::string()> m_url;
    std::function<std::unordered_set<std::string>()> m_stations;
    std::function<void(ConditionsOutcome)> m_done;
    QTimer m_timer;
    std::atomic<bool> m_cancel{false};
    bool m_busy = false;
    bool m_again = false;
    std::thread m_worker;
};
