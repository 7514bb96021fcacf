// Shared between the window layer's own sources; not for its users.
#pragma once

#include "win/Win32.h"

namespace win::detail {

// Installs this thread's window-creation hook (once per thread). It takes
// each new dialog over for its Dialog object and gives every dialog window
// the application-wide colours.
void EnsureCreationHook();

// Called by the creation hook for every new "#32770" window, before the
// window gets its first message.
void ApplyDialogColors(HWND dialog);

}  // namespace win::detail
