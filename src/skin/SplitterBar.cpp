#include "skin/SplitterBar.h"

#include <initializer_list>

#include "win/Gdi.h"

HCURSOR SplitterBar::sizeWE = nullptr;
HCURSOR SplitterBar::sizeNS = nullptr;

namespace {

constexpr COLORREF kDragLineColor = RGB(200, 200, 200);
constexpr COLORREF kFrameLight = RGB(80, 30, 30);
constexpr COLORREF kFrameDark = RGB(50, 10, 10);
constexpr COLORREF kBarFace = RGB(120, 50, 50);

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool HasParentWindow(HWND window) {
    HWND parent = ::GetParent(window);
    return parent != nullptr && ::IsWindow(parent);
}

}  // namespace

bool SplitterBar::Create(DWORD style, const win::Rect& rect, HWND parent, int id) {
    win::Rect bar = rect;
    if (rect.Width() >= rect.Height()) {
        orientation = SPLITTER_HORIZONTAL;
        bar.bottom = bar.top + kThickness;
    } else {
        orientation = SPLITTER_VERTICAL;
        bar.right = bar.left + kThickness;
    }
    if (!CreateAndSubclass("STATIC", "", style | SS_NOTIFY, 0, bar, parent, id)) return false;
    if (sizeWE == nullptr) sizeWE = ::LoadCursorA(nullptr, IDC_SIZEWE);
    if (sizeNS == nullptr) sizeNS = ::LoadCursorA(nullptr, IDC_SIZENS);
    SetDragLimits(0, 0, -1);
    return true;
}

int SplitterBar::CentreLine(const win::Rect& rect) const {
    return orientation == SPLITTER_VERTICAL ? rect.left + rect.Width() / 2 : rect.top + rect.Height() / 2;
}

void SplitterBar::SetDragLimits(int before, int after, int root) {
    if (root < 0) root = CentreLine(RectInParent());
    minPos = root - before;
    maxPos = root + after;
}

void SplitterBar::MoveCentreTo(int x, int y) {
    if (!HasParentWindow(Handle())) return;
    const win::Rect rect = RectInParent();
    const win::Point centre = rect.Center();
    const win::Rect moved = orientation == SPLITTER_VERTICAL ? rect.Offset(x - centre.x, 0)
                                                             : rect.Offset(0, y - centre.y);
    Move(moved, true);
}

void SplitterBar::AdjustWidth(HWND window, int delta, int edge) {
    if (!HasParentWindow(window)) return;
    win::Rect rect = win::RectInParent(window);
    if (edge == EDGE_RIGHT) rect.right += delta;
    if (edge == EDGE_LEFT) rect.left -= delta;
    ::MoveWindow(window, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void SplitterBar::AdjustHeight(HWND window, int delta, int edge) {
    if (!HasParentWindow(window)) return;
    win::Rect rect = win::RectInParent(window);
    if (edge == EDGE_BOTTOM) rect.bottom += delta;
    if (edge == EDGE_TOP) rect.top -= delta;
    ::MoveWindow(window, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

LRESULT SplitterBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_MOUSEMOVE: return OnMouseMove(wp, lp);
    case WM_SETCURSOR: return OnSetCursor(wp, lp);
    // STATIC has CS_DBLCLKS: a second quick press comes as WM_LBUTTONDBLCLK.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(wp, lp);
    case WM_LBUTTONUP: return OnLButtonUp(wp, lp);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

// A dark frame around three pixels of the bar's face colour.
LRESULT SplitterBar::OnPaint() {
    win::PaintDC paint(Handle());
    const win::Rect client = ClientRect();
    win::Draw3dRect(paint.Get(), client, kFrameLight, kFrameDark);
    const win::Rect face = client.Deflate(1);
    win::Pen pen = win::Pen::Solid(1, kBarFace);
    win::Brush brush = win::Brush::Solid(kBarFace);
    win::SelectGuard penSelection(paint.Get(), pen);
    win::SelectGuard brushSelection(paint.Get(), brush);
    ::Rectangle(paint.Get(), face.left, face.top, face.right, face.bottom);
    return 0;
}

// The sizing cursor of the bar's axis, over the bar only.
LRESULT SplitterBar::OnSetCursor(WPARAM wp, LPARAM lp) {
    if (LOWORD(lp) == HTCLIENT) {
        ::SetCursor(orientation == SPLITTER_VERTICAL ? sizeWE : sizeNS);
        return 0;
    }
    return DefaultProc(WM_SETCURSOR, wp, lp);
}

void SplitterBar::DrawDragLineOnScreen() {
    win::ScreenDC screen;
    DrawDragLine(screen.Get(), dragX, dragY);
}

// Starts a drag: the lines appear on the bar's centre line.
LRESULT SplitterBar::OnLButtonDown(WPARAM wp, LPARAM lp) {
    DefaultProc(WM_LBUTTONDOWN, wp, lp);
    dragging = true;
    SetCapture();
    const win::Rect rect = WindowRect();
    if (orientation == SPLITTER_VERTICAL) {
        dragX = CentreLine(rect);
        startPos = dragX;
    } else {
        dragY = CentreLine(rect);
        startPos = dragY;
    }
    DrawDragLineOnScreen();
    return 0;
}

// The lines follow the pointer within the drag limits.
LRESULT SplitterBar::OnMouseMove(WPARAM wp, LPARAM lp) {
    if (dragging) {
        DrawDragLineOnScreen();
        POINT point = PointFrom(lp).ToPOINT();
        ::ClientToScreen(Handle(), &point);
        HWND parent = Parent();
        ::ScreenToClient(parent, &point);
        auto clampToLimits = [this](LONG& value) {
            if (value < minPos) value = minPos;
            if (value > maxPos) value = maxPos;
        };
        clampToLimits(point.x);
        clampToLimits(point.y);
        ::ClientToScreen(parent, &point);
        dragX = point.x;
        dragY = point.y;
        DrawDragLineOnScreen();
    }
    return DefaultProc(WM_MOUSEMOVE, wp, lp);
}

// Ends a drag: the bar moves to the lines and tells its parent how far.
LRESULT SplitterBar::OnLButtonUp(WPARAM wp, LPARAM lp) {
    if (dragging) {
        DrawDragLineOnScreen();
        dragging = false;
        HWND target = ::GetWindow(Handle(), GW_OWNER);
        if (target == nullptr) target = Parent();
        if (target != nullptr && ::IsWindow(target)) {
            POINT drop{dragX, dragY};
            ::ScreenToClient(target, &drop);
            MoveCentreTo(drop.x, drop.y);
            SplitterNotify notify{};
            notify.hdr.hwndFrom = Handle();
            notify.hdr.idFrom = static_cast<UINT_PTR>(Id());
            notify.hdr.code = SPLITTER_MOVED;
            notify.delta = (orientation == SPLITTER_VERTICAL ? dragX : dragY) - startPos;
            ::SendMessageA(target, WM_NOTIFY, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&notify));
        }
    }
    const LRESULT result = DefaultProc(WM_LBUTTONUP, wp, lp);
    ReleaseCapture();
    return result;
}

// The capture went elsewhere in the middle of a drag: the button-up will not
// come, so the drag is cancelled here: the lines go, the bar stays, nobody is
// notified. Our own release in OnLButtonUp comes after the drag has ended.
LRESULT SplitterBar::OnCaptureChanged(WPARAM wp, LPARAM lp) {
    if (dragging && reinterpret_cast<HWND>(lp) != Handle()) {
        DrawDragLineOnScreen();
        dragging = false;
    }
    return DefaultProc(WM_CAPTURECHANGED, wp, lp);
}

void SplitterBar::DrawDragLine(HDC dc, int x, int y) {
    const int oldMode = ::SetROP2(dc, R2_NOTXORPEN);
    const win::Rect rect = WindowRect();
    win::Pen pen = win::Pen::Solid(1, kDragLineColor);
    {
        win::SelectGuard selection(dc, pen);
        if (orientation == SPLITTER_VERTICAL) {
            for (int lineX : {x - 1, x + 1}) {
                ::MoveToEx(dc, lineX, rect.top, nullptr);
                ::LineTo(dc, lineX, rect.bottom);
            }
        } else {
            for (int lineY : {y - 1, y + 1}) {
                ::MoveToEx(dc, rect.left, lineY, nullptr);
                ::LineTo(dc, rect.right, lineY);
            }
        }
    }
    ::SetROP2(dc, oldMode);
}
