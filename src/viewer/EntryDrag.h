// Offering entries to the shell as files: an OLE drag out of the viewer and
// the clipboard's copy. Both hand over CF_HDROP (the paths of files already
// on disk) and "Preferred DropEffect" = copy, so the target copies them.
//
// A drag's files are made when the drop target first asks for them, not
// when the drag starts: a drag given up costs nothing.
//
//     DragFilesOut(viewer, [&] { return ExtractSomewhere(); });   // paths
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win/Win32.h"

namespace viewer {

// Makes the files when called; the paths to offer (files or folders), which
// may be none.
using FileMaker = std::function<std::vector<std::string>()>;

// An ANSI DROPFILES block naming `paths`, in memory the caller owns.
HGLOBAL MakeFileDrop(const std::vector<std::string>& paths);

// Runs an OLE drag of files from `source` (the caller has OleInitialize'd)
// until the button goes up. A drop on `source`'s own window, or anything
// inside it, is given up. `make` runs at most once, when the target asks for
// the files; the result is DROPEFFECT_COPY when it dropped them.
DWORD DragFilesOut(HWND source, FileMaker make);

// Puts `paths` on the clipboard as files to copy; false when the clipboard
// can't be had.
bool PutFilesOnClipboard(HWND owner, const std::vector<std::string>& paths);

}  // namespace viewer
