#include "reportd/FileText.h"

#include "platform/FileHead.h"

std::optional<std::string> ReadFileText(const std::filesystem::path& path, std::uintmax_t largest) {
    auto head = platform::ReadFileHead(path, static_cast<std::size_t>(largest));
    if (!head || head->cut)
        return std::nullopt;
    return std::move(head->text);
}
