// Handing a target to the shell (ShellExecuteA), behind a seam that tests
// replace.
#pragma once

#include "win/Win32.h"

#include <shellapi.h>

// <shellapi.h> maps ShellExecute to ShellExecuteA; the name belongs to the
// seam below (the system call stays ::ShellExecuteA).
#ifdef ShellExecute
#undef ShellExecute
#endif

namespace win {

// One shell request as it is about to be made. Any pointer may be null, as
// ShellExecuteA allows; they are valid only during the call.
struct ShellCall {
    HWND owner;
    const char* verb;
    const char* file;
    const char* parameters;
    const char* directory;
    int show;
};

// Whatever carries shell requests out. Tests install a recorder.
class ShellSeam {
public:
    virtual ~ShellSeam() = default;
    // As ShellExecuteA: a value above 32 means success.
    virtual INT_PTR Execute(const ShellCall& call) = 0;
};

// Routes ShellExecute to `seam` (null: the real shell) and returns the seam
// that was in place before.
ShellSeam* SetShellSeam(ShellSeam* seam);

// ShellExecuteA through the seam; returns its result (> 32 on success).
INT_PTR ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                     const char* directory, int show);

}  // namespace win
