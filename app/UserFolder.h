#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The working folder of a start from the desktop's menu, where the station list, Meteodata/
// and LAYOUT.BIN live: <user data folder>/Korvessa/Ventora.
std::filesystem::path UserFolderPath();

// Where an installed or a freshly built program finds the bundled station list, best first.
std::vector<std::filesystem::path> BundledStationLists();

struct UserFolderResult {
    bool entered = false; // the folder exists and is the working folder
    bool seeded = false;  // the bundled station list was copied into it
    std::string message;  // what the user must be told (Windows-1252), or empty
};

// Creates the folder if needed, puts the first existing bundled list into it as "stations.txt"
// unless it holds one already (a list the user keeps or edited stays as it is), and makes it
// the working folder. The copy is written beside and renamed, so that an interrupted first
// start never leaves a cut list behind.
UserFolderResult EnterUserFolder(const std::filesystem::path& folder,
                                 const std::vector<std::filesystem::path>& bundled);
