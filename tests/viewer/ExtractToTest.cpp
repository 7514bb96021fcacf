// "Extract to..." and "Extract all to..." in the entry pop-up: a folder
// chooser, then the entries below that folder on another thread, with a
// progress window, a Cancel and one summary. The viewer has no installation
// folder here: these commands don't need one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>

#include "TestData.h"
#include "ViewerSupport.h"
#include "viewer/BulkExtraction.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

using test::PackBuilder;
namespace fs = std::filesystem;

class ExtractTo : public viewertest::ViewerOnScreen {
protected:
    void SetUp() override { Open(nullptr); }

    // With rows selected, picks `command` in the entry pop-up and `folder` (nullopt: Cancel) in
    // the chooser; returns once the run has ended.
    void Choose(int command, std::optional<std::string> folder) {
        menus.Script({command});
        folders.Script({folder});
        viewertest::Notify(viewer, entries(), NM_RCLICK);
        ASSERT_TRUE(wintest::PumpUntil([&] { return !viewer.IsExtracting(); }, 120000));
    }
    // The regular files below `root`, by "/" name, with their sizes.
    static std::map<std::string, std::uintmax_t> Files(const fs::path& root) {
        std::map<std::string, std::uintmax_t> files;
        for (const auto& item : fs::recursive_directory_iterator(root)) {
            if (item.is_regular_file()) files[item.path().lexically_relative(root).generic_string()] = item.file_size();
        }
        return files;
    }

    wintest::PopupMenuRecorder menus;
    wintest::FolderDialogRecorder folders;
};

TEST_F(ExtractTo, WritesTheSelectedRowsOfASortedListBelowTheChosenFolder) {
    Load(Pack("pack.vpk", PackBuilder().Add("a/one.txt", "one").Add("b/two.txt", "two").Add("c/three.txt", "three").Build()));
    NMLISTVIEW click{};
    click.hdr = {entries(), IDC_ENTRY_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iSubItem = 1;
    viewer.Send(WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&click));
    viewer.Send(WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&click));  // by name, descending
    viewertest::Select(entries(), {0, 1});  // c/three.txt and b/two.txt

    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    Choose(ID_EXTRACT_TO, std::nullopt);  // the chooser cancelled: nothing happens
    EXPECT_TRUE(fs::is_empty(out));
    Choose(ID_EXTRACT_TO, out.string());
    EXPECT_EQ(test::Tree(out), (std::vector<std::string>{"b/", "b/two.txt", "c/", "c/three.txt"}));
    EXPECT_EQ(test::ReadFile(out / "c" / "three.txt"), "three");

    // Without an installation only "&Extract" is greyed; the chooser opens
    // on the folder chosen last, owned by the viewer.
    ASSERT_EQ(menus.calls.size(), 2u);
    const std::vector<wintest::PopupMenuItem>& items = menus.calls[1].items;
    ASSERT_EQ(items.size(), 9u);  // "&Open", "&Copy" and a separator come first
    EXPECT_TRUE(items[3].grayed);
    EXPECT_EQ(items[4].text, "Extract &to...");
    EXPECT_EQ(items[5].text, "Extract &all to...");
    EXPECT_FALSE(items[4].grayed || items[5].grayed);
    EXPECT_TRUE(items[7].grayed && items[8].grayed);  // the texture items: no texture here
    Choose(ID_EXTRACT_ALL_TO, std::nullopt);
    ASSERT_EQ(folders.calls.size(), 3u);
    EXPECT_EQ(folders.calls[2].startFolder, out.string());
    EXPECT_EQ(folders.calls[2].owner, viewer.Handle());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(messages.Take(), test::Messages{});
}

// Unsafe names and entries past the end are refused as "&Extract" refuses
// them, but told once, in one summary, and nothing lands outside the folder.
TEST_F(ExtractTo, FailuresAreSummedUpOnceAndNothingLandsOutside) {
    Load(Pack("pack.vpk", PackBuilder()
                  .Add("../escape.txt", "out")
                  .Add("ok/inside.txt", "in")
                  .Add("C:/abs.txt", "out")
                  .AddWithLocation("bomb.txt", 0, 0x7F000000)
                  .Add("/root.txt", "out")
                  .Add("..\\back.txt", "out")
                  .Add("x/../../up.txt", "out")
                  .Add("fine.txt", "fine")
                  .Build()));
    const fs::path out = dir.Path() / "sandbox" / "out";
    fs::create_directories(out);
    viewertest::Select(entries(), {0});
    Choose(ID_EXTRACT_ALL_TO, out.string() + "\\");

    EXPECT_EQ(test::Tree(dir.Path() / "sandbox"),
              (std::vector<std::string>{"out/", "out/fine.txt", "out/ok/", "out/ok/inside.txt"}));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].owner, viewer.Handle());
    EXPECT_EQ(boxes.calls[0].text,
              "6 of 8 entries could not be written:\n"
              "\n../escape.txt: Unsafe target path refused"
              "\nC:/abs.txt: Unsafe target path refused"
              "\nbomb.txt: Entry data lies past the end of the pack"
              "\n/root.txt: Unsafe target path refused"
              "\n..\\back.txt: Unsafe target path refused"
              "\n... and 1 more");
    EXPECT_EQ(messages.Take(), test::Messages{});  // none went past the summary
    EXPECT_TRUE(::IsWindowEnabled(viewer.Handle()));
}

// Holds the bulk-extraction worker once it has handled `at` entries, until
// its run is cancelled (or a minute has passed: a test that never cancels
// fails on its counts instead of hanging).
class HoldWorkerAfter {
public:
    explicit HoldWorkerAfter(std::size_t at) {
        viewer::BulkExtraction::SetWorkerHold([this, at](std::size_t done, const std::atomic<bool>& cancelled) {
            if (done != at) return;
            reached = true;
            for (int i = 0; i < 6000 && !cancelled; ++i) ::Sleep(10);
        });
    }
    ~HoldWorkerAfter() { viewer::BulkExtraction::SetWorkerHold(nullptr); }
    std::atomic<bool> reached{false};
};

// The 20,000-entry pack of the benchmarks, all of it, on two threads:
// cancelled after 2,000 entries, then whole. The window keeps being served meanwhile, the bar fills
// in the skin's red, and a cancelled run leaves exactly the entries handled,
// each file whole.
TEST_F(ExtractTo, AllOfTheBenchPackCancelledPartWayThenWhole) {
    const test::Environment twoThreads("TESSARO_EXTRACT_THREADS", "2");
    const std::string pack = test::HostPath(TESSARO_BENCH_PACK);
    Load(pack);
    const VpkArchive& archive = viewer.Archive();
    ASSERT_EQ(archive.GetEntryCount(), 20000u);
    std::map<std::string, const VpkEntry*> byName;
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) byName[archive.GetEntry(i)->name] = archive.GetEntry(i);
    // The files below `folder`: `count` of the pack's entries, each whole.
    auto expectWholeFiles = [&](const fs::path& folder, std::size_t count) {
        const std::map<std::string, std::uintmax_t> written = Files(folder);
        EXPECT_EQ(written.size(), count);
        for (const auto& [name, size] : written)
            EXPECT_TRUE(byName.count(name) == 1 && size == byName[name]->dataSize) << name;
    };

    const fs::path part = dir.Path() / "part", whole = dir.Path() / "whole";
    fs::create_directory(part);
    fs::create_directory(whole);
    {
        HoldWorkerAfter hold(2000);
        menus.Script({ID_EXTRACT_ALL_TO});
        folders.Script({part.string()});
        viewertest::Select(entries(), {0});
        viewertest::Notify(viewer, entries(), NM_RCLICK);
        ASSERT_TRUE(viewer.IsExtracting());
        EXPECT_FALSE(::IsWindowEnabled(viewer.Handle()));
        HWND progress = viewer.Progress()->Handle();
        ASSERT_TRUE(::IsWindowVisible(progress));
        HWND text = ::GetDlgItem(progress, IDC_EXTRACT_TEXT);
        EXPECT_TRUE(wintest::PumpUntil(
            [&] { return hold.reached && win::WindowText(text) == "Extracting 2,000 of 20,000 entries"; }, 60000))
            << win::WindowText(text);
        HWND bar = ::GetDlgItem(progress, IDC_EXTRACT_BAR);
        ::UpdateWindow(bar);
        EXPECT_GT(viewer.Progress()->FilledWidth(), 0);
        EXPECT_TRUE(wintest::IsRed(wintest::PixelAt(bar, 2, 4)));
        ::SendMessageA(::GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(wintest::PumpUntil([&] { return !viewer.IsExtracting(); }, 60000));
        EXPECT_FALSE(::IsWindow(progress));
    }
    EXPECT_TRUE(::IsWindowEnabled(viewer.Handle()));
    expectWholeFiles(part, 2000);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Extraction cancelled after 2,000 of 20,000 entries.");

    Choose(ID_EXTRACT_ALL_TO, whole.string());
    EXPECT_EQ(boxes.calls.size(), 1u);  // a full run ends without a box
    const std::string bytes = test::ReadFile(pack);
    std::size_t files = 0, same = 0;
    for (const auto& [name, entry] : byName) {
        files += fs::is_regular_file(whole / name);
        same += test::ReadFile(whole / name) == bytes.substr(entry->dataOffset, entry->dataSize);
    }
    EXPECT_EQ(files, 20000u);
    EXPECT_EQ(same, 20000u);

    // A viewer closed mid-run (with the main window) stops it the same way.
    const fs::path closed = dir.Path() / "closed";
    fs::create_directory(closed);
    HoldWorkerAfter hold(1000);
    menus.Script({ID_EXTRACT_ALL_TO});
    folders.Script({closed.string()});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    ASSERT_TRUE(wintest::PumpUntil([&] { return hold.reached.load(); }, 60000));
    viewer.DestroyWindow();
    EXPECT_FALSE(viewer.IsExtracting());
    expectWholeFiles(closed, 1000);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(messages.Take(), test::Messages{});
}

// With the second thread forced, a run of many entries writes on two
// threads: each file holds the bytes put in the pack, and the failures come
// in the order of the entries, whichever thread met them.
TEST(BulkExtraction, TwoThreadsWriteTheBytesAndKeepTheFailuresInOrder) {
    // Every seventh entry refused, in turn for its name and for data past the
    // end of the pack; one listed under a name the pack no longer has.
    constexpr std::uint32_t kChanged = 151;
    PackBuilder builder;
    std::vector<viewer::ExtractionItem> items;
    std::vector<std::string> failed;
    auto bytes = [](std::uint32_t i) { return std::string(i, static_cast<char>('a' + i % 26)); };
    for (std::uint32_t i = 0; i < 300; ++i) {
        std::string name = "f" + std::to_string(i % 13) + "/e" + std::to_string(i);
        if (i % 7 != 3) {
            builder.Add(name, bytes(i));
        } else if (i % 2 == 0) {
            name = "../e" + std::to_string(i);
            builder.Add(name, "out");
            failed.push_back(name + ": Unsafe target path refused");
        } else {
            builder.AddWithLocation(name, 0xFFFFFF00u, 16);
            failed.push_back(name + ": Entry data lies past the end of the pack");
        }
        if (i == kChanged) {
            name = "listed/otherwise";
            failed.push_back(name + ": The pack has changed since it was listed");
        }
        items.push_back({i, name});
    }
    test::TempDir dir;
    const fs::path pack = dir.Path() / "many.vpk";
    test::WriteFile(pack, builder.Build());
    fs::create_directory(dir.Path() / "out");
    test::MessageRecorder messages;
    const test::Environment twoThreads("TESSARO_EXTRACT_THREADS", "2");

    viewer::BulkExtraction run(pack.string(), items, (dir.Path() / "out").string() + "\\");
    run.Wait();
    EXPECT_EQ(run.Threads(), 2u);
    EXPECT_EQ(run.Done(), 300u);
    std::vector<std::string> reported;
    for (const viewer::ExtractionFailure& failure : run.Failures()) reported.push_back(failure.name + ": " + failure.reason);
    EXPECT_EQ(reported, failed);
    std::size_t files = 0, same = 0;
    for (const auto& file : fs::recursive_directory_iterator(dir.Path() / "out")) files += file.is_regular_file();
    for (std::uint32_t i = 0; i < 300; ++i) same += test::ReadFile(dir.Path() / "out" / items[i].name) == bytes(i);
    EXPECT_EQ(files, 300u - 43u - 1u);
    EXPECT_EQ(same, files);
    EXPECT_EQ(messages.Take(), test::Messages{});
}

TEST(ExtractionSummary, CountsWithThousandsSeparated) {
    const struct {
        std::size_t count;
        const char* text;
    } cases[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {20000, "20,000"}, {1234567, "1,234,567"}};
    for (const auto& c : cases) EXPECT_EQ(viewer::WithThousands(c.count), c.text);
}

}  // namespace
