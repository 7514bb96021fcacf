// GDI ownership: every object deleted exactly once, selections put back, an
// off-screen surface torn down in the order that lets its bitmap go.
#include <gtest/gtest.h>

#include "win/Gdi.h"
#include "win/Window.h"
#include "Pump.h"

namespace {

bool Alive(HGDIOBJ object) {
    return ::GetObjectType(object) != 0;
}

TEST(Gdi, OwnersDeleteTheirObjectOnce) {
    HBRUSH brush;
    HPEN pen;
    HFONT font;
    HRGN region;
    {
        win::Brush b = win::Brush::Solid(RGB(1, 2, 3));
        win::Pen p = win::Pen::Solid(1, RGB(4, 5, 6));
        LOGFONTA description{};
        description.lfHeight = 12;
        win::Font f = win::Font::FromLogFont(description);
        win::Region r = win::Region::FromRect({0, 0, 5, 5});
        brush = b.Get();
        pen = p.Get();
        font = f.Get();
        region = r.Get();
        ASSERT_TRUE(Alive(brush) && Alive(pen) && Alive(font) && Alive(region));
    }
    EXPECT_FALSE(Alive(brush));
    EXPECT_FALSE(Alive(pen));
    EXPECT_FALSE(Alive(font));
    EXPECT_FALSE(Alive(region));
}

TEST(Gdi, MovingHandsOwnershipOnResetAndReleaseDoWhatTheySay) {
    win::Brush first = win::Brush::Solid(RGB(9, 9, 9));
    HBRUSH handle = first.Get();
    win::Brush second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), handle);

    win::Brush third;
    third = std::move(second);
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(third.Get(), handle);

    third.Reset(::CreateSolidBrush(RGB(1, 1, 1)));
    EXPECT_FALSE(Alive(handle));  // the old one went with the reset

    HBRUSH released = third.Release();
    EXPECT_FALSE(third);
    EXPECT_TRUE(Alive(released));
    ::DeleteObject(released);
}

TEST(Gdi, SelectGuardPutsThePreviousObjectBack) {
    win::MemoryDC dc(nullptr);
    HGDIOBJ originalPen = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    HGDIOBJ originalFont = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    HPEN penHandle;
    {
        win::Pen pen = win::Pen::Solid(3, RGB(200, 0, 0));
        penHandle = pen.Get();
        LOGFONTA description{};
        description.lfHeight = 20;
        win::Font font = win::Font::FromLogFont(description);
        win::SelectGuard selectPen(dc.Get(), pen);
        win::SelectGuard selectFont(dc.Get(), win::FontView(font));
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
        EXPECT_EQ(selectPen.Previous(), originalPen);

        selectFont.Restore();
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), originalFont);
        selectFont.Restore();  // a second restore changes nothing
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), originalPen);
    EXPECT_FALSE(Alive(penHandle));  // deselected before it was deleted
}

// Declared in this order, the parts die in the order that frees everything.
struct Surface {
    Surface(HDC target, int w, int h)
        : dc(target), bitmap(win::Bitmap::Compatible(target, w, h)), selection(dc.Get(), bitmap) {}
    win::MemoryDC dc;
    win::Bitmap bitmap;
    win::SelectGuard selection;
};

TEST(Gdi, OffScreenSurfaceFreesItsBitmapAndItsDc) {
    HDC dcHandle;
    HBITMAP bitmapHandle;
    {
        win::ScreenDC screen;
        Surface surface(screen.Get(), 40, 30);
        dcHandle = surface.dc.Get();
        bitmapHandle = surface.bitmap.Get();
        EXPECT_EQ(::GetCurrentObject(dcHandle, OBJ_BITMAP), bitmapHandle);
        EXPECT_EQ(surface.bitmap.Size(), win::Point(40, 30));
    }
    EXPECT_FALSE(Alive(bitmapHandle));
    EXPECT_FALSE(Alive(dcHandle));
}

TEST(Gdi, SavedDcUndoesAttributes) {
    win::MemoryDC dc(nullptr);
    ::SetTextColor(dc.Get(), RGB(1, 2, 3));
    {
        win::SavedDC saved(dc.Get());
        ::SetTextColor(dc.Get(), RGB(200, 100, 50));
        ::SetBkMode(dc.Get(), TRANSPARENT);
    }
    EXPECT_EQ(::GetTextColor(dc.Get()), RGB(1, 2, 3));
    EXPECT_EQ(::GetBkMode(dc.Get()), OPAQUE);
}

TEST(Gdi, FillAndFrameTouchExactlyTheirPixels) {
    win::ScreenDC screen;
    win::MemoryDC dc(screen.Get());
    win::Bitmap bitmap = win::Bitmap::Compatible(screen.Get(), 12, 12);
    win::SelectGuard selection(dc.Get(), bitmap);
    const COLORREF background = RGB(10, 10, 10), light = RGB(80, 30, 30), dark = RGB(50, 10, 10);
    win::FillSolidRect(dc.Get(), {0, 0, 12, 12}, background);
    win::Draw3dRect(dc.Get(), {2, 2, 8, 7}, light, dark);

    struct Expect { int x, y; COLORREF color; };
    for (const Expect& e : {Expect{2, 2, light}, Expect{6, 2, light}, Expect{2, 5, light},
                            Expect{7, 2, dark}, Expect{7, 6, dark}, Expect{2, 6, dark},
                            Expect{3, 3, background}, Expect{6, 5, background},
                            Expect{8, 2, background}, Expect{2, 7, background}, Expect{1, 1, background}}) {
        EXPECT_EQ(::GetPixel(dc.Get(), e.x, e.y), e.color) << e.x << "," << e.y;
    }
}

// Paints its client area through a PaintDC, which must validate it.
class Painted : public win::Window {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_PAINT: return OnPaint();
        case WM_ERASEBKGND: return TRUE;
        default: return Window::HandleMessage(msg, wp, lp);
        }
    }
    int paints = 0;

private:
    LRESULT OnPaint() {
        ++paints;
        win::PaintDC dc(Handle());
        win::FillSolidRect(dc.Get(), ClientRect(), RGB(0, 0, 200));
        return 0;
    }
};

TEST(Gdi, PaintDcValidatesWhatItPainted) {
    ASSERT_TRUE(win::Window::RegisterWindowClass("TessaroGdiTest", 0));
    Painted window;
    ASSERT_TRUE(window.Create("TessaroGdiTest", "", WS_POPUP | WS_VISIBLE, 0, {30, 30, 130, 90}, nullptr, 0));
    window.Invalidate();
    window.Update();
    EXPECT_GE(window.paints, 1);
    EXPECT_FALSE(::GetUpdateRect(window.Handle(), nullptr, FALSE));
    EXPECT_EQ(wintest::PixelAt(window.Handle(), 50, 30), RGB(0, 0, 200));
    int paints = window.paints;
    wintest::Pump();
    EXPECT_EQ(window.paints, paints);  // nothing left to paint
}

}  // namespace
