// The about box run from the main window's menu bar and system menu: each
// run starts the credits from the top, and the grid shows through the black.
#include <gtest/gtest.h>

#include "Registry.h"
#include "app/MainDialog.h"
#include "markup/HtmlView.h"
#include "app/TessaroApp.h"
#include "resource.h"
#include "win/DialogColors.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

constexpr COLORREF kGrid = RGB(0, 70, 30);

// What one run of the box showed, noted from a thread timer inside its
// modal loop once the credits have moved.
struct BoxRun {
    int firstOffset = -1;
    int lastOffset = -1;
    int grid = 0;
    int black = 0;
    int ink = 0;  // neither grid nor black: the credits' text
};

markup::HtmlView* CreditsOf(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (auto* view = dynamic_cast<markup::HtmlView*>(win::Window::FromHandle(child))) return view;
    return nullptr;
}

// Looks at the box each tick; true once the credits have moved and the
// pixels are counted.
bool Probe(HWND box, BoxRun& run) {
    markup::HtmlView* view = CreditsOf(box);
    if (view == nullptr) return false;
    if (run.firstOffset < 0) run.firstOffset = view->ScrollOffset();
    run.lastOffset = view->ScrollOffset();
    if (run.lastOffset < 3) return false;
    win::Rect client = view->ClientRect();
    for (int y = 0; y < client.bottom; y += 3)
        for (int x = 0; x < client.right; ++x) {
            COLORREF c = wintest::PixelAt(view->Handle(), x, y);
            (c == kGrid ? run.grid : c == RGB(0, 0, 0) ? run.black : run.ink)++;
        }
    return true;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(apptest::ShowOnScreen(dialog)); }
    void TearDown() override { dialog.DestroyWindow(); }

    apptest::RegisteredInstallation installed;
    app::MainDialog dialog;
};

TEST_F(AboutBox, BothItemsRunAFreshBoxFromTheTop) {
    for (UINT msg : {WM_COMMAND, WM_COMMAND, WM_SYSCOMMAND, WM_SYSCOMMAND}) {
        BoxRun run;
        EXPECT_TRUE(wintest::WithModalBox(
            "About Tessaro", [&] { dialog.Send(msg, ID_ABOUT); }, [&](HWND box) { return Probe(box, run); }, 200));
        EXPECT_EQ(run.firstOffset, 0);
        EXPECT_GE(run.lastOffset, 3);
        EXPECT_GT(run.grid, 100);
        EXPECT_GT(run.black, run.grid);
        EXPECT_GT(run.ink, 0);
    }
    EXPECT_EQ(::FindWindowA("#32770", "About Tessaro"), nullptr);
    EXPECT_TRUE(installed.boxes.calls.empty());
}

}  // namespace
