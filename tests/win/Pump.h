// Message pumping and pixel reading for GUI tests.
#pragma once

#include <functional>
#include <string>

#include "win/Geometry.h"
#include "win/Win32.h"
#include "win/Window.h"

namespace wintest {

// Dispatches this thread's messages until `done()` or `timeoutMs` passes.
// Returns done().
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 2000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (done()) return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

// The lParam of a mouse message at the client point (x, y), negative
// coordinates kept.
inline LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// A left-button drag on `window`: press at (x, y), move by (dx, dy) unless
// both are 0, release there.
inline void Drag(HWND window, int dx, int dy, int x = 2, int y = 2) {
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    if (dx != 0 || dy != 0) ::SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(x + dx, y + dy));
    ::SendMessageA(window, WM_LBUTTONUP, 0, At(x + dx, y + dy));
}

// Dispatches what is queued now (posted messages, paints).
inline void Pump() {
    PumpUntil([] { return true; }, 0);
}

// The pixel on screen at a client point of `hwnd`; paint it first (UpdateWindow)
// and keep the window fully on screen.
inline COLORREF PixelAt(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return color;
}

// Clearly the dialogs' red text (255, 20, 20), anti-aliased edges aside.
inline bool IsRed(COLORREF c) {
    return GetRValue(c) >= 200 && GetGValue(c) <= 60 && GetBValue(c) <= 60;
}

// Paints `hwnd` and its children now and counts the red pixels of its client area.
inline int RedPixels(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    win::Rect r = win::ClientRect(hwnd);
    HDC dc = ::GetDC(hwnd);
    int red = 0;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) red += IsRed(::GetPixel(dc, x, y)) ? 1 : 0;
    ::ReleaseDC(hwnd, dc);
    return red;
}

namespace detail {
struct DialogSearch {
    const std::string& caption;
    HWND found = nullptr;
};
inline bool IsDialog(HWND hwnd) {
    char className[16] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    return std::string(className) == "#32770";
}
inline BOOL CALLBACK NoteDialog(HWND hwnd, LPARAM lp) {
    auto& search = *reinterpret_cast<DialogSearch*>(lp);
    if (!IsDialog(hwnd) || !::IsWindowVisible(hwnd) || win::WindowText(hwnd) != search.caption) return TRUE;
    search.found = hwnd;
    return FALSE;
}
inline BOOL CALLBACK EndIfDialog(HWND hwnd, LPARAM) {
    if (IsDialog(hwnd)) ::EndDialog(hwnd, IDCANCEL);
    return TRUE;
}
}  // namespace detail

// This thread's visible dialog (#32770) captioned `caption`, or null.
inline HWND FindThreadDialog(const std::string& caption) {
    detail::DialogSearch search{caption};
    ::EnumThreadWindows(::GetCurrentThreadId(), &detail::NoteDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Ends every dialog (#32770) of this thread, so that whatever modal loop the
// thread is in returns: what a test does before it gives up on a box.
inline void EndThreadDialogs() { ::EnumThreadWindows(::GetCurrentThreadId(), &detail::EndIfDialog, 0); }

namespace detail {
inline std::function<void()>& TimerStep() {
    static std::function<void()> step;
    return step;
}
inline void CALLBACK RunTimerStep(HWND, UINT, UINT_PTR, DWORD) {
    if (TimerStep()) TimerStep()();
}
}  // namespace detail

// Calls `modal`, which runs a modal loop (a message box, a dialog), and from a
// thread timer inside that loop calls `look` with the box captioned `caption`
// each tick until it returns true; then closes the box with IDOK. Returns
// whether `look` was satisfied. When that hasn't happened after `maxTicks`
// ticks (the box never came, or never looked as expected), every dialog of
// the thread is ended so the modal call returns: the test fails, never hangs.
template <class Modal, class Look>
bool WithModalBox(const std::string& caption, Modal modal, Look look, int maxTicks = 100) {
    bool looked = false;
    int ticks = 0;
    detail::TimerStep() = [&] {
        if (++ticks >= maxTicks) {
            EndThreadDialogs();
            return;
        }
        if (looked) return;
        HWND box = FindThreadDialog(caption);
        if (box == nullptr || !look(box)) return;
        looked = true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &detail::RunTimerStep);
    modal();
    ::KillTimer(nullptr, timer);
    detail::TimerStep() = nullptr;
    return looked;
}

}  // namespace wintest
