// The date reader on the texts a page gives for a row's date and time.

#include "platform/CalendarTime.h"
#include "platform/DateParser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto fields = platform::ParseUsDateTime(text);
    if (!fields)
        return 0;
    if (fields->month < 1 || fields->month > 12 || fields->day < 1 || fields->day > 31 ||
        fields->hour < 0 || fields->hour > 23 || fields->minute < 0 || fields->minute > 59)
        __builtin_trap();
    platform::MakeUtcTime(*fields);
    platform::MakeLocalTime(*fields);
    return 0;
}
