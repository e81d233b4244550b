#include "platform/FileHead.h"

#include "platform/Prefault.h"

#include <algorithm>
#include <fstream>

namespace platform {

namespace {

// Room for `size` bytes, made ready for writing at once: the text is read into it directly.
void GrowTo(std::string& text, std::size_t size) {
    text.reserve(size);
    PrefaultForWrite(text.data() + text.size(), size - text.size());
    text.resize(size);
}

} // namespace

std::optional<FileHead> ReadFileHead(const std::filesystem::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    constexpr std::size_t kStep = 65536;
    // Room for the file as it is now, and a byte more, so that the first read meets its end; a
    // file that grows, or whose size is not known (a pipe, a file under /proc), gets more room
    // as it goes.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::size_t room =
        static_cast<std::size_t>(std::min<std::uintmax_t>(error ? kStep : size + 1, limit));
    FileHead head;
    std::size_t length = 0;
    while (true) {
        if (length == room) {
            if (room == limit)
                break;
            room = std::min(limit, std::max(room * 2, length + kStep));
        }
        if (head.text.size() < room)
            GrowTo(head.text, room);
        in.read(head.text.data() + length, static_cast<std::streamsize>(room - length));
        length += static_cast<std::size_t>(in.gcount());
        if (!in)
            break;
    }
    head.text.resize(length);
    if (head.text.capacity() > length + kStep) // room made before the size was known
        head.text.shrink_to_fit();
    if (in.bad())
        return std::nullopt;
    // A file that grows while it is read is cut where the limit stood.
    head.cut = length == limit && in.peek() != std::ifstream::traits_type::eof();
    return head;
}

} // namespace platform
