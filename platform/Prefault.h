#pragma once

#include <cstddef>

namespace platform {

// Makes the pages of [start, start + bytes) ready for writing in one call, where touching
// fresh memory would take a page fault for every page: for a buffer of hundreds of kilobytes
// about to be filled. Memory the system cannot prepare so is left as it is; this changes speed
// only, never what is stored.
void PrefaultForWrite(void* start, std::size_t bytes);

} // namespace platform
