#include "reportd/ReportSource.h"

#include "platform/CText.h"

std::string CleanReport(const std::string& line) {
    std::string text = platform::Trim(line);
    for (const char* prefix : {"METAR ", "SPECI "})
        if (text.rfind(prefix, 0) == 0)
            text = platform::Trim(text.substr(6));
    return text;
}

std::vector<std::optional<TimedReport>>
ReportSource::NewestReports(const std::vector<const StationRecord*>& stations, std::int64_t from,
                            std::int64_t to) {
    std::vector<std::optional<TimedReport>> newest;
    newest.reserve(stations.size());
    for (const StationRecord* station : stations) {
        std::vector<TimedReport> reports = Reports(*station, from, to);
        if (reports.empty())
            newest.emplace_back();
        else
            newest.emplace_back(std::move(reports.front()));
    }
    return newest;
}
