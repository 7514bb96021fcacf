// The off-screen surface: one copy to the target when it dies, limited to
// its rectangle and to the target's clipping, and a clean teardown.
#include <gtest/gtest.h>

#include "skin/MemDC.h"

namespace {

constexpr COLORREF kBefore = RGB(10, 20, 30);
constexpr COLORREF kDrawn = RGB(200, 100, 50);

// A 64 x 64 target in memory, filled with kBefore.
class Target {
public:
    Target() : screen_(nullptr), dc_(screen_.Get()), bitmap_(win::Bitmap::Compatible(screen_.Get(), 64, 64)),
               selection_(dc_.Get(), bitmap_) {
        win::FillSolidRect(dc_.Get(), {0, 0, 64, 64}, kBefore);
    }
    HDC Get() const { return dc_.Get(); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.Get(), x, y); }

private:
    win::ClientDC screen_;
    win::MemoryDC dc_;
    win::Bitmap bitmap_;
    win::SelectGuard selection_;
};

// What is drawn outside the rectangle is lost.
TEST(MemDC, ReachesTheTargetOnlyWhenItDiesAndOnlyWithinItsRectangle) {
    Target target;
    {
        skin::MemDC dc(target.Get(), {0, 0, 40, 30});
        win::FillSolidRect(dc.Get(), {0, 0, 64, 64}, kDrawn);
        EXPECT_EQ(target.At(5, 5), kBefore);
    }
    EXPECT_EQ(target.At(0, 0), kDrawn);
    EXPECT_EQ(target.At(39, 29), kDrawn);
    EXPECT_EQ(target.At(40, 29), kBefore);
    EXPECT_EQ(target.At(39, 30), kBefore);
    EXPECT_EQ(target.At(50, 50), kBefore);
}

TEST(MemDC, AnEmptyRectangleCopiesNothing) {
    for (const win::Rect& empty : {win::Rect{0, 0, 0, 30}, win::Rect{0, 0, 30, 0}, win::Rect{}}) {
        Target target;
        {
            skin::MemDC dc(target.Get(), empty);
            win::FillSolidRect(dc.Get(), {0, 0, 64, 64}, kDrawn);
        }
        EXPECT_EQ(target.At(0, 0), kBefore);
        EXPECT_EQ(target.At(10, 10), kBefore);
    }
}

// The list leaves its header alone this way.
TEST(MemDC, TheCopyObeysTheTargetsClipping) {
    Target target;
    {
        skin::MemDC dc(target.Get(), {0, 0, 64, 64});
        win::FillSolidRect(dc.Get(), {0, 0, 64, 64}, kDrawn);
        ::ExcludeClipRect(target.Get(), 0, 0, 64, 12);
    }
    EXPECT_EQ(target.At(30, 0), kBefore);
    EXPECT_EQ(target.At(30, 11), kBefore);
    EXPECT_EQ(target.At(30, 12), kDrawn);
}

// Drawing in target coordinates lands in place even when the rectangle does
// not start at the origin.
TEST(MemDC, ARectangleAwayFromTheOriginKeepsTargetCoordinates) {
    Target target;
    {
        skin::MemDC dc(target.Get(), {10, 20, 50, 60});
        win::FillSolidRect(dc.Get(), {10, 20, 50, 60}, RGB(0, 0, 255));
        win::FillSolidRect(dc.Get(), {30, 40, 31, 41}, kDrawn);
    }
    EXPECT_EQ(target.At(30, 40), kDrawn);
    EXPECT_EQ(target.At(10, 20), RGB(0, 0, 255));
    EXPECT_EQ(target.At(49, 59), RGB(0, 0, 255));
    EXPECT_EQ(target.At(9, 20), kBefore);
    EXPECT_EQ(target.At(50, 59), kBefore);
}

TEST(MemDC, FreesItsBitmapAndDeviceContext) {
    Target target;
    HGDIOBJ bitmap = nullptr;
    HDC memory = nullptr;
    {
        skin::MemDC dc(target.Get(), {0, 0, 32, 32});
        memory = dc.Get();
        bitmap = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
        BITMAP info{};
        ASSERT_NE(::GetObjectA(bitmap, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 32);
        EXPECT_EQ(info.bmHeight, 32);
    }
    EXPECT_EQ(::GetObjectType(bitmap), 0u);  // deleted: it was deselected first
    EXPECT_EQ(::GetObjectType(memory), 0u);
}

}  // namespace
