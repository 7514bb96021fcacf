// The window base: one dispatch path for our own classes and for windows we
// take over, default processing reaching the right procedure, and letting go
// of windows safely.
#include <gtest/gtest.h>

#include <vector>

#include "win/Window.h"
#include "Pump.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr LRESULT kPong = 1234;
constexpr const char* kTestClass = "TessaroWindowTest";

// Answers kPing itself, notes every message and leaves the rest to default
// processing; optionally swallows one character.
class Recording : public win::Window {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        seen.push_back(msg);
        switch (msg) {
        case kPing: return kPong;
        case WM_CHAR: return OnChar(static_cast<char>(wp), msg, wp, lp);
        default: return Window::HandleMessage(msg, wp, lp);
        }
    }
    void PreSubclassWindow() override { handleInPreSubclass = Handle(); }

    bool Saw(UINT msg) const {
        for (UINT m : seen) if (m == msg) return true;
        return false;
    }

    std::vector<UINT> seen;
    HWND handleInPreSubclass = nullptr;
    char swallow = 0;

private:
    LRESULT OnChar(char c, UINT msg, WPARAM wp, LPARAM lp) {
        return c == swallow ? 0 : DefaultProc(msg, wp, lp);
    }
};

HWND MakeControl(const char* className, const char* text, DWORD style = 0) {
    return ::CreateWindowExA(0, className, text, WS_POPUP | style, 0, 0, 100, 30, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(win::Window::RegisterWindowClass(kTestClass, 0)); }
};

TEST_F(WindowTest, SubclassedStaticStillAnswersWhatTheObjectLeavesAlone) {
    HWND hwnd = MakeControl("STATIC", "hello");
    Recording object;
    ASSERT_TRUE(object.Subclass(hwnd));

    EXPECT_EQ(object.Handle(), hwnd);
    EXPECT_EQ(object.handleInPreSubclass, hwnd);
    EXPECT_EQ(win::Window::FromHandle(hwnd), &object);
    EXPECT_EQ(::SendMessageA(hwnd, kPing, 0, 0), kPong);
    EXPECT_EQ(win::WindowText(hwnd), "hello");
    EXPECT_TRUE(object.Saw(WM_GETTEXT));
    ::SetWindowTextA(hwnd, "changed");
    EXPECT_EQ(object.Text(), "changed");
    ::DestroyWindow(hwnd);
}

TEST_F(WindowTest, SubclassedEditStillEditsAndTheObjectSeesKeysFirst) {
    HWND hwnd = MakeControl("EDIT", "");
    Recording object;
    object.swallow = 'x';
    ASSERT_TRUE(object.Subclass(hwnd));

    for (char c : {'a', 'x', 'b'}) ::SendMessageA(hwnd, WM_CHAR, static_cast<WPARAM>(c), 1);

    EXPECT_EQ(win::WindowText(hwnd), "ab");
    EXPECT_EQ(::SendMessageA(hwnd, EM_GETLINECOUNT, 0, 0), 1);
    ::DestroyWindow(hwnd);
}

TEST_F(WindowTest, DestroyingTheWindowLetsGoOfItAndTheObjectCanTakeAnother) {
    Recording object;
    HWND first = MakeControl("STATIC", "one");
    ASSERT_TRUE(object.Subclass(first));
    ::DestroyWindow(first);

    EXPECT_EQ(object.Handle(), nullptr);
    EXPECT_TRUE(object.Saw(WM_NCDESTROY));

    HWND second = MakeControl("STATIC", "two");
    ASSERT_TRUE(object.Subclass(second));
    EXPECT_EQ(::SendMessageA(second, kPing, 0, 0), kPong);
    ::DestroyWindow(second);
}

TEST_F(WindowTest, UnsubclassRestoresTheOriginalProcedure) {
    HWND hwnd = MakeControl("STATIC", "text");
    LONG_PTR original = ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    {
        Recording object;
        ASSERT_TRUE(object.Subclass(hwnd));
        EXPECT_NE(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), original);
        EXPECT_EQ(object.Unsubclass(), hwnd);
        EXPECT_EQ(object.Handle(), nullptr);
    }
    EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), original);
    EXPECT_EQ(win::Window::FromHandle(hwnd), nullptr);
    EXPECT_NE(::SendMessageA(hwnd, kPing, 0, 0), kPong);
    EXPECT_TRUE(::IsWindow(hwnd));  // handed back, not destroyed
    ::DestroyWindow(hwnd);
}

// Someone else's procedure on top of ours: the object may die first and the
// chain must keep working through to the control's own procedure.
WNDPROC outerOriginal = nullptr;
int outerCalls = 0;
LRESULT CALLBACK OuterProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ++outerCalls;
    return ::CallWindowProcA(outerOriginal, hwnd, msg, wp, lp);
}

TEST_F(WindowTest, ObjectDyingUnderAnotherSubclassLeavesAWorkingChain) {
    HWND hwnd = MakeControl("STATIC", "chained");
    {
        Recording object;
        ASSERT_TRUE(object.Subclass(hwnd));
        outerOriginal = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
    }
    outerCalls = 0;
    EXPECT_EQ(win::WindowText(hwnd), "chained");
    EXPECT_NE(::SendMessageA(hwnd, kPing, 0, 0), kPong);
    EXPECT_GT(outerCalls, 0);
    EXPECT_TRUE(::DestroyWindow(hwnd));
}

TEST_F(WindowTest, AWindowBelongsToOneObjectAtATime) {
    HWND hwnd = MakeControl("STATIC", "");
    Recording first;
    Recording second;
    ASSERT_TRUE(first.Subclass(hwnd));
    EXPECT_FALSE(second.Subclass(hwnd));
    HWND other = MakeControl("STATIC", "");
    EXPECT_FALSE(first.Subclass(other));  // already has one
    ::DestroyWindow(other);
    ::DestroyWindow(hwnd);
}

TEST_F(WindowTest, DestructorDestroysCreatedWindowsButOnlyHandsBackTakenOnes) {
    HWND created;
    HWND taken = MakeControl("STATIC", "");
    {
        Recording maker;
        ASSERT_TRUE(maker.CreateAndSubclass("STATIC", "", WS_POPUP, 0, {0, 0, 10, 10}, nullptr, 0));
        created = maker.Handle();
        Recording taker;
        ASSERT_TRUE(taker.Subclass(taken));
    }
    EXPECT_FALSE(::IsWindow(created));
    EXPECT_TRUE(::IsWindow(taken));
    ::DestroyWindow(taken);
}

TEST_F(WindowTest, CreatedStaticWithNotifyTakesMouseInput) {
    HWND parent = MakeControl("STATIC", "");
    Recording bar;
    ASSERT_TRUE(bar.CreateAndSubclass("STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0,
                                      {5, 5, 25, 17}, parent, 0xFFFF));
    EXPECT_EQ(bar.handleInPreSubclass, bar.Handle());
    EXPECT_EQ(bar.Parent(), parent);
    EXPECT_EQ(bar.Id(), 0xFFFF);
    EXPECT_EQ(bar.RectInParent(), win::Rect(5, 5, 25, 17));
    // Without SS_NOTIFY a static is transparent to the mouse.
    EXPECT_EQ(bar.Send(WM_NCHITTEST, 0, MAKELPARAM(0, 0)), HTCLIENT);
    ::DestroyWindow(parent);
    EXPECT_EQ(bar.Handle(), nullptr);
}

TEST_F(WindowTest, OwnClassWindowGetsItsMessagesFromCreationOn) {
    Recording window;
    ASSERT_TRUE(window.Create(kTestClass, "title", WS_OVERLAPPED, 0, {0, 0, 120, 80}, nullptr, 0));

    ASSERT_FALSE(window.seen.empty());
    EXPECT_EQ(window.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(window.Saw(WM_CREATE));
    EXPECT_EQ(window.Send(kPing), kPong);
    EXPECT_EQ(window.Text(), "title");  // WM_GETTEXT left to DefWindowProc
    EXPECT_EQ(window.ClientRect().left, 0);

    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_TRUE(window.Saw(WM_NCDESTROY));
}

TEST_F(WindowTest, OwnClassWindowCreatedWithoutAnObjectUsesDefaultProcessing) {
    HWND hwnd = ::CreateWindowExA(0, kTestClass, "orphan", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(win::Window::FromHandle(hwnd), nullptr);
    EXPECT_EQ(win::WindowText(hwnd), "orphan");
    ::DestroyWindow(hwnd);
}

TEST_F(WindowTest, ClassRegistration) {
    EXPECT_TRUE(win::Window::RegisterWindowClass(kTestClass, CS_HREDRAW));  // again: harmless
    EXPECT_FALSE(win::Window::RegisterWindowClass("STATIC", 0));            // not ours
    Recording window;
    EXPECT_FALSE(window.Create("STATIC", "", WS_POPUP, 0, {0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST_F(WindowTest, TimersArriveAsMessages) {
    Recording window;
    ASSERT_TRUE(window.Create(kTestClass, "", WS_POPUP, 0, {0, 0, 10, 10}, nullptr, 0));
    ASSERT_NE(window.SetTimer(7, 10), 0u);
    EXPECT_TRUE(wintest::PumpUntil([&] { return window.Saw(WM_TIMER); }));
    EXPECT_TRUE(window.KillTimer(7));
}

TEST_F(WindowTest, GeometryHelpersMapBetweenParentAndScreen) {
    Recording parent;
    ASSERT_TRUE(parent.Create(kTestClass, "", WS_POPUP | WS_VISIBLE, 0, {100, 60, 400, 300}, nullptr, 0));
    Recording child;
    ASSERT_TRUE(child.CreateAndSubclass("STATIC", "", WS_CHILD | WS_VISIBLE, 0, {10, 20, 60, 45},
                                        parent.Handle(), 5));

    EXPECT_EQ(child.WindowRect(), win::Rect(110, 80, 160, 105));
    EXPECT_EQ(child.RectInParent(), win::Rect(10, 20, 60, 45));
    EXPECT_EQ(child.ClientToScreen({1, 2}), win::Point(111, 82));
    EXPECT_EQ(parent.ScreenToClient({111, 82}), win::Point(11, 22));
    EXPECT_TRUE(child.Move({30, 40, 50, 90}));
    EXPECT_EQ(child.RectInParent(), win::Rect(30, 40, 50, 90));
    EXPECT_EQ(child.ClientRect(), win::Rect(0, 0, 20, 50));
    EXPECT_EQ(parent.Item(5), child.Handle());
}

TEST(Geometry, RectFollowsThePlatformRules) {
    const win::Rect r(10, 20, 30, 60);
    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_FALSE(r.Contains({30, 20}));  // right edge is outside
    EXPECT_FALSE(r.Contains({10, 60}));  // bottom edge is outside
    EXPECT_EQ(r.Center(), win::Point(20, 40));
    EXPECT_EQ(win::Rect(-5, -5, 0, 0).Center(), win::Point(-2, -2));  // truncates toward zero
    EXPECT_EQ(r.Deflate(2), win::Rect(12, 22, 28, 58));
    EXPECT_EQ(win::Rect(30, 60, 10, 20).Normalized(), r);
    EXPECT_TRUE(win::Rect(5, 5, 5, 9).IsEmpty());
    EXPECT_FALSE(win::Rect(5, 5, 5, 9).IsNull());
    EXPECT_EQ(r.Intersect({25, 0, 100, 30}), win::Rect(25, 20, 30, 30));
    EXPECT_TRUE(r.Intersect({40, 0, 50, 10}).IsNull());
    RECT raw = r.ToRECT();
    EXPECT_TRUE(::PtInRect(&raw, POINT{29, 59}));
    EXPECT_EQ(win::Rect(raw), r);
}

}  // namespace
