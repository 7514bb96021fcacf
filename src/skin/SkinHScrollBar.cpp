#include "skin/SkinHScrollBar.h"

#include "resource.h"
#include "skin/ListScroll.h"
#include "skin/MemDC.h"
#include "skin/ScrollTimers.h"
#include "skin/SkinColors.h"
#include "skin/SkinListCtrl.h"

namespace skin {
namespace {

// The arrows' and thumb's hit rectangles reach below the 12-pixel bar.
constexpr int kHitHeight = 20;

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace

LRESULT SkinHScrollBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_LBUTTONDOWN: return OnLButtonDown(wp, lp, PointFrom(lp));
    case WM_LBUTTONUP: return OnLButtonUp(wp, lp, PointFrom(lp));
    case WM_MOUSEMOVE: return OnMouseMove(wp, lp, PointFrom(lp));
    case WM_TIMER: return OnTimer(wp, lp);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

HWND SkinHScrollBar::ListHandle() const {
    return list != nullptr ? list->Handle() : nullptr;
}

int SkinHScrollBar::Span() const {
    return ClientRect().Width() - 75;
}

win::Rect SkinHScrollBar::LeftArrowHit() const {
    return {0, 0, kArrowLength, kHitHeight};
}

win::Rect SkinHScrollBar::RightArrowHit() const {
    const int width = ClientRect().Width();
    return {width - kArrowLength, 0, width, kHitHeight};
}

win::Rect SkinHScrollBar::ThumbHit() const {
    return {thumbX, 0, thumbX + kThumbLength, kHitHeight};
}

void SkinHScrollBar::SyncToList() {
    if (HWND hwnd = ListHandle()) {
        thumbX = ThumbForPosition(ScrollPos(hwnd, SB_HORZ), ScrollLimit(hwnd, SB_HORZ), Span(), kThumbMinimum);
    }
    ClampThumb();
    Draw();
}

void SkinHScrollBar::ClampThumb() {
    const int width = ClientRect().Width();
    if (thumbX + kThumbLength > width - kArrowLength) thumbX = width - 51;
    if (thumbX < kThumbMinimum) thumbX = kThumbMinimum;
}

void SkinHScrollBar::Draw() {
    if (!IsWindow()) return;
    const win::Rect client = ClientRect();
    const int width = client.Width();
    win::ClientDC target(Handle());
    MemDC dc(target.Get(), client);
    win::MemoryDC bitmapDC(target.Get());
    win::FillSolidRect(dc.Get(), client, kHScrollBackground);

    auto blit = [&](int id, int x, int w, int h) {
        win::Bitmap bitmap = win::Bitmap::Load(id);
        win::SelectGuard selection(bitmapDC.Get(), bitmap);
        ::BitBlt(dc.Get(), x, 0, w, h, bitmapDC.Get(), 0, 0, SRCCOPY);
    };
    blit(IDB_HSCROLL_LEFT, 0, kArrowLength, kHeight);
    {
        win::Bitmap track = win::Bitmap::Load(IDB_HSCROLL_TRACK);
        win::SelectGuard selection(bitmapDC.Get(), track);
        ::StretchBlt(dc.Get(), kArrowLength, 0, width - kArrowLength, kHeight, bitmapDC.Get(), 0, 0, 1, kHeight,
                     SRCCOPY);
    }
    blit(IDB_HSCROLL_RIGHT, width - kArrowLength, kArrowLength, kHeight);
    if (HWND hwnd = ListHandle(); hwnd != nullptr && ScrollLimit(hwnd, SB_HORZ) != 0) {
        blit(IDB_HSCROLL_THUMB, thumbX, kThumbLength, kHeight);
    }
}

void SkinHScrollBar::Scroll(int code) {
    if (HWND hwnd = ListHandle()) ::SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(code, 0), 0);
    SyncToList();
}

// Runs whenever part of the bar is invalid; the whole bar is drawn anyway.
LRESULT SkinHScrollBar::OnPaint() {
    win::PaintDC paint(Handle());
    Draw();
    return 0;
}

// A press arms the arrows' repeat or starts a thumb drag; it does not scroll.
LRESULT SkinHScrollBar::OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point) {
    SetCapture();
    if (ThumbHit().Contains(point)) dragging = true;
    if (RightArrowHit().Contains(point)) {
        rightHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    if (LeftArrowHit().Contains(point)) {
        leftHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    return DefaultProc(WM_LBUTTONDOWN, wp, lp);
}

// Ends every press: a line when released over an arrow, else a page towards
// the pointer when the press was on the track.
LRESULT SkinHScrollBar::OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point) {
    SyncToList();
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
    releasing = true;
    ReleaseCapture();
    releasing = false;
    bool scrolled = false;
    if (LeftArrowHit().Contains(point)) {
        LineLeft();
        scrolled = true;
    }
    if (RightArrowHit().Contains(point)) {
        LineRight();
        scrolled = true;
    }
    if (!scrolled && !ThumbHit().Contains(point) && !dragging) {
        if (point.x > thumbX) {
            PageRight();
        } else {
            PageLeft();
        }
    }
    dragging = false;
    leftHeld = false;
    rightHeld = false;
    return DefaultProc(WM_LBUTTONUP, wp, lp);
}

// While the thumb is dragged it follows the pointer and the list follows the
// thumb, in pixels.
LRESULT SkinHScrollBar::OnMouseMove(WPARAM wp, LPARAM lp, win::Point point) {
    if (dragging) {
        thumbX = point.x - kThumbLength / 2;
        if (HWND hwnd = ListHandle()) {
            const int limit = ScrollLimit(hwnd, SB_HORZ);
            const int pos = ScrollPos(hwnd, SB_HORZ);
            const int goal = PositionForThumb(thumbX, pos, limit, Span(), kThumbMinimum);
            ::SendMessageA(hwnd, LVM_SCROLL, static_cast<WPARAM>(goal - pos), 0);
        }
        ClampThumb();
        Draw();
    }
    return DefaultProc(WM_MOUSEMOVE, wp, lp);
}

// Timer 2 ends the initial delay; timer 1 scrolls a line per held arrow.
LRESULT SkinHScrollBar::OnTimer(WPARAM id, LPARAM lp) {
    if (id == kDelayTimer) {
        if (rightHeld || leftHeld) {
            KillTimer(kDelayTimer);
            SetTimer(kRepeatTimer, kRepeatMs);
        }
    } else if (id == kRepeatTimer) {
        if (rightHeld) LineRight();
        if (leftHeld) LineLeft();
    }
    return DefaultProc(WM_TIMER, id, lp);
}

// The capture went elsewhere before the button came up (a window popped up,
// another program took the mouse): the button-up will not reach the bar, so
// the press ends here, without scrolling, instead of repeating for ever.
LRESULT SkinHScrollBar::OnCaptureChanged(WPARAM wp, LPARAM lp) {
    if (!releasing && reinterpret_cast<HWND>(lp) != Handle()) {
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        dragging = false;
        leftHeld = false;
        rightHeld = false;
        SyncToList();
    }
    return DefaultProc(WM_CAPTURECHANGED, wp, lp);
}

}  // namespace skin
