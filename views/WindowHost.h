#pragma once

#include "catalogue/CatalogueHost.h"
#include "catalogue/MapProjection.h"
#include "catalogue/StationRecord.h"

#include <cstdint>
#include <string>

class ObservationStore;
class StationCatalogue;

// What a child window needs of the main frame: the station tables and the user's settings, the
// catalogue service, the status line, and opening other windows. The main frame implements it;
// the windows never see the frame itself.
class WindowHost : public CatalogueHost {
public:
    // The whole catalogue, and the stations and the region of the latest zoom drag (a new zoom
    // window takes a copy of both).
    virtual StationTable& StationsAll() = 0;
    virtual StationTable& StationsZoom() = 0;
    virtual MapRegion& ZoomRegion() = 0;
    // The station chosen last; its parameter fields hold the user's settings.
    virtual StationRecord& CurrentStation() = 0;
    virtual StationCatalogue& Catalogue() = 0;
    // The observations kept across runs; none when the program works without them.
    virtual ObservationStore* Store() { return nullptr; }

    // Opens a child window of the kind (setting iNextWindowKind for it and back to KIND_STATION,
    // except for a zoom window) and gives it the title; false when none opened.
    virtual bool OpenWindow(std::int32_t kind, const std::string& title) = 0;

    // A window registers itself once it is created, for the layout file: its kind and the texts
    // of its station (empty for windows that show no single station).
    virtual void RegisterLayoutEntry(std::int32_t kind, const StationRecord& station,
                                     const void* view) = 0;
};
