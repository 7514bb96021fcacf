// The temporary folder of this run of the program, where entries dragged,
// copied or opened out of a pack are written before the shell takes them:
// %TEMP%\Tessaro\<process id>-<process start time>\. It is removed when the
// program ends; folders of runs that no longer exist are removed at start.
// A file still open in another program stays where it is, silently; so do
// files the clipboard still offers to paste.
//
//     RunFolders folders(TemporaryRoot());
//     folders.RemoveLeftovers();             // at start
//     std::string where = folders.NewGestureFolder();   // "...\\<run>\\3\\"
//     folders.RemoveOwn();                   // at the end
#pragma once

#include <string>

#include "win/Win32.h"

namespace viewer {

// "%TEMP%\Tessaro\", where every run keeps its folder.
std::string TemporaryRoot();
// "<process id>-<its start time, hex>": the name a process's run folder takes.
std::string RunFolderName(DWORD processId);

class RunFolders {
public:
    // `root` ends in a separator; nothing is made until a folder is asked for.
    explicit RunFolders(std::string root);

    // This run's folder, made (with the root) the first time; ends in "\".
    std::string Own();
    // A folder of its own below Own() for one gesture (a drag, a copy, an
    // open), so what one offers never mixes with another's; empty when it
    // can't be made.
    std::string NewGestureFolder();
    // Removes the folders below the root whose process has ended (or was
    // followed by another of the same id), and nothing else.
    void RemoveLeftovers();
    // Removes this run's folder, leaving what is still in use.
    void RemoveOwn();

private:
    const std::string root;
    unsigned gestures = 0;
};

// The program's own, below TemporaryRoot().
RunFolders& ProgramRunFolders();

// Removes `folder` (no trailing separator) and everything below it; a link
// found in it is removed, never followed. What can't be removed stays.
void RemoveFolderTree(const std::string& folder);

}  // namespace viewer
