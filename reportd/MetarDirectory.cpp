#include "reportd/MetarDirectory.h"

#include "observations/MetarDecoder.h"
#include "platform/CText.h"
#include "platform/CalendarTime.h"
#include "reportd/FileText.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace {

// "YYYY/MM/DD HH:MM"
bool ParseTimeLine(const std::string& line, std::int64_t& time) {
    int y, mo, d, h, mi;
    char tail;
    if (std::sscanf(line.c_str(), "%4d/%2d/%2d %2d:%2d %c", &y, &mo, &d, &h, &mi, &tail) != 5)
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || y < 1970)
        return false;
    const auto instant = platform::MakeUtcTime({y, mo, d, h, mi, 0});
    if (instant)
        time = *instant;
    return instant.has_value();
}

} // namespace

std::map<std::string, std::vector<TimedReport>> ParseStationFile(std::string_view text) {
    std::map<std::string, std::vector<TimedReport>> reports;
    std::int64_t pending = -1;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string trimmed = platform::Trim(text.substr(start, end - start));
        start = end + 1;
        if (trimmed.empty())
            continue;
        std::int64_t time = 0;
        if (ParseTimeLine(trimmed, time)) {
            pending = time;
            continue;
        }
        if (pending < 0)
            continue; // a report without its time line is not placed
        const std::string raw = CleanReport(trimmed);
        const auto groups = SplitGroups(raw);
        if (!groups.empty() && groups[0].size() == 4)
            reports[std::string(groups[0])].push_back({pending, raw});
        pending = -1;
    }
    return reports;
}

MetarDirectorySource::MetarDirectorySource(std::filesystem::path folder, int rescanMilliseconds)
    : m_folder(std::move(folder)), m_rescanMilliseconds(std::max(rescanMilliseconds, 10)) {
    Rescan();
    m_thread = std::thread([this] {
        std::unique_lock<std::mutex> lock(m_waitMutex);
        while (!m_stop) {
            if (m_wake.wait_for(lock, std::chrono::milliseconds(m_rescanMilliseconds),
                                [this] { return m_stop; }))
                break;
            lock.unlock();
            Rescan();
            lock.lock();
        }
    });
}

MetarDirectorySource::~MetarDirectorySource() {
    Stop();
    if (m_thread.joinable())
        m_thread.join();
}

void MetarDirectorySource::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_waitMutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

void MetarDirectorySource::Rescan() {
    std::lock_guard<std::mutex> scanning(m_scanMutex);
    auto snapshot = std::make_shared<Snapshot>();
    std::error_code error;
    std::map<std::filesystem::path, FileEntry> files;
    bool changed = false;
    auto it = std::filesystem::directory_iterator(m_folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code fileError;
        if (!it->is_regular_file(fileError))
            continue;
        const auto path = it->path();
        const auto modified = it->last_write_time(fileError);
        const auto size = it->file_size(fileError);
        if (fileError || size > kLargestFile)
            continue;
        const auto known = m_files.find(path);
        if (known != m_files.end() && known->second.modified == modified &&
            known->second.size == size) {
            files[path] = std::move(known->second);
            continue;
        }
        changed = true;
        files[path] = FileEntry{modified, size,
                                ParseStationFile(ReadFileText(path, kLargestFile).value_or(""))};
    }
    if (error) {
        // The reports read before are not served as if nothing had happened.
        snapshot->failure = platform::Format("the report folder %s cannot be read (%s).",
                                             m_folder.string().c_str(), error.message().c_str());
    } else {
        changed = changed || files.size() != m_files.size();
        m_files = std::move(files);
        for (const auto& [path, entry] : m_files)
            for (const auto& [station, reports] : entry.reports) {
                auto& all = snapshot->byStation[station];
                all.insert(all.end(), reports.begin(), reports.end());
            }
        for (auto& [station, reports] : snapshot->byStation) {
            std::sort(reports.begin(), reports.end(),
                      [](const TimedReport& a, const TimedReport& b) { return a.time > b.time; });
            // The same report in a station file and a cycle file counts once.
            reports.erase(std::unique(reports.begin(), reports.end(),
                                      [](const TimedReport& a, const TimedReport& b) {
                                          return a.time == b.time && a.raw == b.raw;
                                      }),
                          reports.end());
        }
    }
    std::lock_guard<std::mutex> lock(m_snapshotMutex);
    // A folder that fails, or reads again after failing, changes what is served too.
    if (changed || !snapshot->failure.empty() || (m_snapshot && !m_snapshot->failure.empty()))
        ++m_generation;
    m_snapshot = std::move(snapshot);
}

std::shared_ptr<const MetarDirectorySource::Snapshot>
MetarDirectorySource::ReadableSnapshot() const {
    std::shared_ptr<const Snapshot> snapshot;
    {
        std::lock_guard<std::mutex> lock(m_snapshotMutex);
        snapshot = m_snapshot;
    }
    if (!snapshot->failure.empty())
        throw SourceFailure(500, snapshot->failure);
    return snapshot;
}

std::vector<TimedReport> MetarDirectorySource::Reports(const StationRecord& station,
                                                       std::int64_t from, std::int64_t to) {
    const std::shared_ptr<const Snapshot> snapshot = ReadableSnapshot();
    std::vector<TimedReport> result;
    const auto it = snapshot->byStation.find(station.strICAO);
    if (it == snapshot->byStation.end())
        return result;
    for (const TimedReport& r : it->second)
        if (r.time >= from && r.time <= to)
            result.push_back(r);
    return result;
}

std::vector<std::optional<TimedReport>>
MetarDirectorySource::NewestReports(const std::vector<const StationRecord*>& stations,
                                    std::int64_t from, std::int64_t to) {
    // One snapshot for the whole table: a scan meanwhile changes none of its rows.
    const std::shared_ptr<const Snapshot> snapshot = ReadableSnapshot();
    std::vector<std::optional<TimedReport>> newest(stations.size());
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const auto it = snapshot->byStation.find(stations[i]->strICAO);
        if (it == snapshot->byStation.end())
            continue;
        for (const TimedReport& r : it->second) // newest first
            if (r.time >= from && r.time <= to) {
                newest[i] = r;
                break;
            }
    }
    return newest;
}
