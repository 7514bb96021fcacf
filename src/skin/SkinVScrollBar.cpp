#include "skin/SkinVScrollBar.h"

#include "resource.h"
#include "skin/ListScroll.h"
#include "skin/MemDC.h"
#include "skin/ScrollTimers.h"
#include "skin/SkinColors.h"
#include "skin/SkinListCtrl.h"

namespace skin {
namespace {

// The top cap and the bottom corner, around the arrows.
constexpr int kCapLength = 11;

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace

LRESULT SkinVScrollBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return OnEraseBkgnd(wp, lp);
    case WM_LBUTTONDOWN: return OnLButtonDown(wp, lp, PointFrom(lp));
    case WM_LBUTTONUP: return OnLButtonUp(wp, lp, PointFrom(lp));
    case WM_MOUSEMOVE: return OnMouseMove(wp, lp, PointFrom(lp));
    case WM_TIMER: return OnTimer(wp, lp);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

HWND SkinVScrollBar::ListHandle() const {
    return list != nullptr ? list->Handle() : nullptr;
}

int SkinVScrollBar::Span() const {
    return ClientRect().Height() - 98;
}

win::Rect SkinVScrollBar::UpArrowHit() const {
    return {0, kCapLength, kWidth, kCapLength + kArrowLength};
}

win::Rect SkinVScrollBar::DownArrowHit() const {
    const int height = ClientRect().Height();
    return {0, height - kArrowLength - kCapLength, kWidth, height - kCapLength};
}

win::Rect SkinVScrollBar::ThumbHit() const {
    return {0, thumbY, kWidth, thumbY + kThumbLength};
}

void SkinVScrollBar::SyncToList() {
    if (HWND hwnd = ListHandle()) {
        thumbY = ThumbForPosition(ScrollPos(hwnd, SB_VERT), ScrollLimit(hwnd, SB_VERT), Span(), kThumbMinimum);
    }
    ClampThumb();
    Draw();
}

void SkinVScrollBar::ClampThumb() {
    const int height = ClientRect().Height();
    if (thumbY + kThumbLength > height - kArrowLength - kCapLength) thumbY = height - 62;
    if (thumbY < kThumbMinimum) thumbY = kThumbMinimum;
}

void SkinVScrollBar::Draw() {
    if (!IsWindow()) return;
    const win::Rect client = ClientRect();
    const int height = client.Height();
    win::ClientDC target(Handle());
    MemDC dc(target.Get(), client);
    win::MemoryDC bitmapDC(target.Get());
    win::FillSolidRect(dc.Get(), client, kVScrollBackground);

    auto blit = [&](int id, int x, int y, int w, int h) {
        win::Bitmap bitmap = win::Bitmap::Load(id);
        win::SelectGuard selection(bitmapDC.Get(), bitmap);
        ::BitBlt(dc.Get(), x, y, w, h, bitmapDC.Get(), 0, 0, SRCCOPY);
    };
    blit(IDB_VSCROLL_TOP, 0, 0, kWidth, kCapLength);
    blit(IDB_VSCROLL_UP, 0, kCapLength, kWidth, kArrowLength);
    {
        win::Bitmap track = win::Bitmap::Load(IDB_VSCROLL_TRACK);
        win::SelectGuard selection(bitmapDC.Get(), track);
        ::StretchBlt(dc.Get(), 0, 37, kWidth, height - 37, bitmapDC.Get(), 0, 0, kWidth, 1, SRCCOPY);
    }
    blit(IDB_VSCROLL_DOWN, 0, height - 37, kWidth, kArrowLength);
    // The corner leaves column 0 of the bottom rows showing the track.
    blit(IDB_VSCROLL_CORNER, 1, height - kCapLength, kCapLength, kCapLength);
    if (HWND hwnd = ListHandle(); hwnd != nullptr && ScrollLimit(hwnd, SB_VERT) != 0) {
        blit(IDB_VSCROLL_THUMB, 0, thumbY, kWidth, kThumbLength);
    }
}

void SkinVScrollBar::Scroll(int code) {
    if (HWND hwnd = ListHandle()) ::SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    SyncToList();
}

// Runs whenever part of the bar is invalid; the whole bar is drawn anyway.
LRESULT SkinVScrollBar::OnPaint() {
    win::PaintDC paint(Handle());
    Draw();
    return 0;
}

// A press arms the arrows' repeat or starts a thumb drag; it does not scroll.
LRESULT SkinVScrollBar::OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point) {
    SetCapture();
    if (ThumbHit().Contains(point)) dragging = true;
    if (DownArrowHit().Contains(point)) {
        downHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    if (UpArrowHit().Contains(point)) {
        upHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    return DefaultProc(WM_LBUTTONDOWN, wp, lp);
}

// Ends every press: a line when released over the arrow that was pressed,
// else a page towards the pointer when the press was on the track.
LRESULT SkinVScrollBar::OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point) {
    SyncToList();
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
    releasing = true;
    ReleaseCapture();
    releasing = false;
    bool scrolled = false;
    if (UpArrowHit().Contains(point) && upHeld) {
        LineUp();
        scrolled = true;
    }
    if (DownArrowHit().Contains(point) && downHeld) {
        LineDown();
        scrolled = true;
    }
    if (!scrolled && !ThumbHit().Contains(point) && !dragging) {
        if (point.y > thumbY) {
            PageDown();
        } else {
            PageUp();
        }
    }
    dragging = false;
    upHeld = false;
    downHeld = false;
    return DefaultProc(WM_LBUTTONUP, wp, lp);
}

// While the thumb is dragged it follows the pointer and the list follows the
// thumb. The list counts rows but LVM_SCROLL takes pixels.
LRESULT SkinVScrollBar::OnMouseMove(WPARAM wp, LPARAM lp, win::Point point) {
    if (dragging) {
        thumbY = point.y - kThumbLength / 2;
        if (HWND hwnd = ListHandle()) {
            const int limit = ScrollLimit(hwnd, SB_VERT);
            const int pos = ScrollPos(hwnd, SB_VERT);
            const int goal = PositionForThumb(thumbY, pos, limit, Span(), kThumbMinimum);
            RECT row{};
            row.left = LVIR_BOUNDS;
            const int rowHeight =
                ::SendMessageA(hwnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) ? row.bottom - row.top : 0;
            ::SendMessageA(hwnd, LVM_SCROLL, 0, static_cast<LPARAM>(rowHeight * (goal - pos)));
        }
        ClampThumb();
        Draw();
    }
    return DefaultProc(WM_MOUSEMOVE, wp, lp);
}

// Timer 2 ends the initial delay; timer 1 scrolls a line per held arrow.
LRESULT SkinVScrollBar::OnTimer(WPARAM id, LPARAM lp) {
    if (id == kDelayTimer) {
        if (downHeld || upHeld) {
            KillTimer(kDelayTimer);
            SetTimer(kRepeatTimer, kRepeatMs);
        }
    } else if (id == kRepeatTimer) {
        if (downHeld) LineDown();
        if (upHeld) LineUp();
    }
    return DefaultProc(WM_TIMER, id, lp);
}

// The capture went elsewhere before the button came up (a window popped up,
// another program took the mouse): the button-up will not reach the bar, so
// the press ends here, without scrolling, instead of repeating for ever.
LRESULT SkinVScrollBar::OnCaptureChanged(WPARAM wp, LPARAM lp) {
    if (!releasing && reinterpret_cast<HWND>(lp) != Handle()) {
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        dragging = false;
        upHeld = false;
        downHeld = false;
        SyncToList();
    }
    return DefaultProc(WM_CAPTURECHANGED, wp, lp);
}

}  // namespace skin
