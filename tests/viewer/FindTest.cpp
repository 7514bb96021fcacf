// Finding entries in the viewer: the filter box over the entry list, typed
// into, and "Find in all packs..." from typing a pattern to the entry shown.
#include <gtest/gtest.h>

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
    void SetUp() override { Open("C:\\game\\Vampire\\"); }

    // Keys as the box gets them from the keyboard.
    static void Type(HWND box, const std::string& text) {
        for (char c : text) ::SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
        wintest::Pump();
    }
    static void Escape(HWND box) {
        ::SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
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
    ::SendMessageA(viewer.Handle(), WM_COMMAND, ID_FIND_IN_PACKS, 0);  // Ctrl+Shift+F
    viewer::FindInPacksDialog* find = viewer.FindWindow();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(::GetFocus(), find->Pattern().Handle());

    Type(find->Pattern().Handle(), "therese");
    ASSERT_TRUE(wintest::PumpUntil([&] { return !find->IsSearching(); }, 10000));
    EXPECT_EQ(Rows(find->ResultList().Handle()), (std::vector<Row>{{"second.vpk", "2", "dlg/santa monica/therese.dlg"}}));
    EXPECT_EQ(viewertest::Cell(find->ResultList().Handle(), 0, 3), "7");
    EXPECT_EQ(find->StatusText(), "1 entry found in 3 packs; 1 pack could not be read");
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(messages.Take().empty());  // held by the search, not shown

    // Enter on the result: the pack loads, the entry is selected and previewed.
    ::SendMessageA(find->Handle(), WM_COMMAND, IDOK, 0);
    wintest::Pump();
    EXPECT_EQ(viewer.GetSelectedPackPath(), second);
    const int row = static_cast<int>(::SendMessageA(entries(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    EXPECT_EQ(viewertest::Cell(entries(), row, 1), "dlg/santa monica/therese.dlg");
    EXPECT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(win::WindowText(::GetDlgItem(viewer.Handle(), IDC_PREVIEW_STATUS)).substr(0, 28), "dlg/santa monica/therese.dlg");
}

}  // namespace
