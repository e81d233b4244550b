#pragma once

#include <string>
#include <vector>

// The per-user profile: QSettings under organisation "Korvessa" and application "Ventora"
// (the registry on Windows, an INI file elsewhere). An absent value gives the caller's default.
namespace platform {

class Profile {
public:
    static int GetInt(const std::string& section, const std::string& entry, int fallback);
    static std::string GetString(const std::string& section, const std::string& entry,
                                 const std::string& fallback);
    static void WriteInt(const std::string& section, const std::string& entry, int value);
    static void WriteString(const std::string& section, const std::string& entry,
                            const std::string& value);
    static bool Has(const std::string& section, const std::string& entry);
};

// The most-recently-used list: an added entry moves to the top, the oldest falls off the end.
// Kept in the profile's section "Recent File List" as "File1", "File2", ...
class RecentFileList {
public:
    explicit RecentFileList(int size = 40) : m_size(size) {}

    void Load();
    void Save() const;
    void Add(const std::string& entry);
    const std::vector<std::string>& Entries() const { return m_entries; }
    int Size() const { return m_size; }

private:
    int m_size;
    std::vector<std::string> m_entries;
};

} // namespace platform
