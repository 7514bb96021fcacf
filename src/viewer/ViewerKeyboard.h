// The dialog manager's keyboard handling for the viewers and their progress
// windows. A viewer is modeless inside someone else's message loop (the main
// window's modal one), which knows nothing of it: a message hook gives each
// registered window Tab between its controls, Enter as IDOK, Escape in a
// progress window, and Shift+F10 as the focused control's menu all the same.
// The hook is put in place with the first window and taken away with the last.
#pragma once

#include "win/Win32.h"

namespace viewer {

void AddKeyboardWindow(HWND window);
void RemoveKeyboardWindow(HWND window);

}  // namespace viewer
