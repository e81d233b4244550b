#pragma once

#include "catalogue/StationRecord.h"

#include <array>
#include <cstdint>
#include <string>

// A window's placement as the layout file keeps it (44 bytes, little-endian): the main window's
// relative to the screen's work area, a child window's relative to the child-window area.
struct WindowPlacement {
    std::uint32_t length = 44;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0; // 1 normal, 2 minimised, 3 maximised
    std::int32_t minX = 0, minY = 0;
    std::int32_t maxX = 0, maxY = 0;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

// The description of one child window: its kind and the texts of its station (empty for
// windows that show no single station).
struct LayoutEntry {
    std::int32_t nKind = 0;
    std::array<char, 128> szName{};
    std::array<char, 128> szCountry{};
    std::array<char, 32> szIcao{};
    std::array<char, 32> szCD{};
    std::array<char, 32> szLatitude{};
    std::array<char, 32> szLongitude{};
    std::array<char, 32> szElevation{};
    WindowPlacement wpPlacement{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::int32_t nView = 0;     // which view registered it; meaningless in the file
    const void* view = nullptr; // the view in this run (not stored)
};

// Texts are cut to their field, NUL-terminated and NUL-filled.
template <std::size_t N> void SetField(std::array<char, N>& field, const std::string& text) {
    field.fill(0);
    text.copy(field.data(), N - 1);
}

template <std::size_t N> std::string FieldText(const std::array<char, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != 0)
        ++length;
    return std::string(field.data(), length);
}

LayoutEntry MakeLayoutEntry(std::int32_t kind, const StationRecord& station, const void* view);
