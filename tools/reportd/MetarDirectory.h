#pragma once

#include "tools/reportd/ReportSource.h"

#include <filesystem>
#include <map>
#include <mutex>

// Reads pairs of a line "YYYY/MM/DD HH:MM" and a line with the raw report, as the public
// station files and cycle files hold them, and files the reports by station.
std::map<std::string, std::vector<TimedReport>> ParseStationFile(const std::string& text);

// Real reports from the files of a folder. New, changed and removed files are noticed at the
// next request that comes at least `rescanSeconds` after the previous look.
class MetarDirectorySource : public ReportSource {
public:
    explicit MetarDirectorySource(std::filesystem::path folder, int rescanSeconds = 2);

    std::vector<TimedReport> Reports(const StationRecord& station, std::int64_t from,
                                     std::int64_t to) override;

private:
    struct FileEntry {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::map<std::string, std::vector<TimedReport>> reports;
    };
    void RescanLocked();

    std::filesystem::path m_folder;
    int m_rescanSeconds;
    std::mutex m_mutex;
    std::map<std::filesystem::path, FileEntry> m_files;
    std::map<std::string, std::vector<TimedReport>> m_byStation; // newest first
    std::int64_t m_lastScan = -1;
};
