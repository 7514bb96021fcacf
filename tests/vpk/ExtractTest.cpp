// Writing entries to disk: folders, files, refusals and failures.
#include "FakeFileSystem.h"
#include "PackBuilder.h"
#include "TestSupport.h"

#include "vpk/FileSystem.h"
#include "vpk/VpkArchive.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

namespace fs = std::filesystem;
using test::Messages;
using test::PackBuilder;

constexpr char kSep = vpk::kFolderSeparator;

// The pack lies in the temporary root; extraction happens in root/work,
// the current directory, so anything written beside it has escaped.
class ExtractTest : public ::testing::Test {
protected:
    void Load(const PackBuilder& builder)
    {
        test::WriteFile(root.Path() / "pack.vpk", builder.Build());
        ASSERT_TRUE(archive.Open((root / "pack.vpk").c_str()));
        ASSERT_TRUE(archive.ReadDirectory());
    }

    void ExtractAll()
    {
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
            archive.Extract(i, archive.GetEntry(i)->name);
    }

    std::vector<std::string> Written() const { return test::Tree(work); }
    std::string Contents(const std::string& name) const { return test::ReadFile(work / name); }

    test::TempDir root;
    fs::path work = [this] {
        fs::create_directory(root.Path() / "work");
        return root.Path() / "work";
    }();
    test::CurrentDirectory inWork{work};
    test::MessageRecorder messages;
    VpkArchive archive;
};

TEST_F(ExtractTest, FilePackWritesEntriesBelowTheCurrentDirectory)
{
    Load(PackBuilder()
             .Add("top.txt", "at the top")
             .Add("a/b/c.txt", "deep\r\n")
             .Add("a/b/d.lip", std::string("\0\x01\x02", 3))
             .Add("dlg/main characters/regent.dlg", "{ 1 }")
             .Add("empty.txt", "")
             .Add("x\\y\\z.txt", "backslashes separate folders too"));
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
        EXPECT_TRUE(archive.Extract(i, archive.GetEntry(i)->name)) << i;
    EXPECT_EQ(messages.Take(), Messages{});
    EXPECT_EQ(Written(), (std::vector<std::string>{"a/", "a/b/", "a/b/c.txt", "a/b/d.lip", "dlg/",
                                                   "dlg/main characters/", "dlg/main characters/regent.dlg",
                                                   "empty.txt", "top.txt", "x/", "x/y/", "x/y/z.txt"}));
    EXPECT_EQ(Contents("top.txt"), "at the top");
    EXPECT_EQ(Contents("a/b/c.txt"), "deep\r\n");
    EXPECT_EQ(Contents("a/b/d.lip"), std::string("\0\x01\x02", 3));
    EXPECT_EQ(Contents("dlg/main characters/regent.dlg"), "{ 1 }");
    EXPECT_EQ(fs::file_size(work / "empty.txt"), 0u);
}

TEST_F(ExtractTest, ExistingFilesAreReplacedAndExistingFoldersReused)
{
    Load(PackBuilder().Add("a/b/c.txt", "new").Add("a/other.txt", "o"));
    fs::create_directories(work / "a" / "b");
    test::WriteFile(work / "a" / "b" / "c.txt", "an older and longer file");
    EXPECT_TRUE(archive.Extract(0, "a/b/c.txt"));
    EXPECT_TRUE(archive.Extract(0, "a/b/c.txt"));
    EXPECT_TRUE(archive.Extract(1, "a/other.txt"));
    EXPECT_EQ(messages.Take(), Messages{});
    EXPECT_EQ(Contents("a/b/c.txt"), "new");
    EXPECT_EQ(Contents("a/other.txt"), "o");
}

TEST_F(ExtractTest, DirectoryPackMakesFoldersAndNoFile)
{
    for (const std::uint8_t type : {std::uint8_t{1}, std::uint8_t{2}}) {
        SCOPED_TRACE(int{type});
        archive.Close();
        for (const auto& item : fs::directory_iterator(work))
            fs::remove_all(item.path());
        Load(PackBuilder().Type(type).Add("maps/sub", "data is never read").Add("x/", "").Add("maps", ""));
        ExtractAll();
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
            EXPECT_FALSE(archive.Extract(i, archive.GetEntry(i)->name));
        EXPECT_EQ(messages.Take(), Messages{});
        EXPECT_EQ(Written(), (std::vector<std::string>{"maps/", "maps/sub/", "x/"}));
    }
}

TEST_F(ExtractTest, RefusedWithoutPackOrEntry)
{
    PackBuilder builder;
    builder.Add("a.txt", "a");
    test::WriteFile(root.Path() / "pack.vpk", builder.Build());

    EXPECT_FALSE(archive.Extract(0, "a.txt"));
    EXPECT_EQ(messages.Take(), Messages{"Can't extract file - No vpk file open"});

    ASSERT_TRUE(archive.Open((root / "pack.vpk").c_str()));
    EXPECT_FALSE(archive.Extract(0, "a.txt"));  // the directory is not read yet
    EXPECT_EQ(messages.Take(), Messages{"Index out of range"});

    ASSERT_TRUE(archive.ReadDirectory());
    for (const std::uint32_t index : {1u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(archive.Extract(index, "a.txt"));
        EXPECT_EQ(messages.Take(), Messages{"Index out of range"});
    }
    archive.Close();
    EXPECT_FALSE(archive.Extract(0, "a.txt"));
    EXPECT_EQ(messages.Take(), Messages{"Can't extract file - No vpk file open"});
    EXPECT_EQ(Written(), std::vector<std::string>{});
}

TEST_F(ExtractTest, TargetsLeavingTheFolderAreRefused)
{
    const std::string absolute = (root.Path() / "absolute.txt").generic_string();
    const std::string absoluteNative = (root.Path() / "absolute.txt").string();
    const std::string unsafe[] = {
        "../escape.txt", "a/../../escape.txt", "..\\escape.txt", "a\\..\\..\\escape.txt", "a/..\\..\\escape.txt",
        "..",            "a/..",               "../",            ".. /escape.txt",       ". ./escape.txt",
        "a/.../b.txt",   "./a.txt",            absolute,         absoluteNative,         "/rooted.txt",
        "\\rooted.txt",  "\\\\server\\share\\unc.txt",           "//server/share/unc.txt",
        "C:escape.txt",  "c:/escape.txt",      "z:\\escape.txt", "file.txt:stream",      "a/b:c/d.txt",
    };
    for (const std::uint8_t type : {std::uint8_t{0}, std::uint8_t{1}}) {
        archive.Close();
        Load(PackBuilder().Type(type).Add("a/x.txt", "payload"));
        for (const std::string& target : unsafe) {
            SCOPED_TRACE(target);
            EXPECT_FALSE(archive.Extract(0, target.c_str()));
            EXPECT_EQ(messages.Take(), Messages{"Unsafe target path refused"});
        }
    }
    // Nothing was written anywhere below the temporary root.
    EXPECT_EQ(test::Tree(root.Path()), (std::vector<std::string>{"pack.vpk", "work/"}));
}

TEST_F(ExtractTest, NamesThatOnlyLookUnsafeAreWritten)
{
    std::vector<std::string> names = {"..a/b.txt", ".hidden/x.txt", "a/.b", "a/b..c", "...a/b"};
#ifndef _WIN32
    // Windows drops trailing dots from a path's components (Wine keeps one,
    // making folders Windows itself can't reach), so only elsewhere do these
    // come out under their own names.
    names.insert(names.end(), {"a../b.txt", "x..", "dots.../y"});
#endif
    PackBuilder builder;
    for (const std::string& name : names)
        builder.Add(name, name);
    Load(builder);
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
        EXPECT_TRUE(archive.Extract(i, names[i].c_str())) << names[i];
    EXPECT_EQ(messages.Take(), Messages{});
    for (const std::string& name : names)
        EXPECT_EQ(Contents(name), name);
}

TEST_F(ExtractTest, DeviceNamesAreRefusedOnWindows)
{
    // Windows would hand these to a device: the bytes would vanish or go to
    // the console while the extraction looked fine. Elsewhere they are files.
    struct Case {
        const char* name;
        bool device;
    };
    const Case cases[] = {
        {"nul", true},          {"a/NUL.txt", true},     {"con.dlg", true},  {"sub/Aux .txt", true},
        {"com1", true},         {"lpt9.x.y", true},      {"conout$", true},  {"console.txt", false},
        {"com0", false},        {"nul_x.txt", false},    {"com10", false},   {"prnt/file.txt", false},
        // Superscript digits in Windows-1252.
        {"COM\xB9.txt", true}, {"lpt\xB3", true},       {"x/com\xB2", true}, {"com\xB4", false},
    };
    PackBuilder builder;
    for (const Case& c : cases)
        builder.Add(c.name, c.name);
    Load(builder);
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        const bool refused = c.device;
#else
        const bool refused = false;
#endif
        EXPECT_EQ(archive.Extract(i, c.name), !refused);
        EXPECT_EQ(messages.Take(), refused ? Messages{"Unsafe target path refused"} : Messages{});
        if (!refused) {
            EXPECT_EQ(Contents(c.name), c.name);
        }
    }
}

TEST_F(ExtractTest, ThePackBeingReadIsNeverOverwritten)
{
    const std::string bytes = PackBuilder().Add("self.vpk", "abcd").Add("keep.txt", "keep this text").Build();
    test::WriteFile(work / "self.vpk", bytes);
    ASSERT_TRUE(archive.Open("self.vpk"));
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_FALSE(archive.Extract(0, "self.vpk"));
    EXPECT_TRUE(archive.Extract(1, "keep.txt"));
    EXPECT_EQ(messages.Take(), Messages{"Target is the pack being read: refused"});
    EXPECT_EQ(Contents("self.vpk"), bytes);
    EXPECT_EQ(Contents("keep.txt"), "keep this text");
}

#ifndef _WIN32
TEST_F(ExtractTest, LinksBelowTheTargetAreNotWrittenThrough)
{
    Load(PackBuilder().Add("x/a/escaped.txt", "e").Add("x/b.txt", "b").Add("x/a", "over the link"));
    fs::create_directory(root.Path() / "outside");
    fs::create_directory(work / "x");
    fs::create_directory_symlink("../../outside", work / "x" / "a");
    ExtractAll();
    EXPECT_EQ(messages.Take(), Messages(2, "Link in target path refused"));
    EXPECT_TRUE(fs::is_empty(root.Path() / "outside"));
    EXPECT_EQ(Contents("x/b.txt"), "b");

    // The folder extracted into may itself be a link: that one is the user's.
    fs::create_directory_symlink(work / "x", root.Path() / "via");
    vpk::ExtractionRun run((root.Path() / "via").string() + "/");
    EXPECT_TRUE(archive.Extract(1, "x/b.txt", &run));
    EXPECT_EQ(messages.Take(), Messages{});
    EXPECT_EQ(Contents("x/x/b.txt"), "b");
}
#endif

TEST_F(ExtractTest, FoldersAreMadeOneByOne)
{
    test::FakeFileSystem fake;
    fake.writeToMemory = true;
    Load(PackBuilder().Add("a/b/c.txt", "c").Add("top.txt", "t"));
    const std::string a = std::string("a") + kSep;
    const std::string ab = a + "b" + kSep;

    archive.CreateDirectories("/a//b/c/");
    EXPECT_EQ(fake.folders, (std::vector<std::string>{a, ab, ab + "c" + kSep}));
    fake.folders.clear();

    archive.Extract(0, "a/b/c.txt");
    archive.Extract(1, "top.txt");
    EXPECT_EQ(fake.folders, (std::vector<std::string>{a, ab}));
    EXPECT_EQ(fake.created, (std::vector<std::string>{"a/b/c.txt", "top.txt"}));
    EXPECT_EQ(fake.memoryFiles["a/b/c.txt"], "c");
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ExtractTest, ARunAsksForEachFolderOnce)
{
    test::FakeFileSystem fake;
    fake.writeToMemory = true;
    Load(PackBuilder().Add("a/b/c.txt", "c").Add("a/d.txt", "d").Add("a/b/e.txt", "e").Add("x/y/f.txt", "f"));
    const std::string a = std::string("a") + kSep;
    const std::string x = std::string("x") + kSep;

    vpk::ExtractionRun run;
    for (int round = 0; round < 2; ++round) {
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
            EXPECT_TRUE(archive.Extract(i, archive.GetEntry(i)->name, &run));
    }
    // The folders of every entry, each once, in the order first needed; the
    // files as without a run, twice.
    EXPECT_EQ(fake.folders, (std::vector<std::string>{a, a + "b" + kSep, x, x + "y" + kSep}));
    EXPECT_EQ(fake.created.size(), 8u);
    EXPECT_EQ(fake.memoryFiles["a/b/e.txt"], "e");
    EXPECT_EQ(messages.Take(), Messages{});

    // A new run asks again.
    fake.folders.clear();
    vpk::ExtractionRun next;
    archive.Extract(0, "a/b/c.txt", &next);
    EXPECT_EQ(fake.folders, (std::vector<std::string>{a, a + "b" + kSep}));
}

TEST_F(ExtractTest, ARunWithAFolderWritesBelowIt)
{
    test::FakeFileSystem fake;
    fake.writeToMemory = true;
    Load(PackBuilder().Add("a/b/c.txt", "c").Add("../up.txt", "u"));
    const std::string out = std::string("out") + kSep;

    vpk::ExtractionRun run(out);
    EXPECT_TRUE(archive.Extract(0, "a/b/c.txt", &run));
    EXPECT_EQ(fake.folders, (std::vector<std::string>{out + "a" + kSep, out + "a" + kSep + "b" + kSep}));
    EXPECT_EQ(fake.memoryFiles[out + "a/b/c.txt"], "c");
    // Names are checked as they stand, before the folder goes in front.
    EXPECT_FALSE(archive.Extract(1, "../up.txt", &run));
    EXPECT_EQ(messages.Take(), Messages{"Unsafe target path refused"});
    EXPECT_EQ(fake.created, std::vector<std::string>{out + "a/b/c.txt"});
}

TEST_F(ExtractTest, OverlongTargetsAreRefused)
{
    test::FakeFileSystem fake;
    fake.writeToMemory = true;
    Load(PackBuilder().Add("f.txt", "f"));
    auto target = [](std::size_t length) { return std::string(length - 6, 'd') + "/f.txt"; };

    EXPECT_TRUE(archive.Extract(0, target(259).c_str()));
    EXPECT_EQ(fake.created, std::vector<std::string>{target(259)});
    for (const std::size_t length : {std::size_t{260}, std::size_t{4000}}) {
        EXPECT_FALSE(archive.Extract(0, target(length).c_str()));
        EXPECT_EQ(messages.Take(), Messages{"Target path too long"});
    }
    archive.CreateDirectories(std::string(260, 'd').c_str());
    EXPECT_EQ(messages.Take(), Messages{"Target path too long"});
    EXPECT_EQ(fake.created.size(), 1u);
    EXPECT_EQ(fake.folders.size(), 1u);  // only the 259-character target's folder

    // A directory pack's target takes a "/" more: 258 characters is its limit.
    archive.Close();
    fake.folders.clear();
    Load(PackBuilder().Type(1).Add("d", ""));
    EXPECT_FALSE(archive.Extract(0, std::string(258, 'd').c_str()));
    EXPECT_EQ(messages.Take(), Messages{});
    EXPECT_EQ(fake.folders, std::vector<std::string>{std::string(258, 'd') + kSep});
    EXPECT_FALSE(archive.Extract(0, std::string(259, 'd').c_str()));
    EXPECT_EQ(messages.Take(), Messages{"Target path too long"});
    EXPECT_EQ(fake.folders.size(), 1u);
}

TEST_F(ExtractTest, WriteFailuresRemoveThePartialFile)
{
    Load(PackBuilder().Add("a/ten.bin", "0123456789").Add("a/empty", ""));
    struct Case {
        const char* label;
        std::optional<std::uint32_t> writeLimit;
        bool failClose;
    };
    const Case cases[] = {{"short write", 3, false}, {"nothing written", 0, false}, {"failed close", {}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::FakeFileSystem fake;
        fake.writeLimit = c.writeLimit;
        fake.failClose = c.failClose;
        EXPECT_TRUE(archive.Extract(0, "a/ten.bin"));
        EXPECT_EQ(messages.Take(), Messages{"Could not write file"});
        EXPECT_EQ(fake.removed, std::vector<std::string>{"a/ten.bin"});
        EXPECT_EQ(Written(), std::vector<std::string>{"a/"});
    }
    // An empty entry has nothing to fall short of.
    test::FakeFileSystem fake;
    fake.writeLimit = 0;
    EXPECT_TRUE(archive.Extract(1, "a/empty"));
    EXPECT_EQ(messages.Take(), Messages{});
    EXPECT_EQ(Written(), (std::vector<std::string>{"a/", "a/empty"}));
}

TEST_F(ExtractTest, FailuresBeforeWritingLeaveNoFile)
{
    PackBuilder builder;
    builder.Add("a/first.txt", "first").Add("a/second.txt", "second").Add("a/third.bin", "third");
    Load(builder);
    {
        test::FakeFileSystem fake;
        fake.failCreate = true;
        EXPECT_TRUE(archive.Extract(0, "a/first.txt"));
        EXPECT_EQ(messages.Take(), Messages{"Could not create file"});
    }
    {
        test::FakeFileSystem fake;
        archive.Close();  // reopen through the fake to damage the second entry
        ASSERT_TRUE(archive.Open((root / "pack.vpk").c_str()));
        ASSERT_TRUE(archive.ReadDirectory());
        fake.badBegin = 5;
        fake.badEnd = 6;
        EXPECT_TRUE(archive.Extract(1, "a/second.txt"));
        EXPECT_EQ(messages.Take(), Messages{"Could not read data from vpk file"});
        EXPECT_EQ(fake.created, std::vector<std::string>{});
    }
    {
        test::FailingAllocation failing;
        EXPECT_TRUE(archive.Extract(2, "a/third.bin"));
    }
    EXPECT_EQ(messages.Take(), Messages{"Memory allocation failed"});
    // The folders come first and stay; no file was made.
    EXPECT_EQ(Written(), std::vector<std::string>{"a/"});
}

TEST_F(ExtractTest, EntriesPastTheEndOfThePackWriteNothing)
{
    // 22 bytes that claim 2 GB, and 4 GiB: refused before any folder, file
    // or buffer is made.
    PackBuilder builder;
    builder.AddWithLocation("bomb/a", 0, 0x7F000000).AddWithLocation("b", 0, 0xFFFFFFFF).Add("c", "");
    Load(builder);
    test::FailingAllocation noAllocation;
    EXPECT_FALSE(archive.Extract(0, "bomb/a"));
    EXPECT_FALSE(archive.Extract(1, "b"));
    EXPECT_EQ(messages.Take(), Messages(2, "Entry data lies past the end of the pack"));
    EXPECT_EQ(Written(), std::vector<std::string>{});
}

TEST_F(ExtractTest, RealPackExtractsAsRead)
{
    TESSARO_REQUIRE_TESTDATA();
    ASSERT_TRUE(archive.Open(test::TestDataPath("wesp_official_pack103.vpk").c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    ExtractAll();
    EXPECT_EQ(messages.Take(), Messages{});
    // The entries lie back to back in directory order: the files joined are
    // the pack's bytes before its directory, read here from the file itself.
    std::string joined;
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i)
        joined += Contents(archive.GetEntry(i)->name);
    EXPECT_EQ(joined, test::DataBeforeDirectory(test::ReadFile(test::TestDataPath("wesp_official_pack103.vpk"))));
    EXPECT_TRUE(fs::is_regular_file(work / "dlg" / "main characters" / "regent.dlg"));
}

}  // namespace
