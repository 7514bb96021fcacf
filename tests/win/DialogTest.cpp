// Dialogs: modal runs and their results, modeless dialogs, binding controls
// by id, the default handling of OK and cancel.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "win/Dialog.h"
#include "DialogTemplate.h"
#include "Pump.h"

namespace {

constexpr UINT kEnd = WM_APP + 1;    // lParam: the result to end the modal run with
constexpr UINT kNested = WM_APP + 2;  // runs a nested modal dialog
constexpr int kLabelId = 100;
constexpr int kEditId = 101;

wintest::DialogTemplate WithControls(DWORD extraStyle = 0) {
    wintest::DialogTemplate t("Dialog test", WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle, 10, 10, 160, 80);
    t.Add("STATIC", "label", kLabelId, WS_CHILD | WS_VISIBLE, 8, 8, 80, 10);
    t.Add("EDIT", "", kEditId, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 8, 24, 80, 12);
    return t;
}

wintest::DialogTemplate Bare() {
    return wintest::DialogTemplate("Bare dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 120, 60);
}

class Label : public win::Window {
public:
    void PreSubclassWindow() override { handleInPreSubclass = Handle(); }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        return msg == WM_APP ? 77 : Window::HandleMessage(msg, wp, lp);
    }
    HWND handleInPreSubclass = nullptr;
};

class TestDialog : public win::Dialog {
public:
    using Dialog::Dialog;

    std::function<BOOL(TestDialog&)> onInit = [](TestDialog&) { return TRUE; };
    int initCalls = 0;
    int destroyCalls = 0;
    HWND handleAtDestroy = reinterpret_cast<HWND>(1);
    const DLGTEMPLATE* nestedTemplate = nullptr;

    bool DestroyWindow() override {
        ++destroyCalls;
        handleAtDestroy = Handle();
        return Dialog::DestroyWindow();
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case kEnd: return OnEnd(static_cast<INT_PTR>(lp));
        case kNested: return OnNested();
        default: return Dialog::HandleMessage(msg, wp, lp);
        }
    }
    BOOL OnInitDialog() override {
        ++initCalls;
        return onInit(*this);
    }

private:
    LRESULT OnEnd(INT_PTR result) {
        EndModal(result);
        return 0;
    }
    LRESULT OnNested() {
        TestDialog inner(nestedTemplate);
        inner.onInit = [](TestDialog& d) { d.Post(kEnd, 0, 7); return TRUE; };
        EndModal(inner.DoModal(Handle()) + 1);
        return 0;
    }
};

TEST(Dialog, ModelessDialogBindsAControlById) {
    auto t = WithControls(WS_VISIBLE);
    TestDialog dialog(t.Get());
    Label label;
    Label intruder;
    bool bound = false;
    dialog.onInit = [&](TestDialog& d) {
        bound = d.BindControl(kLabelId, label);
        return TRUE;
    };
    ASSERT_TRUE(dialog.Create(nullptr));

    EXPECT_EQ(dialog.initCalls, 1);
    ASSERT_TRUE(bound);
    HWND item = ::GetDlgItem(dialog.Handle(), kLabelId);
    EXPECT_EQ(label.Handle(), item);
    EXPECT_EQ(label.handleInPreSubclass, item);
    EXPECT_EQ(::SendMessageA(item, WM_APP, 0, 0), 77);
    EXPECT_EQ(label.Text(), "label");
    EXPECT_FALSE(dialog.BindControl(kLabelId, intruder));  // already bound
    EXPECT_FALSE(dialog.BindControl(999, intruder));       // no such control
    EXPECT_EQ(dialog.ItemRect(kLabelId), win::RectInParent(item));
    EXPECT_TRUE(dialog.ItemRect(999).IsNull());

    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_EQ(label.Handle(), nullptr);
}

// Hidden, so that activation (which also moves the focus) stays out of it.
TEST(Dialog, InitDialogAnswerDecidesWhetherTheSystemSetsTheFocus) {
    for (BOOL answer : {TRUE, FALSE}) {
        SCOPED_TRACE(answer);
        auto t = WithControls();
        TestDialog dialog(t.Get());
        ::SetFocus(nullptr);
        dialog.onInit = [answer](TestDialog&) { return answer; };
        ASSERT_TRUE(dialog.Create(nullptr));
        HWND edit = ::GetDlgItem(dialog.Handle(), kEditId);
        EXPECT_EQ(::GetFocus() == edit, answer == TRUE);
    }
}

TEST(Dialog, ModalRunEndsWithTheGivenResultThenDestroyWindowRuns) {
    auto t = WithControls();
    TestDialog dialog(t.Get());
    dialog.onInit = [](TestDialog& d) {
        d.Post(kEnd, 0, 42);
        return TRUE;
    };
    EXPECT_EQ(dialog.DoModal(nullptr), 42);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_EQ(dialog.handleAtDestroy, nullptr);  // the system destroyed the window first
    EXPECT_FALSE(dialog.IsModal());
}

struct DefaultEnd {
    const char* what;
    UINT msg;
    WPARAM wp;
    INT_PTR expected;
};

class DefaultCommands : public ::testing::TestWithParam<DefaultEnd> {};

// The main window has no controls and no OK or cancel handling of its own; it
// relies on these ending its run.
TEST_P(DefaultCommands, EndTheModalRunOfADialogWithoutControls) {
    const DefaultEnd& c = GetParam();
    auto t = Bare();
    TestDialog dialog(t.Get());
    dialog.onInit = [&c](TestDialog& d) {
        d.Post(c.msg, c.wp, 0);
        return TRUE;
    };
    EXPECT_EQ(dialog.DoModal(nullptr), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Dialog, DefaultCommands,
                         ::testing::Values(DefaultEnd{"ok", WM_COMMAND, IDOK, IDOK},
                                           DefaultEnd{"cancel", WM_COMMAND, IDCANCEL, IDCANCEL},
                                           DefaultEnd{"close", WM_CLOSE, 0, IDCANCEL},
                                           DefaultEnd{"escape", WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
                                           DefaultEnd{"enter", WM_KEYDOWN, VK_RETURN, IDOK}),
                         [](const auto& param) { return std::string(param.param.what); });

TEST(Dialog, ModelessDialogIsNotHiddenByOkOrCancelAndDiesWithItsObject) {
    auto t = WithControls(WS_VISIBLE);
    HWND hwnd;
    {
        TestDialog dialog(t.Get());
        ASSERT_TRUE(dialog.Create(nullptr));
        hwnd = dialog.Handle();
        dialog.Send(WM_COMMAND, IDOK);
        dialog.Send(WM_COMMAND, IDCANCEL);
        wintest::Pump();
        EXPECT_TRUE(::IsWindowVisible(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Dialog, FailedCreationDoesNotCaptureTheNextWindow) {
    TestDialog missing(9999);
    EXPECT_EQ(missing.DoModal(nullptr), -1);
    EXPECT_FALSE(missing.Create(nullptr));
    EXPECT_EQ(missing.Handle(), nullptr);

    HWND plain = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(win::Window::FromHandle(plain), nullptr);
    EXPECT_EQ(missing.Handle(), nullptr);
    ::DestroyWindow(plain);
}

// Windows may create a thread's IME window just before its first top-level
// window: a hook of the test's own makes a window of another class in front
// of the dialog, which must still bind its own window.
HHOOK imeHook = nullptr;
HWND imeWindow = nullptr;

LRESULT CALLBACK CreateImeWindowFirst(int code, WPARAM wp, LPARAM lp) {
    char className[16] = {};
    if (code == HCBT_CREATEWND && imeWindow == nullptr &&
        ::GetClassNameA(reinterpret_cast<HWND>(wp), className, sizeof className) > 0 &&
        std::string(className) == "#32770") {
        imeWindow = ::CreateWindowExA(0, "STATIC", "ime", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    return ::CallNextHookEx(imeHook, code, wp, lp);
}

TEST(Dialog, AWindowOfAnotherClassCreatedFirstIsNotTakenForTheDialog) {
    auto t = Bare();
    TestDialog dialog(t.Get());
    TestDialog{t.Get()}.Create(nullptr);  // the creation hook is in place before ours
    imeHook = ::SetWindowsHookExA(WH_CBT, &CreateImeWindowFirst, nullptr, ::GetCurrentThreadId());
    const bool created = dialog.Create(nullptr);
    ::UnhookWindowsHookEx(imeHook);
    ASSERT_NE(imeWindow, nullptr);
    EXPECT_TRUE(created);
    EXPECT_EQ(win::Window::FromHandle(imeWindow), nullptr);
    EXPECT_EQ(dialog.initCalls, 1);
    ::DestroyWindow(imeWindow);
}

TEST(Dialog, NestedModalRunsEachEndTheirOwn) {
    auto outerTemplate = WithControls();
    auto innerTemplate = Bare();
    TestDialog outer(outerTemplate.Get());
    outer.nestedTemplate = innerTemplate.Get();
    outer.onInit = [](TestDialog& d) {
        d.Post(kNested);
        return TRUE;
    };
    EXPECT_EQ(outer.DoModal(nullptr), 8);
}

}  // namespace
