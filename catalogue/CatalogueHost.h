#pragma once

#include "catalogue/StationRecord.h"

#include <string>

// What the catalogue service needs of the main window: its status line, its station tables and
// the opening of windows. The windowed program implements it; tests record the calls.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;

    virtual void SetStatusText(const std::string& text) = 0;
    // A lasting word about the report server in the status line, which the information line's
    // own texts do not replace; empty takes it away.
    virtual void SetServerNotice(const std::string& text) = 0;
    virtual StationTable& StationsResult() = 0;
    virtual StationTable& StationsOpened() = 0;

    // Opens a list window of the result table under the title; false when none opened.
    virtual bool OpenResultList(const std::string& title) = 0;
    // Opens a meteogram window for the current station under the title; false when none opened.
    virtual bool OpenStationWindow(const std::string& title) = 0;
    virtual void AddToRecentFileList(const std::string& entry) = 0;
};
