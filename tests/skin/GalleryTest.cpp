// The gallery window as a whole: the list it shows, and the dividers moving
// the list's edges with its bars following, as the pack viewer will.
#include <gtest/gtest.h>

#include <string>

#include "gallery/GalleryWindow.h"
#include "win/App.h"
#include "win/Pump.h"

namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

std::string ColumnTitle(HWND list, int index) {
    char text[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    return text;
}

class Gallery : public ::testing::Test {
protected:
    void SetUp() override {
        win::InitCommonControlClasses();
        ASSERT_TRUE(window.Create(win::Rect::FromSize(30, 30, 820, 600)));
        ::UpdateWindow(window.Handle());
        wintest::Pump();
    }

    void DragDivider(SplitterBar& divider, int dx, int dy) {
        divider.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
        divider.Send(WM_MOUSEMOVE, MK_LBUTTON, At(2 + dx, 2 + dy));
        divider.Send(WM_LBUTTONUP, 0, At(2 + dx, 2 + dy));
        wintest::Pump();
    }

    void ExpectBarsFlushWithList() {
        const win::Rect list = window.List().RectInParent();
        EXPECT_EQ(window.List().VScrollBar().RectInParent(),
                  win::Rect(list.right, list.top, list.right + 12, list.bottom + 12));
        EXPECT_EQ(window.List().HScrollBar().RectInParent(),
                  win::Rect(list.left, list.bottom, list.right + 1, list.bottom + 12));
    }

    gallery::GalleryWindow window;
};

TEST_F(Gallery, ShowsTheEntryListsColumnsAnd500RowsWithTheThirdSelected) {
    HWND list = window.List().Handle();
    EXPECT_EQ(window.Text(), "Skin gallery");
    EXPECT_EQ(ColumnTitle(list, 0), "#");
    EXPECT_EQ(ColumnTitle(list, 1), "FILENAME");
    EXPECT_EQ(ColumnTitle(list, 2), "SIZE");
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), gallery::kRowCount);
    EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), gallery::kSelectedRow);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    ExpectBarsFlushWithList();
}

TEST_F(Gallery, TheDividersMoveTheListsEdgesAndTheBarsFollow) {
    const win::Rect list = window.List().RectInParent();
    const win::Rect side = win::RectInParent(window.SidePane());
    const win::Rect bottom = win::RectInParent(window.BottomPane());

    DragDivider(window.VerticalDivider(), 60, 0);
    EXPECT_EQ(window.List().RectInParent(), win::Rect(list.left, list.top, list.right + 60, list.bottom));
    EXPECT_EQ(win::RectInParent(window.SidePane()), win::Rect(side.left + 60, side.top, side.right, side.bottom));
    ExpectBarsFlushWithList();

    DragDivider(window.HorizontalDivider(), 0, -80);
    EXPECT_EQ(window.List().RectInParent(), win::Rect(list.left, list.top, list.right + 60, list.bottom - 80));
    EXPECT_EQ(win::RectInParent(window.BottomPane()),
              win::Rect(bottom.left, bottom.top - 80, bottom.right, bottom.bottom));
    ExpectBarsFlushWithList();
}

}  // namespace
