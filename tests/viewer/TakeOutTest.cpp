// Taking entries out of the viewer the shell's way: dragged onto a window
// that takes files, copied to the clipboard, opened with the shell; and the
// run's temporary folder that holds them, tidied away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <ole2.h>
#include <shlobj.h>

#include "ViewerSupport.h"
#include "viewer/EntryDrag.h"
#include "viewer/RunFolder.h"
#include "vpk/PackBuilder.h"

namespace {

namespace fs = std::filesystem;
using test::PackBuilder;

// The paths an HDROP names.
std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = {};
        ::DragQueryFileA(drop, i, path, sizeof path);
        paths.emplace_back(path);
    }
    return paths;
}

// A window of the test's own that takes dropped files as a folder window
// would: it copies each one offered (a folder with what is in it) into `into`.
class CopyingDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDropTarget ? this : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        ++drops;
        if (keep) {
            // Asked for later, once the drag is over.
            data->AddRef();
            kept = data;
            *effect = DROPEFFECT_COPY;
            return S_OK;
        }
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&format, &medium) == S_OK) {
            offered = DroppedPaths(static_cast<HDROP>(medium.hGlobal));
            for (const std::string& path : offered) {
                fs::copy(path, into.Path() / fs::path(path).filename(), fs::copy_options::recursive);
            }
            ::ReleaseStgMedium(&medium);
        }
        format.cfFormat = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT));
        if (data->GetData(&format, &medium) == S_OK) {
            preferred = *static_cast<DWORD*>(::GlobalLock(medium.hGlobal));
            ::GlobalUnlock(medium.hGlobal);
            ::ReleaseStgMedium(&medium);
        }
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

    test::TempDir into;
    std::vector<std::string> offered;
    DWORD preferred = 0;
    int drops = 0;
    bool keep = false;
    IDataObject* kept = nullptr;
};

// A real left-button drag: down at `from`, a move past the system's drag
// threshold, on to `to` in steps and up there, queued at once. A key no
// program uses (F24) goes between the moves: moves queued one after the
// other would be merged into the last, which the list would never see.
void DragWithMouse(POINT from, POINT to) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN) - 1, h = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    std::vector<INPUT> inputs;
    auto add = [&](POINT p, DWORD button) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = p.x * 65535 / w;
        in.mi.dy = p.y * 65535 / h;
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        inputs.push_back(in);
        for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wVk = VK_F24;
            key.ki.dwFlags = up;
            inputs.push_back(key);
        }
    };
    add(from, 0);
    add(from, MOUSEEVENTF_LEFTDOWN);
    add({from.x + 3 * ::GetSystemMetrics(SM_CXDRAG), from.y}, 0);
    for (int step = 1; step <= 4; ++step) {
        add({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4}, 0);
    }
    add(to, MOUSEEVENTF_LEFTUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class TakingOut : public viewertest::ViewerOnScreen {
protected:
    void SetUp() override {
        ::OleInitialize(nullptr);
        Open("C:\\game\\Vampire\\");
        ::SetForegroundWindow(viewer.Handle());
        Load(Pack("models.vpk", PackBuilder()
                                    .Add("models/a.mdl", "mdl")
                                    .Add("models/sub/b.txt", "bee")
                                    .Add("c.txt", "sea")
                                    .Add("other/d.txt", "dee")
                                    .Build()));
    }
    void TearDown() override { ::OleUninitialize(); }

    // Ctrl+C with the list focused, then what the clipboard holds as files.
    std::vector<std::string> CopyWithKeys() {
        ::SetFocus(entries());
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        viewer.EntryList().Send(WM_KEYDOWN, 'C', 0);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
        std::vector<std::string> paths;
        if (!::OpenClipboard(nullptr)) return paths;
        if (HANDLE drop = ::GetClipboardData(CF_HDROP)) paths = DroppedPaths(static_cast<HDROP>(drop));
        ::CloseClipboard();
        return paths;
    }
};

// A window beside the viewer that hands drops to `target`; DropPoint() is in it.
class DropWindow {
public:
    DropWindow(const win::Rect& beside, CopyingDropTarget& target)
        : at{beside.right + 120, beside.top + 140},
          window(::CreateWindowExA(WS_EX_TOPMOST, "Edit", "drop here", WS_POPUP | WS_VISIBLE | WS_BORDER | ES_READONLY,
                                   beside.right + 20, beside.top + 40, 200, 200, nullptr, nullptr, nullptr, nullptr)),
          registered(::RegisterDragDrop(window, &target) == S_OK) {
        wintest::Pump();
    }
    ~DropWindow() {
        ::RevokeDragDrop(window);
        ::DestroyWindow(window);
    }
    bool Registered() const { return registered; }
    POINT DropPoint() const { return at; }

private:
    const POINT at;
    const HWND window;
    const bool registered;
};

TEST_F(TakingOut, DragOntoAFileWindowCopiesTheEntriesWithTheirFoldersButOntoTheViewerNothing) {
    CopyingDropTarget target;
    const DropWindow window(viewer.WindowRect(), target);
    ASSERT_TRUE(window.Registered());

    viewertest::Select(entries(), {0, 1, 2});
    DragWithMouse(viewertest::RowPoint(entries(), 0), window.DropPoint());
    wintest::PumpUntil([&] { return target.drops > 0; }, 10000);
    ASSERT_EQ(target.drops, 1);
    EXPECT_EQ(target.preferred, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(test::Tree(target.into.Path()),
              (std::vector<std::string>{"c.txt", "models/", "models/a.mdl", "models/sub/", "models/sub/b.txt"}));
    EXPECT_EQ(test::ReadFile(target.into.Path() / "models/sub/b.txt"), "bee");
    for (const std::string& path : target.offered) {
        EXPECT_EQ(path.rfind(viewer::ProgramRunFolders().Own(), 0), 0u) << path;
    }

    // Onto the viewer's own pack list: nothing is made, nothing added.
    const auto before = test::Tree(viewer::ProgramRunFolders().Own());
    DragWithMouse(viewertest::RowPoint(entries(), 1), viewertest::RowPoint(packs(), 0));
    wintest::PumpUntil([] { return false; }, 500);
    EXPECT_EQ(test::Tree(viewer::ProgramRunFolders().Own()), before);
    EXPECT_EQ(viewertest::Rows(packs()).size(), 1u);
    EXPECT_TRUE(boxes.calls.empty());
}

// A target that keeps the dragged data and asks for the files once the drag
// is over gets none: what would make them belonged to the drag.
TEST_F(TakingOut, DataKeptPastTheDragMakesNothing) {
    CopyingDropTarget target;
    target.keep = true;
    const DropWindow window(viewer.WindowRect(), target);
    ASSERT_TRUE(window.Registered());
    const auto before = test::Tree(viewer::ProgramRunFolders().Own());

    viewertest::Select(entries(), {0, 1});
    DragWithMouse(viewertest::RowPoint(entries(), 0), window.DropPoint());
    wintest::PumpUntil([&] { return target.drops > 0; }, 10000);
    ASSERT_NE(target.kept, nullptr);
    wintest::PumpUntil([] { return false; }, 200);  // the drag's own loop has ended
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    EXPECT_NE(target.kept->GetData(&format, &medium), S_OK);
    target.kept->Release();
    EXPECT_EQ(test::Tree(viewer::ProgramRunFolders().Own()), before);
}

TEST_F(TakingOut, CtrlCPutsTheSelectedEntriesOnTheClipboardAsFiles) {
    viewertest::Select(entries(), {1, 3});
    const std::vector<std::string> paths = CopyWithKeys();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(test::ReadFile(fs::path(paths[0]) / "sub" / "b.txt"), "bee");
    EXPECT_EQ(test::ReadFile(fs::path(paths[1]) / "d.txt"), "dee");
    EXPECT_EQ(fs::path(paths[1]).filename(), "other");
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE effect = ::GetClipboardData(::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT));
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(*static_cast<DWORD*>(::GlobalLock(effect)), static_cast<DWORD>(DROPEFFECT_COPY));
    ::GlobalUnlock(effect);
    ::CloseClipboard();
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(TakingOut, AnExtractionPastHalfASecondShowsTheProgressWindowMeanwhile) {
    // The worker waits after the first entry until the progress window is up.
    bool shown = false;
    viewer::BulkExtraction::SetWorkerHold([&](std::size_t done, const std::atomic<bool>&) {
        for (int i = 0; done == 1 && !shown && i < 400; ++i) {
            HWND progress = ::FindWindowA("#32770", "Extracting");
            shown = progress != nullptr && ::IsWindowVisible(progress);
            if (!shown) ::Sleep(25);
        }
    });
    viewertest::Select(entries(), {0, 2});
    const std::vector<std::string> paths = CopyWithKeys();
    viewer::BulkExtraction::SetWorkerHold(nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(paths.size(), 2u);
    EXPECT_EQ(::FindWindowA("#32770", "Extracting"), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(viewer.Handle()));
}

TEST_F(TakingOut, OpenIsTheDefaultItemAndReusesTheFileUntilItChanges) {
    wintest::PopupMenuRecorder menus;
    viewertest::Select(entries(), {2});
    menus.Script({ID_OPEN_ENTRY});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    ASSERT_EQ(menus.calls.size(), 1u);
    EXPECT_EQ(menus.calls[0].items[0].text, "&Open");
    EXPECT_TRUE(menus.calls[0].items[0].isDefault);
    EXPECT_EQ(menus.calls[0].items[1].text, "&Copy");
    ASSERT_EQ(shell.calls.size(), 1u);
    const std::string opened = *shell.calls[0].file;
    EXPECT_EQ(shell.calls[0].verb, "open");
    EXPECT_EQ(shell.calls[0].owner, viewer.Handle());
    EXPECT_EQ(test::ReadFile(opened), "sea");

    // Again: the same file; once changed, a fresh one beside it.
    viewertest::Notify(viewer, entries(), NM_DBLCLK);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(*shell.calls[1].file, opened);
    test::WriteFile(opened, "edited");
    shell.Script({SE_ERR_NOASSOC});  // no program for the type: "Open with"
    viewertest::Notify(viewer, entries(), NM_DBLCLK);
    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_NE(*shell.calls[2].file, opened);
    EXPECT_EQ(test::ReadFile(*shell.calls[2].file), "sea");
    EXPECT_EQ(shell.calls[3].verb, "openas");
    EXPECT_EQ(shell.calls[3].file, shell.calls[2].file);

    // The pack written again once let go, its entries where they were with
    // other bytes: a fresh file with the pack's bytes as they are now.
    Load(Pack("other.vpk", PackBuilder().Add("x.txt", "x").Build()));
    const std::string pack = Pack("models.vpk", PackBuilder()
                                                    .Add("models/a.mdl", "MDL")
                                                    .Add("models/sub/b.txt", "BEE")
                                                    .Add("c.txt", "SEA")
                                                    .Add("other/d.txt", "DEE")
                                                    .Build());
    fs::last_write_time(pack, fs::last_write_time(pack) + std::chrono::hours(1));
    Load(pack);
    viewertest::Select(entries(), {2});
    viewertest::Notify(viewer, entries(), NM_DBLCLK);
    ASSERT_EQ(shell.calls.size(), 5u);
    EXPECT_EQ(test::ReadFile(*shell.calls[4].file), "SEA");
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(TakingOut, HostileNamesWriteNothingOutsideTheTemporaryFolderAndDirectoryPacksGiveNothing) {
    Load(Pack("hostile.vpk", PackBuilder()
                                 .Add("../up.txt", "x")
                                 .Add("fine/..\\..\\..\\back.txt", "x")
                                 .Add("C:\\abs.txt", "x")
                                 .Add("kept.txt", "kept")
                                 .Build()));
    viewer.EntryList().SelectAll();
    const std::vector<std::string> paths = CopyWithKeys();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(test::ReadFile(paths[0]), "kept");
    const fs::path gesture = fs::path(paths[0]).parent_path();
    EXPECT_EQ(test::Tree(gesture), (std::vector<std::string>{"kept.txt"}));
    for (const fs::path& above : {gesture.parent_path(), gesture.parent_path().parent_path()}) {
        for (const char* name : {"up.txt", "back.txt", "abs.txt"}) EXPECT_FALSE(fs::exists(above / name));
    }
    ASSERT_EQ(boxes.calls.size(), 1u);  // what was refused, said once
    EXPECT_NE(boxes.calls[0].text.find("3 of 4 entries could not be written"), std::string::npos);

    Load(Pack("dir.vpk", PackBuilder().Add("folder/x", "").Type(1).Build()));
    viewer.EntryList().SelectAll();
    ::OpenClipboard(nullptr);
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_TRUE(CopyWithKeys().empty());
    viewertest::Notify(viewer, entries(), NM_DBLCLK);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(boxes.calls.size(), 1u);
}

// --- The run's folder, below a root of the test's own

TEST(RunFolders, TheEndRemovesTheRunsFolderButFilesStillOpenAndStartRemovesOnlyEndedRuns) {
    test::TempDir root;
    viewer::RunFolders folders(root.Path().string() + "\\");
    const std::string gesture = folders.NewGestureFolder();
    ASSERT_FALSE(gesture.empty());
    fs::create_directory(gesture + "a");
    test::WriteFile(gesture + "a\\b.txt", "b");
    test::WriteFile(gesture + "held.txt", "h");
    const std::string own = folders.Own();
    const std::string name = fs::path(own).parent_path().filename().string();

    // Another run of this process id: it started at another time, so it has ended.
    const std::string id = name.substr(0, name.find('-'));
    const std::string ended = id + "-00000000deadbeef";
    // Names a run never gives, however close: not ours, they stay.
    const std::vector<std::string> others{"not-a-run", "123", "+" + ended, "0" + ended, " " + ended,
                                          id + "-deadbeef", id + "-00000000DEADBEEE", "4294967297-00000000deadbeef"};
    fs::create_directories(root.Path() / ended / "1");
    for (const std::string& folder : others) {
        fs::create_directories(root.Path() / folder / "1");
        test::WriteFile(root.Path() / folder / "1" / "x.txt", "x");
    }
    folders.RemoveLeftovers();
    EXPECT_FALSE(fs::exists(root.Path() / ended));
    for (const std::string& folder : others) EXPECT_TRUE(fs::exists(root.Path() / folder / "1" / "x.txt")) << folder;
    EXPECT_TRUE(fs::exists(gesture + "a\\b.txt"));  // this run's own stays

    {
        HANDLE held = ::CreateFileA((gesture + "held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        folders.RemoveOwn();
        ::CloseHandle(held);
    }
    EXPECT_EQ(test::Tree(own), (std::vector<std::string>{"1/", "1/held.txt"}));
    folders.RemoveOwn();
    EXPECT_FALSE(fs::exists(own));
}

// Entries copied stay while the clipboard offers them, for a paste after the
// end: neither the end nor a later start removes them; then both do.
TEST(RunFolders, FilesTheClipboardOffersStayUntilItOffersOthers) {
    test::TempDir root;
    viewer::RunFolders folders(root.Path().string() + "\\");
    const std::string copied = folders.NewGestureFolder();
    const std::string dragged = folders.NewGestureFolder();
    test::WriteFile(copied + "c.txt", "c");
    test::WriteFile(dragged + "d.txt", "d");
    const std::string ended = (root.Path() / "4-00000000deadbeef").string();
    fs::create_directories(ended + "\\1");
    test::WriteFile(ended + "\\1\\e.txt", "e");
    ASSERT_TRUE(viewer::PutFilesOnClipboard(nullptr, {copied + "c.txt", ended + "\\1"}));

    folders.RemoveOwn();
    folders.RemoveLeftovers();
    EXPECT_EQ(test::ReadFile(copied + "c.txt"), "c");
    EXPECT_EQ(test::ReadFile(ended + "\\1\\e.txt"), "e");
    EXPECT_FALSE(fs::exists(dragged));

    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    folders.RemoveLeftovers();
    folders.RemoveOwn();
    EXPECT_FALSE(fs::exists(root.Path()));  // the root too, with nothing left in it
}

// A link named as an ended run's folder (where links can be made): the link
// goes, what it leads to stays.
TEST(RunFolders, StartRemovesALinkNamedAsARunsFolderButNothingItLeadsTo) {
    test::TempDir root;
    fs::create_directories(root.Path() / "runs");
    test::WriteFile(root.Path() / "kept.txt", "k");
    const std::string link = (root.Path() / "runs" / "4-00000000deadbeef").string();
    // A folder link, where the system makes them (allowed unprivileged).
    using MakeLink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto makeLink = reinterpret_cast<MakeLink>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    if (makeLink == nullptr || !makeLink(link.c_str(), root.Path().string().c_str(), 0x1 | 0x2) ||
        (::GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        ::GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no folder links here";
    }
    viewer::RunFolders((root.Path() / "runs").string() + "\\").RemoveLeftovers();
    EXPECT_EQ(test::ReadFile(root.Path() / "kept.txt"), "k");
}

// However long %TEMP% is, the root is below it or there is none (the system
// may refuse such a folder): never one relative to where the program runs.
TEST(RunFolders, TheRootIsBelowALongTemporaryFolder) {
    char before[4096] = {};
    const DWORD had = ::GetEnvironmentVariableA("TMP", before, sizeof before);
    const std::string temp = "C:\\" + std::string(300, 'l');
    ::SetEnvironmentVariableA("TMP", temp.c_str());
    const std::string root = viewer::TemporaryRoot();
    ::SetEnvironmentVariableA("TMP", had != 0 ? before : nullptr);
    EXPECT_TRUE(root.empty() || root == temp + "\\Tessaro\\") << root;
}

}  // namespace
