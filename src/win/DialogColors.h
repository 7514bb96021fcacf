// The colours every dialog and message box of the program shares.
#pragma once

#include "win/Win32.h"

namespace win {

// From now on every dialog window ("#32770": our dialogs, message boxes, the
// open-file dialog) created on this thread paints its background in
// `background` and its static texts, buttons and edit fields in `text` on
// `background`. Call once at start-up, on the user-interface thread, before
// the first dialog. Calling again changes the colours of dialogs created
// afterwards, and of those already open from their next paint.
void SetDialogColors(COLORREF background, COLORREF text);

// Back to the system's colours (for tests).
void ClearDialogColors();

}  // namespace win
