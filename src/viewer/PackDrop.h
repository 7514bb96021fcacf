// Files dropped on the viewer from the shell, sorted into the packs to add
// and the paths refused: a pack file is added, a folder's packs (directly
// inside it, ordered by name ignoring case), anything else refused.
#pragma once

#include <string>
#include <vector>

#include "win/Win32.h"

#include <shellapi.h>

namespace viewer {

struct DroppedFiles {
    std::vector<std::string> packs;
    std::vector<std::string> refused;
};

// Reads and releases `drop`.
DroppedFiles SortDroppedFiles(HDROP drop);

// "Only pack files (*.vpk) and folders can be dropped here, not:" and the
// refused paths, one a line.
std::string RefusedDropText(const std::vector<std::string>& refused);

}  // namespace viewer
