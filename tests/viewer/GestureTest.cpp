// The viewer driven the way a user drives it: real key presses and mouse
// clicks through SendInput, on the real screen.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <shlobj.h>

#include "ViewerSupport.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

using test::PackBuilder;
using viewertest::RowPoint;
using viewertest::Rows;

// Presses the keys in order and lets them go in reverse: {VK_CONTROL, 'A'}.
void Press(const std::vector<WORD>& chord) {
    std::vector<INPUT> inputs;
    for (WORD key : chord) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *key;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    wintest::Pump();
}

// Row 0 selected and holding the caret, where the arrow keys move from.
void SelectFirstRow(HWND list) {
    viewertest::Select(list, {0});
    LVITEMA focused{};
    focused.stateMask = focused.state = LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focused));
}

class Gestures : public viewertest::ViewerOnScreen {
protected:
    void SetUp() override {
        ViewerOnScreen::SetUp();
        ::SetForegroundWindow(viewer.Handle());
        wintest::Pump();
        for (const char* name : {"first.vpk", "second.vpk"}) {
            test::WriteFile(dir.Path() / name, PackBuilder()
                                                   .Add("a.txt", name)
                                                   .Add("b.txt", "bee")
                                                   .Add("c.txt", "sea")
                                                   .Build());
            viewer.AddPack((dir / name).c_str());
        }
    }
    void Focus(HWND control) {
        ::SetForegroundWindow(viewer.Handle());
        ::SetFocus(control);
        wintest::Pump();
    }
    std::string Loaded() { return viewer.Archive().GetPath(); }
    std::string Previewed() {
        return ::IsWindowVisible(preview()) ? win::WindowText(preview()) : std::string("(hidden)");
    }
};

TEST_F(Gestures, EnterAndDoubleClickLoadPacksAndPreviewAndOpenEntriesButArrowsOnlyMove) {
    Focus(packs());
    SelectFirstRow(packs());
    Press({VK_DOWN});
    EXPECT_EQ(viewertest::FirstSelected(packs()), 1);
    EXPECT_EQ(Loaded(), "");
    Press({VK_RETURN});
    EXPECT_EQ(Loaded(), dir / "second.vpk");
    viewertest::ClickAt(viewertest::RowPoint(packs(), 0), 2);
    wintest::PumpUntil([&] { return Loaded() == dir / "first.vpk"; });
    EXPECT_EQ(Loaded(), dir / "first.vpk");

    Focus(entries());
    SelectFirstRow(entries());
    Press({VK_DOWN});
    EXPECT_EQ(Previewed(), "(hidden)");
    Press({VK_RETURN});
    EXPECT_EQ(Previewed(), "bee");
    viewertest::ClickAt(viewertest::RowPoint(entries(), 2), 2);
    wintest::PumpUntil([&] { return Previewed() == "sea"; });
    EXPECT_EQ(Previewed(), "sea");
    EXPECT_TRUE(viewer.IsVisible());
    EXPECT_TRUE(boxes.calls.empty());
    // Each opened with its type's program, from this run's temporary folder.
    ASSERT_EQ(shell.calls.size(), 2u);
    for (const auto& [call, name] : {std::pair{shell.calls[0], "\\b.txt"}, std::pair{shell.calls[1], "\\c.txt"}}) {
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file->rfind(viewer::ProgramRunFolders().Own(), 0), 0u) << *call.file;
        EXPECT_EQ(call.file->substr(call.file->size() - 6), name);
    }
}

TEST_F(Gestures, TabCyclesThePanesAndCtrlASelectsEveryEntryCtrlFTheFilter) {
    viewertest::Click(viewer, packs(), {0});
    viewertest::Click(viewer, entries(), {0});  // a preview to tab into
    Focus(packs());
    std::vector<HWND> visited;
    for (int i = 0; i < 4; ++i) {
        Press({VK_TAB});
        visited.push_back(::GetFocus());
    }
    const HWND filter = viewer.Filter().Handle();
    EXPECT_EQ(visited, (std::vector<HWND>{filter, entries(), preview(), packs()}));
    Press({VK_SHIFT, VK_TAB});
    EXPECT_EQ(::GetFocus(), preview());

    Focus(entries());
    Press({VK_CONTROL, 'A'});
    EXPECT_EQ(::SendMessageA(entries(), LVM_GETSELECTEDCOUNT, 0, 0), 3);
    Press({VK_CONTROL, 'F'});
    EXPECT_EQ(::GetFocus(), filter);
}

TEST_F(Gestures, TheContextMenuKeysOpenTheEntryMenuAtTheFirstSelectedRow) {
    viewertest::Click(viewer, packs(), {0});
    const std::vector<std::vector<WORD>> chords = {{VK_APPS}, {VK_SHIFT, VK_F10}};
    for (const auto& chord : chords) {
        SCOPED_TRACE(chord.back());
        wintest::PopupMenuRecorder menus;
        Focus(entries());
        viewertest::Select(entries(), {});
        Press(chord);  // nothing selected: no menu
        viewertest::Select(entries(), {2, 1});
        Press(chord);
        ASSERT_EQ(menus.calls.size(), 1u);
        RECT row{};
        row.left = LVIR_LABEL;
        ::SendMessageA(entries(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        POINT below{row.left, row.bottom};
        ::ClientToScreen(entries(), &below);
        EXPECT_EQ(menus.calls[0].x, below.x);
        EXPECT_EQ(menus.calls[0].y, below.y);
        EXPECT_EQ(menus.calls[0].items[0].text, "&Open");
    }
}

TEST_F(Gestures, HeaderClicksSortTheEntriesAndTheSortedRowsStillNameTheirEntries) {
    test::WriteFile(dir.Path() / "sort.vpk", PackBuilder()
                                                 .Add("b.txt", "bee")
                                                 .Add("A/x.txt", "x")
                                                 .Add("a/Y.txt", "ten bytes!")
                                                 .Add("_.txt", "__")
                                                 .Build());
    viewer.AddPack((dir / "sort.vpk").c_str());
    viewertest::Click(viewer, packs(), {2});
    Focus(entries());
    HWND header = viewer.EntryList().Header().Handle();
    auto order = [&] {
        std::string numbers;
        for (const viewertest::Row& row : Rows(entries())) numbers += row[0];
        return numbers;
    };
    // A press and release on the title, as the header receives them.
    auto clickTitle = [&](int column) {
        RECT r{};
        ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(header, WM_LBUTTONUP, 0, at);
        wintest::Pump();
    };
    auto mark = [&](int column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    const struct {
        int column;
        const char* order;
        int mark;
    } steps[] = {{1, "4231", HDF_SORTUP}, {1, "1324", HDF_SORTDOWN}, {2, "2413", HDF_SORTUP},
                 {2, "3142", HDF_SORTDOWN}, {0, "1234", HDF_SORTUP}, {0, "4321", HDF_SORTDOWN}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.order);
        clickTitle(step.column);
        EXPECT_EQ(order(), step.order);
        EXPECT_EQ(mark(step.column), step.mark);
        EXPECT_EQ(mark((step.column + 1) % 3), 0);
    }

    // The mark: title-coloured pixels at the sorted title's right end.
    auto markPixels = [&](int column) {
        RECT r{};
        ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        ::RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int red = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.right - 10; x < r.right - 2; ++x) red += wintest::PixelAt(header, x, y) == RGB(229, 0, 0);
        return red;
    };
    EXPECT_EQ(markPixels(2), 0);

    // Reordered by a drag, the "SIZE" title still sorts by size.
    const int displayOrder[] = {2, 0, 1};
    ::SendMessageA(entries(), LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(displayOrder));
    clickTitle(2);
    EXPECT_EQ(order(), "2413");
    clickTitle(2);
    EXPECT_EQ(order(), "3142");
    EXPECT_GT(markPixels(2), 0);

    // The first row is now the largest entry: preview and extraction reach it.
    viewertest::Click(viewer, entries(), {0});
    EXPECT_EQ(Previewed(), "ten bytes!");
    test::TempDir out;
    test::CurrentDirectory cwd(out.Path());
    wintest::PopupMenuRecorder menus;
    menus.Script({ID_EXTRACT});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    EXPECT_EQ(test::Tree(out.Path()), (std::vector<std::string>{"a/", "a/Y.txt"}));
    EXPECT_EQ(test::ReadFile(out.Path() / "a/Y.txt"), "ten bytes!");
}

TEST_F(Gestures, DroppedPacksAndFoldersAreAddedAndAnythingElseNamedOnce) {
    EXPECT_NE(::GetWindowLongA(viewer.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    const std::string pack = PackBuilder().Add("x.txt", "x").Build();
    test::TempDir folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    for (const char* name : {"b.vpk", "A.vpk", "notes.txt", "sub/c.vpk", "C.VPK"}) test::WriteFile(folder.Path() / name, pack);
    test::WriteFile(dir.Path() / "loose.VPK", pack);
    test::WriteFile(dir.Path() / "readme.txt", "r");
    const std::string before = viewertest::Cell(packs(), 1, 0);
    viewer.Send(WM_DROPFILES, reinterpret_cast<WPARAM>(viewertest::MakeDrop(
                                  {dir / "loose.VPK", dir / "readme.txt", folder.Path().string(), dir / "gone.vpk"})));
    std::vector<std::string> added;
    for (const viewertest::Row& row : Rows(packs())) added.push_back(row[0]);
    EXPECT_EQ(added, (std::vector<std::string>{dir / "first.vpk", before, dir / "loose.VPK", folder / "A.vpk",
                                               folder / "b.vpk", folder / "C.VPK"}));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Only pack files (*.vpk) and folders can be dropped here, not:\n\n" +
                                       (dir / "readme.txt") + "\n" + (dir / "gone.vpk"));
    EXPECT_EQ(Loaded(), "");  // added, not loaded, as File > Open adds
}

}  // namespace
