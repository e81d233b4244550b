#include "platform/qt/Profile.h"

#include "platform/qt/Cp1252.h"

#include <QSettings>

#include <algorithm>

namespace platform {

namespace {

QString Key(const std::string& section, const std::string& entry) {
    return FromCp1252(section) + QLatin1Char('/') + FromCp1252(entry);
}

QSettings Settings() {
    return QSettings(QStringLiteral("Korvessa"), QStringLiteral("Ventora"));
}

const char* kRecentSection = "Recent File List";

// Writes a value unless the profile holds it already: the file is written again only for a
// change, so that a run that changed nothing leaves it as it was.
void Store(const QString& key, const QVariant& value) {
    QSettings settings = Settings();
    settings.setFallbacksEnabled(false); // the user's own file, not the system-wide defaults
    const QVariant stored = settings.value(key);
    if (stored.isValid() && stored.userType() != QMetaType::QStringList &&
        stored.toString() == value.toString())
        return;
    settings.setValue(key, value);
}

} // namespace

int Profile::GetInt(const std::string& section, const std::string& entry, int fallback) {
    const QVariant value = Settings().value(Key(section, entry));
    bool ok = false;
    const int number = value.toInt(&ok);
    return value.isValid() && ok ? number : fallback;
}

std::string Profile::GetString(const std::string& section, const std::string& entry,
                               const std::string& fallback) {
    const QVariant value = Settings().value(Key(section, entry));
    return value.isValid() ? ToCp1252(value.toString()) : fallback;
}

void Profile::WriteInt(const std::string& section, const std::string& entry, int value) {
    Store(Key(section, entry), value);
}

void Profile::WriteString(const std::string& section, const std::string& entry,
                          const std::string& value) {
    Store(Key(section, entry), FromCp1252(value));
}

bool Profile::Has(const std::string& section, const std::string& entry) {
    return Settings().contains(Key(section, entry));
}

void RecentFileList::Load() {
    m_entries.clear();
    for (int i = 1; i <= m_size; ++i) {
        const std::string entry =
            Profile::GetString(kRecentSection, "File" + std::to_string(i), std::string());
        if (!entry.empty())
            m_entries.push_back(entry);
    }
}

void RecentFileList::Save() const {
    RecentFileList stored(m_size);
    stored.Load();
    if (stored.m_entries == m_entries)
        return;
    QSettings settings = Settings();
    settings.remove(QString::fromLatin1(kRecentSection));
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        settings.setValue(QString::fromLatin1(kRecentSection) + QStringLiteral("/File") +
                              QString::number(i + 1),
                          FromCp1252(m_entries[i]));
}

void RecentFileList::Add(const std::string& entry) {
    if (entry.empty())
        return;
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), entry), m_entries.end());
    m_entries.insert(m_entries.begin(), entry);
    if (static_cast<int>(m_entries.size()) > m_size)
        m_entries.resize(static_cast<std::size_t>(m_size));
}

} // namespace platform
