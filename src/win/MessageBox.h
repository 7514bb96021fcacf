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
// carries the application title (AppTitle). Without an owner it is owned by
// the window of the innermost MessageBoxOwner of the thread, if any, else
// by the thread's active window, so it is modal to the window the user is
// working in.
int MessageBox(const std::string& text, UINT type = MB_OK, const char* caption = nullptr,
               HWND owner = nullptr);

// For its lifetime, the boxes this thread shows without an owner (the pack
// archive's messages) are owned by `window`, which is disabled while one is
// up. A window acting on a pack makes one around the work, so the box of a
// drop from another program, where no window of ours is active, still
// belongs to it. Boxes shown from inside another box's message loop are
// not affected.
class MessageBoxOwner {
public:
    explicit MessageBoxOwner(HWND window);
    ~MessageBoxOwner();
    MessageBoxOwner(const MessageBoxOwner&) = delete;
    MessageBoxOwner& operator=(const MessageBoxOwner&) = delete;

private:
    HWND previous_;
};

}  // namespace win
