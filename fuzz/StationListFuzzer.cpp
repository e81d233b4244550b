// The station list file: any bytes, as "stations.txt" may hold them.

#include "catalogue/StationList.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    StationTable table;
    const int count = ParseStationList(text, table);
    if (count != table.GetSize())
        __builtin_trap();
    for (const StationRecord& s : table)
        if (s.strStation.size() > 17 || s.strICAO.size() > 4)
            __builtin_trap(); // fields never run past their columns
    return 0;
}
