#include "platform/Prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void PrefaultForWrite(void* start, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    // Below this a few faults cost less than the call.
    constexpr std::size_t kWorthIt = 64 * 1024;
    if (bytes < kWorthIt)
        return;
    // Only whole pages inside the range: the pages at its ends may hold other data, which
    // preparing them would not harm, but memory outside the range is not this call's to touch.
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(start) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(page - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)start;
    (void)bytes;
#endif
}

} // namespace platform
