#pragma once

#include <cstdint>

// The kind a newly created child window becomes is decided by one program-wide value, set by
// every opener just before it asks a template for a window.
enum WindowKind : std::int32_t {
    KIND_WORLD_MAP = 0,
    KIND_STATION = 1,
    KIND_RESULT_LIST = 2,
    KIND_ALL_STATIONS = 3,
    KIND_ZOOM_MAP = 5,
};

extern std::int32_t iNextWindowKind; // 1 at program load

// What a layout restore does with a saved window of a kind.
enum class KindRestore {
    Skip,              // not re-created
    Reopen,            // opened again as it was
    ReopenStation,     // its station is selected again (the report server is asked)
    ReopenAllStations, // opened as the list of all stations
};

// Everything that differs between the kinds, in one place.
struct WindowKindTraits {
    std::int32_t kind;
    int width, height; // of the child window when it opens
    bool list;         // a list of stations (else a map view)
    bool centred;      // opens centred in the child-window area
    KindRestore restore;
};

// The traits of a kind; an unknown kind is a map view of 500 x 330 that a restore skips.
const WindowKindTraits& KindTraits(std::int32_t kind);
