#include "app/UserFolder.h"

#include "platform/CText.h"
#include "platform/qt/Cp1252.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Shown(const fs::path& path) {
    return platform::ToCp1252(QString::fromStdString(path.string()));
}

std::string Reason(const std::error_code& error) {
    return platform::ToCp1252(QString::fromLocal8Bit(error.message().c_str()));
}

} // namespace

fs::path UserFolderPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fs::path(data.toStdString()) / "Korvessa" / "Ventora";
}

std::vector<fs::path> BundledStationLists() {
    std::vector<fs::path> lists;
    const fs::path programs = QCoreApplication::applicationDirPath().toStdString();
    lists.push_back(programs / VENTORA_DATA_FROM_BINDIR / "stations.txt");
    lists.push_back(fs::path(VENTORA_INSTALLED_DATADIR) / "stations.txt");
    lists.push_back(fs::path(VENTORA_SOURCE_DATADIR) / "stations.txt"); // a program in build/
    return lists;
}

UserFolderResult EnterUserFolder(const fs::path& folder, const std::vector<fs::path>& bundled) {
    UserFolderResult result;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        result.message = platform::Format(
            "The working folder %s could not be created: %s.", Shown(folder).c_str(),
            Reason(error ? error : std::make_error_code(std::errc::not_a_directory)).c_str());
        return result;
    }
    fs::current_path(folder, error);
    if (error) {
        result.message = platform::Format("The working folder %s could not be entered: %s.",
                                          Shown(folder).c_str(), Reason(error).c_str());
        return result;
    }
    result.entered = true;

    const fs::path list = folder / "stations.txt";
    if (fs::exists(list, error))
        return result;
    const fs::path* source = nullptr;
    for (const fs::path& candidate : bundled)
        if (fs::is_regular_file(candidate, error)) {
            source = &candidate;
            break;
        }
    if (!source) {
        result.message = platform::Format("No bundled station list was found to put into the "
                                          "working folder %s; the catalogue stays empty until a "
                                          "station list \"stations.txt\" is put there.",
                                          Shown(folder).c_str());
        return result;
    }
    const fs::path part = folder / "stations.txt.part";
    fs::copy_file(*source, part, fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::rename(part, list, error);
    if (error) {
        std::error_code ignored;
        fs::remove(part, ignored);
        result.message = platform::Format("The bundled station list could not be copied into the "
                                          "working folder %s: %s.",
                                          Shown(folder).c_str(), Reason(error).c_str());
        return result;
    }
    result.seeded = true;
    return result;
}
