// The skinned list on screen: dark rows, selected rows red on black with the
// selection intact, the empty area filled, the header left alone, and no
// scroll bars of the list's own.
#include "SkinHost.h"

namespace {

using skintest::IsRed;

constexpr COLORREF kBackground = RGB(50, 50, 50);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class List : public skintest::SkinFixture {
protected:
    win::Rect RowRect(int row) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        list.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    COLORREF At(int x, int y) { return wintest::PixelAt(list.Handle(), x, y); }
    int RedPixelsIn(const win::Rect& r) {
        int red = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) red += IsRed(At(x, y));
        }
        return red;
    }
    void Select(int row, bool selected) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = selected ? LVIS_SELECTED : 0;
        list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    int FirstSelected() { return static_cast<int>(list.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }
};

const std::vector<skintest::Column> kColumns = {{"#", 50}, {"FILENAME", 200}, {"SIZE", 80}};

TEST_F(List, RowsSitOnTheDarkBackground) {
    MakeList({10, 10, 410, 260}, kColumns, 5);
    for (int row = 0; row < 5; ++row) {
        const win::Rect r = RowRect(row);
        EXPECT_EQ(At(r.right - 3, r.top + 1), kBackground) << row;  // right of the short text
        EXPECT_EQ(RedPixelsIn(r), 0) << row;
    }
}

TEST_F(List, TheAreaWithoutRowsIsFilled) {
    MakeList({10, 10, 410, 260}, kColumns, 2);
    const win::Rect client = list.ClientRect();
    const win::Rect last = RowRect(1);
    for (int x : {2, client.Width() / 2, client.Width() - 2}) {
        EXPECT_EQ(At(x, last.bottom + 3), kBackground);
        EXPECT_EQ(At(x, client.bottom - 2), kBackground);
    }
    EXPECT_EQ(At(client.right - 2, last.top + 2), kBackground);  // right of the last column
}

// Whether or not the list has the focus, a selected row is red on black
// after every repaint and stays selected.
TEST_F(List, ASelectedRowIsRedOnBlackAndStaysSelected) {
    MakeList({10, 10, 410, 260}, kColumns, 5);
    Select(1, true);
    for (bool focused : {true, false, true}) {
        SCOPED_TRACE(focused ? "focused" : "not focused");
        ::SetFocus(focused ? list.Handle() : host.Handle());
        list.Invalidate();
        Repaint();
        const win::Rect r = RowRect(1);
        EXPECT_EQ(At(r.right - 3, r.top + 2), kBlack);
        EXPECT_GT(RedPixelsIn(r), 0);
        EXPECT_EQ(At(RowRect(0).right - 3, RowRect(0).top + 2), kBackground);
        EXPECT_EQ(FirstSelected(), 1);
        EXPECT_EQ(list.Send(LVM_GETNEXTITEM, 1, LVNI_SELECTED), -1);
        EXPECT_EQ(list.Send(LVM_GETSELECTEDCOUNT), 1);
    }
    Select(1, false);
    Select(3, true);
    Repaint();
    EXPECT_EQ(At(RowRect(1).right - 3, RowRect(1).top + 2), kBackground);
    EXPECT_EQ(At(RowRect(3).right - 3, RowRect(3).top + 2), kBlack);
    EXPECT_EQ(FirstSelected(), 3);
}

// Painting the list copies its whole client area except the header, which
// paints itself; with the header's area in the copy the strip would show
// the list's background.
TEST_F(List, PaintingTheListNeverOverdrawsItsHeader) {
    MakeList({10, 10, 410, 260}, kColumns, 5);
    HWND header = HeaderWindow();
    const win::Rect headerRect = win::ClientRect(header);
    auto stripTop = [&] { return wintest::PixelAt(header, headerRect.right - 5, 0); };
    ASSERT_EQ(stripTop(), RGB(90, 90, 90));
    for (int i = 0; i < 3; ++i) {
        ::RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
        EXPECT_EQ(stripTop(), RGB(90, 90, 90));
        EXPECT_EQ(wintest::PixelAt(header, 30, 11), RGB(90, 90, 90));
    }
}

// Only the skinned bars show: the list's client area is its whole window
// although it has rows and columns to scroll, and its scroll state is still
// there for the bars to read.
TEST_F(List, TheListsOwnScrollBarsDoNotShow) {
    MakeList({10, 10, 310, 210}, {{"#", 50}, {"FILENAME", 400}, {"SIZE", 80}}, 60);
    const win::Rect window = list.WindowRect();
    const win::Rect client = list.ClientRect();
    EXPECT_EQ(client.Width(), window.Width());
    EXPECT_EQ(client.Height(), window.Height());
    EXPECT_EQ(list.Style() & (WS_HSCROLL | WS_VSCROLL), 0u);

    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(list.Handle(), SB_VERT, &info));
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
    ASSERT_TRUE(::GetScrollInfo(list.Handle(), SB_HORZ, &info));
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));

    // Scrolling must not bring them back.
    list.Send(WM_VSCROLL, SB_PAGEDOWN);
    list.Send(LVM_SCROLL, 40, 0);
    Repaint();
    EXPECT_EQ(list.ClientRect().Width(), window.Width());
    EXPECT_EQ(list.Style() & (WS_HSCROLL | WS_VSCROLL), 0u);
}

// Wheel and keys scroll the list; the thumbs show the new position once the
// list has repainted.
TEST_F(List, WheelAndKeysMoveTheThumbsAfterTheRepaint) {
    MakeList({10, 10, 310, 210}, kColumns, 60);
    ::SetFocus(list.Handle());
    const int start = list.VScrollBar().ThumbY();
    list.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(100, 100));
    Repaint();
    ASSERT_GT(::GetScrollPos(list.Handle(), SB_VERT), 0);
    const int afterWheel = list.VScrollBar().ThumbY();
    EXPECT_GT(afterWheel, start);

    list.Send(WM_KEYDOWN, VK_END, 0);
    list.Send(WM_KEYUP, VK_END, 0);
    Repaint();
    const int height = list.VScrollBar().ClientRect().Height();
    EXPECT_EQ(list.VScrollBar().ThumbY(), height - 62);

    list.Send(WM_KEYDOWN, VK_HOME, 0);
    list.Send(WM_KEYUP, VK_HOME, 0);
    Repaint();
    EXPECT_EQ(list.VScrollBar().ThumbY(), skin::SkinVScrollBar::kThumbMinimum);
}

}  // namespace
