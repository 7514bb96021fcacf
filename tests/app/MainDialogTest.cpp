// The main window on the real screen: its system menu, icons, background
// picture after paints and resizes, the minimised icon, closing, and the
// background picture's failure messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Registry.h"
#include "app/MainDialog.h"
#include "app/TessaroApp.h"
#include "resource.h"
#include "win/App.h"
#include "win/DialogColors.h"
#include "win/Gdi.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// A main window whose commands are counted instead of opening windows.
class CountingMainDialog : public app::MainDialog {
public:
    int abouts = 0;
    int viewers = 0;
    int iconErases = 0;     // WM_ICONERASEBKGND with the paint's DC
    int picturePaints = 0;  // WM_PAINT not minimised

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_ICONERASEBKGND && wp != 0) ++iconErases;
        if (msg == WM_PAINT && !::IsIconic(Handle())) ++picturePaints;
        return MainDialog::HandleMessage(msg, wp, lp);
    }
    void OnAbout() override { ++abouts; }
    void OpenViewer() override { ++viewers; }
};

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 24;
}

// Screen pixels on a grid over the client area (its edges included) against
// the picture at its own size (1024 x 768), scaled here by the test's own
// arithmetic: each must match the picture at the same place, not the black
// background.
void ExpectPictureCoversClient(HWND window) {
    constexpr int kWidth = 1024, kHeight = 768;
    win::Rect client = win::ClientRect(window);
    ASSERT_GT(client.Width(), 0);
    IPicture* picture = nullptr;
    ASSERT_TRUE(app::LoadJpegResource(IDR_BACKGROUND_JPG, picture));
    win::ClientDC screen(window);
    win::MemoryDC source(screen.Get());
    win::Bitmap bitmap = win::Bitmap::Compatible(screen.Get(), kWidth, kHeight);
    win::SelectGuard select(source.Get(), bitmap);
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture->get_Width(&w);
    picture->get_Height(&h);
    RECT bounds{0, 0, kWidth, kHeight};
    picture->Render(source.Get(), 0, 0, kWidth, kHeight, 0, h, w, -h, &bounds);
    picture->Release();
    // A screen pixel shows one of the picture's pixels it covers (or one
    // beside them, for the stretch's rounding).
    const int rx = kWidth / client.Width() + 1, ry = kHeight / client.Height() + 1;
    int mismatches = 0;
    int lit = 0;
    for (int i = 0; i <= 8; ++i)
        for (int j = 0; j <= 8; ++j) {
            const int x = std::min(client.Width() * i / 8, client.Width() - 1);
            const int y = std::min(client.Height() * j / 8, client.Height() - 1);
            const COLORREF actual = wintest::PixelAt(window, x, y);
            const int sx = x * kWidth / client.Width(), sy = y * kHeight / client.Height();
            bool matched = false;
            for (int dy = -ry; dy <= ry; ++dy)
                for (int dx = -rx; dx <= rx; ++dx)
                    matched = matched || Near(actual, ::GetPixel(source.Get(), sx + dx, sy + dy));
            mismatches += matched ? 0 : 1;
            lit += actual != kBlack ? 1 : 0;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(lit, 81 / 2);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(apptest::ShowOnScreen(dialog)); }
    void TearDown() override { dialog.DestroyWindow(); }

    apptest::RegisteredInstallation installed;
    CountingMainDialog dialog;
};

TEST_F(MainWindow, StartsQuietlyWithTheRegisteredInstallation) {
    EXPECT_TRUE(installed.boxes.calls.empty());
    EXPECT_EQ(dialog.InstallPath(), installed.install.Path());
    EXPECT_TRUE(dialog.HasPicture());
    EXPECT_EQ(dialog.Text(), "Tessaro v0.1");
}

TEST_F(MainWindow, SystemMenuEndsWithSeparatorAndAbout) {
    HMENU menu = ::GetSystemMenu(dialog.Handle(), FALSE);
    ASSERT_NE(menu, nullptr);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    MENUITEMINFOA separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    char text[64] = {};
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Tessaro...");
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(ID_ABOUT));
}

TEST_F(MainWindow, BothIconsAreTheApplicationIcon) {
    ASSERT_NE(dialog.Icon(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(dialog.Send(WM_GETICON, ICON_BIG)), dialog.Icon());
    EXPECT_EQ(reinterpret_cast<HICON>(dialog.Send(WM_GETICON, ICON_SMALL)), dialog.Icon());
    EXPECT_EQ(reinterpret_cast<HICON>(dialog.Send(WM_QUERYDRAGICON)), dialog.Icon());
}

TEST_F(MainWindow, PictureCoversClientAfterPaintAndAfterEachResize) {
    dialog.Invalidate();
    dialog.Update();
    ExpectPictureCoversClient(dialog.Handle());

    // Drawn by the size handler itself, before any paint comes.
    for (auto [w, h] : {std::pair{420, 300}, std::pair{900, 500}, std::pair{300, 640}}) {
        SCOPED_TRACE(w);
        ::SetWindowPos(dialog.Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
        ExpectPictureCoversClient(dialog.Handle());
        wintest::Pump();
        ExpectPictureCoversClient(dialog.Handle());
    }
}

TEST_F(MainWindow, CommandsAndSystemAboutReachTheirHandlers) {
    dialog.Send(WM_COMMAND, ID_ABOUT);
    dialog.Send(WM_SYSCOMMAND, ID_ABOUT | 0x3);  // the low four bits are the system's
    dialog.Send(WM_COMMAND, ID_TOOLS_VPK_VIEWER);
    EXPECT_EQ(dialog.abouts, 2);
    EXPECT_EQ(dialog.viewers, 1);
    EXPECT_TRUE(dialog.IsWindow());
}

CountingMainDialog* running = nullptr;
HWND seen = nullptr;
bool hadPicture = false;

// Runs inside the modal loop: closes the window the way the close box does.
void CALLBACK CloseRunningDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    seen = running->Handle();
    hadPicture = running->HasPicture();
    ::PostMessageA(seen, WM_CLOSE, 0, 0);
}

TEST(MainWindowModal, ClosingEndsTheRunAndReleasesThePicture) {
    apptest::RegisteredInstallation installed;
    CountingMainDialog dialog;
    running = &dialog;
    ::SetTimer(nullptr, 0, 50, &CloseRunningDialog);

    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);

    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(hadPicture);
    EXPECT_FALSE(dialog.HasPicture());
    EXPECT_FALSE(::IsWindow(seen));
}

TEST(BackgroundPicture, EachFailureShowsItsOwnMessage) {
    struct Case {
        int id;
        const char* message;
    } cases[] = {
        {31999, "Could not locate resource..."},
        {900, "Could not load image (hr failure)"},  // bytes that are no JPEG
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        wintest::MessageBoxRecorder boxes;
        IPicture* picture = nullptr;
        EXPECT_FALSE(app::LoadJpegResource(c.id, picture));
        EXPECT_EQ(picture, nullptr);
        ASSERT_EQ(boxes.calls.size(), 1u);
        EXPECT_EQ(boxes.calls[0].text, c.message);
        EXPECT_EQ(boxes.calls[0].caption, win::AppTitle());
        EXPECT_EQ(boxes.calls[0].type, static_cast<UINT>(MB_OK));
    }
}

TEST(BackgroundPicture, ReloadingReplacesThePicture) {
    IPicture* picture = nullptr;
    ASSERT_TRUE(app::LoadJpegResource(IDR_BACKGROUND_JPG, picture));
    IPicture* first = picture;
    first->AddRef();
    ASSERT_TRUE(app::LoadJpegResource(IDR_BACKGROUND_JPG, picture));
    EXPECT_NE(picture, first);
    EXPECT_EQ(first->Release(), 0u);  // the loader let go of the old one
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    // 1024 x 768 pixels, in hundredths of a millimetre at 96 pixels an inch
    EXPECT_EQ(::MulDiv(width, 96, 2540), 1024);
    EXPECT_EQ(::MulDiv(height, 96, 2540), 768);
    picture->Release();
}

// Under Wine a minimised window keeps only its caption (no client area), so
// the icon is checked where it is drawn: centred in a client area of any size.
TEST(MinimisedIcon, DrawnCentredInTheClientArea) {
    HICON icon = ::LoadIconA(win::Instance(), MAKEINTRESOURCEA(IDI_TESSARO));
    ASSERT_NE(icon, nullptr);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    for (auto [w, h] : {std::pair{64, 64}, std::pair{75, 41}, std::pair{33, 33}}) {
        SCOPED_TRACE(w * 1000 + h);
        win::ScreenDC screen;
        win::MemoryDC memory(screen.Get());
        win::Bitmap bitmap = win::Bitmap::Compatible(screen.Get(), w, h);
        win::SelectGuard select(memory.Get(), bitmap);
        win::FillSolidRect(memory.Get(), win::Rect(0, 0, w, h), RGB(1, 2, 3));

        app::DrawMinimisedIcon(memory.Get(), icon, win::Rect(0, 0, w, h));

        const win::Rect box = win::Rect::FromSize((w - iconWidth + 1) / 2, (h - iconHeight + 1) / 2, iconWidth, iconHeight);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool painted = ::GetPixel(memory.Get(), x, y) != RGB(1, 2, 3);
                (box.Contains({x, y}) ? inside : outside) += painted ? 1 : 0;
            }
        EXPECT_GT(inside, iconWidth * iconHeight / 4);
        EXPECT_EQ(outside, 0);
    }
}

TEST_F(MainWindow, MinimisedPaintErasesForTheIconAndDrawsNoPicture) {
    dialog.Show(SW_MINIMIZE);
    wintest::Pump();
    ASSERT_TRUE(::IsIconic(dialog.Handle()));
    dialog.iconErases = 0;
    dialog.picturePaints = 0;
    // Wine leaves a minimised window no client area, so nothing is invalid
    // and no paint comes by itself: ask for one.
    dialog.Send(WM_PAINT);
    EXPECT_EQ(dialog.iconErases, 1);
    EXPECT_EQ(dialog.picturePaints, 0);

    dialog.Show(SW_RESTORE);
    wintest::Pump();
    ::RedrawWindow(dialog.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(dialog.iconErases, 1);
    EXPECT_GT(dialog.picturePaints, 0);
    ExpectPictureCoversClient(dialog.Handle());
}

}  // namespace

