// Finding the game: the registry value of the test prefix, the question, the
// open-file dialog and the warnings, answered by recorders.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Registry.h"
#include "app/InstallLocation.h"
#include "win/App.h"
#include "win/Recorders.h"

namespace {

using apptest::GameRegistry;
using apptest::RegistryValue;

const std::string kQuestion =
    "Vampire: TM - Bloodlines does not appear to be installed on your system.\n"
    "Would you like to locate your Bloodlines executable manually?";
const std::string kInvalid = "Invalid executable! Must be named vampire.exe!";
const std::string kDisabled =
    "Because the tool is not aware of your Bloodlines installation path, some standard functionality "
    "will be disabled.";

struct Box {
    std::string text;
    UINT type;
};
const Box kAsk{kQuestion, MB_YESNO};
const Box kBadName{kInvalid, MB_OK | MB_ICONSTOP};
const Box kWarn{kDisabled, MB_OK | MB_ICONEXCLAMATION};

const HWND kOwner = reinterpret_cast<HWND>(0x1234);

struct LookupCase {
    const char* name;
    std::optional<RegistryValue> registry;      // nullopt: no value
    std::vector<int> answers;                    // to the message boxes, in order
    std::vector<std::optional<std::string>> picks;  // open-file dialogs: a path, or Cancel
    std::vector<Box> boxes;                      // expected, in order
    std::string installPath;
};

RegistryValue Unterminated(size_t length) {
    RegistryValue value;
    value.bytes.assign(length, 'A');
    return value;
}

// `text` and its terminator stored as a value of `type`.
RegistryValue Typed(DWORD type, const std::string& text) {
    RegistryValue value = RegistryValue::Text(text);
    value.type = type;
    return value;
}

std::vector<LookupCase> Cases() {
    return {
        {"EmptyValueCountsAsMissing", RegistryValue::Text(""), {IDNO}, {}, {kAsk, kWarn}, ""},
        {"NoValueAnswerNo", std::nullopt, {IDNO}, {}, {kAsk, kWarn}, ""},
        {"UpperCaseNameAccepted", std::nullopt, {IDYES}, {"C:\\Games\\VTMB\\VAMPIRE.EXE"}, {kAsk}, "C:\\Games\\VTMB"},
        {"AnyExtensionAccepted", std::nullopt, {IDYES}, {"C:\\Games\\VTMB\\Vampire.bin"}, {kAsk}, "C:\\Games\\VTMB"},
        {"WrongNameThenCancel", std::nullopt, {IDYES}, {"C:\\Games\\game.exe", std::nullopt},
         {kAsk, kBadName, kBadName, kWarn}, ""},
        {"WrongNameThenRightOne", std::nullopt, {IDYES}, {"C:\\Games\\game.exe", "E:\\VTMB\\vampire.exe"},
         {kAsk, kBadName}, "E:\\VTMB"},
        {"CancelAtOnce", std::nullopt, {IDYES}, {std::nullopt}, {kAsk, kBadName, kWarn}, ""},
        {"DriveRootGivesDriveAlone", std::nullopt, {IDYES}, {"D:\\vampire.exe"}, {kAsk}, "D:"},
        {"EveryTrailingSeparatorTrimmed", std::nullopt, {IDYES}, {"C:\\Games/\\/vampire.exe"}, {kAsk}, "C:\\Games"},
        // A value that fills the whole 260-byte buffer has no terminator in
        // it: it is too long for a path and must not be read past its end.
        {"FullBufferWithoutTerminatorCountsAsMissing", Unterminated(260), {IDNO}, {}, {kAsk, kWarn}, ""},
        {"LongerValueCountsAsMissing", RegistryValue::Text(std::string(300, 'B')), {IDNO}, {}, {kAsk, kWarn}, ""},
        // Only text is a path; a number's or binary value's bytes are not.
        {"ExpandableTextIsAPath", Typed(REG_EXPAND_SZ, "C:\\Games"), {}, {}, {}, "C:\\Games"},
        {"NumberCountsAsMissing", Typed(REG_DWORD, "C:\\"), {IDNO}, {}, {kAsk, kWarn}, ""},
        {"BinaryCountsAsMissing", Typed(REG_BINARY, "C:\\Games"), {IDNO}, {}, {kAsk, kWarn}, ""},
    };
}

class Lookup : public ::testing::TestWithParam<LookupCase> {
protected:
    GameRegistry registry;
    apptest::SavedCurrentDirectory cwd;
};

TEST_P(Lookup, AsksAndAnswersInOrder) {
    const LookupCase& c = GetParam();
    GameRegistry::Write(c.registry);
    wintest::MessageBoxRecorder boxes;
    for (int answer : c.answers) boxes.answers.push_back(answer);
    wintest::OpenFileDialogRecorder dialogs;
    for (const auto& pick : c.picks) dialogs.answers.push_back(pick);
    std::string before = apptest::SavedCurrentDirectory::Get();

    EXPECT_EQ(app::LocateInstallation(kOwner), c.installPath);

    ASSERT_EQ(boxes.calls.size(), c.boxes.size());
    for (size_t i = 0; i < c.boxes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(boxes.calls[i].text, c.boxes[i].text);
        EXPECT_EQ(boxes.calls[i].type, c.boxes[i].type);
        EXPECT_EQ(boxes.calls[i].caption, win::AppTitle());
    }
    EXPECT_EQ(dialogs.calls.size(), c.picks.size());
    EXPECT_EQ(dialogs.unscripted, 0);
    for (const auto& call : dialogs.calls) EXPECT_EQ(call.owner, kOwner);
    // Only a path from the registry moves the current directory.
    EXPECT_EQ(apptest::SavedCurrentDirectory::Get(), before);
}

INSTANTIATE_TEST_SUITE_P(Branches, Lookup, ::testing::ValuesIn(Cases()),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(LookupRegistry, PathFromRegistryAsStoredAndPackFolderBecomesCurrent) {
    GameRegistry registry;
    apptest::SavedCurrentDirectory cwd;
    apptest::TempInstallation install;
    GameRegistry::Write(RegistryValue::Text(install.Path()));
    wintest::MessageBoxRecorder boxes;
    wintest::OpenFileDialogRecorder dialogs;

    EXPECT_EQ(app::LocateInstallation(kOwner), install.Path());

    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_STRCASEEQ(apptest::SavedCurrentDirectory::Get().c_str(), (install.Path() + "\\Vampire").c_str());
}

TEST(LookupRegistry, LongestPathThatFitsIsTakenWhole) {
    GameRegistry registry;
    apptest::SavedCurrentDirectory cwd;
    std::string longest = "C:\\" + std::string(256, 'x');  // 259 characters and the terminator
    GameRegistry::Write(RegistryValue::Text(longest));
    wintest::MessageBoxRecorder boxes;

    EXPECT_EQ(app::LocateInstallation(kOwner), longest);
    EXPECT_TRUE(boxes.calls.empty());  // the folder does not exist: silently not entered
}

TEST(LookupRegistry, MissingKeyAsksTheQuestion) {
    GameRegistry registry;
    GameRegistry::RemoveKey();
    wintest::MessageBoxRecorder boxes;
    boxes.Script({IDNO});

    EXPECT_EQ(app::LocateInstallation(kOwner), "");
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, kQuestion);
    EXPECT_EQ(boxes.calls[1].text, kDisabled);
}

// Runs the prefix's own reg.exe, as make run does; true when it succeeded.
bool RunReg(const std::string& arguments) {
    std::string command = "reg.exe " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code == 0;
}

// The game's 32-bit installer writes to the 32-bit view of the registry;
// both builds read it from there, and a 64-bit build ignores the other view.
TEST(LookupRegistry, ValueInThe32BitViewIsFoundByEitherBuild) {
    GameRegistry registry;
    const std::string key = std::string("\"HKLM\\") + app::kGameRegistryKey + "\"";
    ASSERT_TRUE(RunReg("add " + key + " /v InstallPath /t REG_SZ /d C:\\Games\\From32 /f /reg:32"));
    EXPECT_EQ(app::ReadRegisteredInstallPath(), "C:\\Games\\From32");
    if (sizeof(void*) == 8) {
        GameRegistry::RemoveKey();
        ASSERT_TRUE(RunReg("add " + key + " /v InstallPath /t REG_SZ /d C:\\Games\\From64 /f /reg:64"));
        EXPECT_EQ(app::ReadRegisteredInstallPath(), "");
        RunReg("delete " + key + " /f /reg:64");
    }
}

TEST(ChooseExecutable, AsksForTheGameExecutable) {
    wintest::OpenFileDialogRecorder dialogs;
    dialogs.Script({"C:\\Program Files\\VTMB\\vampire.exe", std::nullopt});

    EXPECT_EQ(app::ChooseExecutable(kOwner), "C:\\Program Files\\VTMB\\vampire.exe");
    EXPECT_EQ(app::ChooseExecutable(kOwner), "");

    ASSERT_EQ(dialogs.calls.size(), 2u);
    const wintest::OpenFileRecord& call = dialogs.calls[0];
    EXPECT_EQ(call.owner, kOwner);
    EXPECT_EQ(call.filter, (std::vector<std::string>{"Executable files (*.exe)", "*.exe"}));
    EXPECT_EQ(call.initialFile, "vampire.exe");
    EXPECT_EQ(call.defaultExtension, "exe");
    EXPECT_EQ(call.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(call.maxFile, 260u);
    EXPECT_EQ(call.initialDirectory, "");
    EXPECT_EQ(call.title, "");
}

TEST(SplitPath, PartsAsTheFileSystemNamesThem) {
    struct Case {
        const char* path;
        app::PathParts parts;
    } cases[] = {
        {"", {"", "", "", ""}},
        {"C:\\Games\\VTMB\\vampire.exe", {"C:", "\\Games\\VTMB\\", "vampire", ".exe"}},
        {"D:\\vampire.exe", {"D:", "\\", "vampire", ".exe"}},
        {"D:vampire", {"D:", "", "vampire", ""}},
        {"\\\\server\\share\\vampire.exe", {"", "\\\\server\\share\\", "vampire", ".exe"}},
        {"C:/a.b/vampire", {"C:", "/a.b/", "vampire", ""}},
        {"C:\\a\\vampire.tar.gz", {"C:", "\\a\\", "vampire.tar", ".gz"}},
        {"C:\\a\\", {"C:", "\\a\\", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        app::PathParts parts = app::SplitPath(c.path);
        EXPECT_EQ(parts.drive, c.parts.drive);
        EXPECT_EQ(parts.folder, c.parts.folder);
        EXPECT_EQ(parts.name, c.parts.name);
        EXPECT_EQ(parts.extension, c.parts.extension);
    }
}

}  // namespace
