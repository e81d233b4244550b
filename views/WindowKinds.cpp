#include "views/WindowKinds.h"

std::int32_t iNextWindowKind = KIND_STATION;

const WindowKindTraits& KindTraits(std::int32_t kind) {
    static const WindowKindTraits table[] = {
        {KIND_WORLD_MAP, 550, 350, false, false, KindRestore::Reopen},
        {KIND_STATION, 650, 670, false, true, KindRestore::ReopenStation},
        {KIND_RESULT_LIST, 501, 408, true, false, KindRestore::ReopenAllStations},
        {KIND_ALL_STATIONS, 501, 608, true, false, KindRestore::ReopenAllStations},
        {KIND_ZOOM_MAP, 500, 330, false, false, KindRestore::Skip},
    };
    static const WindowKindTraits unknown = {-1, 500, 330, false, false, KindRestore::Skip};
    for (const WindowKindTraits& t : table)
        if (t.kind == kind)
            return t;
    return unknown;
}
