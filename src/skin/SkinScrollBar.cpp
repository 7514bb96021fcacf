#include "skin/SkinScrollBar.h"

#include "resource.h"
#include "skin/ListScroll.h"
#include "skin/MemDC.h"
#include "skin/ScrollTimers.h"
#include "skin/SkinColors.h"
#include "skin/SkinHScrollBar.h"
#include "skin/SkinListCtrl.h"
#include "skin/SkinVScrollBar.h"

namespace skin {
namespace {

// --- The two axes

// The vertical bar's top cap and bottom corner, around its arrows.
constexpr int kCapLength = 11;

// Left arrow, the track stretched to the far end, right arrow over its end.
constexpr SkinPiece kHorizontalFrame[] = {
    {IDB_HSCROLL_LEFT, 0, 0, kArrowLength, kScrollBarThickness},
    {IDB_HSCROLL_TRACK, kArrowLength, 0, 0, kScrollBarThickness},
    {IDB_HSCROLL_RIGHT, -kArrowLength, 0, kArrowLength, kScrollBarThickness},
};

// Top cap, up arrow, the track stretched to the far end, then over its end
// the down arrow and the corner, which leaves column 0 of the bottom rows
// showing the track.
constexpr SkinPiece kVerticalFrame[] = {
    {IDB_VSCROLL_TOP, 0, 0, kCapLength, kScrollBarThickness},
    {IDB_VSCROLL_UP, kCapLength, 0, kArrowLength, kScrollBarThickness},
    {IDB_VSCROLL_TRACK, kCapLength + kArrowLength, 0, 0, kScrollBarThickness},
    {IDB_VSCROLL_DOWN, -(kArrowLength + kCapLength), 0, kArrowLength, kScrollBarThickness},
    {IDB_VSCROLL_CORNER, -kCapLength, 1, kCapLength, kCapLength},
};

// The list's horizontal position is in pixels, as LVM_SCROLL's distances are.
void ScrollByPixels(HWND list, int pixels) {
    ::SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(pixels), 0);
}

// The list's vertical position counts rows; the row height comes from row 0
// (none on an empty list, which then scrolls by 0).
void ScrollByRows(HWND list, int rows) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    const bool hasRow = ::SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != 0;
    const int rowHeight = hasRow ? row.bottom - row.top : 0;
    ::SendMessageA(list, LVM_SCROLL, 0, static_cast<LPARAM>(rowHeight * rows));
}

// Everything that differs between the twins, one row per difference: the
// horizontal bar's value, then the vertical bar's.
template <class T>
struct Twins {
    T horizontal;
    T vertical;

    constexpr T Of(bool isVertical) const { return isVertical ? vertical : horizontal; }
};

using AlongFn = int (*)(win::Point);
using PlaceFn = win::Rect (*)(int, int, int, int);
using ScrollListFn = void (*)(HWND, int);

constexpr Twins<int> kBar{SB_HORZ, SB_VERT};
constexpr Twins<UINT> kMessage{WM_HSCROLL, WM_VSCROLL};
constexpr Twins<COLORREF> kBackground{kHScrollBackground, kVScrollBackground};
constexpr Twins<int> kThumbMinimum{SkinHScrollBar::kThumbMinimum, SkinVScrollBar::kThumbMinimum};
// The thumb's scale is W - 75 or H - 98 pixels long.
constexpr Twins<int> kSpanInset{75, 98};
// First arrows (0, 0)-(26, 20) and (0, 11)-(12, 37); second arrows from
// W - 26 and from H - 37. The horizontal hit rectangles reach below the bar.
constexpr Twins<int> kFirstArrowAt{0, kCapLength};
constexpr Twins<int> kSecondArrowInset{kArrowLength, kArrowLength + kCapLength};
constexpr Twins<int> kHitDepth{20, kScrollBarThickness};
constexpr Twins<bool> kLinesOnlyOnPressedArrow{false, true};
constexpr Twins<int> kThumbBitmap{IDB_HSCROLL_THUMB, IDB_VSCROLL_THUMB};
constexpr Twins<std::span<const SkinPiece>> kFrame{kHorizontalFrame, kVerticalFrame};
constexpr Twins<AlongFn> kAlong{[](win::Point p) { return p.x; }, [](win::Point p) { return p.y; }};
constexpr Twins<PlaceFn> kPlace{
    [](int at, int across, int length, int thickness) { return win::Rect::FromSize(at, across, length, thickness); },
    [](int at, int across, int length, int thickness) { return win::Rect::FromSize(across, at, thickness, length); }};
constexpr Twins<ScrollListFn> kScrollListBy{ScrollByPixels, ScrollByRows};

constexpr ScrollAxis Column(bool vertical) {
    return {
        .bar = kBar.Of(vertical),
        .message = kMessage.Of(vertical),
        .background = kBackground.Of(vertical),
        .thumbMinimum = kThumbMinimum.Of(vertical),
        .spanInset = kSpanInset.Of(vertical),
        .firstArrowAt = kFirstArrowAt.Of(vertical),
        .secondArrowInset = kSecondArrowInset.Of(vertical),
        .hitDepth = kHitDepth.Of(vertical),
        .linesOnlyOnPressedArrow = kLinesOnlyOnPressedArrow.Of(vertical),
        .thumbBitmap = kThumbBitmap.Of(vertical),
        .pieces = kFrame.Of(vertical),
        .along = kAlong.Of(vertical),
        .place = kPlace.Of(vertical),
        .scrollListBy = kScrollListBy.Of(vertical),
    };
}

// --- The bar

static_assert(SB_LINELEFT == SB_LINEUP && SB_LINERIGHT == SB_LINEDOWN && SB_PAGELEFT == SB_PAGEUP &&
              SB_PAGERIGHT == SB_PAGEDOWN);
// Towards the first arrow (left, up) and towards the second (right, down).
constexpr int kLineToFirst = SB_LINEUP;
constexpr int kLineToSecond = SB_LINEDOWN;
constexpr int kPageToFirst = SB_PAGEUP;
constexpr int kPageToSecond = SB_PAGEDOWN;

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace

constexpr ScrollAxis kHorizontalAxis = Column(false);
constexpr ScrollAxis kVerticalAxis = Column(true);

LRESULT SkinScrollBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    // STATIC has CS_DBLCLKS: the second press of a double-click comes as
    // WM_LBUTTONDBLCLK and is a press like the first.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(wp, lp, PointFrom(lp));
    case WM_LBUTTONUP: return OnLButtonUp(wp, lp, PointFrom(lp));
    case WM_MOUSEMOVE: return OnMouseMove(wp, lp, PointFrom(lp));
    case WM_TIMER: return OnTimer(wp, lp);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

HWND SkinScrollBar::ListHandle() const {
    return list != nullptr ? list->Handle() : sourceWindow;
}

int SkinScrollBar::Position(HWND hwnd) const {
    return source != nullptr ? source->BarPosition() : ScrollPos(hwnd, axis.bar);
}

int SkinScrollBar::Limit(HWND hwnd) const {
    return source != nullptr ? source->BarLimit() : ScrollLimit(hwnd, axis.bar);
}

// The client rectangle starts at (0, 0): its size is its far corner.
int SkinScrollBar::Length() const {
    const win::Rect client = ClientRect();
    return axis.along({client.Width(), client.Height()});
}

// An arrow's or the thumb's hit rectangle, starting at `at` along the bar.
win::Rect SkinScrollBar::Hit(int at) const {
    return axis.place(at, 0, kThumbLength, axis.hitDepth);
}

void SkinScrollBar::SyncToList() {
    if (HWND hwnd = ListHandle()) {
        thumb = ThumbForPosition(Position(hwnd), Limit(hwnd), Span(), axis.thumbMinimum);
    }
    ClampThumb();
    Draw();
}

// At its maximum the thumb overlaps the second arrow by one pixel; at its
// minimum, the first.
void SkinScrollBar::ClampThumb() {
    const int secondArrow = Length() - axis.secondArrowInset;
    if (thumb + kThumbLength > secondArrow) thumb = secondArrow - kThumbLength + 1;
    if (thumb < axis.thumbMinimum) thumb = axis.thumbMinimum;
}

void SkinScrollBar::Draw() {
    if (!IsWindow()) return;
    const win::Rect client = ClientRect();
    const int length = Length();
    win::ClientDC target(Handle());
    MemDC dc(target.Get(), client);
    win::MemoryDC bitmapDC(target.Get());
    win::FillSolidRect(dc.Get(), client, axis.background);

    auto blit = [&](int id, const win::Rect& to) {
        win::Bitmap bitmap = win::Bitmap::Load(id);
        win::SelectGuard selection(bitmapDC.Get(), bitmap);
        ::BitBlt(dc.Get(), to.left, to.top, to.Width(), to.Height(), bitmapDC.Get(), 0, 0, SRCCOPY);
    };
    for (const SkinPiece& piece : axis.pieces) {
        const int at = piece.at < 0 ? length + piece.at : piece.at;
        if (piece.length != 0) {
            blit(piece.bitmap, axis.place(at, piece.across, piece.length, piece.thickness));
            continue;
        }
        const win::Rect to = axis.place(at, piece.across, length - at, piece.thickness);
        const win::Rect from = axis.place(0, 0, 1, piece.thickness);
        win::Bitmap bitmap = win::Bitmap::Load(piece.bitmap);
        win::SelectGuard selection(bitmapDC.Get(), bitmap);
        ::StretchBlt(dc.Get(), to.left, to.top, to.Width(), to.Height(), bitmapDC.Get(), 0, 0, from.Width(),
                     from.Height(), SRCCOPY);
    }
    if (HWND hwnd = ListHandle(); hwnd != nullptr && Limit(hwnd) != 0) {
        blit(axis.thumbBitmap, axis.place(thumb, 0, kThumbLength, kScrollBarThickness));
    }
}

void SkinScrollBar::Scroll(int code) {
    if (HWND hwnd = ListHandle()) ::SendMessageA(hwnd, axis.message, MAKEWPARAM(code, 0), 0);
    SyncToList();
}

// Runs whenever part of the bar is invalid; the whole bar is drawn anyway.
LRESULT SkinScrollBar::OnPaint() {
    win::PaintDC paint(Handle());
    Draw();
    return 0;
}

// A press arms the arrows' repeat or starts a thumb drag; it does not scroll.
// The three tests are independent: where the thumb overlaps an arrow, a
// press sets both flags.
LRESULT SkinScrollBar::OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point) {
    SetCapture();
    if (ThumbHit().Contains(point)) dragging = true;
    if (SecondArrowHit().Contains(point)) {
        secondHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    if (FirstArrowHit().Contains(point)) {
        firstHeld = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    return DefaultProc(WM_LBUTTONDOWN, wp, lp);
}

// Ends every press: a line when released over an arrow (on some axes only
// the arrow that was pressed), else a page towards the pointer when the
// press was on the track.
LRESULT SkinScrollBar::OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point) {
    SyncToList();
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
    releasing = true;
    ReleaseCapture();
    releasing = false;
    const bool anyArrow = !axis.linesOnlyOnPressedArrow;
    bool scrolled = false;
    if (FirstArrowHit().Contains(point) && (anyArrow || firstHeld)) {
        Scroll(kLineToFirst);
        scrolled = true;
    }
    if (SecondArrowHit().Contains(point) && (anyArrow || secondHeld)) {
        Scroll(kLineToSecond);
        scrolled = true;
    }
    // Against the thumb's leading edge, not its centre.
    if (!scrolled && !ThumbHit().Contains(point) && !dragging) {
        Scroll(axis.along(point) > thumb ? kPageToSecond : kPageToFirst);
    }
    dragging = false;
    firstHeld = false;
    secondHeld = false;
    return DefaultProc(WM_LBUTTONUP, wp, lp);
}

// While the thumb is dragged it follows the pointer, centred on it, and the
// list follows the thumb.
LRESULT SkinScrollBar::OnMouseMove(WPARAM wp, LPARAM lp, win::Point point) {
    if (dragging) {
        thumb = axis.along(point) - kThumbLength / 2;
        if (HWND hwnd = ListHandle()) {
            const int limit = Limit(hwnd);
            const int pos = Position(hwnd);
            const int goal = PositionForThumb(thumb, pos, limit, Span(), axis.thumbMinimum);
            if (source != nullptr) {
                source->BarScrollTo(goal);
            } else {
                axis.scrollListBy(hwnd, goal - pos);
            }
        }
        ClampThumb();
        Draw();
    }
    return DefaultProc(WM_MOUSEMOVE, wp, lp);
}

// Timer 2 ends the initial delay; timer 1 scrolls a line per held arrow.
LRESULT SkinScrollBar::OnTimer(WPARAM id, LPARAM lp) {
    if (id == kDelayTimer) {
        if (secondHeld || firstHeld) {
            KillTimer(kDelayTimer);
            SetTimer(kRepeatTimer, kRepeatMs);
        }
    } else if (id == kRepeatTimer) {
        if (secondHeld) Scroll(kLineToSecond);
        if (firstHeld) Scroll(kLineToFirst);
    }
    return DefaultProc(WM_TIMER, id, lp);
}

// The capture went elsewhere before the button came up (a window popped up,
// another program took the mouse): the button-up will not reach the bar, so
// the press ends here, without scrolling, instead of repeating for ever.
LRESULT SkinScrollBar::OnCaptureChanged(WPARAM wp, LPARAM lp) {
    if (!releasing && reinterpret_cast<HWND>(lp) != Handle()) {
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        dragging = false;
        firstHeld = false;
        secondHeld = false;
        SyncToList();
    }
    return DefaultProc(WM_CAPTURECHANGED, wp, lp);
}

}  // namespace skin
