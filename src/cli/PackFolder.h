// Finding the packs of a folder.
#pragma once

#include <string>
#include <vector>

// The file names (not paths) of the "*.vpk" files in folder, sorted byte-wise;
// the extension is matched without regard to case, as Windows does. Folders
// are skipped. False when the folder can't be read.
bool FindPackFiles(const std::string& folder, std::vector<std::string>& names);
