#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// The whole of a file of at most `largest` bytes; none for a file that cannot be read or is
// larger.
std::optional<std::string> ReadFileText(const std::filesystem::path& path, std::uintmax_t largest);
