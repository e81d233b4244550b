#include "platform/FileReplace.h"

#include <cstdio>

namespace platform {

ReplaceResult ReplaceFileContents(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return ReplaceResult::CannotCreate;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed)
        std::filesystem::rename(temp, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(temp, error);
        return ReplaceResult::CannotWrite;
    }
    return ReplaceResult::Written;
}

} // namespace platform
