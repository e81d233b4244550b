#pragma once

#include <filesystem>
#include <string>

namespace platform {

enum class ReplaceResult { Written, CannotCreate, CannotWrite };

// Writes the bytes to a new file beside `path` (its name and ".tmp") and renames it over `path`,
// so that a failure half-way leaves the old file as it was (and nothing else behind).
ReplaceResult ReplaceFileContents(const std::filesystem::path& path, const std::string& bytes);

} // namespace platform
