#include "viewer/preview/ScrollingView.h"

#include "viewer/preview/ViewSupport.h"

namespace viewer::preview {

bool ScrollingView::CreateView(const char* className, LPCSTR cursor, HWND parent, int id, const RECT& rect) {
    if (!RegisterViewClass(className, cursor)) return false;
    if (!Window::Create(className, "", WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN, 0, rect, parent, id)) return false;
    return CreateBar(bar, Handle(), this);
}

LRESULT ScrollingView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEWHEEL: ScrollRows(WheelRows(wp)); return 0;
    case WM_VSCROLL: return OnVScroll(wp);
    case WM_CHAR: return OnChar(wp, lp);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(lp);
    case WM_MOUSEMOVE: return OnMouseMove(wp, lp);
    case WM_LBUTTONUP: return OnLButtonUp();
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

LRESULT ScrollingView::OnVScroll(WPARAM wp) {
    switch (LOWORD(wp)) {
    case SB_LINEUP: ScrollRows(-1); break;
    case SB_LINEDOWN: ScrollRows(1); break;
    case SB_PAGEUP: ScrollRows(-PageRows()); break;
    case SB_PAGEDOWN: ScrollRows(PageRows()); break;
    case SB_TOP: ScrollToStart(); break;
    case SB_BOTTOM: ScrollToEnd(); break;
    default: break;
    }
    return 0;
}

LRESULT ScrollingView::OnChar(WPARAM wp, LPARAM lp) {
    if (wp == 1) {  // Ctrl+A
        SelectAll();
        Invalidate(false);
        return 0;
    }
    if (wp == 3) {  // Ctrl+C
        CopySelection();
        return 0;
    }
    return Window::HandleMessage(WM_CHAR, wp, lp);
}

LRESULT ScrollingView::OnLButtonDown(LPARAM lp) {
    ::SetFocus(Handle());
    SetCapture();
    selecting = true;
    PointTo(PointFrom(lp), ShiftHeld());
    return 0;
}

LRESULT ScrollingView::OnMouseMove(WPARAM, LPARAM lp) {
    if (selecting && HasCapture()) PointTo(PointFrom(lp), true);
    return 0;
}

LRESULT ScrollingView::OnLButtonUp() {
    selecting = false;
    if (HasCapture()) ReleaseCapture();
    return 0;
}

}  // namespace viewer::preview
