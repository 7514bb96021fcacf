// The application-wide dialog colours, read back from the screen: dialogs and
// real message boxes black with red text.
#include <gtest/gtest.h>

#include <optional>

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

TEST_F(DialogColors, RealMessageBoxIsBlackWithRedText) {
    COLORREF corner = CLR_INVALID;
    int red = 0;
    int result = 0;
    EXPECT_TRUE(wintest::WithModalBox(
        "Colour check", [&] { result = win::MessageBox("XXXXXXXXXXXXXXXX", MB_OK, "Colour check"); },
        [&](HWND box) {
            red = RedPixels(box);  // its children painted
            corner = wintest::PixelAt(box, 2, 2);
            return true;
        }));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(corner, kBlack);
    EXPECT_GT(red, 20);
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
