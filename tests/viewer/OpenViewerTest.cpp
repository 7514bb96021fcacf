// Viewers as the main window opens and closes them: filled from the
// installation, the closing notice, closing with the main window, and one
// path through the program with real mouse input.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "ViewerSupport.h"
#include "app/MainDialog.h"
#include "app/Registry.h"
#include "vpk/Messages.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

namespace fs = std::filesystem;
using viewertest::ClickAt;
using viewertest::Row;
using viewertest::Rows;

class MainWithViewers : public ::testing::Test {
protected:
    void TearDown() override { dialog.DestroyWindow(); }
    // The main window on an installation at `path` (none when empty).
    void Start(const std::string& path) {
        viewertest::ForgetPlacements();
        apptest::GameRegistry::Write(path.empty() ? std::nullopt
                                                  : std::optional(apptest::RegistryValue::Text(path)));
        ASSERT_TRUE(apptest::ShowOnScreen(dialog));
        boxes.calls.clear();
    }
    viewer::VpkViewerDialog& Open() {
        dialog.Send(WM_COMMAND, ID_TOOLS_VPK_VIEWER);
        wintest::Pump();
        return *dialog.Viewers().back();
    }

    apptest::RegisteredInstallation installed;
    wintest::MessageBoxRecorder& boxes = installed.boxes;
    wintest::OpenFileDialogRecorder files;  // cancels the lookup's question
    app::MainDialog dialog;
};

const std::string kDemo = test::HostPath(TESSARO_DEMO_DIR);

TEST_F(MainWithViewers, AViewerListsTheDemoInstallationsPacksInFolderOrder) {
    Start(kDemo);
    viewer::VpkViewerDialog& opened = Open();
    EXPECT_EQ(opened.Text(), "VPK Viewer");
    EXPECT_EQ(opened.PackFolder(), kDemo + "\\Vampire\\");
    EXPECT_EQ(opened.Send(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(dialog.Icon()));
    EXPECT_EQ(opened.Send(WM_GETICON, ICON_SMALL), reinterpret_cast<LRESULT>(dialog.Icon()));
    const std::map<std::string, Row> demo = {{"pack000.vpk", {"27", "File pack"}},
                                             {"pack001.vpk", {"15", "File pack"}},
                                             {"pack002.vpk", {"5", "File pack"}},
                                             {"pack003.vpk", {"7", "Directory pack"}},
                                             {"pack004.vpk", {"0", "File pack"}}};
    std::vector<Row> expected;
    for (const auto& item : fs::directory_iterator(kDemo + "\\Vampire")) {
        const std::string name = item.path().filename().string();
        expected.push_back({kDemo + "\\Vampire\\" + name, demo.at(name)[0], demo.at(name)[1]});
    }
    EXPECT_EQ(Rows(opened.PackList().Handle()), expected);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(MainWithViewers, RefusedPacksAreLeftOutAndEachViewerListsAfresh) {
    const apptest::TempInstallation& install = installed.install;
    const fs::path folder = fs::path(install.Path()) / "Vampire";
    test::WriteFile(folder / "good.vpk", test::PackBuilder().Add("a.txt", "a").Build());
    test::WriteFile(folder / "bad.vpk", test::Footer(0, 99, 0));
    Start(install.Path());
    viewer::VpkViewerDialog& first = Open();
    viewer::VpkViewerDialog& second = Open();
    for (viewer::VpkViewerDialog* v : {&first, &second}) {
        EXPECT_EQ(Rows(v->PackList().Handle()),
                  (std::vector<Row>{{install.Path() + "\\Vampire\\good.vpk", "1", "File pack"}}));
    }
    EXPECT_EQ(boxes.calls.size(), 4u);  // twice the footer's refusal
    fs::remove(folder / "good.vpk");
    fs::remove(folder / "bad.vpk");
}

TEST_F(MainWithViewers, WithoutAnInstallationTheViewerOpensEmptyAfterTheMessage) {
    Start("");
    viewer::VpkViewerDialog& opened = Open();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              "No VPK files were opened by default because your Bloodlines installation directory could not be located");
    EXPECT_EQ(boxes.calls[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes.calls[0].caption, win::AppTitle());
    EXPECT_TRUE(opened.IsVisible());
    EXPECT_TRUE(Rows(opened.PackList().Handle()).empty());
    EXPECT_EQ(opened.PackFolder(), "");
}

TEST_F(MainWithViewers, ClosingNoticesReleaseTheirViewerOnceAndForgedOnesNothing) {
    Start(kDemo);
    viewer::VpkViewerDialog* first = &Open();
    viewer::VpkViewerDialog* second = &Open();
    viewer::VpkViewerDialog* third = &Open();
    const HWND firstWindow = first->Handle();
    const HMENU menu = ::GetMenu(dialog.Handle());

    first->Send(WM_CLOSE);
    first->Send(WM_CLOSE);  // a second notice would name a deleted viewer
    third->Send(WM_CLOSE);
    wintest::Pump();
    dialog.Post(WM_DESTROY, reinterpret_cast<WPARAM>(first));
    dialog.Post(WM_DESTROY, 0x1234);
    wintest::Pump();
    EXPECT_EQ(dialog.Viewers(), (std::vector<viewer::VpkViewerDialog*>{second}));
    EXPECT_FALSE(::IsWindow(firstWindow));
    EXPECT_TRUE(second->IsVisible());
    EXPECT_EQ(::GetMenu(dialog.Handle()), menu);
    EXPECT_TRUE(::IsMenu(menu));

    const HWND secondWindow = second->Handle();
    dialog.Send(WM_CLOSE);
    EXPECT_TRUE(dialog.Viewers().empty());
    EXPECT_FALSE(::IsWindow(secondWindow));
}

// The main window closed while a viewer's message is up (its box does not
// disable the main window): the viewer's walk over the selected rows stops
// there, and its object lives on until its handler has returned.
TEST_F(MainWithViewers, ClosingTheMainWindowDuringAViewersMessageStopsTheViewerSafely) {
    Start(kDemo);
    viewer::VpkViewerDialog& viewer = Open();
    test::TempDir dir;
    const std::string pack = dir / "unsafe.vpk";
    test::WriteFile(pack, test::PackBuilder().Add("../a.txt", "a").Add("../b.txt", "b").Add("../c.txt", "c").Build());
    viewer.AddPack(pack.c_str());
    viewer.LoadPackRow(static_cast<int>(Rows(viewer.PackList().Handle()).size()) - 1);
    viewertest::Select(viewer.EntryList().Handle(), {0, 1, 2});

    struct ClosingRecorder : wintest::MessageBoxRecorder {
        HWND main = nullptr;
        int Show(const win::MessageBoxCall& call) override {
            const int answer = MessageBoxRecorder::Show(call);
            if (calls.size() == 1) ::SendMessageA(main, WM_CLOSE, 0, 0);
            return answer;
        }
    } closing;
    closing.main = dialog.Handle();
    wintest::PopupMenuRecorder menus;
    menus.Script({ID_EXTRACT});
    viewertest::Notify(viewer, viewer.EntryList().Handle(), NM_RCLICK);

    ASSERT_EQ(closing.calls.size(), 1u);
    EXPECT_EQ(closing.calls[0].text, vpk::messages::kUnsafeTarget);
    EXPECT_TRUE(dialog.Viewers().empty());
    EXPECT_FALSE(viewer.IsWindow());
}

// A refused pack's message is owned by the viewer it was added to, and the
// viewer is closed while it is up: its closing notice reaches the main window
// inside the box. What was adding packs stops there, on a live object: only
// the rest of that pack's refusal follows, no message about the paths after it.
TEST_F(MainWithViewers, ClosingTheViewerFromInsideAPacksMessageStopsAddingPacks) {
    struct ClosingTheOwner : wintest::MessageBoxRecorder {
        int Show(const win::MessageBoxCall& call) override {
            const int answer = MessageBoxRecorder::Show(call);
            if (calls.size() == 1 && call.owner != nullptr) {
                ::SendMessageA(call.owner, WM_CLOSE, 0, 0);
                wintest::Pump();
            }
            return answer;
        }
    };
    Start(kDemo);
    test::TempDir folder;
    test::WriteFile(folder.Path() / "a-bad.vpk", test::Footer(0, 99, 0));
    test::WriteFile(folder.Path() / "b-good.vpk", test::PackBuilder().Add("a.txt", "a").Build());
    {
        SCOPED_TRACE("a dropped folder");
        const HWND window = Open().Handle();
        ClosingTheOwner closing;
        ::SendMessageA(window, WM_DROPFILES,
                       reinterpret_cast<WPARAM>(viewertest::MakeDrop({folder.Path().string(), folder / "gone.txt"})), 0);
        ASSERT_EQ(closing.calls.size(), 2u);
        EXPECT_EQ(closing.calls[1].text, vpk::messages::kParseFailed);
        EXPECT_EQ(closing.calls[0].owner, window);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_TRUE(dialog.Viewers().empty());
    }
    {
        SCOPED_TRACE("packs opened from Explorer");
        ClosingTheOwner closing;
        EXPECT_EQ(dialog.OpenViewerOn({folder / "a-bad.vpk", folder / "b-good.vpk", folder / "gone.vpk"}), nullptr);
        ASSERT_EQ(closing.calls.size(), 2u);
        EXPECT_NE(closing.calls[0].owner, nullptr);
        EXPECT_EQ(closing.calls[1].text, vpk::messages::kParseFailed);
        EXPECT_TRUE(dialog.Viewers().empty());
    }
}

// --- Through the program with the mouse

template <class Ready>
bool WaitFor(Ready ready) {
    for (int i = 0; i < 100; ++i) {
        if (ready()) return true;
        ::Sleep(50);
    }
    return false;
}

HWND VisibleMenuWindow() {
    HWND menu = ::FindWindowA("#32768", nullptr);
    return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
}

// The row of `list` whose cell `column` is `text`, on screen.
bool RowOnScreen(HWND list, int column, const std::string& text, POINT& at) {
    const auto rows = Rows(list);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][column] != text) continue;
        at = viewertest::RowPoint(list, static_cast<int>(i));
        return true;
    }
    return false;
}

// The mouse does it all from a second thread while this one runs the windows:
// Tools menu, the viewer, a pack, a text entry, its preview, Extract.
TEST_F(MainWithViewers, TheMouseOpensAViewerPreviewsAndExtracts) {
    Start(kDemo);
    test::TempDir out;
    test::CurrentDirectory extractHere(out.Path());
    const std::string pack = kDemo + "\\Vampire\\pack002.vpk";
    std::atomic<bool> done{false};
    const DWORD uiThread = ::GetCurrentThreadId();
    std::string failedStep;
    HMENU menuBar = ::GetMenu(dialog.Handle());
    HMENU fileMenu = ::GetSubMenu(menuBar, 0);
    HMENU toolsMenu = ::GetSubMenu(fileMenu, 0);

    std::thread mouse([&] {
        auto step = [&](const char* name, bool ok) {
            if (!ok && failedStep.empty()) failedStep = name;
            return ok;
        };
        RECT r{};
        HWND viewerWindow = nullptr;
        POINT at{};
        ::GetMenuItemRect(dialog.Handle(), menuBar, 0, &r);
        ClickAt(win::Rect(r).Center());
        step("File menu", WaitFor([&] { return VisibleMenuWindow() != nullptr; })) &&
            step("Tools item", ::GetMenuItemRect(nullptr, fileMenu, 0, &r) != FALSE) &&
            (ClickAt(win::Rect(r).Center()), true) &&
            step("Tools menu", WaitFor([&] { return ::GetMenuItemRect(nullptr, toolsMenu, 0, &r) != FALSE; })) &&
            (ClickAt(win::Rect(r).Center()), true) &&
            step("viewer", WaitFor([&] { return (viewerWindow = ::FindWindowA(nullptr, "VPK Viewer")) != nullptr; })) &&
            step("pack row", WaitFor([&] {
                return RowOnScreen(::GetDlgItem(viewerWindow, IDC_PACK_LIST), 0, pack, at);
            })) &&
            (ClickAt(at), true) &&
            step("entry row", WaitFor([&] {
                return RowOnScreen(::GetDlgItem(viewerWindow, IDC_ENTRY_LIST), 1, "python/vamputil.py", at);
            })) &&
            (ClickAt(at), true) &&
            step("preview", WaitFor([&] { return ::IsWindowVisible(::GetDlgItem(viewerWindow, IDC_PREVIEW_TEXT)); })) &&
            (ClickAt(at, 1, true), true) &&
            step("pop-up menu", WaitFor([&] { return ::GetWindowRect(VisibleMenuWindow(), &r) != FALSE; })) &&
            // "&Extract", below "&Open", "&Copy" and a separator.
            step("Extract item", ::GetMenuItemRect(nullptr, reinterpret_cast<HMENU>(::SendMessageA(
                                                                VisibleMenuWindow(), MN_GETHMENU, 0, 0)),
                                                   3, &r) != FALSE) &&
            (ClickAt(win::Rect(r).Center()), true) &&
            step("extracted file", WaitFor([&] { return fs::exists(out.Path() / "python" / "vamputil.py"); }));
        done = true;
        ::PostThreadMessageA(uiThread, WM_NULL, 0, 0);  // wakes the pump
    });
    // Pumped until the thread ends, however long: it sends to this thread
    // (list rows, menu rectangles), and each of its steps gives up after 5 s.
    wintest::PumpUntil([&] { return done.load(); }, INFINITE);
    mouse.join();
    EXPECT_EQ(failedStep, "");
    ASSERT_EQ(dialog.Viewers().size(), 1u);
    EXPECT_EQ(win::WindowText(viewertest::Preview(*dialog.Viewers()[0])).substr(0, 22), "# vamputil: level scri");
    EXPECT_EQ(test::ReadFile(out.Path() / "python" / "vamputil.py").substr(0, 11), "# vamputil:");
    EXPECT_TRUE(boxes.calls.empty());
}

// The packs a user opens from Explorer: listed as given, the first loaded,
// a path that is not a file named in one message.
TEST_F(MainWithViewers, OpenViewerOnAddsExactlyTheGivenPacksAndNamesTheMissingOnce) {
    Start(kDemo);
    test::TempDir spaced;
    const std::string named = spaced / "with space.vpk";
    test::WriteFile(named, test::PackBuilder().Add("x.txt", "x").Build());
    const std::string first = kDemo + "\\Vampire\\pack002.vpk";
    viewer::VpkViewerDialog* opened =
        dialog.OpenViewerOn({first, spaced / "gone.vpk", named, spaced.Path().string(), named});
    EXPECT_EQ(Rows(opened->PackList().Handle()),
              (std::vector<Row>{{first, "5", "File pack"}, {named, "1", "File pack"}, {named, "1", "File pack"}}));
    EXPECT_EQ(opened->Archive().GetPath(), first);
    EXPECT_EQ(Rows(opened->EntryList().Handle()).size(), 5u);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              "These pack files do not exist:\n\n" + (spaced / "gone.vpk") + "\n" + spaced.Path().string());
}

// Tessaro.exe run in a process of its own, its windows found from outside.
class Program {
public:
    explicit Program(const std::vector<std::string>& arguments) {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string program = self;
        program = program.substr(0, program.find_last_of('\\') + 1) + "Tessaro.exe";
        std::string command = "\"" + program + "\"";
        for (const std::string& argument : arguments) command += " \"" + argument + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started = ::CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process) != FALSE;
    }
    ~Program() {
        if (!started) return;
        ::TerminateProcess(process.hProcess, 0);
        ::WaitForSingleObject(process.hProcess, 5000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    struct Search {
        DWORD pid;
        const char* title;
        HWND found;
    };
    // A stdcall function, not a lambda: 32-bit callbacks need the convention.
    static BOOL CALLBACK Match(HWND w, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && ::IsWindowVisible(w) && win::WindowText(w) == s->title) s->found = w;
        return s->found == nullptr;
    }

    // Its visible top-level window titled `title`, waited for.
    HWND WindowTitled(const char* title) {
        Search search{process.dwProcessId, title, nullptr};
        // Polled: the other process's windows wake nothing here.
        for (DWORD start = ::GetTickCount(); search.found == nullptr && ::GetTickCount() - start < 15000; ::Sleep(50)) {
            wintest::Pump();
            ::EnumWindows(&Program::Match, reinterpret_cast<LPARAM>(&search));
        }
        return search.found;
    }
    // Closes the program as its close box does and waits for it to end.
    bool Close(HWND main) {
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        return ::WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
    }

    bool started = false;
    PROCESS_INFORMATION process{};
};

// Tessaro.exe started as "Open with" starts it: one quoted path per pack.
TEST_F(MainWithViewers, TheProgramOpensThePacksOnItsCommandLine) {
    apptest::GameRegistry::Write(apptest::RegistryValue::Text(kDemo));
    test::TempDir spaced;
    const std::string named = spaced / "with space.vpk";
    test::WriteFile(named, test::PackBuilder().Add("x.txt", "x").Add("y.txt", "y").Build());
    Program tessaro({named, spaced / "gone.vpk"});
    ASSERT_TRUE(tessaro.started);
    HWND box = tessaro.WindowTitled("Tessaro");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(win::WindowText(::GetDlgItem(box, 0xFFFF)), "This pack file does not exist:\n\n" + (spaced / "gone.vpk"));
    HWND viewerWindow = tessaro.WindowTitled("VPK Viewer");
    ASSERT_NE(viewerWindow, nullptr);
    // Item counts need no memory of the other process.
    EXPECT_EQ(::SendMessageA(::GetDlgItem(viewerWindow, IDC_PACK_LIST), LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(::GetDlgItem(viewerWindow, IDC_ENTRY_LIST), LVM_GETITEMCOUNT, 0, 0), 2);
}

// The main window reopens where the last run left it.
TEST_F(MainWithViewers, TheMainWindowOpensWhereTheLastRunLeftIt) {
    apptest::GameRegistry::Write(apptest::RegistryValue::Text(kDemo));
    viewertest::ForgetPlacements();
    win::Rect moved;
    {
        Program first({});
        HWND main = first.WindowTitled("Tessaro v0.1");
        ASSERT_NE(main, nullptr);
        ::SetWindowPos(main, nullptr, 70, 40, 600, 450, SWP_NOZORDER);
        moved = win::WindowRect(main);
        ASSERT_TRUE(first.Close(main));
    }
    Program second({});
    HWND main = second.WindowTitled("Tessaro v0.1");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(win::WindowRect(main), moved);
}

}  // namespace
