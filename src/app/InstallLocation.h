// Finding the game's installation: the game's registry value, or the user
// pointing at the game's executable.
#pragma once

#include <string>

#include "win/Win32.h"

namespace app {

// Where the game keeps its installation folder (HKEY_LOCAL_MACHINE).
inline constexpr const char* kGameRegistryKey = "SOFTWARE\\Activision\\Vampire - Bloodlines";
inline constexpr const char* kInstallPathValue = "InstallPath";

// The install path: the registry value exactly as stored, or the drive and
// folder of an executable the user chose, or empty when none was found. When
// the path came from the registry, the game's "Vampire" folder becomes the
// current directory (extraction writes below it). `owner` owns the file
// dialog and the message boxes.
std::string LocateInstallation(HWND owner);

// The open-file dialog for the game's executable: the full path of the
// chosen file, or empty when the user cancels.
std::string ChooseExecutable(HWND owner);

// The install path stored in the registry, or empty when the key or the
// value is missing or the value holds 260 bytes or more of text.
std::string ReadRegisteredInstallPath();

// A path split into its four parts; the folder keeps its trailing separator,
// the name excludes the extension, the extension keeps its dot.
struct PathParts {
    std::string drive;
    std::string folder;
    std::string name;
    std::string extension;
};
PathParts SplitPath(const std::string& path);

}  // namespace app
