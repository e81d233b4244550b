#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

std::filesystem::path SharedDataFile(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(VENTORA_SHARED_DATA_DIR) / name;
    if (std::filesystem::exists(path))
        return path;
    // Where the data are expected (CI sets the switch), their absence is a failure, not a skip.
    const char* required = std::getenv("VENTORA_REQUIRE_SHARED_DATA");
    if (required && std::string(required) == "1")
        ADD_FAILURE() << "the public test data " << path << " are expected but missing";
    return {};
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScopedWorkingFolder::ScopedWorkingFolder() : m_previous(std::filesystem::current_path()) {
    std::random_device random;
    for (;;) {
        m_path =
            std::filesystem::temp_directory_path() / ("ventora-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(m_path))
            break;
    }
    std::filesystem::current_path(m_path);
}

ScopedWorkingFolder::~ScopedWorkingFolder() {
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace testing_support
