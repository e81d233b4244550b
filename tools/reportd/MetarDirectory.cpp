#include "tools/reportd/MetarDirectory.h"

#include "observations/MetarDecoder.h"
#include "platform/CText.h"

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
    time = UtcTime(y, mo, d, h, mi);
    return true;
}

std::int64_t SteadySeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::map<std::string, std::vector<TimedReport>> ParseStationFile(const std::string& text) {
    std::map<std::string, std::vector<TimedReport>> reports;
    std::istringstream in(text);
    std::int64_t pending = -1;
    for (std::string line; std::getline(in, line);) {
        const std::string trimmed = platform::Trim(line);
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

MetarDirectorySource::MetarDirectorySource(std::filesystem::path folder, int rescanSeconds)
    : m_folder(std::move(folder)), m_rescanSeconds(rescanSeconds) {}

void MetarDirectorySource::RescanLocked() {
    std::error_code error;
    std::map<std::filesystem::path, FileEntry> files;
    auto it = std::filesystem::directory_iterator(m_folder, error);
    if (error)
        throw SourceFailure(500, platform::Format("the report folder %s cannot be read (%s).",
                                                  m_folder.string().c_str(),
                                                  error.message().c_str()));
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        const auto path = it->path();
        const auto modified = it->last_write_time(error);
        const auto size = it->file_size(error);
        if (error)
            continue;
        const auto known = m_files.find(path);
        if (known != m_files.end() && known->second.modified == modified &&
            known->second.size == size) {
            files[path] = std::move(known->second);
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        files[path] = FileEntry{modified, size, ParseStationFile(text.str())};
    }
    m_files = std::move(files);

    m_byStation.clear();
    for (const auto& [path, entry] : m_files)
        for (const auto& [station, reports] : entry.reports) {
            auto& all = m_byStation[station];
            all.insert(all.end(), reports.begin(), reports.end());
        }
    for (auto& [station, reports] : m_byStation) {
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

std::vector<TimedReport> MetarDirectorySource::Reports(const StationRecord& station,
                                                       std::int64_t from, std::int64_t to) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::int64_t now = SteadySeconds();
    if (m_lastScan < 0 || now - m_lastScan >= m_rescanSeconds) {
        RescanLocked();
        m_lastScan = now;
    }
    std::vector<TimedReport> result;
    const auto it = m_byStation.find(station.strICAO);
    if (it == m_byStation.end())
        return result;
    for (const TimedReport& r : it->second)
        if (r.time >= from && r.time <= to)
            result.push_back(r);
    return result;
}
