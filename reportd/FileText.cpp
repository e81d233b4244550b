#include "reportd/FileText.h"

#include <fstream>

std::optional<std::string> ReadFileText(const std::filesystem::path& path, std::uintmax_t largest) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char buffer[65536];
    // Read up to the cap and one byte more: a file that grows meanwhile is refused too.
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > largest)
            return std::nullopt;
    }
    if (in.bad())
        return std::nullopt;
    return text;
}
