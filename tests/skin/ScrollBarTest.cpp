// The two skinned scroll bars: where they sit, where their thumbs go, and
// what a press, a release, a held arrow and a thumb drag send to the list.
#include "SkinHost.h"
#include "skin/ScrollTimers.h"

namespace {

using skin::SkinHScrollBar;
using skin::SkinVScrollBar;
using skintest::ScrollMessage;

// Wide enough columns and enough rows that both axes scroll.
const std::vector<skintest::Column> kWide = {{"#", 50}, {"FILENAME", 500}, {"SIZE", 100}};
constexpr int kRows = 100;

using wintest::At;

class ScrollBars : public skintest::SkinFixture {
protected:
    void SetUp() override {
        SkinFixture::SetUp();
        MakeList({10, 10, 310, 310}, kWide, kRows);
        list.scrolls.clear();
    }

    SkinVScrollBar& V() { return list.VScrollBar(); }
    SkinHScrollBar& H() { return list.HScrollBar(); }
    int VHeight() { return V().ClientRect().Height(); }
    int HWidth() { return H().ClientRect().Width(); }
    int VPos() { return ::GetScrollPos(list.Handle(), SB_VERT); }
    int HPos() { return ::GetScrollPos(list.Handle(), SB_HORZ); }

    void Press(win::Window& bar, int x, int y) { bar.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)); }
    void Release(win::Window& bar, int x, int y) { bar.Send(WM_LBUTTONUP, 0, At(x, y)); }
    void Click(win::Window& bar, int x, int y) {
        Press(bar, x, y);
        Release(bar, x, y);
    }
    void DragTo(win::Window& bar, int x, int y) { bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(x, y)); }

    void ScrollListToEnd() {
        list.Send(LVM_ENSUREVISIBLE, kRows - 1, FALSE);
        list.Send(LVM_SCROLL, 10000, 0);
        Repaint();
        list.scrolls.clear();
    }
};

// --- Placement

TEST_F(ScrollBars, FollowTheListWhenItIsMovedOrResized) {
    const win::Rect places[] = {{10, 10, 310, 310}, {40, 30, 240, 130}, {5, 50, 605, 400}, {100, 100, 160, 150}};
    for (const win::Rect& r : places) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
        list.Move(r);
        Repaint();
        EXPECT_EQ(V().RectInParent(), win::Rect(r.right, r.top, r.right + 12, r.bottom + 12));
        EXPECT_EQ(H().RectInParent(), win::Rect(r.left, r.bottom, r.right + 1, r.bottom + 12));
    }
}

// --- Thumb positions

TEST_F(ScrollBars, ThumbsSitAtTheirMinimumAtTheStartAndTheirMaximumAtTheEnd) {
    EXPECT_EQ(V().ThumbY(), SkinVScrollBar::kThumbMinimum);
    EXPECT_EQ(H().ThumbX(), SkinHScrollBar::kThumbMinimum);
    ScrollListToEnd();
    EXPECT_EQ(V().ThumbY(), VHeight() - 62);
    EXPECT_EQ(H().ThumbX(), HWidth() - 51);
}

TEST_F(ScrollBars, ThumbsAreProportionalToTheListsPosition) {
    const int limit = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        ::GetScrollInfo(list.Handle(), SB_VERT, &info);
        return info.nMax - static_cast<int>(info.nPage) + 1;
    }();
    ASSERT_GT(limit, 4);
    list.Send(LVM_SCROLL, 0, RowHeight() * (limit / 2));
    Repaint();
    ASSERT_EQ(VPos(), limit / 2);
    // Half-way down the list, the thumb is half-way along its travel.
    const int travelMiddle = SkinVScrollBar::kThumbMinimum + (VHeight() - 98) / 2;
    EXPECT_NEAR(V().ThumbY(), travelMiddle, 3);
}

// A bar too short for its parts keeps the thumb at its minimum: a
// horizontal bar of 76 pixels or less at 25, a vertical one of 98 or less
// at 36. Longer bars put it at their maximum at the end of the list.
TEST_F(ScrollBars, ShortBarsKeepTheirThumbAtTheMinimum) {
    struct Case {
        int hBarWidth;
        int expected;
    };
    for (Case c : {Case{40, 25}, Case{60, 25}, Case{76, 25}, Case{77, 26}, Case{120, 69}}) {
        SCOPED_TRACE(c.hBarWidth);
        list.Move(win::Rect::FromSize(10, 10, c.hBarWidth - 1, 200));
        ScrollListToEnd();
        ASSERT_GT(HPos(), 0);
        EXPECT_EQ(H().ThumbX(), c.expected);
    }
    for (Case c : {Case{60, 36}, Case{98, 36}, Case{99, 37}, Case{150, 88}}) {
        SCOPED_TRACE(c.hBarWidth);
        list.Move(win::Rect::FromSize(10, 10, 200, c.hBarWidth - 12));
        ScrollListToEnd();
        ASSERT_GT(VPos(), 0);
        EXPECT_EQ(V().ThumbY(), c.expected);
    }
}

TEST_F(ScrollBars, WithNothingToScrollTheThumbIsHiddenAndADragScrollsNothing) {
    list.Send(LVM_DELETEALLITEMS);
    list.Move({10, 10, 700, 310});  // wider than the columns
    Repaint();
    EXPECT_EQ(V().ThumbY(), SkinVScrollBar::kThumbMinimum);
    EXPECT_EQ(H().ThumbX(), SkinHScrollBar::kThumbMinimum);
    // Where the thumb's red grip would be, the track shows.
    EXPECT_FALSE(skintest::IsRed(wintest::PixelAt(V().Handle(), 4, SkinVScrollBar::kThumbMinimum + 7)));
    EXPECT_FALSE(skintest::IsRed(wintest::PixelAt(H().Handle(), SkinHScrollBar::kThumbMinimum + 7, 4)));

    list.scrolls.clear();
    Press(V(), 6, SkinVScrollBar::kThumbMinimum + 5);
    DragTo(V(), 6, 200);
    Release(V(), 6, 200);
    ASSERT_EQ(list.Count(LVM_SCROLL), 1);
    EXPECT_EQ(list.scrolls.front().dy, 0);
}

TEST_F(ScrollBars, AVisibleThumbShowsItsGrip) {
    EXPECT_TRUE(skintest::IsRed(wintest::PixelAt(V().Handle(), 4, V().ThumbY() + 7)));
    EXPECT_TRUE(skintest::IsRed(wintest::PixelAt(H().Handle(), H().ThumbX() + 7, 4)));
}

// Where each skin bitmap lands, probed in the bar's own terms: `along` from
// the first arrow's end (negative: back from the far end), `across` the
// bar's thickness. The thumb sits at its minimum, clear of `along` 150.
TEST_F(ScrollBars, EachBitmapLandsInItsPlace) {
    struct Case {
        const char* name;
        bool vertical;
        int along;
        int across;
        int grey;  // the grey level there, or -1 for an arrow's red triangle
    };
    const Case cases[] = {
        {"left arrow's frame", false, 0, 6, 91}, {"left arrow's triangle", false, 12, 6, -1},
        {"track's top row", false, 150, 0, 91}, {"track's middle", false, 150, 6, 44},
        {"track's low rows", false, 150, 9, 66}, {"right arrow's triangle", false, -13, 6, -1},
        {"right arrow's frame", false, -1, 6, 91}, {"top cap's edge", true, 0, 6, 91},
        {"top cap's inside", true, 2, 6, 74}, {"up arrow's triangle", true, 23, 5, -1},
        {"track's left column", true, 150, 0, 90}, {"track's inside", true, 150, 2, 77},
        {"track's dark side", true, 150, 8, 0}, {"down arrow's triangle", true, -24, 5, -1},
        // The corner starts one pixel in, so its light right column is the
        // bar's last. (Column 0 there lies under the horizontal bar's end.)
        {"corner's inside", true, -9, 3, 69}, {"corner's dark rows", true, -5, 10, 35},
        {"corner's right edge", true, -5, 11, 91},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND bar = c.vertical ? V().Handle() : H().Handle();
        const int along = c.along < 0 ? (c.vertical ? VHeight() : HWidth()) + c.along : c.along;
        const COLORREF pixel =
            c.vertical ? wintest::PixelAt(bar, c.across, along) : wintest::PixelAt(bar, along, c.across);
        if (c.grey < 0) {
            EXPECT_TRUE(skintest::IsRed(pixel)) << std::hex << pixel;
        } else {
            EXPECT_TRUE(skintest::IsGrey(pixel)) << std::hex << pixel;
            EXPECT_EQ(skintest::Grey(pixel), c.grey);
        }
    }
}

// --- Arrows

struct ArrowCase {
    const char* name;
    bool vertical;
    bool fromEnd;  // start with the list scrolled to its end
    int code;
};

class Arrows : public ScrollBars, public testing::WithParamInterface<ArrowCase> {
protected:
    win::Window& Bar() { return GetParam().vertical ? static_cast<win::Window&>(V()) : H(); }
    UINT Message() { return GetParam().vertical ? WM_VSCROLL : WM_HSCROLL; }
    int Pos() { return GetParam().vertical ? VPos() : HPos(); }
    // A point on the arrow that scrolls with GetParam().code.
    win::Point ArrowPoint() {
        switch (GetParam().code) {
        case SB_LINEUP: return GetParam().vertical ? win::Point{6, 20} : win::Point{10, 6};
        default: return GetParam().vertical ? win::Point{6, VHeight() - 20} : win::Point{HWidth() - 10, 6};
        }
    }
};

TEST_P(Arrows, APressAndReleaseScrollsOneLineOnRelease) {
    if (GetParam().fromEnd) ScrollListToEnd();
    const int before = Pos();
    const win::Point p = ArrowPoint();
    Press(Bar(), p.x, p.y);
    EXPECT_TRUE(list.scrolls.empty());  // a press alone does not scroll
    Release(Bar(), p.x, p.y);
    ASSERT_EQ(list.Count(Message()), 1);
    EXPECT_EQ(list.scrolls.front().code, GetParam().code);
    EXPECT_NE(Pos(), before);
}

// The bar's class sends the second press of a double-click as
// WM_LBUTTONDBLCLK: it is a press like the first.
TEST_P(Arrows, ADoubleClickScrollsTwoLines) {
    if (GetParam().fromEnd) ScrollListToEnd();
    const win::Point p = ArrowPoint();
    Click(Bar(), p.x, p.y);
    Bar().Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(p.x, p.y));
    Release(Bar(), p.x, p.y);
    EXPECT_EQ(list.Count(Message()), 2);
    EXPECT_EQ(list.Count(Message(), GetParam().code), 2);
}

// The repeat: timer 2 is the delay, then timer 1 scrolls a line per tick
// while the button stays down, wherever the pointer is.
TEST_P(Arrows, HoldingRepeatsOnTheTimers) {
    if (GetParam().fromEnd) ScrollListToEnd();
    const win::Point p = ArrowPoint();
    HWND bar = Bar().Handle();
    Press(Bar(), p.x, p.y);
    EXPECT_TRUE(::KillTimer(bar, skin::kDelayTimer));  // the delay was running ...
    EXPECT_FALSE(::KillTimer(bar, skin::kRepeatTimer));  // ... and the repeat not yet
    Release(Bar(), p.x, p.y);
    list.scrolls.clear();

    Press(Bar(), p.x, p.y);
    Bar().Send(WM_TIMER, skin::kDelayTimer);
    EXPECT_TRUE(list.scrolls.empty());
    for (int tick = 0; tick < 3; ++tick) Bar().Send(WM_TIMER, skin::kRepeatTimer);
    EXPECT_EQ(list.Count(Message(), GetParam().code), 3);
    DragTo(Bar(), 300, 300);  // the pointer leaves the bar: the repeat goes on
    Bar().Send(WM_TIMER, skin::kRepeatTimer);
    EXPECT_EQ(list.Count(Message(), GetParam().code), 4);
    EXPECT_TRUE(::KillTimer(bar, skin::kRepeatTimer));
    Release(Bar(), p.x, p.y);
    EXPECT_EQ(list.Count(Message(), GetParam().code), 5);  // and the line of the release

    // After the release nothing repeats.
    EXPECT_FALSE(::KillTimer(bar, skin::kRepeatTimer));
    EXPECT_FALSE(::KillTimer(bar, skin::kDelayTimer));
    Bar().Send(WM_TIMER, skin::kRepeatTimer);
    EXPECT_EQ(list.Count(Message()), 5);
}

// Another window takes the mouse while an arrow is held: the button-up will
// never reach the bar, so the press ends there and nothing repeats.
TEST_P(Arrows, LosingTheCaptureEndsThePress) {
    if (GetParam().fromEnd) ScrollListToEnd();
    const win::Point p = ArrowPoint();
    HWND bar = Bar().Handle();
    Press(Bar(), p.x, p.y);
    Bar().Send(WM_TIMER, skin::kDelayTimer);
    ::SetCapture(host.Handle());
    ::ReleaseCapture();
    EXPECT_FALSE(::KillTimer(bar, skin::kRepeatTimer));
    EXPECT_FALSE(::KillTimer(bar, skin::kDelayTimer));
    Bar().Send(WM_TIMER, skin::kRepeatTimer);
    EXPECT_TRUE(list.scrolls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachArrow, Arrows,
    testing::Values(ArrowCase{"Up", true, true, SB_LINEUP}, ArrowCase{"Down", true, false, SB_LINEDOWN},
                    ArrowCase{"Left", false, true, SB_LINELEFT}, ArrowCase{"Right", false, false, SB_LINERIGHT}),
    [](const auto& param) { return std::string(param.param.name); });

// --- Track clicks and mixed gestures

struct GestureCase {
    const char* name;
    bool vertical;
    bool fromEnd;
    int pressAlong;    // coordinate along the bar; negative counts from the far end
    int releaseAlong;
    std::vector<int> expected;  // the codes the list receives
};

class Gestures : public ScrollBars, public testing::WithParamInterface<GestureCase> {};

TEST_P(Gestures, SendTheirScrollsOnRelease) {
    const GestureCase& c = GetParam();
    if (c.fromEnd) ScrollListToEnd();
    win::Window& bar = c.vertical ? static_cast<win::Window&>(V()) : H();
    const int length = c.vertical ? VHeight() : HWidth();
    auto point = [&](int along) {
        const int a = along < 0 ? length + along : along;
        return c.vertical ? win::Point{6, a} : win::Point{a, 6};
    };
    const win::Point press = point(c.pressAlong), release = point(c.releaseAlong);
    Press(bar, press.x, press.y);
    if (!(press == release)) DragTo(bar, release.x, release.y);
    Release(bar, release.x, release.y);
    std::vector<int> codes;
    for (const ScrollMessage& s : list.scrolls) {
        if (s.msg == WM_HSCROLL || s.msg == WM_VSCROLL) codes.push_back(s.code);
    }
    EXPECT_EQ(codes, c.expected);
    EXPECT_FALSE(bar.HasCapture());
}

INSTANTIATE_TEST_SUITE_P(
    EachGesture, Gestures,
    testing::Values(
        // A click on the track pages once towards the click.
        GestureCase{"TrackBelowThumb", true, false, -60, -60, {SB_PAGEDOWN}},
        GestureCase{"TrackAboveThumb", true, true, 70, 70, {SB_PAGEUP}},
        GestureCase{"TrackRightOfThumb", false, false, -60, -60, {SB_PAGERIGHT}},
        GestureCase{"TrackLeftOfThumb", false, true, 60, 60, {SB_PAGELEFT}},
        // Pressed on an arrow, released on the track: a page towards the release.
        GestureCase{"DownArrowToTrackAbove", true, true, -20, 60, {SB_PAGEUP}},
        GestureCase{"RightArrowToTrackLeft", false, true, -10, 60, {SB_PAGELEFT}},
        // Up arrow, then down arrow: the down arrow was not pressed, so no line;
        // the release lies below the thumb, so a page down.
        GestureCase{"UpArrowThenDownArrow", true, false, 20, -20, {SB_PAGEDOWN}},
        // Left arrow, then right arrow: the horizontal bar scrolls a line
        // wherever the button went down.
        GestureCase{"LeftArrowThenRightArrow", false, false, 10, -10, {SB_LINERIGHT}},
        // A click on the thumb itself neither pages nor scrolls a line.
        GestureCase{"ClickOnVerticalThumb", true, false, 40, 40, {}},
        GestureCase{"ClickOnHorizontalThumb", false, false, 30, 30, {}}),
    [](const auto& param) { return std::string(param.param.name); });

// --- Thumb drags

TEST_F(ScrollBars, AVerticalDragScrollsByRowsTimesTheRowHeight) {
    const int rowHeight = RowHeight();
    ASSERT_GT(rowHeight, 0);
    Press(V(), 6, V().ThumbY() + 13);
    ASSERT_TRUE(V().Dragging());
    const int middle = SkinVScrollBar::kThumbMinimum + 13 + (VHeight() - 98) / 2;
    DragTo(V(), 6, middle);
    ASSERT_EQ(list.Count(LVM_SCROLL), 1);
    const ScrollMessage first = list.scrolls.back();
    EXPECT_EQ(first.dx, 0);
    EXPECT_GT(first.dy, 0);
    EXPECT_EQ(first.dy % rowHeight, 0);
    EXPECT_EQ(VPos(), first.dy / rowHeight);
    EXPECT_EQ(V().ThumbY(), middle - 13);  // the thumb follows the pointer

    // Past the far end: the list goes to its end, the thumb stops at its maximum.
    DragTo(V(), 6, VHeight() + 200);
    EXPECT_EQ(V().ThumbY(), VHeight() - 62);
    Release(V(), 6, VHeight() + 200);
    EXPECT_FALSE(V().Dragging());
    EXPECT_TRUE(list.Count(WM_VSCROLL) == 0);
    EXPECT_EQ(V().ThumbY(), VHeight() - 62);  // where the list's position puts it
    const int end = VPos();
    EXPECT_GT(end, first.dy / rowHeight);

    // And back past the top.
    Press(V(), 6, V().ThumbY() + 13);
    DragTo(V(), 6, -300);
    Release(V(), 6, -300);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(V().ThumbY(), SkinVScrollBar::kThumbMinimum);
}

TEST_F(ScrollBars, AHorizontalDragScrollsByPixels) {
    Press(H(), H().ThumbX() + 13, 6);
    ASSERT_TRUE(H().Dragging());
    const int target = SkinHScrollBar::kThumbMinimum + 13 + (HWidth() - 75) / 2;
    DragTo(H(), target, 6);
    ASSERT_EQ(list.Count(LVM_SCROLL), 1);
    const ScrollMessage first = list.scrolls.back();
    EXPECT_EQ(first.dy, 0);
    EXPECT_GT(first.dx, 0);
    EXPECT_EQ(HPos(), first.dx);

    DragTo(H(), HWidth() + 300, 6);
    Release(H(), HWidth() + 300, 6);
    EXPECT_EQ(H().ThumbX(), HWidth() - 51);
    EXPECT_GT(HPos(), first.dx);
    EXPECT_EQ(list.Count(WM_HSCROLL), 0);
}

}  // namespace
