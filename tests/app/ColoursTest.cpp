// The look the application sets at start-up: every dialog and every message
// box black with red text, read back from the screen.
#include <gtest/gtest.h>

#include <string>

#include "app/TessaroApp.h"
#include "resource.h"
#include "win/Dialog.h"
#include "win/DialogColors.h"
#include "win/MessageBox.h"
#include "win/Pump.h"

namespace {

bool IsRed(COLORREF c) {
    return GetRValue(c) >= 200 && GetGValue(c) <= 60 && GetBValue(c) <= 60;
}

int RedPixels(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    win::Rect r = win::ClientRect(hwnd);
    int red = 0;
    HDC dc = ::GetDC(hwnd);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) red += IsRed(::GetPixel(dc, x, y)) ? 1 : 0;
    ::ReleaseDC(hwnd, dc);
    return red;
}

struct BoxLook {
    HWND box = nullptr;
    COLORREF corner = CLR_INVALID;
    int redInside = 0;
    int ticks = 0;
} look;

constexpr const char* kCaption = "Colour check";

// Runs inside the real message box's modal loop, then dismisses it.
void CALLBACK LookAtBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ++look.ticks;
    look.box = ::FindWindowA("#32770", kCaption);
    if (look.box == nullptr && look.ticks < 100) return;
    ::KillTimer(nullptr, timer);
    if (look.box == nullptr) return;
    look.redInside = RedPixels(look.box);
    look.corner = wintest::PixelAt(look.box, 2, 2);
    ::PostMessageA(look.box, WM_COMMAND, IDOK, 0);
}

class ApplicationColours : public ::testing::Test {
protected:
    void SetUp() override { app::TessaroApp::Prepare(); }
    void TearDown() override { win::ClearDialogColors(); }
};

TEST_F(ApplicationColours, DialogFromResourcesIsBlackWithRedText) {
    win::Dialog about(IDD_ABOUTBOX);
    ASSERT_TRUE(about.Create(nullptr));
    ::SetWindowPos(about.Handle(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    wintest::Pump();
    EXPECT_EQ(wintest::PixelAt(about.Handle(), 2, 2), app::kDialogBackground);
    int redInTexts = 0;
    for (HWND child = ::GetWindow(about.Handle(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (win::WindowText(child).rfind("Tessaro Version", 0) == 0) redInTexts += RedPixels(child);
    }
    EXPECT_GT(redInTexts, 20);
}

TEST_F(ApplicationColours, MessageBoxIsBlackWithRedText) {
    look = {};
    ::SetTimer(nullptr, 0, 30, &LookAtBox);
    win::MessageBox("Red on black, like every box of the program.", MB_OK, kCaption);
    ASSERT_NE(look.box, nullptr);
    EXPECT_EQ(look.corner, app::kDialogBackground);
    EXPECT_GT(look.redInside, 20);
}

}  // namespace
