#include "platform/FileHead.h"

#include <algorithm>
#include <fstream>

namespace platform {

std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    FileHead head;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error)
        head.text.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, limit)));
    char buffer[65536];
    while (head.text.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - head.text.size());
        in.read(buffer, static_cast<std::streamsize>(want));
        head.text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (!in)
            break;
    }
    if (in.bad())
        return std::nullopt;
    // A file that grows while it is read is cut where the limit stood.
    head.cut = head.text.size() == limit && in.peek() != std::ifstream::traits_type::eof();
    return head;
}

} // namespace platform
