// Extracting many entries on two threads: which entries may share them, and
// that sharing them changes nothing on disk or in the messages.
#include "vpk/Extractor.h"

#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "vpk/VpkArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(ExtractorTest, NamesThatMayBeOneFileNeverShareThreads)
{
    struct Pair {
        const char* a;
        const char* b;
        bool share;
    };
    const Pair pairs[] = {
        {"d/x.bin", "d/y.bin", true},   {"a/b", "ab", true},           {"x.txt", "x.txt.bak", true},
        {"d/x.bin", "d//x.bin", false}, {"d/x", "d/./x", false},       {"/x", "x", false},
        {"A/B.txt", "a/b.txt", false},  {"a\\b", "a/b", false},        {"x.", "x", false},
        {"dir /f", "dir/f", false},     {"d/x", "d/x/", false},        {"f", "F/g", false},
        {"\xE9.txt", "\xC9.txt", false}, {"\xE9.txt", "other", false}, {"progra~1/a", "b", false},
        {"A/x", "a/y", false},          {"d./x", "d/y", true},         {"Sub/x", "Sub//y", true},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(std::string(pair.a) + " | " + pair.b);
        EXPECT_EQ(vpk::CanShareThreads({pair.a, pair.b}), pair.share);
    }
}

TEST(ExtractorTest, TwoThreadsGiveWhatOneGives)
{
    // Enough entries for two threads; every seventh one is refused, in turn
    // for its name and for data past the end of the pack.
    test::PackBuilder builder;
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        const std::string number = std::to_string(i);
        std::string name = "f";
        name.append(std::to_string(i % 13)).append("/g").append(std::to_string(i % 5)).append("/e").append(number);
        if (i % 7 != 3) {
            builder.Add(name, std::string(static_cast<std::size_t>(i), 'x'));
        } else if (i % 2 == 0) {
            builder.Add("../e" + number, "out");
            expected.push_back("Unsafe target path refused");
        } else {
            builder.AddWithLocation(name, 0xFFFFFF00u, 16);
            expected.push_back("Entry data lies past the end of the pack");
        }
    }
    test::TempDir root;
    test::WriteFile(root.Path() / "many.vpk", builder.Build());
    test::MessageRecorder messages;
    VpkArchive archive;
    VpkArchive helper;
    for (VpkArchive* pack : {&archive, &helper})
        ASSERT_TRUE(pack->Open((root / "many.vpk").c_str()) && pack->ReadDirectory());
    std::vector<std::uint32_t> indexes(300);
    for (std::uint32_t i = 0; i < 300; ++i)
        indexes[i] = i;

    std::vector<std::vector<std::string>> trees;
    for (VpkArchive* second : {static_cast<VpkArchive*>(nullptr), &helper}) {
        const fs::path out = root.Path() / (second != nullptr ? "two" : "one");
        fs::create_directory(out);
        const test::CurrentDirectory inOut(out);
        std::size_t next = 0;
        vpk::ExtractionRun run;
        vpk::ExtractionSteps steps;
        steps.handled = [&](std::size_t n, const std::vector<std::string>& texts) {
            EXPECT_EQ(n, next++);
            for (const std::string& text : texts)
                vpk::ShowMessage(text.c_str());
        };
        const unsigned threads = vpk::ExtractEntries(archive, second, indexes, run, steps);
        EXPECT_EQ(threads, second != nullptr ? 2u : 1u);
        EXPECT_EQ(next, 300u);
        EXPECT_EQ(messages.Take(), expected);
        trees.push_back(test::Tree(out));
    }
    EXPECT_EQ(trees[0], trees[1]);
    EXPECT_EQ(test::ReadFile(root.Path() / "two" / "f2/g0/e145"), std::string(145, 'x'));
}

TEST(ExtractorTest, AHelperOnAnotherFileListedAlikeIsNotUsed)
{
    // Another pack put at the path between the two openings: the same
    // records, other bytes. Every entry comes from the pack opened first.
    const auto pack = [](char fill) {
        test::PackBuilder builder;
        for (int i = 0; i < 100; ++i)
            builder.Add(std::string("e").append(std::to_string(i)), std::string(8, fill));
        return builder.Build();
    };
    test::TempDir root;
    test::WriteFile(root.Path() / "p.vpk", pack('x'));
    test::WriteFile(root.Path() / "later.vpk", pack('y'));
    VpkArchive archive;
    VpkArchive helper;
    ASSERT_TRUE(archive.Open((root / "p.vpk").c_str()) && archive.ReadDirectory());
    ASSERT_TRUE(helper.Open((root / "later.vpk").c_str()) && helper.ReadDirectory());
    std::vector<std::uint32_t> indexes(100);
    for (std::uint32_t i = 0; i < 100; ++i)
        indexes[i] = i;
    fs::create_directory(root.Path() / "out");
    vpk::ExtractionRun run((root.Path() / "out").string() + "/");
    EXPECT_EQ(vpk::ExtractEntries(archive, &helper, indexes, run, {}), 1u);
    for (int i = 0; i < 100; ++i) {
        const std::string name = std::string("e").append(std::to_string(i));
        EXPECT_EQ(test::ReadFile(root.Path() / "out" / name), std::string(8, 'x')) << name;
    }
}

}  // namespace
