#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The first bytes of a file, up to a limit, and whether the file holds more.
struct FileHead {
    std::string text;
    bool cut = false;
};

// Reads at most `limit` bytes of the file, as they are (a zero byte included), without sizing
// anything by the limit: a small file costs what it holds. None when the file cannot be opened
// or a read fails.
std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, std::size_t limit);

} // namespace platform
