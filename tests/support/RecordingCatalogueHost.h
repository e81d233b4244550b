#pragma once

#include "catalogue/CatalogueHost.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Records what the catalogue asks of the main window. What the user asked for is also shown as
// a message, as the program's own host does, so that a MessageRecorder sees it.
struct RecordingCatalogueHost : CatalogueHost {
    StationTable result, opened;
    std::vector<std::string> status, notices, resultLists, stationWindows, recent;
    std::vector<CatalogueNotice> reports;
    bool windowsOpen = true;

    void SetStatusText(const std::string& text) override { status.push_back(text); }
    void SetServerNotice(const std::string& text) override { notices.push_back(text); }
    StationTable& StationsResult() override { return result; }
    StationTable& StationsOpened() override { return opened; }
    bool OpenResultList(const std::string& title) override {
        resultLists.push_back(title);
        return true;
    }
    bool OpenStationWindow(const std::string& title) override {
        stationWindows.push_back(title);
        return windowsOpen;
    }
    void AddToRecentFileList(const std::string& entry) override { recent.push_back(entry); }
    // Pages read (the station and its row count), and the stations said to have kept rows.
    std::vector<std::pair<std::string, int>> pagesRead;
    std::vector<std::string> kept;
    void ObservationsRead(const StationRecord& station, const ObservationSeries& rows) override {
        pagesRead.emplace_back(station.strICAO, rows.GetSize());
    }
    bool HasStoredObservations(const std::string& icao) override {
        return std::find(kept.begin(), kept.end(), icao) != kept.end();
    }
    void Report(const CatalogueNotice& notice) override {
        reports.push_back(notice);
        if (notice.asked)
            platform::MessageBox(notice.text);
    }
};

} // namespace testing_support
