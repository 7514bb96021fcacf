// What the application sets up at start-up: every dialog and every message
// box black with red text (read back from the screen), and the pack
// archive's messages in the application's message box.
#include <gtest/gtest.h>

#include <string>

#include "app/TessaroApp.h"
#include "resource.h"
#include "vpk/MessageSink.h"
#include "vpk/VpkArchive.h"
#include "win/App.h"
#include "win/Dialog.h"
#include "win/DialogColors.h"
#include "win/MessageBox.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

using wintest::RedPixels;

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { app::TessaroApp::Prepare(); }
    void TearDown() override {
        win::ClearDialogColors();
        vpk::SetMessageSink(nullptr);
    }
};

TEST_F(StartUp, ArchiveMessagesComeInPlainOkBoxes) {
    wintest::MessageBoxRecorder boxes;
    VpkArchive archive;
    EXPECT_FALSE(archive.Open("Z:\\no such folder\\pack000.vpk"));
    EXPECT_FALSE(archive.Extract(0, "x.txt"));

    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, "Error opening file");
    EXPECT_EQ(boxes.calls[1].text, "Can't extract file - No vpk file open");
    for (const auto& call : boxes.calls) {
        EXPECT_EQ(call.type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(call.caption, win::AppTitle());
    }
}

TEST_F(StartUp, DialogFromResourcesIsBlackWithRedText) {
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

TEST_F(StartUp, MessageBoxIsBlackWithRedText) {
    wintest::BoxLook look;
    EXPECT_TRUE(wintest::WithModalBox(
        "Colour check", [] { win::MessageBox("Red on black, like every box of the program.", MB_OK, "Colour check"); },
        [&](HWND box) {
            look = wintest::LookOf(box);
            return true;
        }));
    EXPECT_EQ(look.corner, app::kDialogBackground);
    EXPECT_GT(look.red, 20);
}

}  // namespace
