// The layers run one way: a folder includes its own headers and those of folders below it,
// never those of a folder above or beside it; the core is free of the window toolkit.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Layer {
    const char* folder;
    int rank;
    bool core; // no Qt at all
};

// Lower ranks lie below; folders of one rank do not include each other.
const Layer kLayers[] = {
    {"platform/qt", 1, false}, {"platform", 0, true},     {"resources", 0, false},
    {"observations", 1, true}, {"catalogue", 2, true},    {"store", 2, true},
    {"graph", 3, true},        {"dialogs", 4, false},     {"views", 4, false},
    {"mapview", 5, false},     {"stationlist", 5, false}, {"app", 6, false},
    {"reportd", 6, true},
};

// The layer of a path below the source root ("platform/qt/X.h" is platform/qt's).
const Layer* LayerOf(const std::string& path) {
    const Layer* best = nullptr;
    for (const Layer& l : kLayers) {
        const std::string prefix = std::string(l.folder) + "/";
        if (path.rfind(prefix, 0) == 0 && (!best || prefix.size() > std::strlen(best->folder) + 1))
            best = &l;
    }
    return best;
}

// What is wrong with the includes of a file at `path` holding `text`.
std::vector<std::string> Violations(const std::string& path, const std::string& text) {
    std::vector<std::string> found;
    const Layer* own = LayerOf(path);
    if (!own)
        return found;
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch m;
        if (!std::regex_search(line, m, include))
            continue;
        const std::string header = m[2];
        const std::string where = path + ":" + std::to_string(number) + " includes " + header;
        if (m[1] == "<") {
            if (own->core && (header.rfind("Q", 0) == 0 || header.rfind("qt", 0) == 0))
                found.push_back(where + " (the core is free of Qt)");
            continue;
        }
        const Layer* other = LayerOf(header);
        if (!other || other == own)
            continue;
        if (other->rank > own->rank)
            found.push_back(where + " (upward)");
        else if (other->rank == own->rank)
            found.push_back(where + " (beside it)");
    }
    return found;
}

} // namespace

TEST(Layering, TheCheckSeesAnIncludeThatRunsUpwardOrBeside) {
    EXPECT_EQ(
        Violations("catalogue/X.cpp", "#include \"catalogue/Y.h\"\n#include \"platform/Z.h\"\n")
            .size(),
        0u);
    EXPECT_EQ(Violations("graph/X.cpp", "#include \"app/MainFrame.h\"\n").size(), 1u);
    EXPECT_EQ(Violations("mapview/X.cpp", "  #  include \"stationlist/Y.h\"\n").size(), 1u);
    EXPECT_EQ(Violations("platform/X.cpp", "#include \"platform/qt/Cp1252.h\"\n").size(), 1u);
    EXPECT_EQ(Violations("platform/qt/X.cpp", "#include \"platform/CText.h\"\n").size(), 0u);
    EXPECT_EQ(Violations("observations/X.cpp", "#include <QString>\n").size(), 1u);
    EXPECT_EQ(Violations("mapview/X.cpp", "#include <QWidget>\n").size(), 0u);
}

TEST(Layering, NoIncludeOfTheProgramRunsUpward) {
    const std::filesystem::path root = VENTORA_SOURCE_DIR;
    std::vector<std::string> violations;
    int files = 0;
    for (const Layer& layer : kLayers) {
        for (const auto& entry : std::filesystem::directory_iterator(root / layer.folder)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() ||
                (entry.path().extension() != ".h" && entry.path().extension() != ".cpp"))
                continue;
            std::ifstream in(entry.path());
            std::ostringstream text;
            text << in.rdbuf();
            const auto found = Violations(std::string(layer.folder) + "/" + name, text.str());
            violations.insert(violations.end(), found.begin(), found.end());
            ++files;
        }
    }
    EXPECT_GT(files, 100);
    for (const std::string& v : violations)
        ADD_FAILURE() << v;
}
