#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A file of the public test data beside the repository, or empty when it is missing (a test
// then skips; with VENTORA_REQUIRE_SHARED_DATA=1 in the environment it fails as well).
std::filesystem::path SharedDataFile(const std::string& name);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh temporary folder that is the working folder while the object lives.
class ScopedWorkingFolder {
public:
    ScopedWorkingFolder();
    ~ScopedWorkingFolder();
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

} // namespace testing_support
