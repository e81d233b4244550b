#pragma once

#include "catalogue/StationRecord.h"
#include "observations/ObservationRecord.h"

#include <string>

// Something the catalogue has to tell the user. The catalogue words it; the host decides how it
// is shown (a message box for what the user asked for, the status bar for a refresh tick).
struct CatalogueNotice {
    enum class Kind {
        StationListMissing, // the station list file cannot be opened
        StationListCut,     // only the first part of a huge list was read
        ServerFailed,       // the report server gave no whole page
        NoData,             // the page has no reports of the station
        NoMatch,            // a search found no station
        NoIcao,             // a station without an ICAO code cannot be asked for
    };
    Kind kind;
    std::string text;
    // The user asked for it (opening a station, a search); false for a window's refresh tick.
    bool asked = true;
};

// What the catalogue service needs of the main window: its status line, its station tables, the
// opening of windows, and someone to tell. The windowed program implements it; tests record the
// calls.
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

    virtual void Report(const CatalogueNotice& notice) = 0;

    // Every report page read, with the rows as the page reader gives them (metric), to keep.
    virtual void ObservationsRead(const StationRecord& /*station*/,
                                  const ObservationSeries& /*rows*/) {}
    // Whether observations of the station are kept, so that its window can open with them
    // before (or without) the report server's answer.
    virtual bool HasStoredObservations(const std::string& /*icao*/) { return false; }
};
