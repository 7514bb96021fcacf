// The skinned header as it appears on screen: the gradient strip, one light
// line between columns, the opening edge of the first column in display
// order, red titles, and the background below the strip.
#include <algorithm>
#include <array>

#include "win/Gdi.h"

#include "SkinHost.h"

namespace {

using skintest::Grey;
using skintest::IsGrey;

// The body strip, top row first.
constexpr std::array<int, 12> kBody = {90, 73, 73, 73, 73, 57, 41, 25, 7, 0, 0, 90};
constexpr COLORREF kBackground = RGB(50, 50, 50);

bool IsLight(COLORREF c) {
    return IsGrey(c) && Grey(c) >= 85 && Grey(c) <= 95;
}

class Header : public skintest::SkinFixture {
protected:
    void MakeHeader(const std::vector<skintest::Column>& columns) {
        MakeList({10, 10, 410, 210}, columns, 3);
        ASSERT_NE(HeaderWindow(), nullptr);
    }

    COLORREF At(int x, int y) { return wintest::PixelAt(HeaderWindow(), x, y); }

    win::Rect ColumnRect(int index) {
        RECT r{};
        ::SendMessageA(HeaderWindow(), HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }

    // The grey levels of column x of the strip, rows 0 to 11.
    std::array<int, 12> StripAt(int x) {
        std::array<int, 12> levels{};
        for (int y = 0; y < 12; ++y) {
            COLORREF c = At(x, y);
            levels[static_cast<size_t>(y)] = IsGrey(c) ? Grey(c) : -1;
        }
        return levels;
    }

    bool IsLightColumn(int x) {
        for (int y = 0; y < 12; ++y) {
            if (!IsLight(At(x, y))) return false;
        }
        return true;
    }

    void SetOrder(std::vector<int> order) {
        list.Send(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
        Repaint();
    }
};

const std::vector<skintest::Column> kThreeColumns = {{"#", 60}, {"FILENAME", 150}, {"SIZE", 90}};

TEST_F(Header, EachColumnShowsTheBodyStripRowByRow) {
    MakeHeader(kThreeColumns);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const win::Rect c = ColumnRect(i);
        EXPECT_EQ(StripAt(c.left + 4), kBody);      // the stretched middle, clear of the centred title
        EXPECT_EQ(StripAt(c.right - 2), kBody);     // the right edge's inner column
        EXPECT_TRUE(IsLightColumn(c.right - 1));    // ... and its light line
    }
    // Right of the last column the strip runs on.
    EXPECT_EQ(StripAt(ColumnRect(2).right + 20), kBody);
}

TEST_F(Header, OneLightLineSeparatesNeighbouringColumns) {
    MakeHeader(kThreeColumns);
    for (int i = 1; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int left = ColumnRect(i).left;
        EXPECT_TRUE(IsLightColumn(left - 1));
        EXPECT_EQ(StripAt(left - 2), kBody);
        EXPECT_EQ(StripAt(left), kBody);
        EXPECT_EQ(StripAt(left + 1), kBody);
    }
}

TEST_F(Header, TheFirstColumnInDisplayOrderOpensWithALightLine) {
    MakeHeader(kThreeColumns);
    EXPECT_TRUE(IsLightColumn(ColumnRect(0).left));
    EXPECT_EQ(StripAt(ColumnRect(0).left + 1), kBody);

    // Column 2 dragged to the front: it opens, column 0 no longer does.
    SetOrder({2, 0, 1});
    const win::Rect front = ColumnRect(2);
    ASSERT_EQ(front.left, 0);
    EXPECT_TRUE(IsLightColumn(front.left));
    const win::Rect formerFirst = ColumnRect(0);
    ASSERT_GT(formerFirst.left, 0);
    EXPECT_EQ(StripAt(formerFirst.left), kBody);
    EXPECT_TRUE(IsLightColumn(formerFirst.left - 1));
}

TEST_F(Header, TitlesAreRedAndCutWithAnEllipsisWhenTooWide) {
    MakeHeader({{"#", 60}, {"A VERY LONG COLUMN TITLE THAT DOES NOT FIT", 70}, {"SIZE", 90}});
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const win::Rect c = ColumnRect(i).Deflate(2);
        int red = 0;
        for (int y = c.top; y < c.bottom; ++y) {
            for (int x = c.left; x < c.right; ++x) red += skintest::IsRed(At(x, y));
        }
        EXPECT_GT(red, 0);
    }
    // The long title stays inside its column (nothing red spills past it)
    // and ends in an ellipsis: its last five columns hold only dots on the
    // baseline, where a title merely cut would end in part of a capital.
    const win::Rect narrow = ColumnRect(1);
    for (int y = 0; y < 12; ++y) EXPECT_FALSE(skintest::IsRed(At(narrow.right + 3, y)));
    int top = 12, baseline = -1, last = -1;
    for (int y = 0; y < 12; ++y)
        for (int x = narrow.left; x < narrow.right; ++x)
            if (skintest::IsRed(At(x, y))) {
                top = std::min(top, y);
                baseline = std::max(baseline, y);
                last = std::max(last, x);
            }
    ASSERT_GE(baseline - top, 4) << "no title";
    int aboveTheDots = 0;
    for (int y = top; y < baseline - 2; ++y)
        for (int x = last - 4; x <= last; ++x) aboveTheDots += skintest::IsRed(At(x, y));
    EXPECT_EQ(aboveTheDots, 0);
}

TEST_F(Header, BelowTheStripIsTheBackgroundFill) {
    MakeHeader(kThreeColumns);
    LOGFONTA description{};
    description.lfHeight = -16;
    win::Font font = win::Font::FromLogFont(description);
    list.SetFont(font.Get());
    Repaint();
    const win::Rect client = win::ClientRect(HeaderWindow());
    ASSERT_GT(client.Height(), 12);
    for (int y = 12; y < client.Height(); ++y) {
        EXPECT_EQ(At(ColumnRect(1).left + 4, y), kBackground);
        EXPECT_EQ(At(client.right - 3, y), kBackground);
    }
}

TEST_F(Header, WithoutColumnsTheStripStartsTwoPixelsIn) {
    MakeHeader({});
    const win::Rect client = win::ClientRect(HeaderWindow());
    ASSERT_GT(client.Width(), 20);
    for (int y = 0; y < 12; ++y) {
        EXPECT_EQ(At(0, y), kBackground);
        EXPECT_EQ(At(1, y), kBackground);
    }
    EXPECT_EQ(StripAt(2), kBody);
    EXPECT_EQ(StripAt(client.Width() / 2), kBody);
    EXPECT_EQ(StripAt(client.Width() - 1), kBody);
}

}  // namespace
