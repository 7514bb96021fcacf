// The open-file dialog, behind a seam that tests replace.
#pragma once

#include "win/Win32.h"

#include <commdlg.h>

namespace win {

// Whatever runs the open-file dialog. Tests install a recorder that reads
// the request (filter, initial file, flags, default extension, owner) and
// writes a scripted path into lpstrFile, or cancels.
class OpenFileDialogSeam {
public:
    virtual ~OpenFileDialogSeam() = default;
    // As GetOpenFileNameA: true with the chosen path in request.lpstrFile,
    // false when cancelled.
    virtual bool Show(OPENFILENAMEA& request) = 0;
};

// Routes ShowOpenFileDialog to `seam` (null: the real dialog) and returns the
// seam that was in place before.
OpenFileDialogSeam* SetOpenFileDialogSeam(OpenFileDialogSeam* seam);

// Runs the open-file dialog (GetOpenFileNameA) for `request`.
bool ShowOpenFileDialog(OPENFILENAMEA& request);

}  // namespace win
