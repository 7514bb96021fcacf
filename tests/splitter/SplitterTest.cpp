// The pane divider: its shape from the rectangle it is given, its cursor,
// a drag from press to notification, the drag lines on the screen, and the
// edge operations its parent moves the panes with.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "skin/SplitterBar.h"
#include "win/App.h"
#include "win/Gdi.h"
#include "win/Pump.h"

namespace {

constexpr const char* kParentClass = "TessaroSplitterTestParent";
constexpr int kBarId = 1003;
constexpr win::Rect kParentRect = win::Rect::FromSize(80, 80, 600, 500);

// Records the divider's notifications.
class Parent : public win::Window {
public:
    struct Notice {
        HWND from;
        UINT_PTR id;
        UINT code;
        int delta;
        WPARAM wp;
    };
    std::vector<Notice> notices;

    bool Create() {
        if (!RegisterWindowClass(kParentClass, 0, nullptr, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)))) {
            return false;
        }
        return Window::Create(kParentClass, "splitter test", WS_POPUP | WS_VISIBLE, 0, kParentRect, nullptr, 0);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_NOTIFY) {
            const auto* n = reinterpret_cast<const SplitterNotify*>(lp);
            notices.push_back({n->hdr.hwndFrom, n->hdr.idFrom, n->hdr.code, n->delta, wp});
            return 0;
        }
        return Window::HandleMessage(msg, wp, lp);
    }
};

// Counts the drag-line draws, so a test can see the lines drawn and erased.
class CountingBar : public SplitterBar {
public:
    int lineDraws = 0;

protected:
    void DrawDragLine(HDC dc, int x, int y) override {
        ++lineDraws;
        SplitterBar::DrawDragLine(dc, x, y);
    }
};

using wintest::At;

class Splitter : public ::testing::Test {
protected:
    void SetUp() override {
        win::InitCommonControlClasses();
        ASSERT_TRUE(parent.Create());
    }

    void CreateBar(const win::Rect& rect) {
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, rect, parent.Handle(), kBarId));
        ::UpdateWindow(parent.Handle());
        wintest::Pump();
    }

    void Drag(int dx, int dy, win::Point grip = {2, 2}) { wintest::Drag(bar.Handle(), dx, dy, grip.x, grip.y); }

    Parent parent;
    CountingBar bar;
};

// --- Shape

TEST_F(Splitter, TheRectangleDecidesTheOrientationAndTheThicknessIsFive) {
    struct Case {
        win::Rect given;
        int orientation;
        win::Rect made;
    };
    const Case cases[] = {
        {{10, 20, 210, 26}, SPLITTER_HORIZONTAL, {10, 20, 210, 25}},
        {{10, 20, 18, 320}, SPLITTER_VERTICAL, {10, 20, 15, 320}},
        {{10, 20, 60, 70}, SPLITTER_HORIZONTAL, {10, 20, 60, 25}},  // a square lies
        {{10, 20, 12, 21}, SPLITTER_HORIZONTAL, {10, 20, 12, 25}},
        {{10, 20, 13, 400}, SPLITTER_VERTICAL, {10, 20, 15, 400}},  // thin bars grow to 5
    };
    for (const Case& c : cases) {
        CountingBar one;
        ASSERT_TRUE(one.Create(WS_CHILD | WS_VISIBLE, c.given, parent.Handle(), kBarId));
        EXPECT_EQ(one.Orientation(), c.orientation);
        EXPECT_EQ(one.RectInParent(), c.made);
        EXPECT_TRUE(one.Style() & SS_NOTIFY);
    }
}

TEST_F(Splitter, ShowsTheSizingCursorOfItsAxis) {
    struct Case {
        win::Rect rect;
        LPCSTR cursor;
    };
    for (const Case& c : {Case{{10, 10, 15, 300}, IDC_SIZEWE}, Case{{10, 10, 300, 15}, IDC_SIZENS}}) {
        CountingBar one;
        ASSERT_TRUE(one.Create(WS_CHILD | WS_VISIBLE, c.rect, parent.Handle(), kBarId));
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(one.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(one.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  0);
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, c.cursor));
    }
}

TEST_F(Splitter, PaintsADarkFrameAroundItsFace) {
    CreateBar({100, 50, 105, 350});
    parent.Invalidate();
    parent.Update();
    auto at = [&](int x, int y) { return wintest::PixelAt(bar.Handle(), x, y); };
    EXPECT_EQ(at(0, 100), RGB(80, 30, 30));   // left
    EXPECT_EQ(at(2, 0), RGB(80, 30, 30));     // top
    EXPECT_EQ(at(4, 100), RGB(50, 10, 10));   // right
    EXPECT_EQ(at(2, 299), RGB(50, 10, 10));   // bottom
    for (int x = 1; x <= 3; ++x) EXPECT_EQ(at(x, 100), RGB(120, 50, 50));
}

// --- Drags

TEST_F(Splitter, AClickWithoutMovementNotifiesNoDistanceAndLeavesTheBar) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(50, 50, -1);
    const win::Rect before = bar.RectInParent();
    Drag(0, 0);
    ASSERT_EQ(parent.notices.size(), 1u);
    const Parent::Notice& n = parent.notices[0];
    EXPECT_EQ(n.from, bar.Handle());
    EXPECT_EQ(n.id, static_cast<UINT_PTR>(kBarId));
    EXPECT_EQ(n.wp, static_cast<WPARAM>(kBarId));
    EXPECT_EQ(n.code, SPLITTER_MOVED);
    EXPECT_EQ(n.delta, 0);
    EXPECT_EQ(bar.RectInParent(), before);
    EXPECT_EQ(bar.lineDraws, 2);  // drawn once, erased once
    EXPECT_FALSE(bar.Dragging());
    EXPECT_FALSE(bar.HasCapture());
}

// Limits are in the parent's client coordinates around the centre line
// (x 102 for the upright bar, y 202 for the lying one).
TEST_F(Splitter, ADragMovesTheBarAndNotifiesTheDistanceWithinTheLimits) {
    struct Case {
        const char* name;
        win::Rect rect;
        int before, after;
        bool setLimits;
        int dx, dy;
        int delta;
    };
    const Case cases[] = {
        {"right", {100, 50, 105, 350}, 40, 60, true, 30, 7, 30},
        {"left", {100, 50, 105, 350}, 40, 60, true, -25, 0, -25},
        {"right past the limit", {100, 50, 105, 350}, 40, 60, true, 200, 0, 60},
        {"left past the limit", {100, 50, 105, 350}, 40, 60, true, -90, 0, -40},
        {"down", {20, 200, 500, 205}, 30, 30, true, 9, 12, 12},
        {"up past the limit", {20, 200, 500, 205}, 30, 70, true, 0, -150, -30},
        {"no limits set yet", {100, 50, 105, 350}, 0, 0, false, 80, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parent.notices.clear();
        CountingBar one;
        ASSERT_TRUE(one.Create(WS_CHILD | WS_VISIBLE, c.rect, parent.Handle(), kBarId));
        if (c.setLimits) one.SetDragLimits(c.before, c.after, -1);
        const win::Rect start = one.RectInParent();
        wintest::Drag(one.Handle(), c.dx, c.dy);
        ASSERT_EQ(parent.notices.size(), 1u);
        EXPECT_EQ(parent.notices[0].delta, c.delta);
        const bool upright = one.Orientation() == SPLITTER_VERTICAL;
        EXPECT_EQ(one.RectInParent(), upright ? start.Offset(c.delta, 0) : start.Offset(0, c.delta));
    }
}

// The bar's class sends a quick second press as WM_LBUTTONDBLCLK: it starts
// a drag like any press.
TEST_F(Splitter, TheSecondPressOfADoubleClickStartsADrag) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(100, 100, -1);
    Drag(0, 0);
    bar.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(2, 2));
    EXPECT_TRUE(bar.Dragging());
    bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(32, 2));
    bar.Send(WM_LBUTTONUP, 0, At(32, 2));
    ASSERT_EQ(parent.notices.size(), 2u);
    EXPECT_EQ(parent.notices[1].delta, 30);
}

TEST_F(Splitter, SetDragLimitsTakesTheCentreLineForANegativeRoot) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(450, 600, -1);
    EXPECT_EQ(bar.MinPos(), 102 - 450);
    EXPECT_EQ(bar.MaxPos(), 102 + 600);
    bar.SetDragLimits(10, 20, 300);
    EXPECT_EQ(bar.MinPos(), 290);
    EXPECT_EQ(bar.MaxPos(), 320);
}

// Released far outside the parent: the bar holds the capture, so the drag
// still ends, clamped.
TEST_F(Splitter, AReleaseOutsideTheParentStillEndsTheDrag) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(50, 50, -1);
    bar.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    EXPECT_TRUE(bar.HasCapture());
    bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(2000, 2));
    bar.Send(WM_LBUTTONUP, 0, At(2000, 2));
    EXPECT_FALSE(bar.Dragging());
    EXPECT_FALSE(bar.HasCapture());
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0].delta, 50);
}

// Another window takes the mouse in the middle of a drag: the drag is
// cancelled, its lines erased, the bar left where it was, nobody notified.
TEST_F(Splitter, LosingTheCaptureCancelsTheDrag) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(100, 100, -1);
    const win::Rect start = bar.RectInParent();
    bar.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(40, 2));
    ::SetCapture(parent.Handle());
    ::ReleaseCapture();
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(bar.lineDraws, 4);  // drawn, moved (erase + draw), erased
    bar.Send(WM_LBUTTONUP, 0, At(40, 2));
    EXPECT_TRUE(parent.notices.empty());
    EXPECT_EQ(bar.RectInParent(), start);
    EXPECT_EQ(bar.lineDraws, 4);
}

TEST_F(Splitter, AReleaseWithoutAPressOnlyReleasesTheCapture) {
    CreateBar({100, 50, 105, 350});
    bar.Send(WM_LBUTTONUP, 0, At(2, 2));
    EXPECT_TRUE(parent.notices.empty());
    EXPECT_EQ(bar.lineDraws, 0);
}

// The lines are drawn on the screen while the button is down and leave no
// trace once the drag ends.
TEST_F(Splitter, TheDragLinesAreDrawnOnTheScreenAndErasedCompletely) {
    CreateBar({100, 50, 105, 350});
    bar.SetDragLimits(100, 100, -1);
    const win::Rect screenBar = bar.WindowRect();
    const int centre = screenBar.left + screenBar.Width() / 2;
    const int y = screenBar.top + 40;
    auto pixel = [](int x, int py) {
        win::ScreenDC screen;
        return ::GetPixel(screen.Get(), x, py);
    };
    // Columns of the parent's black around the bar, sampled along its length.
    auto blackColumns = [&](int from, int to) {
        int black = 0;
        for (int x = from; x < to; ++x) {
            for (int py = screenBar.top; py < screenBar.bottom; py += 23) black += pixel(x, py) == RGB(0, 0, 0);
        }
        return black;
    };
    const int samples = blackColumns(centre + 30, centre + 70);
    const COLORREF face = pixel(centre - 1, y);

    bar.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    EXPECT_NE(pixel(centre - 1, y), face);  // two lines across the centre ...
    EXPECT_NE(pixel(centre + 1, y), face);
    bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(2 + 50, 2));
    EXPECT_EQ(pixel(centre - 1, y), face);  // ... gone when they move
    // Over black, NOT-XOR with the lines' grey 200 leaves grey 55.
    EXPECT_EQ(pixel(centre + 49, y), RGB(55, 55, 55));
    EXPECT_EQ(pixel(centre + 51, y), RGB(55, 55, 55));
    EXPECT_EQ(pixel(centre + 50, y), RGB(0, 0, 0));
    EXPECT_EQ(pixel(centre + 49, screenBar.top), RGB(55, 55, 55));       // as long as the bar
    EXPECT_EQ(pixel(centre + 49, screenBar.bottom), RGB(0, 0, 0));
    EXPECT_EQ(pixel(centre + 49, screenBar.bottom - 1), RGB(55, 55, 55));

    bar.Send(WM_MOUSEMOVE, MK_LBUTTON, At(2 + 10, 2));
    bar.Send(WM_LBUTTONUP, 0, At(2 + 10, 2));
    ::UpdateWindow(parent.Handle());
    wintest::Pump();
    // Where the lines were at +50, and everywhere the bar never went, the
    // parent shows as before.
    EXPECT_EQ(blackColumns(centre + 30, centre + 70), samples);
}

// --- Edge operations

TEST_F(Splitter, AdjustWidthAndAdjustHeightMoveTheNamedEdge) {
    struct Case {
        const char* name;
        bool width;
        int delta;
        int edge;
        win::Rect expected;
    };
    const win::Rect start{100, 100, 300, 250};
    const Case cases[] = {
        {"right +", true, 20, EDGE_RIGHT, {100, 100, 320, 250}},
        {"right -", true, -30, EDGE_RIGHT, {100, 100, 270, 250}},
        {"left +", true, 20, EDGE_LEFT, {80, 100, 300, 250}},
        {"left -", true, -30, EDGE_LEFT, {130, 100, 300, 250}},
        {"bottom +", false, 15, EDGE_BOTTOM, {100, 100, 300, 265}},
        {"top +", false, 15, EDGE_TOP, {100, 85, 300, 250}},
        {"top -", false, -15, EDGE_TOP, {100, 115, 300, 250}},
        {"width ignores bottom", true, 15, EDGE_BOTTOM, start},
        {"width ignores top", true, 15, EDGE_TOP, start},
        {"height ignores right", false, 15, EDGE_RIGHT, start},
        {"height ignores left", false, 15, EDGE_LEFT, start},
        {"unknown code", true, 15, 7, start},
    };
    HWND pane = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent.Handle(), nullptr,
                                  nullptr, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::MoveWindow(pane, start.left, start.top, start.Width(), start.Height(), TRUE);
        if (c.width) {
            SplitterBar::AdjustWidth(pane, c.delta, c.edge);
        } else {
            SplitterBar::AdjustHeight(pane, c.delta, c.edge);
        }
        EXPECT_EQ(win::RectInParent(pane), c.expected);
    }
    // A window without a parent is left alone.
    const win::Rect topLevel = parent.WindowRect();
    SplitterBar::AdjustWidth(parent.Handle(), 40, EDGE_RIGHT);
    SplitterBar::AdjustHeight(parent.Handle(), 40, EDGE_BOTTOM);
    EXPECT_EQ(parent.WindowRect(), topLevel);
}

}  // namespace
