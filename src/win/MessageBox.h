// The application's message box, behind a seam that tests replace.
#pragma once

#include <string>

#include "win/Win32.h"

// <windows.h> maps MessageBox to MessageBoxA; the name belongs to the
// program's own message box below (the system one stays ::MessageBoxA).
#ifdef MessageBox
#undef MessageBox
#endif

namespace win {

// One message box as it is about to be shown. The pointers are valid only
// during the call.
struct MessageBoxCall {
    HWND owner;           // as given by the caller; may be null
    const char* text;
    const char* caption;  // never null: the application title when none was given
    UINT type;            // MB_OK, MB_YESNO | MB_ICONSTOP, ...
};

// Whatever shows message boxes. Tests install a recorder that notes each
// call and returns scripted answers, so no test blocks on a modal box.
class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    // Returns the button pressed: IDOK, IDYES, IDNO, ...
    virtual int Show(const MessageBoxCall& call) = 0;
};

// Routes every win::MessageBox to `seam` (null: the real message box) and
// returns the seam that was in place before.
MessageBoxSeam* SetMessageBoxSeam(MessageBoxSeam* seam);

// Shows a message box and returns the button pressed. Without a caption it
// carries the application title (AppTitle). Without an owner the real box is
// owned by the thread's active window, so it is modal to the window the user
// is working in.
int MessageBox(const std::string& text, UINT type = MB_OK, const char* caption = nullptr,
               HWND owner = nullptr);

}  // namespace win
