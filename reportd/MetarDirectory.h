#pragma once

#include "reportd/ReportSource.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// Reads pairs of a line "YYYY/MM/DD HH:MM" and a line with the raw report, as the public
// station files and cycle files hold them, and files the reports by station.
std::map<std::string, std::vector<TimedReport>> ParseStationFile(std::string_view text);

// Real reports from the files of a folder. The folder is read once at construction and then
// again every `rescanMilliseconds` on a thread of its own, which notices new, changed and removed
// files; requests read the latest snapshot and never wait for a scan. A folder that cannot be
// read makes requests fail until it can be read again.
class MetarDirectorySource : public ReportSource {
public:
    static constexpr std::uintmax_t kLargestFile = 64u * 1024u * 1024u; // larger ones are skipped

    explicit MetarDirectorySource(std::filesystem::path folder, int rescanMilliseconds = 2000);
    ~MetarDirectorySource() override;

    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override;
    std::vector<std::optional<TimedReport>>
    NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                  std::int64_t to) override;
    void Stop() override;
    std::uint64_t Generation() const override { return m_generation.load(); }

    // Reads the folder now, as the scanning thread does on its own.
    void Rescan();

private:
    struct FileEntry {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::map<std::string, std::vector<TimedReport>> reports;
    };
    struct Snapshot {
        std::map<std::string, std::vector<TimedReport>> byStation; // newest first
        std::string failure; // why the folder could not be read; empty when it could
    };

    std::filesystem::path m_folder;
    int m_rescanMilliseconds;

    std::mutex m_scanMutex; // one scan at a time
    std::map<std::filesystem::path, FileEntry> m_files;

    mutable std::mutex m_snapshotMutex;
    std::shared_ptr<const Snapshot> m_snapshot;
    // The snapshot answers are made from; SourceFailure when the folder could not be read.
    std::shared_ptr<const Snapshot> ReadableSnapshot() const;
    std::atomic<std::uint64_t> m_generation{0};

    std::mutex m_waitMutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
