#include "win/DialogColors.h"

#include "win/Gdi.h"
#include "win/Internal.h"

namespace win {
namespace {

// Window property holding the procedure under our colour procedure.
constexpr const char* kColorProcProp = "tessaro.win.ColorProc";

struct Colors {
    bool enabled = false;
    COLORREF background = 0;
    COLORREF text = 0;
    Brush brush;  // kept for the program's life: dialogs paint with it
};

Colors& CurrentColors() {
    static Colors colors;
    return colors;
}

// The platform never sends WM_CTLCOLORMSGBOX to a message box; like every
// dialog it asks with WM_CTLCOLORDLG for its background and with
// WM_CTLCOLORSTATIC/BTN/EDIT for its controls.
bool AnswerColor(UINT msg, WPARAM wp, LRESULT& answer) {
    const Colors& colors = CurrentColors();
    if (!colors.enabled) return false;
    switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
        auto dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, colors.text);
        ::SetBkColor(dc, colors.background);
        answer = reinterpret_cast<LRESULT>(colors.brush.Get());
        return true;
    }
    default:
        return false;
    }
}

// Two procedures: a message box is a Unicode window, and subclassing it with
// an ANSI procedure would make the system translate every message twice.
template <bool unicode>
LRESULT CALLBACK ColorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto original = reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kColorProcProp));
    LRESULT answer = 0;
    if (AnswerColor(msg, wp, answer)) return answer;
    if (msg == WM_NCDESTROY) ::RemovePropA(hwnd, kColorProcProp);
    if (original == nullptr) return unicode ? ::DefWindowProcW(hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
    return unicode ? ::CallWindowProcW(original, hwnd, msg, wp, lp) : ::CallWindowProcA(original, hwnd, msg, wp, lp);
}

}  // namespace

void detail::ApplyDialogColors(HWND dialog) {
    if (!CurrentColors().enabled || ::GetPropA(dialog, kColorProcProp) != nullptr) return;
    // The property is in place before the first message can arrive.
    const bool unicode = ::IsWindowUnicode(dialog) != FALSE;
    LONG_PTR original = unicode ? ::GetWindowLongPtrW(dialog, GWLP_WNDPROC) : ::GetWindowLongPtrA(dialog, GWLP_WNDPROC);
    ::SetPropA(dialog, kColorProcProp, reinterpret_cast<HANDLE>(original));
    if (unicode) {
        ::SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ColorProc<true>));
    } else {
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ColorProc<false>));
    }
}

void SetDialogColors(COLORREF background, COLORREF text) {
    Colors& colors = CurrentColors();
    if (!colors.brush || colors.background != background) colors.brush = Brush::Solid(background);
    colors.background = background;
    colors.text = text;
    colors.enabled = true;
    detail::EnsureCreationHook();
}

void ClearDialogColors() {
    CurrentColors().enabled = false;
}

}  // namespace win
