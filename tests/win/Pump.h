// Message pumping and pixel reading for GUI tests.
#pragma once

#include "win/Win32.h"

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

}  // namespace wintest
