// The METAR decoder on any report text, and what the page writer makes of its groups.

#include "observations/MetarDecoder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MetarReport r = DecodeMetar(text);
    if (r.wind &&
        (r.wind->direction < 0 || r.wind->direction > 360 || !std::isfinite(r.wind->speedKnots)))
        __builtin_trap();
    if (r.visibility && (!std::isfinite(r.visibility->metres) || r.visibility->metres < 0))
        __builtin_trap();
    for (const std::string& group : r.weather)
        DescribeWeather(group);
    r.CeilingFeet();
    return 0;
}
