// The layout file: records read back and every placement fitted to a screen.

#include "app/LayoutRecords.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LayoutContents contents = ReadLayout(bytes);
    const PlacementBounds screen{0, 0, 1920, 1040};
    const PlacementBounds children{0, 0, 800, 600};
    if (contents.main)
        if (const auto f = FitPlacement(*contents.main, screen))
            if (f->x < 0 || f->y < 0 || f->x + f->width > 1920 || f->y + f->height > 1040)
                __builtin_trap();
    for (const LayoutEntry& e : contents.entries) {
        if (const auto f = FitPlacement(e.wpPlacement, children))
            if (f->x < 0 || f->y < 0 || f->x + f->width > 800 || f->y + f->height > 600)
                __builtin_trap();
        FieldText(e.szName);
        // What is read is written back the same.
        if (EncodeEntry(e).size() != static_cast<std::size_t>(kLayoutEntrySize))
            __builtin_trap();
    }
    return 0;
}
