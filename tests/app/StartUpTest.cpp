// What the application sets up at start-up: the dialog colours, black with
// red text (read back from a dialog of the program; that real message boxes
// take the dialog colours is the window layer's colour test), and the pack
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

}  // namespace
