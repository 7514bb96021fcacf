// Writing packs in-process: the exact layout, and every refusal and failure
// leaving the output as it was. Failures a disk rarely gives on demand come
// from the fake file system.
#include "PackWriter.h"

#include "vpk/FakeFileSystem.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "vpk/VpkArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class PackWriterTest : public ::testing::Test {
protected:
    // Packs folder into out, collecting the problems reported.
    bool Pack(const fs::path& folder, const fs::path& out)
    {
        problems.clear();
        return WritePack(folder.string(), out.string(),
                         [this](const std::string& text) { problems.push_back(text); });
    }

    static void Put(const fs::path& file, const std::string& bytes)
    {
        fs::create_directories(file.parent_path());
        test::WriteFile(file, bytes);
    }

    test::TempDir root;
    std::vector<std::string> problems;
};

TEST_F(PackWriterTest, WritesEntriesSortedThenTheDirectoryThenTheFooter)
{
    const fs::path src = root.Path() / "mod";
    Put(src / "sound" / "b.wav", std::string("\0\x01\xFF", 3));
    Put(src / "dlg" / "main characters" / "regent.dlg", "{ 1 }\r\n");
    Put(src / "Readme.txt", "read me");
    Put(src / "dlg" / "empty.dlg", "");
    fs::create_directories(src / "empty folder");
    Put(root.Path() / "mod.vpk.partial", "someone else's");

    ASSERT_TRUE(Pack(src, root.Path() / "mod.vpk")) << ::testing::PrintToString(problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    // Byte order puts "R" before "d"; folders only appear in names.
    const std::string expected = test::PackBuilder()
                                     .Add("Readme.txt", "read me")
                                     .Add("dlg/empty.dlg", "")
                                     .Add("dlg/main characters/regent.dlg", "{ 1 }\r\n")
                                     .Add("sound/b.wav", std::string("\0\x01\xFF", 3))
                                     .Build();
    EXPECT_EQ(test::ReadFile(root.Path() / "mod.vpk"), expected);
    // mod/, mod.vpk and the file that was there: no leftovers.
    EXPECT_EQ(test::Tree(root.Path()).size(), test::Tree(src).size() + 3);
    EXPECT_EQ(test::ReadFile(root.Path() / "mod.vpk.partial"), "someone else's");

    // The reader the window program uses takes it.
    test::MessageRecorder messages;
    VpkArchive archive;
    ASSERT_TRUE(archive.Open((root / "mod.vpk").c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(archive.GetEntryCount(), 4u);
    EXPECT_FALSE(archive.IsDirectoryPack());
    EXPECT_EQ(messages.Take(), test::Messages{});

    // An empty folder makes a pack of no entries: the footer alone.
    fs::create_directories(root.Path() / "nothing");
    ASSERT_TRUE(Pack(root.Path() / "nothing", root.Path() / "nothing.vpk"));
    EXPECT_EQ(test::ReadFile(root.Path() / "nothing.vpk"), test::Footer(0, 0, 0));
}

TEST_F(PackWriterTest, RefusalsAndFailuresLeaveTheOutputAsItWas)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path& src, test::FakeFileSystem& fake)> prepare;
        const char* problem;           // a part of the one problem reported
        const char* out = "out.vpk";   // relative to the case's folder
    };
    const std::vector<Case> cases = {
        {"missing source", [](const fs::path& src, test::FakeFileSystem&) { fs::remove_all(src); },
         "can't read folder "},
        {"output inside the source", [](const fs::path&, test::FakeFileSystem&) {}, "lies inside", "src/sub/out.vpk"},
        {"4 GiB with directory and footer",
         [](const fs::path& src, test::FakeFileSystem&) {
             // 7 name bytes, a 12-byte record and the 9-byte footer: 2^32 exactly.
             test::WriteFile(src / "big.bin", "");
             fs::resize_file(src / "big.bin", (std::uint64_t{1} << 32) - 9 - 12 - 7);
         },
         "the pack would reach 4 GiB"},
        {"unreadable file", [](const fs::path&, test::FakeFileSystem& fake) { fake.unreadableSuffix = "b.txt"; },
         "can't read "},
        {"write fails", [](const fs::path&, test::FakeFileSystem& fake) { fake.writeLimit = 3; }, "can't write "},
        {"rename fails", [](const fs::path&, test::FakeFileSystem& fake) { fake.failRename = true; },
         "can't replace "},
#ifndef _WIN32
        // Windows can't hold such names in the first place.
        {"name of 260 bytes",
         [](const fs::path& src, test::FakeFileSystem&) {
             Put(src / std::string(200, 'd') / (std::string(55, 'f') + ".txt"), "x");
         },
         "name too long for a pack (260 bytes, at most 259)"},
        {"backslash in a name", [](const fs::path& src, test::FakeFileSystem&) { Put(src / "a\\b.txt", "x"); },
         "a character a pack can't carry: a\\b.txt"},
        {"control character in a name",
         [](const fs::path& src, test::FakeFileSystem&) { Put(src / "sub" / "tab\there", "x"); },
         "a character a pack can't carry: sub/tab\there"},
        {"a name made of dots", [](const fs::path& src, test::FakeFileSystem&) { Put(src / "...", "x"); },
         "a character a pack can't carry: ..."},
        // Windows would give these back under other names.
        {"a device name", [](const fs::path& src, test::FakeFileSystem&) { Put(src / "sub" / "Aux.txt", "x"); },
         "name Windows would not give back unchanged: sub/Aux.txt"},
        {"a dot at the end", [](const fs::path& src, test::FakeFileSystem&) { Put(src / "x." / "y", "x"); },
         "name Windows would not give back unchanged: x."},
        {"names differing in case", [](const fs::path& src, test::FakeFileSystem&) { Put(src / "SUB" / "c", "x"); },
         "names differ only in case: SUB and sub"},
#endif
    };
    int n = 0;
    for (const Case& c : cases) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (existing ? ", existing output" : ""));
            const fs::path folder = root.Path() / std::to_string(n++);
            const fs::path src = folder / "src";
            Put(src / "a.txt", "a");
            Put(src / "sub" / "b.txt", "b");
            const fs::path out = folder / c.out;
            if (existing)
                Put(out, "the older pack");
            std::vector<std::string> before;
            {
                test::FakeFileSystem fake;
                c.prepare(src, fake);
                before = fs::exists(folder) ? test::Tree(folder) : before;
                EXPECT_FALSE(Pack(src, out));
            }
            ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
            EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
            if (existing)
                EXPECT_EQ(test::ReadFile(out), "the older pack");
            else
                EXPECT_FALSE(fs::exists(out));
            // Nothing written, nothing left behind: no temporary file either.
            EXPECT_EQ(test::Tree(folder), before);
        }
    }
}

#ifndef _WIN32
TEST_F(PackWriterTest, LinksBackUpAreSkippedNotFollowed)
{
    // Two links back up would make 2^n paths for a walk that follows them.
    const fs::path loop = root.Path() / "loop";
    Put(loop / "f.txt", "f");
    fs::create_directory_symlink(".", loop / "a");
    fs::create_directory_symlink(".", loop / "b");
    EXPECT_TRUE(Pack(loop, root.Path() / "loop.vpk"));
    std::sort(problems.begin(), problems.end());
    const std::string skipped = "skipped: a link back to a folder above it: ";
    EXPECT_EQ(problems, (std::vector<std::string>{skipped + (loop / "a").string(), skipped + (loop / "b").string()}));
    EXPECT_EQ(test::ReadFile(root.Path() / "loop.vpk"), test::PackBuilder().Add("f.txt", "f").Build());
}
#endif

}  // namespace
