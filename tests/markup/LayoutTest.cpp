// The markup layout on GDI (content height, item placement, link table,
// rules, surfaces) and the clipped colour-keyed copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/MarkupLayout.h"
#include "markup/TransparentBlit.h"
#include "resource.h"

namespace {

constexpr int kWidth = 300;
constexpr COLORREF kKey = RGB(255, 0, 255);

markup::Layout Lay(const std::string& text) {
    win::ScreenDC screen;
    return markup::LayOut(screen.Get(), text, kWidth, kKey);
}

COLORREF SurfacePixel(const win::Bitmap& surface, int x, int y) {
    win::ScreenDC screen;
    win::MemoryDC dc(screen.Get());
    win::SelectGuard select(dc.Get(), surface);
    return ::GetPixel(dc.Get(), x, y);
}

TEST(MarkupLayout, EmptyTextIsOneSpaceOfArial12High) {
    win::ScreenDC screen;
    win::MemoryDC dc(screen.Get());
    win::Font arial(::CreateFontA(-12, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  PROOF_QUALITY, DEFAULT_PITCH, "Arial"));
    win::SelectGuard select(dc.Get(), arial);
    RECT space{0, 0, kWidth, markup::SurfaceHeight};
    ::DrawTextA(dc.Get(), " ", 1, &space, DT_CALCRECT);

    markup::Layout empty = Lay("");
    EXPECT_GT(empty.contentHeight, 0);
    EXPECT_EQ(empty.contentHeight, space.bottom);
    EXPECT_TRUE(empty.linkRects.empty());
    EXPECT_EQ(Lay("<p>").contentHeight, 3 * space.bottom);  // each line end on an empty line
    EXPECT_EQ(SurfacePixel(empty.normalSurface, kWidth - 1, markup::SurfaceHeight - 1), kKey);
}

// Bitmap 136 is 2 x 12; with a 4-pixel border its cell is 10 x 20.
TEST(MarkupLayout, ItemsSitInTheirLineByValign) {
    const struct {
        const char* valign;
        int offset;
    } cases[] = {{"top", 0}, {"middle", 4}, {"bottom", 8}};
    for (const auto& c : cases) {
        markup::Layout l = Lay(std::string("<font valign='") + c.valign +
                               "'><a href='s'><img src='#136' border='0'></a><a href='b'><img src='#136' border='4'>");
        const int lineX = kWidth / 2 - 12 / 2;
        ASSERT_EQ(l.linkRects.size(), 2u);
        EXPECT_EQ(l.linkRects[0], win::Rect(lineX, c.offset, lineX + 2, c.offset + 12)) << c.valign;
        EXPECT_EQ(l.linkRects[1], win::Rect(lineX + 2, 0, lineX + 12, 20)) << c.valign;
    }
}

TEST(MarkupLayout, AWiderHoverLookWidensTheCell) {
    markup::Layout plain = Lay("<a href='x'>Wide</a>");
    markup::Layout big = Lay("<a href='x' size='30'>Wide</a>");
    markup::Layout small = Lay("<a href='x' size='6'>Wide</a>");
    ASSERT_EQ(plain.linkRects.size(), 1u);
    ASSERT_EQ(big.linkRects.size(), 1u);
    ASSERT_EQ(small.linkRects.size(), 1u);
    EXPECT_GT(big.linkRects[0].Width(), plain.linkRects[0].Width());
    EXPECT_GT(big.linkRects[0].Height(), plain.linkRects[0].Height());  // height included
    EXPECT_EQ(small.linkRects[0].Width(), plain.linkRects[0].Width());
    EXPECT_EQ(small.linkRects[0].Height(), plain.linkRects[0].Height());
}

TEST(MarkupLayout, LinkRectanglesInPlacingOrder) {
    markup::Layout three = Lay("<a href='1'>one</a> <a href='2'>two</a>\n<a href='3'>three</a>");
    ASSERT_EQ(three.linkRects.size(), 3u);
    EXPECT_EQ(three.linkTargets, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_LT(three.linkRects[0].right, three.linkRects[1].left);  // a blank between them
    EXPECT_EQ(three.linkRects[2].top, three.linkRects[0].bottom);

    markup::Layout twoFonts = Lay("<a href='t'>one<font size='20'>two</font></a>");
    ASSERT_EQ(twoFonts.linkRects.size(), 2u);
    EXPECT_EQ(twoFonts.linkTargets, (std::vector<std::string>{"t", "t"}));
    EXPECT_EQ(twoFonts.linkRects[0].right, twoFonts.linkRects[1].left);

    // A later layout holds only its own links.
    EXPECT_TRUE(Lay("no links").linkRects.empty());
}

TEST(MarkupLayout, RuleTakesItsSizePlusFourOnTheNormalSurfaceOnly) {
    const int empty = Lay("").contentHeight;
    markup::Layout l = Lay("<hr size='3' color='0,255,0'>");
    EXPECT_EQ(l.contentHeight - empty, 7);
    const COLORREF green = RGB(0, 255, 0);
    EXPECT_EQ(SurfacePixel(l.normalSurface, kWidth / 2, 1), kKey);
    EXPECT_EQ(SurfacePixel(l.normalSurface, kWidth / 2, 2), green);
    EXPECT_EQ(SurfacePixel(l.normalSurface, kWidth / 2, 4), green);
    EXPECT_EQ(SurfacePixel(l.normalSurface, kWidth / 2, 5), kKey);
    EXPECT_EQ(SurfacePixel(l.normalSurface, 4, 3), kKey);  // 10 narrower than the control, centred
    EXPECT_EQ(SurfacePixel(l.normalSurface, 5, 3), green);
    EXPECT_EQ(SurfacePixel(l.hoverSurface, kWidth / 2, 3), kKey);

    // A rule ends a non-empty line first.
    markup::Layout after = Lay("<a href='x'>text</a><hr size='3'><a href='y'>next</a>");
    ASSERT_EQ(after.linkRects.size(), 2u);
    EXPECT_EQ(after.linkRects[1].top, after.linkRects[0].bottom + 7);
}

// A line of three 250-pixel cells (red, green, blue) in the 300-pixel
// control: aligned first, then cut to the control.
TEST(MarkupLayout, AWideLineIsAlignedBeforeItIsCut) {
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    const struct {
        const char* align;
        COLORREF left, middle, right;  // at columns 0, 149 and 299
    } cases[] = {{"left", red, red, green}, {"center", red, green, blue}, {"right", green, blue, blue}};
    for (const auto& c : cases) {
        markup::Layout l = Lay(std::string("<font align='") + c.align +
                               "'><img src='#136' border='124' color='255,0,0'><img src='#136' border='124' "
                               "color='0,255,0'><img src='#136' border='124' color='0,0,255'>");
        EXPECT_EQ(SurfacePixel(l.normalSurface, 0, 5), c.left) << c.align;
        EXPECT_EQ(SurfacePixel(l.normalSurface, 149, 5), c.middle) << c.align;
        EXPECT_EQ(SurfacePixel(l.normalSurface, kWidth - 1, 5), c.right) << c.align;
    }
}

TEST(MarkupLayout, NegativeVerticalSpaceMovesTheNextLineUp) {
    markup::Layout l = Lay("<a href='a'>A</a>\n<vspace size='-10'><a href='b'>B</a>");
    ASSERT_EQ(l.linkRects.size(), 2u);
    EXPECT_EQ(l.linkRects[1].top, l.linkRects[0].bottom - 10);
}

TEST(MarkupLayout, ContentBelowTheSurfacesIsLostButCounted) {
    markup::Layout l = Lay("<vspace size='6000'><a href='deep'>deep</a>");
    ASSERT_EQ(l.linkRects.size(), 1u);
    EXPECT_EQ(l.linkRects[0].top, 6000);
    EXPECT_GT(l.contentHeight, 6000);
    // Huge numbers neither overflow nor allocate: they are cut.
    markup::Layout huge = Lay("<hspace size='2000000000'>x<img src='#136' border='2000000000'>"
                              "<vspace size='2000000000'><vspace size='2000000000'>y");
    EXPECT_GT(huge.contentHeight, 0);
}

TEST(TransparentBlit, KeyedPixelsStayAndEdgesAreCut) {
    win::ScreenDC screen;
    constexpr int n = 10;
    constexpr COLORREF kOld = RGB(0, 0, 200);
    auto sourceColor = [](int x, int y) { return x == y ? kKey : RGB(x * 20, y * 20, 100); };
    const struct {
        win::Rect dest;
        win::Point from;
    } cases[] = {
        {{2, 3, 7, 9}, {1, 1}},     // inside
        {{-5, -5, 5, 5}, {0, 0}},   // sticks out at the top left
        {{8, 8, 18, 18}, {0, 0}},   // sticks out at the bottom right
        {{0, 0, 10, 10}, {6, -3}},  // the source sticks out
    };
    for (const auto& c : cases) {
        win::MemoryDC source(screen.Get());
        win::Bitmap sourceBitmap = win::Bitmap::Compatible(screen.Get(), n, n);
        win::SelectGuard selectSource(source.Get(), sourceBitmap);
        win::MemoryDC dest(screen.Get());
        win::Bitmap destBitmap = win::Bitmap::Compatible(screen.Get(), n, n);
        win::SelectGuard selectDest(dest.Get(), destBitmap);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                ::SetPixel(source.Get(), x, y, sourceColor(x, y));
                ::SetPixel(dest.Get(), x, y, kOld);
            }
        markup::TransparentBlit(source.Get(), dest.Get(), kKey, c.dest, c.from);
        int wrong = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int sx = x - c.dest.left + c.from.x, sy = y - c.dest.top + c.from.y;
                const bool copied = c.dest.Contains({x, y}) && sx >= 0 && sy >= 0 && sx < n && sy < n;
                const COLORREF want = copied && sourceColor(sx, sy) != kKey ? sourceColor(sx, sy) : kOld;
                wrong += ::GetPixel(dest.Get(), x, y) != want ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0) << c.dest.left << "," << c.dest.top << " from " << c.from.x << "," << c.from.y;
    }
}

}  // namespace
