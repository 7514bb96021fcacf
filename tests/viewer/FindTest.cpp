// Finding entries in the viewer: the filter box over the entry list, typed
// into, and "Find in all packs..." from typing a pattern to the entry shown.
#include <gtest/gtest.h>

#include <filesystem>

#include "ViewerSupport.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/Pump.h"

namespace {

using test::PackBuilder;
using viewertest::Row;
using viewertest::Rows;

class Find : public viewertest::ViewerOnScreen {
protected:
    // Keys as the box gets them from the keyboard.
    static void Type(HWND box, const std::string& text) {
        for (char c : text) ::SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
        wintest::Pump();
    }
    static void Escape(HWND box) {
        ::SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        wintest::Pump();
    }
    // Opens "Find in all packs..." (Ctrl+Shift+F), types `text` in its
    // pattern box and waits for the search.
    viewer::FindInPacksDialog& Search(const std::string& text) {
        ::SendMessageA(viewer.Handle(), WM_COMMAND, ID_FIND_IN_PACKS, 0);
        viewer::FindInPacksDialog& find = *viewer.FindWindow();
        EXPECT_EQ(::GetFocus(), find.Pattern().Handle());
        Type(find.Pattern().Handle(), text);
        EXPECT_TRUE(wintest::PumpUntil([&] { return !find.IsSearching(); }, 10000));
        return find;
    }
    static void Enter(viewer::FindInPacksDialog& find) {
        ::SendMessageA(find.Handle(), WM_COMMAND, IDOK, 0);
        wintest::Pump();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const Row& row : Rows(entries())) names.push_back(row[1]);
        return names;
    }
};

const std::string kDialogues = PackBuilder()
                                   .Add("dlg/hollywood/isaac.dlg", "Isaac")
                                   .Add("dlg/santa monica/therese.dlg", "Therese")
                                   .Add("isaac.txt", "notes")
                                   .Add("sound/Isaac/hello.wav", "RIFF")
                                   .Build();

TEST_F(Find, TypingFiltersTheRowsAndEscapeBringsThemBack) {
    Load(Pack("dialogues.vpk", kDialogues));
    ::SendMessageA(viewer.Handle(), WM_COMMAND, ID_FIND_FILTER, 0);  // Ctrl+F
    HWND box = viewer.Filter().Handle();
    EXPECT_EQ(::GetFocus(), box);

    Type(box, "ISAAC");  // a part of the name, either case
    EXPECT_EQ(Rows(entries()), (std::vector<Row>{{"1", "dlg/hollywood/isaac.dlg", "5"},
                                                 {"3", "isaac.txt", "5"},
                                                 {"4", "sound/Isaac/hello.wav", "4"}}));
    // Sorting, Ctrl+A and "all" act on the rows shown.
    ::SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Type(box, "**/*.dlg");  // a pattern: whole names, as on the command line
    EXPECT_EQ(Names(), (std::vector<std::string>{"dlg/hollywood/isaac.dlg", "dlg/santa monica/therese.dlg"}));
    viewer.EntryList().SortByColumn(1);
    viewer.EntryList().SortByColumn(1);  // by name, descending
    EXPECT_EQ(Names(), (std::vector<std::string>{"dlg/santa monica/therese.dlg", "dlg/hollywood/isaac.dlg"}));
    viewer.EntryList().SelectAll();
    EXPECT_EQ(viewer.EntryList().SelectedEntries().size(), 2u);
    EXPECT_EQ(viewer.EntryList().ShownEntries(), (std::vector<std::uint32_t>{1, 0}));

    // Another pack is filtered the same way as it loads.
    Load(Pack("more.vpk", PackBuilder().Add("a.dlg", "a").Add("b/c.dlg", "c").Add("d.txt", "d").Build()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b/c.dlg", "a.dlg"}));

    Escape(box);
    EXPECT_EQ(win::WindowText(box), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"d.txt", "b/c.dlg", "a.dlg"}));
}

TEST_F(Find, FindInAllPacksShowsWhatItFoundAndCountsUnreadablePacks) {
    const std::string first = Pack("first.vpk", PackBuilder().Add("scripts/intro.txt", "hi").Build());
    const std::string second = Pack("second.vpk", kDialogues);
    const std::string gone = Pack("gone.vpk", kDialogues);
    for (const std::string& p : {first, second, gone}) viewer.AddPack(p.c_str());
    test::WriteFile(gone, "no pack");  // listed, then broken
    viewer::FindInPacksDialog& find = Search("therese");
    EXPECT_EQ(Rows(find.ResultList().Handle()), (std::vector<Row>{{"second.vpk", "2", "dlg/santa monica/therese.dlg"}}));
    EXPECT_EQ(viewertest::Cell(find.ResultList().Handle(), 0, 3), "7");
    EXPECT_EQ(find.StatusText(), "1 entry found in 3 packs; 1 pack could not be read");
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(messages.Take().empty());  // held by the search, not shown

    // Enter on the result: the pack loads, the entry is selected and previewed.
    Enter(find);
    EXPECT_EQ(viewer.GetSelectedPackPath(), second);
    EXPECT_EQ(viewertest::Cell(entries(), viewertest::FirstSelected(entries()), 1), "dlg/santa monica/therese.dlg");
    EXPECT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(Status().substr(0, 28), "dlg/santa monica/therese.dlg");
}

// The folder chooser of "Extract to..." as the system runs it, its owner
// disabled while it is up; meanwhile the user presses Enter in the find
// window, which stays enabled.
class ChooserWhileFinding : public win::FolderDialogSeam {
public:
    ChooserWhileFinding(HWND findWindow, std::string folder)
        : find(findWindow), chosen(std::move(folder)), previous(win::SetFolderDialogSeam(this)) {}
    ~ChooserWhileFinding() override { win::SetFolderDialogSeam(previous); }
    bool Show(HWND owner, const char*, std::string& folder) override {
        ::EnableWindow(owner, FALSE);
        ::SendMessageA(find, WM_COMMAND, IDOK, 0);
        ::EnableWindow(owner, TRUE);
        folder = chosen;
        return true;
    }

private:
    HWND find;
    std::string chosen;
    win::FolderDialogSeam* previous;
};

// A result chosen while the viewer waits on a chooser would load its pack
// under the run being set up, which would then find none of the first
// pack's entries it was given.
TEST_F(Find, AResultWaitsWhileTheViewerIsDisabled) {
    const std::string first = Pack("first.vpk", PackBuilder().Add("isaac.txt", "first").Build());
    Load(first);
    viewer.AddPack(Pack("second.vpk", kDialogues).c_str());
    viewer::FindInPacksDialog& find = Search("isaac.dlg");
    ASSERT_EQ(find.Results().size(), 1u);

    viewertest::Select(entries(), {0});
    const std::filesystem::path out = dir.Path() / "out";
    std::filesystem::create_directory(out);
    ChooserWhileFinding chooser(find.Handle(), out.string());
    wintest::PopupMenuRecorder menus;
    menus.Script({ID_EXTRACT_TO});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !viewer.IsExtracting(); }, 10000));
    EXPECT_EQ(viewer.GetSelectedPackPath(), first);
    EXPECT_EQ(test::ReadFile(out / "isaac.txt"), "first");
}

// A pack written again after the search: its entry #2 is another one now,
// and is neither selected nor previewed for the result.
TEST_F(Find, AResultWhosePackWasWrittenAgainShowsNoOtherEntry) {
    const std::string pack = Pack("dialogues.vpk", kDialogues);
    viewer.AddPack(pack.c_str());
    viewer::FindInPacksDialog& find = Search("therese");
    ASSERT_EQ(find.Results().size(), 1u);
    test::WriteFile(pack, PackBuilder().Add("a.txt", "a").Add("b.txt", "b").Build());
    Enter(find);
    EXPECT_EQ(viewertest::FirstSelected(entries()), -1);
    EXPECT_EQ(Status().find("b.txt"), std::string::npos);
}

// A pack listed while the window is open is searched by the next search.
TEST_F(Find, APackAddedWhileTheWindowIsOpenIsSearched) {
    viewer.AddPack(Pack("first.vpk", PackBuilder().Add("a.txt", "a").Build()).c_str());
    viewer::FindInPacksDialog& find = Search("therese");
    EXPECT_TRUE(find.Results().empty());
    viewer.AddPack(Pack("second.vpk", kDialogues).c_str());
    Type(find.Pattern().Handle(), ".");
    ASSERT_TRUE(wintest::PumpUntil([&] { return !find.IsSearching(); }, 10000));
    EXPECT_EQ(find.StatusText(), "1 entry found in 2 packs");
}

}  // namespace
