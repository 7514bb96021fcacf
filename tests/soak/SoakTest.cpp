// Soak: every owner-drawn control painted 20,000 times, 200 viewers and 50
// about boxes opened and closed, then the pixels checked against what the
// same windows showed before.
//
// Why 20,000: Wine's per-process GDI handle table holds about 16,000
// handles. A control that leaks one object (a bitmap, font, pen or DC) per
// paint runs out of handles before the loop ends; from then on its drawing
// fails and the picture differs from the one taken first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Registry.h"
#include "ViewerSupport.h"
#include "app/MainDialog.h"
#include "app/TessaroApp.h"
#include "markup/HtmlView.h"
#include "resource.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/DialogColors.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

constexpr int kPaints = 20000;

// The client area as it is on screen now, after painting it.
std::vector<DWORD> Snapshot(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const win::Rect r = win::ClientRect(hwnd);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.Width();
    info.bmiHeader.biHeight = -r.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (bitmap == nullptr) return pixels;
    HDC screen = ::GetDC(hwnd);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, r.Width(), r.Height(), screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<size_t>(r.Width()) * r.Height());
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(hwnd, screen);
    ::DeleteObject(bitmap);
    return pixels;
}

void Paint(HWND hwnd) { ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

TEST(Soak, TheViewersControlsPaintAlikeAfterTwentyThousandPaints) {
    win::InitCommonControlClasses();
    test::TempDir dir;
    test::MessageRecorder messages;
    test::PackBuilder builder;
    for (int i = 0; i < 300; ++i) builder.Add("materials/long folder name " + std::to_string(i) + "/entry.txt", "text");
    const std::string pack = (dir / "soak.vpk");
    test::WriteFile(pack, builder.Build());

    viewer::VpkViewerDialog viewer;
    ASSERT_TRUE(viewer.Create(nullptr));
    ::SetWindowPos(viewer.Handle(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    viewer.AddPack(pack.c_str());
    viewertest::Click(viewer, viewer.PackList().Handle(), {0});
    viewertest::Select(viewer.EntryList().Handle(), {3});
    wintest::Pump();

    skin::SkinListCtrl& list = viewer.EntryList();
    const std::vector<HWND> controls = {list.Handle(), list.Header().Handle(), list.VScrollBar().Handle(),
                                        list.HScrollBar().Handle(), viewer.HorizontalDivider().Handle(),
                                        viewer.VerticalDivider().Handle()};
    const std::vector<DWORD> before = Snapshot(viewer.Handle());
    ASSERT_FALSE(before.empty());
    for (HWND control : controls) {
        for (int i = 0; i < kPaints; ++i) Paint(control);
    }
    // The divider's drag line, drawn and erased on the screen at each move.
    HWND divider = viewer.VerticalDivider().Handle();
    ::SendMessageA(divider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    for (int i = 0; i < kPaints; ++i) ::SendMessageA(divider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + i % 7, 5));
    ::SendMessageA(divider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 5));
    ::SendMessageA(divider, WM_LBUTTONUP, 0, MAKELPARAM(2, 5));
    wintest::Pump();

    EXPECT_TRUE(Snapshot(viewer.Handle()) == before) << "the viewer looks different after the paints";
    EXPECT_EQ(messages.Take(), test::Messages{});
    viewer.DestroyWindow();
}

TEST(Soak, TheCreditsScrollTwentyThousandStepsAndLookAlike) {
    win::InitCommonControlClasses();
    HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 30, 30, 320, 200, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    markup::HtmlView view;
    view.SetText("<font size='20' color='255,20,20'>Tessaro</font><br><a href='http://example.org'>a link</a>"
                 "<hr><font background='0,0,128'>filled</font><p>the end");
    RECT r{0, 0, 320, 200};
    ASSERT_TRUE(view.Create(0, WS_CHILD | WS_VISIBLE, r, host, 1, 0, 0));
    ::KillTimer(view.Handle(), markup::HtmlView::kScrollTimer);  // steps come from here only
    wintest::Pump();
    const std::vector<DWORD> before = Snapshot(view.Handle());
    for (int i = 0; i < kPaints; ++i) {
        ::SendMessageA(view.Handle(), WM_TIMER, markup::HtmlView::kScrollTimer, 0);
        ::UpdateWindow(view.Handle());
    }
    view.SetScrollOffset(0);
    EXPECT_TRUE(Snapshot(view.Handle()) == before) << "the credits look different after the steps";
    view.DestroyWindow();
    ::DestroyWindow(host);
}

TEST(Soak, TwoHundredViewersAndFiftyAboutBoxesComeAndGo) {
    apptest::RegisteredInstallation installed;
    test::MessageRecorder messages;
    app::MainDialog dialog;
    ASSERT_TRUE(apptest::ShowOnScreen(dialog));
    const std::vector<DWORD> before = Snapshot(dialog.Handle());

    for (int i = 0; i < 200; ++i) {
        dialog.Send(WM_COMMAND, ID_TOOLS_VPK_VIEWER);
        ASSERT_EQ(dialog.Viewers().size(), 1u);
        ::SendMessageA(dialog.Viewers()[0]->Handle(), WM_CLOSE, 0, 0);
        wintest::PumpUntil([&] { return dialog.Viewers().empty(); }, 2000);
        ASSERT_TRUE(dialog.Viewers().empty()) << "viewer " << i;
    }
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(wintest::WithModalBox(
            "About Tessaro", [&] { dialog.Send(WM_COMMAND, ID_ABOUT); }, [](HWND) { return true; }))
            << "about box " << i;
    EXPECT_EQ(::FindWindowA("#32770", "About Tessaro"), nullptr);

    EXPECT_TRUE(installed.boxes.calls.empty());
    EXPECT_TRUE(Snapshot(dialog.Handle()) == before) << "the main window looks different afterwards";
    dialog.DestroyWindow();
}

}  // namespace
