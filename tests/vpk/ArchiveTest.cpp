// Opening packs, reading their directory and their entries.
#include "FakeFileSystem.h"
#include "PackBuilder.h"
#include "TestSupport.h"

#include "vpk/VpkArchive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>


namespace {

using test::Footer;
using test::Le32;
using test::Messages;
using test::PackBuilder;
using test::Record;

constexpr char kTooSmall[] = "File too small to be a VPK file";
constexpr char kParseFailed[] = "Failed to parse VPK file";

class ArchiveTest : public ::testing::Test {
protected:
    std::string Pack(const std::string& bytes, const std::string& name = "pack.vpk")
    {
        const std::string file = dir / name;
        test::WriteFile(file, bytes);
        return file;
    }

    test::TempDir dir;
    test::MessageRecorder messages;
};

// The archive's entries, each as (name, data offset, data size).
struct Listed {
    std::string name;
    std::uint32_t offset;
    std::uint32_t size;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> Entries(const VpkArchive& archive)
{
    std::vector<Listed> entries;
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        const VpkEntry* entry = archive.GetEntry(i);
        entries.push_back({entry->name, entry->dataOffset, entry->dataSize});
    }
    return entries;
}

void PrintTo(const Listed& e, std::ostream* out) { *out << e.name << "@" << e.offset << "+" << e.size; }

TEST_F(ArchiveTest, OpenChecksOnlyTheFooterBound)
{
    const std::string gap(20, 'x');
    // The file is 29 bytes: the bound for the directory offset is 29 - 8.
    struct Case {
        const char* label;
        std::string bytes;
        bool opens;
        Messages shown;
    };
    const Case cases[] = {
        {"a built pack", PackBuilder().Add("a.txt", "abc").Build(), true, {}},
        {"directory at size - 9", gap + Footer(0, 20, 0), true, {}},
        {"directory at size - 8", gap + Footer(0, 21, 0), true, {}},
        {"directory at size - 7", gap + Footer(0, 22, 0), false, {"Invalid header found", kParseFailed}},
        {"directory far out", gap + Footer(0, 0xFFFFFFFF, 0), false, {"Invalid header found", kParseFailed}},
        {"count and type unchecked", gap + Footer(0xFFFFFFFF, 0, 0xFF), true, {}},
        {"9 zero bytes", std::string(9, '\0'), true, {}},
        {"8 bytes", std::string(8, '\0'), false, {kTooSmall, kParseFailed}},
        {"empty file", std::string(), false, {kTooSmall, kParseFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string file = Pack(c.bytes);
        VpkArchive archive;
        EXPECT_EQ(archive.Open(file.c_str()), c.opens);
        EXPECT_EQ(messages.Take(), c.shown);
        // Only a file that could not be opened keeps the previous path.
        EXPECT_STREQ(archive.GetPath(), file.c_str());
        // Closed after a refusal: Close has nothing to release.
        EXPECT_EQ(archive.Close(), c.opens);
    }
}

TEST_F(ArchiveTest, PathIsKeptAsTheViewerExpects)
{
    const std::string good = Pack(PackBuilder().Add("a", "1").Build(), "good.vpk");
    const std::string bad = Pack(std::string(20, 'x') + Footer(0, 22, 0), "bad.vpk");
    const std::string missing = dir / "missing.vpk";

    VpkArchive archive;
    EXPECT_FALSE(archive.Open(missing.c_str()));
    EXPECT_EQ(messages.Take(), Messages{"Error opening file"});
    EXPECT_STREQ(archive.GetPath(), "");

    EXPECT_FALSE(archive.Open(bad.c_str()));
    messages.Take();
    EXPECT_STREQ(archive.GetPath(), bad.c_str());
    EXPECT_FALSE(archive.Open(missing.c_str()));
    EXPECT_STREQ(archive.GetPath(), bad.c_str());

    messages.Take();
    ASSERT_TRUE(archive.Open(good.c_str()));
    EXPECT_STREQ(archive.GetPath(), good.c_str());
    EXPECT_TRUE(archive.Close());
    EXPECT_STREQ(archive.GetPath(), "");
    EXPECT_FALSE(archive.Close());
    EXPECT_STREQ(archive.GetPath(), "");
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, PathsOfTwoHundredSixtyCharactersAreRefused)
{
    // 259 characters still reach the file system; 260 never do.
    for (const std::size_t length : {std::size_t{259}, std::size_t{260}, std::size_t{5000}}) {
        SCOPED_TRACE(length);
        const std::string longPath(length, 'p');
        VpkArchive archive;
        EXPECT_FALSE(archive.Open(longPath.c_str()));
        EXPECT_EQ(messages.Take(), Messages{length < 260 ? "Error opening file" : "File path too long"});
        EXPECT_STREQ(archive.GetPath(), "");
    }
}

TEST_F(ArchiveTest, SecondOpenIsRefusedAndTheOpenPackStaysUsable)
{
    const std::string first = Pack(PackBuilder().Add("one.txt", "1").Add("two.txt", "22").Build(), "a.vpk");
    const std::string second = Pack(PackBuilder().Type(1).Add("dir", "").Build(), "b.vpk");
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(first.c_str()));
    ASSERT_TRUE(archive.ReadDirectory());

    EXPECT_FALSE(archive.Open(second.c_str()));
    EXPECT_EQ(messages.Take(), Messages{"Can't open file, file already open"});
    EXPECT_STREQ(archive.GetPath(), first.c_str());
    EXPECT_EQ(archive.GetEntryCount(), 2u);
    EXPECT_FALSE(archive.IsDirectoryPack());
    EXPECT_STREQ(archive.GetEntry(1)->name, "two.txt");
    char data[2] = {};
    archive.ReadEntry(1, data);
    EXPECT_EQ(std::string(data, 2), "22");
}

TEST_F(ArchiveTest, ClosedArchiveAnswersEmpty)
{
    const std::string file = Pack(PackBuilder().Type(1).Add("dir", "").Build());
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    ASSERT_TRUE(archive.Close());

    EXPECT_FALSE(archive.ReadDirectory());
    EXPECT_EQ(archive.GetEntryCount(), 0u);
    EXPECT_FALSE(archive.IsDirectoryPack());
    EXPECT_EQ(archive.GetEntry(0), nullptr);
    EXPECT_EQ(archive.GetEntryType(0), "");
    EXPECT_EQ(archive.GetEntrySize(0), 0u);
    char untouched = 'u';
    archive.ReadEntry(0, &untouched);
    EXPECT_EQ(untouched, 'u');
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, RefusedFooterLeavesTheArchiveClosedAndReusable)
{
    // A directory-pack footer that is refused: its type is kept as read, but
    // a closed archive has no entry types.
    const std::string bad = Pack(std::string(20, 'x') + Footer(3, 22, 1), "bad.vpk");
    const std::string good = Pack(PackBuilder().Add("a.txt", "abc").Build(), "good.vpk");
    VpkArchive archive;
    EXPECT_FALSE(archive.Open(bad.c_str()));
    EXPECT_EQ(archive.GetEntryType(0), "");
    EXPECT_FALSE(archive.ReadDirectory());
    messages.Take();

    EXPECT_TRUE(archive.Open(good.c_str()));
    EXPECT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(archive.GetEntryType(0), "txt");
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, FooterQueriesWorkBeforeTheDirectoryIsRead)
{
    const std::string file = Pack(PackBuilder().Type(2).Add("x", "").Add("y", "").Build());
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    EXPECT_EQ(archive.GetEntryCount(), 2u);
    EXPECT_TRUE(archive.IsDirectoryPack());
    EXPECT_EQ(archive.GetEntry(0), nullptr);  // no table yet
    EXPECT_EQ(archive.GetEntrySize(0), 0u);
}

TEST_F(ArchiveTest, DirectoryComesOutAsBuiltForEveryPackType)
{
    PackBuilder builder;
    builder.Add("dlg/hollywood/isaac.dlg", "hello\r\n")
        .Add("", "")                                    // a name of length 0
        .Add("vdata/system/strings.txt", std::string(300, 's'))
        .Add("dir.old/file", "z")
        .Add("materials/x.c.vmt", "\x01\x02");
    for (const std::uint8_t type : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}}) {
        SCOPED_TRACE(int{type});
        const std::string bytes = builder.Type(type).Build();
        const std::string file = Pack(bytes);
        VpkArchive archive;
        ASSERT_TRUE(archive.Open(file.c_str()));
        ASSERT_TRUE(archive.ReadDirectory());
        EXPECT_EQ(archive.IsDirectoryPack(), type != 0);
        // The data back to back from offset 0, in the order added.
        EXPECT_EQ(Entries(archive), (std::vector<Listed>{{"dlg/hollywood/isaac.dlg", 0, 7},
                                                         {"", 7, 0},
                                                         {"vdata/system/strings.txt", 7, 300},
                                                         {"dir.old/file", 307, 1},
                                                         {"materials/x.c.vmt", 308, 2}}));
        EXPECT_EQ(archive.GetEntrySize(2), 300u);
        EXPECT_EQ(archive.GetEntry(1)->nameLength, 0u);
        EXPECT_STREQ(archive.GetEntry(1)->name, "");

        const char* types[] = {"dlg", "", "txt", "old/file", "c"};
        for (std::uint32_t i = 0; i < 5; ++i)
            EXPECT_EQ(archive.GetEntryType(i), type != 0 ? "DIR" : types[i]) << i;
        // Past the table: no entry, no size; a directory pack says DIR anyway.
        EXPECT_EQ(archive.GetEntry(5), nullptr);
        EXPECT_EQ(archive.GetEntrySize(5), 0u);
        EXPECT_EQ(archive.GetEntryType(5), type != 0 ? "DIR" : "");
    }
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, EntryTypeRule)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a/b.txt", "txt"}, {"a/b.c.txt", "c"},  {"dir.old/file", "old/file"}, {".txt", ""},
        {"readme", ""},     {"a..b", "b"},       {"..a...b.", "b"},            {"a.", ""},
        {"", ""},           {"x.DLG", "DLG"},    {"...", ""},                  {"a.b/c.d", "b/c"},
    };
    for (const auto& [name, type] : cases) {
        const std::string file = Pack(PackBuilder().Add(name, "").Build());
        VpkArchive archive;
        ASSERT_TRUE(archive.Open(file.c_str()));
        ASSERT_TRUE(archive.ReadDirectory());
        EXPECT_EQ(archive.GetEntryType(0), type) << name;
    }
}

TEST_F(ArchiveTest, PackWithoutEntriesHasNoTable)
{
    for (const std::string& bytes : {std::string(9, '\0'), PackBuilder().Build()}) {
        const std::string file = Pack(bytes);
        VpkArchive archive;
        ASSERT_TRUE(archive.Open(file.c_str()));
        EXPECT_TRUE(archive.ReadDirectory());
        EXPECT_EQ(archive.GetEntryCount(), 0u);
        EXPECT_EQ(archive.GetEntry(0), nullptr);
        EXPECT_EQ(archive.GetEntrySize(0), 0u);
        EXPECT_EQ(archive.GetEntryType(0), "");
    }
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, ZeroByteEndsTheName)
{
    const std::string bytes = PackBuilder()
                                  .Add(std::string("abc\0def.txt", 11), "data")
                                  .Add("next.txt", "n")
                                  .Build();
    const std::string file = Pack(bytes);
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(archive.GetEntry(0)->nameLength, 11u);
    EXPECT_STREQ(archive.GetEntry(0)->name, "abc");
    EXPECT_EQ(archive.GetEntryType(0), "");
    EXPECT_EQ(archive.GetEntrySize(0), 4u);
    EXPECT_STREQ(archive.GetEntry(1)->name, "next.txt");
    EXPECT_EQ(archive.GetEntry(1)->dataOffset, 4u);
}

TEST_F(ArchiveTest, NameLengthIsCheckedAgainstTheField)
{
    const std::string longest(kVpkMaxNameLength, 'n');
    {
        const std::string file = Pack(PackBuilder().Add(longest, "x").Build());
        VpkArchive archive;
        ASSERT_TRUE(archive.Open(file.c_str()));
        ASSERT_TRUE(archive.ReadDirectory());
        EXPECT_EQ(archive.GetEntry(0)->name, longest);
        EXPECT_EQ(archive.GetEntrySize(0), 1u);
    }
    for (const std::uint32_t length : {260u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        // The second record claims a name longer than the field.
        std::string bytes = "data" + Record("first.txt", 0, 4) + Le32(length) + std::string(300, 'n');
        bytes += Footer(3, 4, 0);
        const std::string file = Pack(bytes);
        VpkArchive archive;
        ASSERT_TRUE(archive.Open(file.c_str()));
        EXPECT_FALSE(archive.ReadDirectory());
        EXPECT_EQ(messages.Take(), Messages{"Entry name too long"});
        // Still open, with the records before the bad one.
        EXPECT_EQ(archive.GetEntryCount(), 3u);
        EXPECT_STREQ(archive.GetEntry(0)->name, "first.txt");
        EXPECT_STREQ(archive.GetEntry(1)->name, "");
        EXPECT_TRUE(archive.Close());
    }
}

TEST_F(ArchiveTest, LastRecordCutShortByTheEndOfTheFile)
{
    // The second record's name runs into the footer: its offset and size
    // come from the footer's last bytes and then from nothing.
    const std::string bytes = "abcd" + Record("a.txt", 0, 4) + Le32(3) + "xy" + Footer(2, 4, 0);
    const std::string file = Pack(bytes);
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    EXPECT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(messages.Take(), Messages{});
    // The second: name "xy" + the count's first byte; then the rest of the
    // footer, and zeros where the file had ended.
    EXPECT_EQ(Entries(archive), (std::vector<Listed>{{"a.txt", 0, 4}, {"xy\x02", 0x04000000u, 0}}));
    EXPECT_EQ(archive.GetEntry(1)->nameLength, 3u);
}

TEST_F(ArchiveTest, LargeDirectoryReadsWhole)
{
    // Well over the reading block, with records straddling block edges.
    PackBuilder builder;
    std::vector<Listed> expected;
    std::uint32_t offset = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string name =
            "folder " + std::to_string(i % 17) + "/" + std::string(i % 200, 'n') + std::to_string(i) + ".txt";
        const std::uint32_t size = static_cast<std::uint32_t>(i % 5);
        builder.Add(name, std::string(size, 'x'));
        expected.push_back({name, offset, size});
        offset += size;
    }
    const std::string file = Pack(builder.Build());
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(Entries(archive), expected);
}

TEST_F(ArchiveTest, EntryCountIsCheckedAgainstTheFileBeforeAllocating)
{
    // One record of 13 bytes and the footer leave 22 bytes: room for the
    // record and one more cut short by the end of the file.
    const std::string fits = PackBuilder().Add("a", "").Count(2).Build();
    const std::string tooMany = PackBuilder().Add("a", "").Count(3).Build();
    const std::string absurd = PackBuilder().Add("a", "").Count(0xFFFFFFFF).Build();

    VpkArchive archive;
    ASSERT_TRUE(archive.Open(Pack(fits).c_str()));
    EXPECT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(messages.Take(), Messages{});
    archive.Close();

    for (const std::string& bytes : {tooMany, absurd}) {
        ASSERT_TRUE(archive.Open(Pack(bytes).c_str()));
        EXPECT_FALSE(archive.ReadDirectory());
        EXPECT_EQ(messages.Take(), Messages{"Entry count too large for file size"});
        EXPECT_EQ(archive.GetEntry(0), nullptr);  // no table was made
        EXPECT_TRUE(archive.Close());
    }
}

TEST_F(ArchiveTest, FailedDirectoryReadIsReportedOnceAtTheEnd)
{
    PackBuilder builder;
    builder.Add("one.txt", "1").Add("two.txt", "2").Add("three.txt", "3").Add("four.txt", "4");
    const std::string bytes = builder.Build();
    const std::string file = Pack(bytes);
    test::FakeFileSystem fake;
    // A damaged spot in the third record.
    const std::uint32_t third = builder.DirectoryOffset() + 2 * (12 + 7);
    fake.badBegin = third + 5;
    fake.badEnd = third + 6;

    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    EXPECT_FALSE(archive.ReadDirectory());
    EXPECT_EQ(messages.Take(), Messages{"File read error while parsing file"});
    EXPECT_EQ(archive.GetEntryCount(), 4u);
    EXPECT_STREQ(archive.GetEntry(0)->name, "one.txt");
    EXPECT_STREQ(archive.GetEntry(1)->name, "two.txt");
    EXPECT_EQ(archive.GetEntrySize(1), 1u);
}

TEST_F(ArchiveTest, SizeProblemsAreRefused)
{
    const std::string file = Pack(PackBuilder().Add("a", "1").Build());
    struct Case {
        const char* label;
        bool failSize;
        std::uint64_t size;
        Messages shown;
    };
    const Case cases[] = {
        {"size unknown", true, 0, {"File appears to be empty"}},
        {"4 GiB", false, 0x100000000ull, {"File too large to be a VPK file", kParseFailed}},
        {"far beyond", false, 0x123456789abull, {"File too large to be a VPK file", kParseFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::FakeFileSystem fake;
        fake.failSize = c.failSize;
        fake.reportedSize = c.size;
        VpkArchive archive;
        EXPECT_FALSE(archive.Open(file.c_str()));
        EXPECT_EQ(messages.Take(), c.shown);
        EXPECT_STREQ(archive.GetPath(), file.c_str());
        EXPECT_FALSE(archive.Close());
    }
}

TEST_F(ArchiveTest, LargestPackSizeIsRead)
{
    // 4 GiB - 1 bytes: the footer sits at the last 32-bit offsets.
    test::FakeFileSystem fake;
    const std::uint32_t size = 0xFFFFFFFF;
    const std::string record = Record("x.txt", size - 100, 100);
    const auto directory = static_cast<std::uint32_t>(size - kVpkFooterSize - record.size());
    const std::string tail = record + Footer(1, directory, 0);
    fake.AddSparseFile("big.vpk", size, tail);
    VpkArchive archive;
    ASSERT_TRUE(archive.Open("big.vpk"));
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_STREQ(archive.GetEntry(0)->name, "x.txt");
    std::string data(100, '?');
    archive.ReadEntry(0, data.data());
    // The last 100 bytes of the file.
    EXPECT_EQ(data, std::string(100 - tail.size(), '\0') + tail);
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, FailedFooterReadIsReported)
{
    const std::string bytes = PackBuilder().Add("a", "1").Build();
    const std::string file = Pack(bytes);
    VpkArchive archive;
    {
        test::FakeFileSystem fake;
        fake.badBegin = bytes.size() - 1;
        fake.badEnd = bytes.size();
        EXPECT_FALSE(archive.Open(file.c_str()));
        EXPECT_EQ(messages.Take(), (Messages{"Failed to read from file", kParseFailed}));
        EXPECT_STREQ(archive.GetPath(), file.c_str());
    }
    EXPECT_TRUE(archive.Open(file.c_str()));
    EXPECT_EQ(messages.Take(), Messages{});
}

TEST_F(ArchiveTest, TableThatCannotBeHadIsReported)
{
    // A pack of almost 4 GiB whose directory is all records of 12 bytes: as
    // many records as the file can hold, far more memory than there is.
    test::FakeFileSystem fake;
    const std::uint32_t size = 0xFFFFFFF0;
    const std::uint32_t count = MaxVpkRecordCount(size, 0);
    fake.AddSparseFile("huge.vpk", size, Footer(count, 0, 0));
    VpkArchive archive;
    ASSERT_TRUE(archive.Open("huge.vpk"));
    {
        test::FailingAllocation failing;
        EXPECT_FALSE(archive.ReadDirectory());
    }
    EXPECT_EQ(messages.Take(), Messages{"Memory allocation failed"});
    EXPECT_EQ(archive.GetEntryCount(), count);
    EXPECT_EQ(archive.GetEntry(0), nullptr);
    EXPECT_TRUE(archive.Close());
}

TEST_F(ArchiveTest, ReadEntryRefusesDataPastTheEndOfThePack)
{
    const std::string bytes = PackBuilder()
                                  .Add("whole.bin", std::string("\0\x01\xff\r\n", 5))
                                  .AddWithLocation("tail.bin", 0, 0)  // placed below
                                  .AddWithLocation("bomb.bin", 0, 0xFFFFFFFF)
                                  .AddWithLocation("empty", 2, 0)
                                  .Build();
    // Point the second entry at the last 3 bytes of the file, asking for 8.
    std::string patched = bytes;
    const std::string tailRecord = Record("tail.bin", 0, 0);
    const std::size_t at = patched.find(tailRecord);
    ASSERT_NE(at, std::string::npos);
    patched.replace(at, tailRecord.size(),
                    Record("tail.bin", static_cast<std::uint32_t>(patched.size() - 3), 8));
    const std::string file = Pack(patched);

    VpkArchive archive;
    ASSERT_TRUE(archive.Open(file.c_str()));
    ASSERT_TRUE(archive.ReadDirectory());
    // The damaged entries are listed as they are, but nothing is read (or
    // allocated: an allocation would fail and say so) for them.
    EXPECT_EQ(archive.GetEntrySize(2), 0xFFFFFFFFu);
    struct Case {
        std::uint32_t index;
        bool inPack;
        std::string expected;
    };
    const Case cases[] = {
        {0, true, std::string("\0\x01\xff\r\n", 5)},
        {1, false, std::string(8, '#')},
        {2, false, std::string(8, '#')},
        {4, false, std::string(8, '#')},  // past the table: nothing shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        std::string data(8, '#');
        if (c.inPack) {
            EXPECT_TRUE(archive.CheckEntryData(c.index));
            archive.ReadEntry(c.index, data.data());
            EXPECT_EQ(data, c.expected + "###");  // nothing past dataSize
            EXPECT_EQ(messages.Take(), Messages{});
            continue;
        }
        test::FailingAllocation noAllocation;
        EXPECT_FALSE(archive.CheckEntryData(c.index));
        archive.ReadEntry(c.index, data.data());
        EXPECT_EQ(data, c.expected);
        const Messages refused{"Entry data lies past the end of the pack", "Entry data lies past the end of the pack"};
        EXPECT_EQ(messages.Take(), c.index < 4 ? refused : Messages{});
    }
    // An empty entry sits inside the pack wherever it points.
    EXPECT_TRUE(archive.CheckEntryData(3));
}

TEST_F(ArchiveTest, FileThatShrinksAfterOpenIsAReadFailure)
{
    // A race, not a hostile pack: the entry was inside the file when it was
    // opened. (Served from memory: Windows refuses to cut an open file.) The
    // bytes that are gone are not made up as zeros, for reading or writing.
    const std::string bytes = PackBuilder().Add("a.bin", "abcdef").Build();
    test::FakeFileSystem fake;
    fake.writeToMemory = true;
    fake.AddSparseFile("s.vpk", bytes.size(), bytes);
    VpkArchive archive;
    ASSERT_TRUE(archive.Open("s.vpk"));
    ASSERT_TRUE(archive.ReadDirectory());
    const std::uint32_t offset = archive.GetEntry(0)->dataOffset;
    fake.AddSparseFile("s.vpk", offset + 2, bytes.substr(0, offset + 2));
    std::string data(6, '#');
    archive.ReadEntry(0, data.data());
    EXPECT_EQ(data, "######");
    EXPECT_TRUE(archive.Extract(0, "a.bin"));
    EXPECT_EQ(messages.Take(), Messages(2, "Could not read data from vpk file"));
    EXPECT_EQ(fake.created, std::vector<std::string>{});
}

// A range of an entry is the same bytes ReadEntry gives at that place; a
// range past the entry is refused quietly, an entry past the pack with its
// message, and bytes the file no longer holds are a failure, not zeros.
TEST_F(ArchiveTest, RangeReadsMatchReadEntryWithinItsBounds)
{
    std::string payload(5000, '\0');
    std::mt19937 random(7);
    for (char& c : payload)
        c = static_cast<char>(random());
    const std::string bytes =
        PackBuilder().Add("a.bin", payload).AddWithLocation("bomb.bin", 0, 0x7FFFFFFF).Add("e", "").Build();
    test::FakeFileSystem fake;
    fake.AddSparseFile("r.vpk", bytes.size(), bytes);
    VpkArchive archive;
    ASSERT_TRUE(archive.Open("r.vpk"));
    ASSERT_TRUE(archive.ReadDirectory());
    std::string whole(payload.size(), '#');
    archive.ReadEntry(0, whole.data());
    ASSERT_EQ(whole, payload);

    const Messages pastEnd{"Entry data lies past the end of the pack"};
    struct Case {
        std::uint32_t index, offset, count;
        bool read;
        Messages said;
    } const cases[] = {
        {0, 0, 5000, true, {}},    {0, 0, 1, true, {}},         {0, 4999, 1, true, {}},
        {0, 1234, 100, true, {}},  {0, 5000, 0, true, {}},      {2, 0, 0, true, {}},
        {0, 4999, 2, false, {}},   {0, 5001, 0, false, {}},     {0, 0xFFFFFFFFu, 2, false, {}},
        {2, 0, 1, false, {}},      {3, 0, 0, false, {}},        {1, 0, 1, false, pastEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " " << c.offset << "+" << c.count);
        std::string part(c.count + 1, '#');
        EXPECT_EQ(archive.ReadEntryRange(c.index, c.offset, c.count, part.data()), c.read);
        EXPECT_EQ(part, c.read ? whole.substr(c.offset, c.count) + "#" : std::string(c.count + 1, '#'));
        EXPECT_EQ(messages.Take(), c.said);
    }

    // The file shrank after Open: the bytes it lost are not read as zeros.
    const std::uint32_t offset = archive.GetEntry(0)->dataOffset;
    fake.AddSparseFile("r.vpk", offset + 100, bytes.substr(0, offset + 100));
    std::string part(10, '#');
    EXPECT_TRUE(archive.ReadEntryRange(0, 90, 10, part.data()));
    EXPECT_EQ(part, payload.substr(90, 10));
    EXPECT_FALSE(archive.ReadEntryRange(0, 95, 10, part.data()));
    EXPECT_EQ(part, payload.substr(90, 10));
    EXPECT_EQ(messages.Take(), Messages{"Could not read data from vpk file"});
}

TEST_F(ArchiveTest, RealPacksFromTheGame)
{
    TESSARO_REQUIRE_TESTDATA();
    VpkArchive archive;
    ASSERT_TRUE(archive.Open(test::TestDataPath("wesp_official_pack103.vpk").c_str()));
    EXPECT_FALSE(archive.IsDirectoryPack());
    ASSERT_TRUE(archive.ReadDirectory());
    ASSERT_EQ(archive.GetEntryCount(), 7u);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < 7; ++i) {
        const VpkEntry* entry = archive.GetEntry(i);
        names.emplace_back(entry->name);
        EXPECT_EQ(entry->nameLength, std::strlen(entry->name));
        EXPECT_LE(std::uint64_t{entry->dataOffset} + entry->dataSize, 355209u - 9u) << entry->name;
        const std::string type = archive.GetEntryType(i);
        EXPECT_TRUE(type == "dlg" || type == "txt") << entry->name;
    }
    EXPECT_EQ(names[0], "dlg/hollywood/isaac.dlg");
    EXPECT_NE(std::find(names.begin(), names.end(), "dlg/main characters/regent.dlg"), names.end());
    // Dialogue files are ANSI text with CRLF line ends.
    std::string text(archive.GetEntrySize(0), '\0');
    archive.ReadEntry(0, text.data());
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_TRUE(archive.Close());

    // The game's empty pack: nine zero bytes, a file pack of no entries.
    ASSERT_TRUE(archive.Open(test::TestDataPath("wesp_official_pack102.vpk").c_str()));
    EXPECT_EQ(archive.GetEntryCount(), 0u);
    EXPECT_FALSE(archive.IsDirectoryPack());
    EXPECT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(messages.Take(), Messages{});
}

}  // namespace
