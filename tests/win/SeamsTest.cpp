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

TEST(App, MissingStringResourceIsEmpty) {
    EXPECT_EQ(win::LoadResourceString(31999), "");
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
