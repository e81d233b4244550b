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
