// The open-file and save-file dialogs and the folder chooser, each behind a
// seam that tests replace.
#pragma once

#include "win/Win32.h"

#include <commdlg.h>

#include <string>

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

// Whatever runs the save-file dialog; tests install a recorder as for the
// open-file dialog.
class SaveFileDialogSeam {
public:
    virtual ~SaveFileDialogSeam() = default;
    // As GetSaveFileNameA: true with the chosen path in request.lpstrFile,
    // false when cancelled.
    virtual bool Show(OPENFILENAMEA& request) = 0;
};

// Routes ShowSaveFileDialog to `seam` (null: the real dialog) and returns the
// seam that was in place before.
SaveFileDialogSeam* SetSaveFileDialogSeam(SaveFileDialogSeam* seam);

// Runs the save-file dialog (GetSaveFileNameA) for `request`.
bool ShowSaveFileDialog(OPENFILENAMEA& request);

// Whatever runs the folder chooser. Tests install a recorder.
class FolderDialogSeam {
public:
    virtual ~FolderDialogSeam() = default;
    // `folder` comes in as the folder to start in (may be empty) and goes out
    // as the chosen one; false when cancelled.
    virtual bool Show(HWND owner, const char* title, std::string& folder) = 0;
};

// Routes ShowFolderDialog to `seam` (null: the system's chooser) and returns
// the seam that was in place before.
FolderDialogSeam* SetFolderDialogSeam(FolderDialogSeam* seam);

// Lets the user pick a folder of the file system (SHBrowseForFolderA).
bool ShowFolderDialog(HWND owner, const char* title, std::string& folder);

}  // namespace win
