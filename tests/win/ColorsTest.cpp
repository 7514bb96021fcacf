// The application-wide dialog colours, read back from the screen: dialogs and
// real message boxes black with red text.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "win/Dialog.h"
#include "win/DialogColors.h"
#include "win/Gdi.h"
#include "win/MessageBox.h"
#include "DialogTemplate.h"
#include "Pump.h"

namespace {

using wintest::RedPixels;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 20, 20);
constexpr int kTextId = 100;

wintest::DialogTemplate TextDialog() {
    wintest::DialogTemplate t("Colours", WS_POPUP | WS_CAPTION | WS_VISIBLE, 30, 30, 200, 80, "Arial", 14);
    t.Add("STATIC", "XXXXXXXX", kTextId, WS_CHILD | WS_VISIBLE, 10, 10, 150, 24);
    return t;
}

class DialogColors : public ::testing::Test {
protected:
    void SetUp() override { win::SetDialogColors(kBlack, kRed); }
    void TearDown() override { win::ClearDialogColors(); }
};

TEST_F(DialogColors, DialogIsBlackWithRedText) {
    auto t = TextDialog();
    win::Dialog dialog(t.Get());
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND text = dialog.Item(kTextId);

    EXPECT_GT(RedPixels(text), 20);
    EXPECT_EQ(wintest::PixelAt(text, 0, 0), kBlack);  // behind the text
    win::Rect client = dialog.ClientRect();
    EXPECT_EQ(wintest::PixelAt(dialog.Handle(), 2, 2), kBlack);
    EXPECT_EQ(wintest::PixelAt(dialog.Handle(), client.right - 3, client.bottom - 3), kBlack);
}

// A control whose object answers its own colour message keeps its look: the
// application colours are only the default.
class GreenStatic : public win::Window {
public:
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM) override {
        if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
        ::SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 255, 0));
        return reinterpret_cast<LRESULT>(brush.Get());
    }
    win::Brush brush = win::Brush::Solid(RGB(0, 255, 0));
};

TEST_F(DialogColors, ControlsOwnReflectedColourWins) {
    auto t = TextDialog();
    win::Dialog dialog(t.Get());
    ASSERT_TRUE(dialog.Create(nullptr));
    GreenStatic text;
    ASSERT_TRUE(dialog.BindControl(kTextId, text));
    RedPixels(dialog.Handle());

    EXPECT_EQ(wintest::PixelAt(text.Handle(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(wintest::PixelAt(dialog.Handle(), 2, 2), kBlack);
}

// What the timer saw of the message box while it was open.
struct BoxLook {
    HWND box = nullptr;
    COLORREF corner = CLR_INVALID;
    int redInText = 0;
    int ticks = 0;
};
BoxLook look;
constexpr const char* kBoxCaption = "Colour check";
constexpr const char* kBoxText = "XXXXXXXXXXXXXXXX";

BOOL CALLBACK FindBox(HWND hwnd, LPARAM) {
    char className[16] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    if (std::string(className) == "#32770" && ::IsWindowVisible(hwnd) && win::WindowText(hwnd) == kBoxCaption) {
        look.box = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindText(HWND child, LPARAM) {
    if (win::WindowText(child) == kBoxText) look.redInText = RedPixels(child);
    return TRUE;
}

// Runs inside the message box's own modal loop.
void CALLBACK LookAtBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ++look.ticks;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, 0);
    if (look.box == nullptr && look.ticks < 100) return;
    ::KillTimer(nullptr, timer);
    if (look.box == nullptr) return;  // never came up: MessageBox has returned already
    RedPixels(look.box);
    look.corner = wintest::PixelAt(look.box, 2, 2);
    ::EnumChildWindows(look.box, &FindText, 0);
    ::PostMessageA(look.box, WM_COMMAND, IDOK, 0);
}

TEST_F(DialogColors, RealMessageBoxIsBlackWithRedText) {
    look = {};
    ::SetTimer(nullptr, 0, 30, &LookAtBox);
    EXPECT_EQ(win::MessageBox(kBoxText, MB_OK, kBoxCaption), IDOK);
    ASSERT_NE(look.box, nullptr);
    EXPECT_EQ(look.corner, kBlack);
    EXPECT_GT(look.redInText, 20);
}

TEST_F(DialogColors, ClearedColoursLeaveNewDialogsAlone) {
    win::ClearDialogColors();
    auto t = TextDialog();
    win::Dialog dialog(t.Get());
    ASSERT_TRUE(dialog.Create(nullptr));
    RedPixels(dialog.Handle());
    EXPECT_NE(wintest::PixelAt(dialog.Handle(), 2, 2), kBlack);
    EXPECT_EQ(RedPixels(dialog.Item(kTextId)), 0);
}

}  // namespace
