// HtmlView on the real screen: endless scrolling, hit testing in the
// repeated copy, hover looks, drags, "#" callbacks and shell targets.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "markup/HtmlView.h"
#include "resource.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 150;
constexpr COLORREF kBackground = RGB(10, 20, 30);

// Forty lines, the first one a link that turns green under the pointer.
std::string TallText() {
    std::string s = "<a href='top' color='0,255,0'>first line</a><br>";
    for (int i = 0; i < 40; ++i) s += "line " + std::to_string(i) + "<br>";
    return s;
}

class View : public ::testing::Test {
protected:
    void SetUp() override {
        parent = ::CreateWindowExA(0, "STATIC", "markup", WS_POPUP | WS_VISIBLE, 0, 0, kWidth + 40, kHeight + 40,
                                   nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override {
        if (view.HasCapture()) win::Window::ReleaseCapture();
        view.DestroyWindow();
        ::DestroyWindow(parent);
    }
    // A long interval keeps the timer out of the way unless a test wants it.
    void Create(const std::string& text, int interval = 100000) {
        EXPECT_EQ(view.SetText("%s", text.c_str()), "");
        EXPECT_EQ(view.ContentHeight(), 0);  // nothing laid out before the window exists
        view.interval = interval;
        view.backgroundColor = kBackground;
        RECT r{0, 0, kWidth, kHeight};
        ASSERT_TRUE(view.Create(0, WS_CHILD | WS_VISIBLE, r, parent, 7, IDCUR_TESSARO, 0));
        view.Update();
    }
    LRESULT Mouse(UINT msg, int x, int y) { return view.Send(msg, 0, MAKELPARAM(x, y)); }
    void Step() { view.Send(WM_TIMER, markup::HtmlView::kScrollTimer); }
    // Client pixels of the control equal to `color`, read back in one copy.
    int Count(COLORREF color) {
        view.Invalidate(false);
        view.Update();
        win::ClientDC window(view.Handle());
        win::MemoryDC copy(window.Get());
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        win::Bitmap dib(::CreateDIBSection(window.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        win::SelectGuard select(copy.Get(), dib);
        ::BitBlt(copy.Get(), 0, 0, kWidth, kHeight, window.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        const DWORD want = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
        int n = 0;
        for (int i = 0; i < kWidth * kHeight; ++i) n += (static_cast<const DWORD*>(bits)[i] & 0xFFFFFF) == want ? 1 : 0;
        return n;
    }

    HWND parent = nullptr;
    markup::HtmlView view;
};

TEST_F(View, CreatedWithCursorsAndLaidOut) {
    Create("short");
    EXPECT_EQ(view.NormalCursor(), ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDCUR_TESSARO)));
    EXPECT_NE(view.HandCursor(), nullptr);
    EXPECT_GT(view.ContentHeight(), 0);
    EXPECT_EQ(view.SetText("%d%%", 5), "short");
    EXPECT_EQ(view.Text(), "5%");
}

TEST_F(View, ShortContentStandsStillAndStartsNoDrag) {
    Create("<a href='x'>link</a>");
    const win::Rect link = view.LinkRects().at(0);
    Step();
    Step();
    EXPECT_EQ(view.HitTestLink(link.left, link.top), 0);
    Mouse(WM_LBUTTONDOWN, 1, kHeight - 1);
    EXPECT_FALSE(view.IsDragging());
}

TEST_F(View, LinkInTheRepeatedCopyIsHitAndShownHovered) {
    Create(TallText());
    const int h = view.ContentHeight();
    ASSERT_GT(h, kHeight);
    const win::Rect link = view.LinkRects().at(0);
    view.SetScrollOffset(h - 40);  // content line 0 at window line 40
    const win::Point p{(link.left + link.right) / 2, 40 + (link.top + link.bottom) / 2};
    EXPECT_EQ(view.HitTestLink(p.x, p.y), 0);
    EXPECT_EQ(view.HitTestLink(p.x, p.y - 40), -1);

    const COLORREF green = RGB(0, 255, 0);
    EXPECT_EQ(Count(green), 0);
    POINT screen{p.x, p.y};
    ::ClientToScreen(view.Handle(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    Mouse(WM_MOUSEMOVE, p.x, p.y);
    EXPECT_EQ(view.HoverRect(), link);
    EXPECT_GT(Count(green), 0);

    // The pointer leaves: the link loses its hover look.
    ::SetCursorPos(screen.x + 2 * kWidth, screen.y + 2 * kHeight);
    EXPECT_TRUE(wintest::PumpUntil([&] { return view.HoverRect().IsNull(); }, 2000));
    EXPECT_EQ(Count(green), 0);
}

TEST_F(View, DragFollowsThePointerAndReleaseStepsOnce) {
    Create(TallText(), 60);
    const int h = view.ContentHeight();
    view.SetScrollOffset(100);
    Mouse(WM_LBUTTONDOWN, kWidth - 2, 50);  // beside every link
    ASSERT_TRUE(view.IsDragging());
    Mouse(WM_MOUSEMOVE, kWidth - 2, 70);
    EXPECT_EQ(view.ScrollOffset(), 80);
    Mouse(WM_MOUSEMOVE, kWidth - 2, 200);
    EXPECT_EQ(view.ScrollOffset(), h - 50);
    Mouse(WM_LBUTTONUP, kWidth - 2, 200);
    EXPECT_FALSE(view.IsDragging());
    EXPECT_EQ(view.ScrollOffset(), h - 49);
    // The timer runs again at its plain period (60 ms), not ten times that:
    // it steps before a 300 ms timer started now fires, however slow the host
    // (an expired timer comes before one that expires later).
    const UINT_PTR reference = ::SetTimer(nullptr, 0, 300, nullptr);
    MSG msg;
    while (view.ScrollOffset() == h - 49 && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == reference) break;
        ::DispatchMessageA(&msg);
    }
    ::KillTimer(nullptr, reference);
    EXPECT_NE(view.ScrollOffset(), h - 49);
}

// Alt+Tab or a pop-up takes the mouse mid-drag: the drag ends there, the
// content stops following the pointer and scrolls on by itself.
TEST_F(View, LosingTheCaptureEndsTheDrag) {
    Create(TallText(), 60);
    view.SetScrollOffset(100);
    Mouse(WM_LBUTTONDOWN, kWidth - 2, 50);
    ASSERT_TRUE(view.IsDragging());
    ::SetCapture(parent);
    ::ReleaseCapture();
    EXPECT_FALSE(view.IsDragging());
    EXPECT_EQ(view.ScrollOffset(), 101);
    Mouse(WM_MOUSEMOVE, kWidth - 2, 80);
    EXPECT_EQ(view.ScrollOffset(), 101);
    EXPECT_TRUE(wintest::PumpUntil([&] { return view.ScrollOffset() != 101; }, 400));
}

TEST_F(View, DragSurvivesTheContentShrinkingUnderIt) {
    Create(TallText());
    Mouse(WM_LBUTTONDOWN, kWidth - 2, 50);
    ASSERT_TRUE(view.IsDragging());
    view.SetText("%s", "");
    Mouse(WM_MOUSEMOVE, kWidth - 2, 90);
    EXPECT_GE(view.ScrollOffset(), 0);
    EXPECT_LT(view.ScrollOffset(), view.ContentHeight());
    view.SetText("<vspace size='-100'>");  // no content height at all
    ASSERT_LE(view.ContentHeight(), 0);
    Mouse(WM_MOUSEMOVE, kWidth - 2, 95);
    EXPECT_EQ(view.ScrollOffset(), 0);
    Mouse(WM_LBUTTONUP, kWidth - 2, 95);
}

TEST_F(View, HiddenControlKeepsItsOffset) {
    Create(TallText());
    Step();
    ASSERT_EQ(view.ScrollOffset(), 1);
    view.Show(SW_HIDE);
    Step();
    Step();
    EXPECT_EQ(view.ScrollOffset(), 1);
    view.Show(SW_SHOW);
    Step();
    EXPECT_EQ(view.ScrollOffset(), 2);
}

TEST_F(View, HashLinksCallOnlyRegisteredCallbacks) {
    std::vector<std::optional<std::string>> calls;
    const int n = view.RegisterCallback([&](const char* a) {
        calls.push_back(a != nullptr ? std::optional<std::string>(a) : std::nullopt);
    });
    Create(win::Format("<a href='#%d'>bare</a><br><a href='#with text#%d'>arg</a><br><a href='#%d'>other</a><br>"
                       "<a href='#0'>zero</a><br><a href='#%lld'>wide</a><br><a href='http://example.org/x'>web</a>",
                       n, n, n + 1, 4294967296LL + n));
    wintest::ShellRecorder shell;
    ASSERT_EQ(view.LinkRects().size(), 6u);
    for (const win::Rect& r : view.LinkRects()) {
        Mouse(WM_LBUTTONDOWN, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_TRUE(view.HoverRect().IsNull());
    }
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::nullopt);
    EXPECT_EQ(calls[1], "with text");
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "http://example.org/x");
    EXPECT_EQ(shell.calls[0].owner, nullptr);
    EXPECT_EQ(shell.calls[0].verb, std::nullopt);
    EXPECT_EQ(shell.calls[0].show, SW_SHOW);
}

// Beyond the 5000-pixel surfaces nothing is drawn, not even garbage.
TEST_F(View, ContentBelowTheSurfacesShowsOnlyBackground) {
    Create("<vspace size='6000'>deep text<br>deeper text");
    ASSERT_GT(view.ContentHeight(), 6000);
    view.SetScrollOffset(5995);
    EXPECT_EQ(Count(kBackground), kWidth * kHeight);
    view.SetScrollOffset(0);
    EXPECT_EQ(Count(kBackground), kWidth * kHeight);  // the top is empty too
}

}  // namespace
