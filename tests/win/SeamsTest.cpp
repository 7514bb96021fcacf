// The message box, open-file dialog and shell seams; the application title;
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

OPENFILENAMEA ExecutableRequest(char* buffer, DWORD size) {
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.lpstrFilter = "Executable files (*.exe)\0*.exe\0";
    request.lpstrFile = buffer;
    request.nMaxFile = size;
    request.lpstrDefExt = "exe";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return request;
}

TEST(OpenFileDialogSeam, RecorderSeesTheRequestAndAnswersAsScripted) {
    wintest::OpenFileDialogRecorder dialogs;
    dialogs.Script({std::string("C:\\Games\\VTMB\\Vampire.exe"), std::nullopt});
    char buffer[MAX_PATH] = "vampire.exe";
    OPENFILENAMEA request = ExecutableRequest(buffer, MAX_PATH);

    ASSERT_TRUE(win::ShowOpenFileDialog(request));
    EXPECT_STREQ(buffer, "C:\\Games\\VTMB\\Vampire.exe");
    EXPECT_EQ(request.nFileOffset, 14);
    EXPECT_EQ(request.nFileExtension, 22);
    EXPECT_FALSE(win::ShowOpenFileDialog(request));

    ASSERT_EQ(dialogs.calls.size(), 2u);
    const wintest::OpenFileRecord& first = dialogs.calls[0];
    EXPECT_EQ(first.filter, (std::vector<std::string>{"Executable files (*.exe)", "*.exe"}));
    EXPECT_EQ(first.initialFile, "vampire.exe");
    EXPECT_EQ(first.defaultExtension, "exe");
    EXPECT_EQ(first.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(first.maxFile, static_cast<DWORD>(MAX_PATH));
}

TEST(OpenFileDialogSeam, PathLongerThanTheBufferFailsLikeTheRealDialog) {
    wintest::OpenFileDialogRecorder dialogs;
    dialogs.Script({std::string(20, 'x')});
    char buffer[8] = "keep";
    OPENFILENAMEA request = ExecutableRequest(buffer, sizeof buffer);
    EXPECT_FALSE(win::ShowOpenFileDialog(request));
    EXPECT_STREQ(buffer, "keep");
}

TEST(ShellSeam, RecordsRequestsKeepingNullsApart) {
    wintest::ShellRecorder shell;
    EXPECT_EQ(win::ShellExecute(nullptr, nullptr, "mailto:someone@example.com", nullptr, nullptr, SW_SHOW), 42);
    EXPECT_EQ(win::ShellExecute(nullptr, "open", "http://example.com", "", "C:\\", SW_SHOWNORMAL), 42);

    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_FALSE(shell.calls[0].verb.has_value());
    EXPECT_EQ(shell.calls[0].file, "mailto:someone@example.com");
    EXPECT_FALSE(shell.calls[0].parameters.has_value());
    EXPECT_EQ(shell.calls[0].show, SW_SHOW);
    EXPECT_EQ(shell.calls[1].verb, "open");
    EXPECT_EQ(shell.calls[1].parameters, "");
    EXPECT_EQ(shell.calls[1].directory, "C:\\");
}

win::Menu ExtractMenu() {
    win::Menu bar(::CreateMenu());
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuA(popup, MF_STRING | MF_GRAYED, 32773, "&Extract");
    ::AppendMenuA(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "POPUP");
    return bar;
}

TEST(PopupMenuSeam, RecorderSeesTheItemsAndChoosesAsScripted) {
    wintest::PopupMenuRecorder menus;
    menus.Script({32773});
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HMENU popup;
    {
        win::Menu menu = ExtractMenu();
        popup = menu.SubMenu(0);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(win::ShowPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, 15, 25, owner), 32773);
        EXPECT_EQ(win::ShowPopupMenu(popup, TPM_RETURNCMD, 0, 0, owner), 0);  // unscripted: dismissed
    }
    EXPECT_FALSE(::IsMenu(popup));  // went with its menu

    ASSERT_EQ(menus.calls.size(), 2u);
    const wintest::PopupMenuRecord& first = menus.calls[0];
    ASSERT_EQ(first.items.size(), 1u);
    EXPECT_EQ(first.items[0].text, "&Extract");
    EXPECT_EQ(first.items[0].id, 32773u);
    EXPECT_TRUE(first.items[0].grayed);
    EXPECT_EQ(first.flags, static_cast<UINT>(TPM_RIGHTBUTTON | TPM_RETURNCMD));
    EXPECT_EQ(first.x, 15);
    EXPECT_EQ(first.y, 25);
    EXPECT_EQ(first.owner, owner);
    EXPECT_EQ(menus.unscripted, 1);
    ::DestroyWindow(owner);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    ::EndMenu();
}

TEST(PopupMenuSeam, WithoutARecorderTheRealMenuShowsAndCanBeDismissed) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    win::Menu menu = ExtractMenu();
    ::SetTimer(nullptr, 0, 50, &CloseMenu);
    EXPECT_EQ(win::ShowPopupMenu(menu.SubMenu(0), TPM_RETURNCMD, 60, 60, owner), 0);
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
