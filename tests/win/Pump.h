// Message pumping and pixel reading for GUI tests.
#pragma once

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

}  // namespace wintest
