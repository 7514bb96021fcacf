// The gallery window as a whole: the list it shows with its bars flush with
// it. (Its dividers work as the viewer's do: the viewer's and the splitter's
// tests.)
#include <gtest/gtest.h>

#include <string>

#include "gallery/GalleryWindow.h"
#include "win/App.h"
#include "win/Pump.h"

namespace {

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
    const win::Rect r = window.List().RectInParent();
    EXPECT_EQ(window.List().VScrollBar().RectInParent(), win::Rect(r.right, r.top, r.right + 12, r.bottom + 12));
    EXPECT_EQ(window.List().HScrollBar().RectInParent(), win::Rect(r.left, r.bottom, r.right + 1, r.bottom + 12));
}

}  // namespace
