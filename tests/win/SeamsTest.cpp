// The message box seam and the real pop-up menu; the application title;
// printf-style formatting.
#include <gtest/gtest.h>

#include <string>

#include "win/App.h"
#include "win/Format.h"
#include "Recorders.h"

namespace {

TEST(MessageBoxSeam, RecordsEachBoxAndReturnsScriptedAnswers) {
    wintest::MessageBoxRecorder boxes;
    boxes.Script({IDNO, IDYES});
    HWND owner = reinterpret_cast<HWND>(0x1234);

    EXPECT_EQ(win::MessageBox("Question?", MB_YESNO), IDNO);
    EXPECT_EQ(win::MessageBox("Again?", MB_YESNO | MB_ICONQUESTION, "Asking", owner), IDYES);
    EXPECT_EQ(win::MessageBox("Done"), IDOK);

    ASSERT_EQ(boxes.calls.size(), 3u);
    EXPECT_EQ(boxes.calls[0].text, "Question?");
    EXPECT_EQ(boxes.calls[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes.calls[0].owner, nullptr);
    EXPECT_EQ(boxes.calls[1].caption, "Asking");
    EXPECT_EQ(boxes.calls[1].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes.calls[1].owner, owner);
    EXPECT_EQ(boxes.calls[2].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes.unscripted, 1);
}

TEST(MessageBoxSeam, DefaultCaptionIsTheExecutableNameWithoutExtension) {
    wintest::MessageBoxRecorder boxes;
    win::MessageBox("text");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].caption, "win_tests");
    EXPECT_EQ(win::AppTitle(), "win_tests");
}

TEST(MessageBoxSeam, RecordersNestAndRestoreWhatWasBefore) {
    wintest::MessageBoxRecorder outer;
    {
        wintest::MessageBoxRecorder inner;
        win::MessageBox("inner");
        EXPECT_EQ(inner.calls.size(), 1u);
    }
    win::MessageBox("outer");
    ASSERT_EQ(outer.calls.size(), 1u);
    EXPECT_EQ(outer.calls[0].text, "outer");
}

win::Menu ExtractMenu() {
    win::Menu bar(::CreateMenu());
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuA(popup, MF_STRING | MF_GRAYED, 32773, "&Extract");
    ::AppendMenuA(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "POPUP");
    return bar;
}

bool menuShown = false;

// Runs inside the menu's modal loop: notes whether the menu is on screen.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND menu = ::FindWindowA("#32768", nullptr);
    menuShown = menu != nullptr && ::IsWindowVisible(menu);
    ::EndMenu();
}

TEST(PopupMenuSeam, WithoutARecorderTheRealMenuShowsAndCanBeDismissed) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    win::Menu menu = ExtractMenu();
    menuShown = false;
    ::SetTimer(nullptr, 0, 50, &CloseMenu);
    EXPECT_EQ(win::ShowPopupMenu(menu.SubMenu(0), TPM_RETURNCMD, 60, 60, owner), 0);
    EXPECT_TRUE(menuShown);
    ::DestroyWindow(owner);
}

// Lengths around the formatter's first buffer of 512 characters.
class FormatLengths : public ::testing::TestWithParam<size_t> {};

TEST_P(FormatLengths, KeepsEveryCharacter) {
    const std::string long_text(GetParam(), 'a');
    std::string result = win::Format("<%s|%u>", long_text.c_str(), 7u);
    EXPECT_EQ(result, "<" + long_text + "|7>");
}

INSTANTIATE_TEST_SUITE_P(Format, FormatLengths, ::testing::Values(0, 1, 500, 506, 507, 508, 511, 512, 5000, 100000));

TEST(Format, ExpandsLikePrintf) {
    EXPECT_EQ(win::Format("%u", 4294967295u), "4294967295");
    EXPECT_EQ(win::Format("%d", -12), "-12");
    EXPECT_EQ(win::Format("100%%"), "100%");
    EXPECT_EQ(win::Format("%s and %s", "this", "that"), "this and that");
    EXPECT_EQ(win::Format("%c%c", 'o', 'k'), "ok");
}

}  // namespace
