// Finding the packs of a folder, and where a folder is.
#pragma once

#include <string>
#include <vector>

// The file names (not paths) of the "*.vpk" files in folder, sorted byte-wise;
// the extension is matched without regard to case, as Windows does. Folders
// are skipped. False when the folder can't be read.
bool FindPackFiles(const std::string& folder, std::vector<std::string>& names);

// The absolute form of an existing folder's path, links resolved where the
// platform does that. False when the folder can't be found.
bool GetFullPath(const std::string& folder, std::string& full);

// True when path is folder itself or lies below it; both are full paths, and
// on Windows compared without regard to case.
bool IsSameOrBelow(const std::string& path, const std::string& folder);
