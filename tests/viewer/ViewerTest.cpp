// The pack viewer on the real screen, driven with the notifications its lists
// send: adding packs, loading one, previews, extraction, File > Open,
// dividers, resizing and painting.
#include <gtest/gtest.h>

#include <cstring>

#include "ViewerSupport.h"
#include "vpk/Messages.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

using test::PackBuilder;
using viewertest::Click;
using viewertest::Row;
using viewertest::Rows;
namespace messages = vpk::messages;

class Viewer : public viewertest::ViewerOnScreen {
protected:
    void RightClick() { viewertest::Notify(viewer, entries(), NM_RCLICK); }
};

const std::string kTwoTexts = PackBuilder().Add("a/one.txt", "one").Add("b/two.txt", "two").Build();

TEST_F(Viewer, AddPackListsReadablePacksOnlyAgainAndAgain) {
    const std::string file = Pack("file.vpk", kTwoTexts);
    const std::string folders = Pack("dir.vpk", PackBuilder().Add("maps", "").Type(1).Build());
    const std::string empty = Pack("empty.vpk", std::string(9, '\0'));
    const std::string refused = Pack("bad.vpk", test::Footer(1, 500, 0));
    for (const std::string& p : {file, refused, folders, empty, file}) viewer.AddPack(p.c_str());
    EXPECT_EQ(Rows(packs()), (std::vector<Row>{{file, "2", "File pack"},
                                               {folders, "1", "Directory pack"},
                                               {empty, "0", "File pack"},
                                               {file, "2", "File pack"}}));
    EXPECT_EQ(messages.Take(), (test::Messages{messages::kInvalidHeader, messages::kParseFailed}));
}

TEST_F(Viewer, AClickLoadsAPackOnceAndAnotherReplacesTheRows) {
    const std::string first = Pack("first.vpk", kTwoTexts);
    const std::string second = Pack("second.vpk", PackBuilder().Add("c.dlg", std::string(70000, 'x')).Build());
    viewer.AddPack(first.c_str());
    viewer.AddPack(second.c_str());

    Click(viewer, packs(), {0});
    EXPECT_EQ(Rows(entries()), (std::vector<Row>{{"1", "a/one.txt", "3"}, {"2", "b/two.txt", "3"}}));
    viewertest::Select(entries(), {1});
    Click(viewer, packs(), {0});  // the same pack: not reloaded, the selection stays
    EXPECT_EQ(viewertest::Cell(entries(), viewertest::FirstSelected(entries()), 1), "b/two.txt");
    viewertest::Select(packs(), {1});
    viewertest::Notify(viewer, packs(), LVN_ITEMCHANGED);  // moving the selection loads nothing
    EXPECT_EQ(Rows(entries()).size(), 2u);
    Click(viewer, packs(), {1});
    EXPECT_EQ(Rows(entries()), (std::vector<Row>{{"1", "c.dlg", "70000"}}));
    EXPECT_EQ(viewer.Archive().GetPath(), second);
    EXPECT_TRUE(messages.Take().empty());
}

// The failed pack opens, but its directory can't be read whole: its first
// record would pass for the listed pack's first entry.
TEST_F(Viewer, AFailedLoadKeepsTheRowsButNoRowReachesTheFailedPack) {
    Load(Pack("good.vpk", kTwoTexts));
    std::string broken = PackBuilder().Add("evil.txt", "EVIL").Add(std::string(300, 'n'), "").Build();
    const std::string failed = Pack("broken.vpk", broken);
    Load(failed);
    EXPECT_EQ(messages.Take(), (test::Messages{messages::kNameTooLong}));
    EXPECT_EQ(Rows(entries()).size(), 2u);

    Click(viewer, entries(), {0});
    EXPECT_FALSE(::IsWindowVisible(preview()));
    test::CurrentDirectory cwd(dir.Path());
    wintest::PopupMenuRecorder menus;
    menus.Script({ID_EXTRACT});
    RightClick();
    EXPECT_EQ(messages.Take(), (test::Messages{messages::kNotOpen}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a"));
}

// Text types show whatever their bytes; other text-like entries show as text
// too (binary ones are the end-to-end test's); empty entries show nothing.
TEST_F(Viewer, PreviewShowsTextWholeAndHidesEmptyEntries) {
    // Longer than the edit control's own limit of 30,000 characters.
    std::string longText;
    for (int i = 0; i < 1500; ++i) longText += "line " + std::to_string(i) + " of a long text\r\n";
    Load(Pack("texts.vpk", PackBuilder()
                               .Add("README.TXT", "hello\r\nworld")
                               .Add("model.mdl", "MDL text")
                               .Add("empty.txt", "")
                               .Add("zero.dlg", std::string("ab\0cd", 5))
                               .Add("unix.py", "a\nb\r\nc\n")
                               .Add("noext", "x")
                               .Add("odd.gam~", "g")
                               .Add("odd.gam", "g")
                               .Add("long.lst", longText)
                               .Build()));
    struct Case {
        std::initializer_list<int> selected;
        const char* text;  // nullptr: hidden
    } cases[] = {
        {{0}, "hello\r\nworld"}, {{1}, "MDL text"}, {{2}, nullptr}, {{3}, "ab"}, {{4}, "a\r\nb\r\nc\r\n"},
        {{5}, "x"},              {{6}, "g"},        {{7}, "g"},     {{8}, longText.c_str()},
        {{7, 4, 0}, "hello\r\nworld"},  // the first selected row in list order
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.selected.begin());
        Click(viewer, entries(), {3});  // shown before, so hiding is seen
        Click(viewer, entries(), c.selected);
        EXPECT_EQ(::IsWindowVisible(preview()) != FALSE, c.text != nullptr);
        if (c.text != nullptr) {
            EXPECT_EQ(win::WindowText(preview()), c.text);
        }
    }
    EXPECT_TRUE(messages.Take().empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(Viewer, NoEntryOfADirectoryPackIsPreviewed) {
    Load(Pack("dir.vpk", PackBuilder().Add("notes.txt", "").Type(1).Build()));
    Click(viewer, entries(), {0});
    EXPECT_FALSE(::IsWindowVisible(preview()));
}

TEST_F(Viewer, APreviewThatCantBeHadIsReportedAndStaysHidden) {
    Load(Pack("huge.vpk", PackBuilder().Add("fine.txt", "fine").AddWithLocation("huge.txt", 0, 0xFFFFFFF0u).Build()));
    Click(viewer, entries(), {1});
    EXPECT_EQ(messages.Take(), (test::Messages{messages::kEntryPastEnd}));
    EXPECT_FALSE(::IsWindowVisible(preview()));
    {
        test::FailingAllocation noMemory;
        Click(viewer, entries(), {0});
    }
    EXPECT_FALSE(::IsWindowVisible(preview()));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Not enough memory to preview this entry");
}

TEST_F(Viewer, ExtractWritesTheSelectedRowsInListOrderOnlyWithAnInstallation) {
    Load(Pack("three.vpk", PackBuilder()
                               .Add("a/one.txt", "1")
                               .Add("skip.txt", "s")
                               .Add("dup/x.txt", "first")
                               .Add("dup/x.txt", "second")
                               .Build()));
    test::TempDir out;
    test::CurrentDirectory cwd(out.Path());
    wintest::PopupMenuRecorder menus;

    RightClick();  // nothing selected: no menu
    EXPECT_TRUE(menus.calls.empty());

    viewertest::Select(entries(), {3, 0, 2});
    menus.Script({ID_EXTRACT});
    RightClick();
    ASSERT_EQ(menus.calls.size(), 1u);
    EXPECT_EQ(menus.calls[0].flags, static_cast<UINT>(TPM_RIGHTBUTTON | TPM_RETURNCMD));
    EXPECT_EQ(menus.calls[0].owner, viewer.Handle());
    // "&Open" and "&Copy" first; Extract to..., Extract all to..., the texture items follow.
    ASSERT_EQ(menus.calls[0].items.size(), 9u);
    EXPECT_EQ(menus.calls[0].items[3].text, "&Extract");
    EXPECT_EQ(menus.calls[0].items[3].id, static_cast<UINT>(ID_EXTRACT));
    EXPECT_FALSE(menus.calls[0].items[3].grayed);
    EXPECT_EQ(test::Tree(out.Path()), (std::vector<std::string>{"a/", "a/one.txt", "dup/", "dup/x.txt"}));
    EXPECT_EQ(test::ReadFile(out.Path() / "dup/x.txt"), "second");

    // Without an installation, also for a pack opened by hand.
    viewer::VpkViewerDialog bare;
    ASSERT_TRUE(bare.Create(nullptr));
    wintest::OpenFileDialogRecorder files;
    files.Script({dir / "three.vpk"});
    bare.Send(WM_COMMAND, ID_FILE_OPEN);
    Click(bare, bare.PackList().Handle(), {0});
    viewertest::Select(bare.EntryList().Handle(), {1});
    menus.Script({ID_EXTRACT});
    viewertest::Notify(bare, bare.EntryList().Handle(), NM_RCLICK);
    ASSERT_EQ(menus.calls.size(), 2u);
    EXPECT_TRUE(menus.calls[1].items[3].grayed);
    EXPECT_FALSE(std::filesystem::exists(out.Path() / "skip.txt"));
}

TEST_F(Viewer, FileOpenAsksForOnePackAndAddsARowEvenWhenListed) {
    const std::string path = Pack("hand.vpk", kTwoTexts);
    viewer.AddPack(path.c_str());
    wintest::OpenFileDialogRecorder files;
    files.Script({path, std::nullopt});
    viewer.Send(WM_COMMAND, ID_FILE_OPEN);
    viewer.Send(WM_COMMAND, ID_FILE_OPEN);
    ASSERT_EQ(files.calls.size(), 2u);
    const wintest::OpenFileRecord& asked = files.calls[0];
    EXPECT_EQ(asked.owner, viewer.Handle());
    EXPECT_EQ(asked.filter, (std::vector<std::string>{"Vampire pack files (*.vpk)", "*.vpk"}));
    EXPECT_EQ(asked.initialFile + asked.initialDirectory + asked.title + "|" + asked.defaultExtension, "|vpk");
    EXPECT_EQ(asked.flags, static_cast<DWORD>(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(Rows(packs()), (std::vector<Row>{{path, "2", "File pack"}, {path, "2", "File pack"}}));
    EXPECT_EQ(Rows(entries()).size(), 0u);  // added, not loaded
}

TEST_F(Viewer, DividerDragsMoveThePanesByTheSameDistance) {
    auto rect = [&](int id) { return viewer.ItemRect(id); };
    auto drag = [](SplitterBar& divider, int dx, int dy) { wintest::Drag(divider.Handle(), dx, dy); };
    const win::Rect packList = rect(IDC_PACK_LIST), entryList = rect(IDC_ENTRY_LIST),
                    contents = rect(IDC_CONTENTS_CAPTION), files = rect(IDC_PACKS_CAPTION),
                    previewCaption = rect(IDC_PREVIEW_CAPTION), frame = rect(IDC_PREVIEW_FRAME),
                    text = rect(IDC_PREVIEW_TEXT), status = rect(IDC_PREVIEW_STATUS),
                    lying = viewer.HorizontalDivider().RectInParent();

    drag(viewer.HorizontalDivider(), 0, 30);
    EXPECT_EQ(rect(IDC_CONTENTS_CAPTION), contents.Offset(0, 30));
    EXPECT_EQ(rect(IDC_PACK_LIST), win::Rect(packList.left, packList.top, packList.right, packList.bottom + 30));
    EXPECT_EQ(rect(IDC_ENTRY_LIST), win::Rect(entryList.left, entryList.top + 30, entryList.right, entryList.bottom));

    drag(viewer.VerticalDivider(), 40, 0);
    auto wider = [](win::Rect r, int dy = 0) { return win::Rect(r.left, r.top + dy, r.right + 40, r.bottom); };
    EXPECT_EQ(rect(IDC_PACK_LIST), wider({packList.left, packList.top, packList.right, packList.bottom + 30}));
    EXPECT_EQ(rect(IDC_ENTRY_LIST), wider(entryList, 30));
    EXPECT_EQ(rect(IDC_PACKS_CAPTION), wider(files));
    EXPECT_EQ(rect(IDC_CONTENTS_CAPTION), wider(contents.Offset(0, 30)));
    EXPECT_EQ(viewer.HorizontalDivider().RectInParent(), wider(lying.Offset(0, 30)));
    EXPECT_EQ(rect(IDC_PREVIEW_CAPTION), win::Rect(previewCaption.left + 40, previewCaption.top, previewCaption.right,
                                                   previewCaption.bottom));
    EXPECT_EQ(rect(IDC_PREVIEW_TEXT), win::Rect(text.left + 40, text.top, text.right, text.bottom));
    EXPECT_EQ(rect(IDC_PREVIEW_STATUS), win::Rect(status.left + 40, status.top, status.right, status.bottom));
    EXPECT_EQ(rect(IDC_PREVIEW_FRAME), frame.Offset(40, 0));
}

TEST_F(Viewer, ResizingPlacesTheEntryListAndPreviewAndPaintsCaptions) {
    Load(Pack("p.vpk", kTwoTexts));
    Click(viewer, entries(), {0});
    for (auto [w, h] : {std::pair{800, 600}, std::pair{640, 420}}) {
        ::SetWindowPos(viewer.Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
        const win::Rect client = viewer.ClientRect();
        EXPECT_EQ(viewer.ItemRect(IDC_ENTRY_LIST).bottom, client.bottom - 13);
        const win::Rect divider = viewer.VerticalDivider().RectInParent();
        EXPECT_EQ(divider.bottom, client.bottom);
        const int h7 = viewer.ItemRect(IDC_PREVIEW_CAPTION).Height();
        const int status = viewer.ItemRect(IDC_PREVIEW_STATUS).Height();
        EXPECT_GT(status, 0);
        EXPECT_EQ(viewer.ItemRect(IDC_PREVIEW_CAPTION), win::Rect(divider.right, 0, client.right - 1, h7));
        EXPECT_EQ(viewer.ItemRect(IDC_PREVIEW_STATUS), win::Rect(divider.right, h7 + 1, client.right - 1, h7 + 1 + status));
        EXPECT_EQ(viewer.ItemRect(IDC_PREVIEW_TEXT),
                  win::Rect(divider.right, h7 + 1 + status, client.right - 1, client.bottom - 1));
        EXPECT_EQ(viewer.ItemRect(IDC_PACKS_CAPTION).TopLeft(), win::Point(0, 0));
    }
    // With the preview hidden, the frame's border and placeholder and each
    // caption strip show in the caption red.
    ::ShowWindow(preview(), SW_HIDE);
    ::RedrawWindow(viewer.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int id : {IDC_PACKS_CAPTION, IDC_CONTENTS_CAPTION, IDC_PREVIEW_CAPTION, IDC_PREVIEW_FRAME}) {
        SCOPED_TRACE(id);
        const win::Rect r = viewer.ItemRect(id);
        EXPECT_EQ(wintest::PixelAt(viewer.Handle(), r.left + 1 + (id == IDC_PREVIEW_FRAME ? 0 : r.Width() / 2), r.bottom - 1),
                  RGB(229, 0, 0));
        int red = 0;
        for (int y = r.top + 1; y < r.bottom - 1; ++y)
            for (int x = r.left + 1; x < r.right - 1; ++x) red += wintest::PixelAt(viewer.Handle(), x, y) == RGB(229, 0, 0);
        EXPECT_GT(red, 10);
    }
}

TEST_F(Viewer, EnterAndEscapeNeitherHideNorClose) {
    Load(Pack("p.vpk", kTwoTexts));
    Click(viewer, entries(), {0});
    for (HWND control : {packs(), entries(), preview()}) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            ::SendMessageA(control, WM_KEYDOWN, key, 0);
            ::SendMessageA(control, WM_KEYUP, key, 0);
        }
    }
    viewer.Send(WM_COMMAND, IDOK);
    viewer.Send(WM_COMMAND, IDCANCEL);
    wintest::Pump();
    EXPECT_TRUE(viewer.IsVisible());
    EXPECT_STRNE(viewer.Archive().GetPath(), "");
}

TEST_F(Viewer, TheNextViewerOpensAsTheLastClosedUnlessTheValueIsUnusable) {
    auto drag = [](SplitterBar& divider, int dx, int dy) { wintest::Drag(divider.Handle(), dx, dy); };
    // Where a viewer opens with nothing remembered.
    win::Rect fresh;
    {
        viewer::VpkViewerDialog plain;
        ASSERT_TRUE(plain.Create(nullptr));
        fresh = win::WindowRect(plain.Handle());
    }
    viewertest::ForgetPlacements();  // what `plain` saved
    ::SetWindowPos(viewer.Handle(), nullptr, 60, 50, 700, 520, SWP_NOZORDER);
    drag(viewer.HorizontalDivider(), 0, 25);
    drag(viewer.VerticalDivider(), 35, 0);
    const win::Rect placed = win::WindowRect(viewer.Handle());
    const win::Rect entries = viewer.ItemRect(IDC_ENTRY_LIST), preview = viewer.ItemRect(IDC_PREVIEW_TEXT);
    viewer.DestroyWindow();

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tessaro", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    std::string saved(64, '\0');
    DWORD size = static_cast<DWORD>(saved.size());
    ASSERT_EQ(::RegQueryValueExA(key, "ViewerPlacement", nullptr, nullptr, reinterpret_cast<BYTE*>(saved.data()), &size),
              ERROR_SUCCESS);
    saved.resize(size);
    std::string offScreen = saved;  // left and top far beyond the screen
    for (int at : {8, 12}) offScreen[static_cast<size_t>(at) + 1] = 0x40;
    const struct {
        const char* name;
        DWORD type;
        std::string bytes;
        bool restored;
    } cases[] = {
        {"as saved", REG_BINARY, saved, true},
        {"no longer fits", REG_BINARY, offScreen, false},
        {"cut short", REG_BINARY, saved.substr(0, saved.size() - 1), false},
        {"foreign", REG_SZ, std::string("hello") + '\0', false},
        {"foreign bytes", REG_BINARY, std::string(saved.size(), 'x'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::RegSetValueExA(key, "ViewerPlacement", 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                         static_cast<DWORD>(c.bytes.size()));
        viewer::VpkViewerDialog next;
        ASSERT_TRUE(next.Create(nullptr));
        EXPECT_EQ(win::WindowRect(next.Handle()), c.restored ? placed : fresh);
        if (c.restored) {
            EXPECT_EQ(next.ItemRect(IDC_ENTRY_LIST), entries);
            EXPECT_EQ(next.ItemRect(IDC_PREVIEW_TEXT), preview);
        }
    }
    ::RegCloseKey(key);
}

// Hostile packs given to the viewer: added, loaded, every entry clicked and
// all extracted. Each shows the archive's own messages and no others, the
// viewer keeps working, and nothing lands outside the folder it extracts
// into. (Unsafe names and entries past the end: the extraction tests.)
TEST_F(Viewer, HostilePacksShowTheirMessagesAndWriteNothingOutside) {
    using test::Footer;
    using test::Le32;
    using test::Record;
    namespace m = vpk::messages;
    struct Case {
        const char* name;
        std::string bytes;
        test::Messages messages;
    };
    const std::string twoRecords = Record("a.txt", 0, 1) + Record("b.txt", 0, 1);
    const Case cases[] = {
        {"footer refused", "abc" + Footer(1, 200, 0), {m::kInvalidHeader, m::kParseFailed}},
        {"too small", "abc", {m::kFileTooSmall, m::kParseFailed}},
        {"count too large", Record("a.txt", 0, 1) + Footer(0x10000000, 0, 0), {m::kTooManyEntries}},
        {"name too long", Le32(300) + std::string(300, 'n') + Le32(0) + Le32(1) + Footer(1, 0, 0), {m::kNameTooLong}},
        // Read as plain reads would: the second record from the footer's bytes.
        {"cut records", twoRecords.substr(0, twoRecords.size() - 5) + Footer(2, 0, 0), {m::kEntryPastEnd}},
    };
    test::TempDir sandbox;
    const std::filesystem::path out = sandbox.Path() / "out";
    std::filesystem::create_directory(out);
    test::CurrentDirectory cwd(out);
    wintest::PopupMenuRecorder menus;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Pack(std::string(c.name) + ".vpk", c.bytes);
        const size_t before = Rows(packs()).size();
        viewer.AddPack(path.c_str());
        if (Rows(packs()).size() > before) {
            Click(viewer, packs(), {static_cast<int>(before)});
            const int count = static_cast<int>(Rows(entries()).size());
            std::vector<int> all;
            for (int row = 0; row < count; ++row) {
                Click(viewer, entries(), {row});
                all.push_back(row);
            }
            viewertest::Select(entries(), all);
            menus.Script({ID_EXTRACT});
            RightClick();
        }
        EXPECT_EQ(messages.Take(), c.messages);
    }
    // Only what lies below the extraction folder was written (the cut pack's
    // whole first record).
    EXPECT_EQ(test::Tree(sandbox.Path()), (std::vector<std::string>{"out/", "out/a.txt"}));
    // And the viewer still works.
    Load(Pack("good.vpk", kTwoTexts));
    Click(viewer, entries(), {1});
    EXPECT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(messages.Take(), test::Messages{});
}

}  // namespace
