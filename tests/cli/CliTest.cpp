// tessaro-cli end to end: the tool is run as its users run it, on packs the
// tests build, and its stdout, stderr and exit status are compared whole.
#include "Version.h"
#include "vpk/FileSystem.h"
#include "vpk/PackBuilder.h"
#include "vpk/TestSupport.h"
#include "texture/TextureBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using test::PackBuilder;

struct Result {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    // Runs the tool with args in the temporary folder. A run still going
    // after kTimeLimitSeconds is killed and fails the test, so a tool that
    // hangs can't hang the suite.
    static constexpr int kTimeLimitSeconds = 60;
    Result Run(const std::vector<std::string>& args)
    {
        const std::string outFile = (dir.Path() / "stdout.bin").string();
        const std::string errFile = (dir.Path() / "stderr.bin").string();
        test::CurrentDirectory here(dir.Path());
        const int status = Start(args, outFile, errFile);
        Result result{status, test::ReadFile(outFile), test::ReadFile(errFile)};
        fs::remove(outFile);
        fs::remove(errFile);
        return result;
    }

#ifdef _WIN32
    // The tool's process, its output in the two files; its exit status.
    static int Start(const std::vector<std::string>& args, const std::string& outFile, const std::string& errFile)
    {
        std::string command = Quote(test::HostPath(TESSARO_CLI_PATH));
        for (const std::string& arg : args)
            command.append(1, ' ').append(Quote(arg));
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE out = ::CreateFileA(outFile.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE err = ::CreateFileA(errFile.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        const bool started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                              &startup, &process) != FALSE;
        ::CloseHandle(out);
        ::CloseHandle(err);
        if (!started) {
            ADD_FAILURE() << "could not start " << command << " (error " << ::GetLastError() << ")";
            return -1;
        }
        DWORD status = static_cast<DWORD>(-1);
        if (::WaitForSingleObject(process.hProcess, kTimeLimitSeconds * 1000) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process.hProcess, &status);
        } else {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            ADD_FAILURE() << command << " still ran after " << kTimeLimitSeconds << " s: killed";
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return static_cast<int>(status);
    }
#else
    // Through the shell, under timeout(1); the tool's exit status.
    static int Start(const std::vector<std::string>& args, const std::string& outFile, const std::string& errFile)
    {
        std::string command = "timeout -k 5 " + std::to_string(kTimeLimitSeconds) + " ";
        command.append(Quote(TESSARO_CLI_PATH));
        for (const std::string& arg : args)
            command.append(1, ' ').append(Quote(arg));
        command.append(" >").append(Quote(outFile)).append(" 2>").append(Quote(errFile));
        const int raw = std::system(command.c_str());
        if (raw == -1) {
            ADD_FAILURE() << "could not start the shell for " << command << ": " << std::strerror(errno);
            return -1;
        }
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        if (status == 124 || status == 137)
            ADD_FAILURE() << command << " still ran after " << kTimeLimitSeconds << " s: killed";
        return status;
    }
#endif

    static std::string Quote(const std::string& arg)
    {
        // Built with append: g++ 12 warns falsely (-Wrestrict) on chains of
        // string + string.
        std::string quoted(1, '"');
        quoted.append(arg).push_back('"');
        return quoted;
    }

    // Writes a pack below the temporary folder and returns its path.
    std::string Pack(const std::string& name, const std::string& bytes)
    {
        const fs::path file = dir.Path() / name;
        fs::create_directories(file.parent_path());
        test::WriteFile(file, bytes);
        return file.string();
    }

    test::TempDir dir;
};

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST_F(CliTest, WrongUsageExitsWithTwo)
{
    const std::string pack = Pack("p.vpk", PackBuilder().Add("a.txt", "a").Build());
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"unpack", pack},
        {"list"},
        {"packs"},
        {"cat", pack},
        {"cat", pack, "-1"},
        {"cat", pack, ""},
        {"cat", pack, "1", "2"},
        {"list", pack, ""},
        {"extract"},
        {"extract", pack, "-x"},
        {"extract", pack, "-C"},
        {"extract", pack, "-C", "a", "-C", "b"},
        {"find", "."},
        {"find", ".", ""},
        {"pack", "."},
        {"pack", ".", "a.vpk", "b.vpk"},
        {"--version", "x"},
        {"texture", pack},
        {"texture", pack, "1", "--format", "gif"},
        {"texture", pack, "1", "--format"},
        {"texture", "--info", pack, "1", "-C", "x"},
        {"texture", "--info", pack, "1", "--format", "png"},
    };
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " ... (" + std::to_string(args.size()) + ")");
        const Result result = Run(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("usage: tessaro-cli packs FOLDER\n", 0), 0u) << result.err;
    }
    EXPECT_EQ(test::Tree(dir.Path()), std::vector<std::string>{"p.vpk"});
}

TEST_F(CliTest, HelpAndVersionGoToStdout)
{
    const Result result = Run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind("usage: tessaro-cli packs FOLDER\n", 0), 0u);
    // Every command with an example.
    for (const char* command : {"packs", "list", "cat", "extract", "find", "pack", "texture"})
        EXPECT_NE(result.out.find(std::string("  tessaro-cli ") + command + " "), std::string::npos) << command;

    const Result version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.err, "");
    EXPECT_EQ(version.out, "tessaro-cli " TESSARO_VERSION_TEXT "\n");
}

TEST_F(CliTest, PacksListsTheFolderByFileName)
{
    const fs::path folder = dir.Path() / "Vampire";
    Pack("Vampire/pack001.vpk", PackBuilder().Add("a.txt", "a").Add("b.txt", "b").Build());
    Pack("Vampire/pack000.vpk", PackBuilder().Type(1).Add("maps", "").Build());
    Pack("Vampire/Pack002.VPK", std::string(9, '\0'));
    Pack("Vampire/pack003.vpk", std::string(20, 'x') + test::Footer(1, 22, 0));  // refused
    Pack("Vampire/short.vpk", "tiny");                                         // refused
    Pack("Vampire/notes.txt", PackBuilder().Add("a", "").Build());
    Pack("Vampire/pack004.vpkx", PackBuilder().Add("a", "").Build());
    fs::create_directory(folder / "folder.vpk");

    const std::string prefix = folder.string() + (folder.string().back() == '/' ? "" : std::string(1, vpk::kFolderSeparator));
    const Result result = Run({"packs", folder.string()});
    EXPECT_EQ(result.status, 1);
    // Byte order: upper case before lower case.
    EXPECT_EQ(result.out, Lines({prefix + "Pack002.VPK\t0\tFile pack", prefix + "pack000.vpk\t1\tDirectory pack",
                                 prefix + "pack001.vpk\t2\tFile pack"}));
    EXPECT_EQ(result.err, Lines({"Invalid header found", "Failed to parse VPK file",
                                 "File too small to be a VPK file", "Failed to parse VPK file"}));

    fs::remove(folder / "pack003.vpk");
    fs::remove(folder / "short.vpk");
    const Result clean = Run({"packs", folder.string()});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");

    const Result missing = Run({"packs", (dir.Path() / "nowhere").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err, "");
}

TEST_F(CliTest, ListShowsNumberNameSizeAndType)
{
    const std::string filePack = Pack("files.vpk", PackBuilder()
                                                       .Add("dlg/main characters/regent.dlg", "{ }\r\n")
                                                       .Add("readme", "r")
                                                       .Add(std::string("cut\0.txt", 8), "zero in name")
                                                       .Add("a/b.c.txt", "")
                                                       .Build());
    const std::string dirPack = Pack("dirs.vpk", PackBuilder().Type(2).Add("maps/sub", "xyz").Add("x", "").Build());
    const std::string empty = Pack("empty.vpk", std::string(9, '\0'));

    struct Case {
        std::string pack;
        std::string out;
    };
    const Case cases[] = {
        {filePack, Lines({"1\tdlg/main characters/regent.dlg\t5\tdlg", "2\treadme\t1\t", "3\tcut\t12\t",
                          "4\ta/b.c.txt\t0\tc"})},
        {dirPack, Lines({"1\tmaps/sub\t3\tDIR", "2\tx\t0\tDIR"})},
        {empty, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pack);
        const Result result = Run({"list", c.pack});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(CliTest, FailuresPrintTheArchiveMessagesAndExitWithOne)
{
    const std::string badFooter = Pack("bad.vpk", std::string(20, 'x') + test::Footer(1, 22, 0));
    const std::string tooMany = Pack("many.vpk", PackBuilder().Add("a", "").Count(1000).Build());
    const std::string longName = Pack("long.vpk", "data" + test::Le32(300) + std::string(300, 'n') + test::Footer(1, 4, 0));
    const std::string good = Pack("good.vpk", PackBuilder().Add("a.txt", "abc").Build());
    const std::string missing = (dir.Path() / "missing.vpk").string();

    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"list", missing}, Lines({"Error opening file"})},
        {{"list", badFooter}, Lines({"Invalid header found", "Failed to parse VPK file"})},
        {{"list", tooMany}, Lines({"Entry count too large for file size"})},
        {{"list", longName}, Lines({"Entry name too long"})},
        {{"cat", missing, "1"}, Lines({"Error opening file"})},
        {{"cat", good, "0"}, Lines({"Index out of range"})},
        {{"cat", good, "2"}, Lines({"Index out of range"})},
        {{"cat", good, "99999999999"}, Lines({"Index out of range"})},
        {{"extract", good, "2", "-C", "out"}, Lines({"Index out of range"})},
        {{"extract", badFooter}, Lines({"Invalid header found", "Failed to parse VPK file"})},
    };
    fs::create_directory(dir.Path() / "out");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_TRUE(fs::is_empty(dir.Path() / "out"));
}

TEST_F(CliTest, CatWritesTheEntryBytesUnchanged)
{
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary.push_back(static_cast<char>(i));
    binary += "\r\n\n\r\x1a\x00 end";
    PackBuilder builder;
    builder.Add("bin/all.bin", binary).Add("text.txt", "line one\r\nline two\n").Add("empty", "");
    std::string bytes = builder.Build();
    const std::string pack = Pack("p.vpk", bytes);

    EXPECT_EQ(Run({"cat", pack, "1"}).out, binary);
    EXPECT_EQ(Run({"cat", pack, "2"}).out, "line one\r\nline two\n");
    const Result empty = Run({"cat", pack, "3"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "");

    // A pack of two records and the footer is 49 bytes; an entry asking for
    // 10 bytes from 45, or for 4 GiB, is refused and nothing is written.
    const std::string beyond = Pack("beyond.vpk", PackBuilder()
                                                      .AddWithLocation("tail.bin", 45, 10)
                                                      .AddWithLocation("bomb.bin", 0, 0xFFFFFFFF)
                                                      .Build());
    ASSERT_EQ(test::ReadFile(beyond).size(), 49u);
    for (const char* number : {"1", "2"}) {
        const Result refused = Run({"cat", beyond, number});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err, Lines({"Entry data lies past the end of the pack"}));
    }
}

TEST_F(CliTest, ExtractWritesEntriesBelowTheGivenFolder)
{
    const std::string pack = Pack("p.vpk", PackBuilder()
                                               .Add("dlg/hollywood/isaac.dlg", "isaac\r\n")
                                               .Add("top.txt", "top")
                                               .Add("../escape.txt", "out")
                                               .Add("python/init.py", "")
                                               .Build());
    fs::create_directory(dir.Path() / "all");
    const Result all = Run({"extract", pack, "-C", "all"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out, "");
    EXPECT_EQ(all.err, Lines({"Unsafe target path refused"}));
    EXPECT_EQ(test::Tree(dir.Path() / "all"),
              (std::vector<std::string>{"dlg/", "dlg/hollywood/", "dlg/hollywood/isaac.dlg", "python/",
                                        "python/init.py", "top.txt"}));
    EXPECT_EQ(test::ReadFile(dir.Path() / "all" / "dlg" / "hollywood" / "isaac.dlg"), "isaac\r\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "escape.txt"));

    // Chosen entries, in the given order; without -C into the current folder.
    const Result some = Run({"extract", pack, "2", "1"});
    EXPECT_EQ(some.status, 0);
    EXPECT_EQ(some.err, "");
    EXPECT_EQ(test::ReadFile(dir.Path() / "top.txt"), "top");
    EXPECT_EQ(test::ReadFile(dir.Path() / "dlg" / "hollywood" / "isaac.dlg"), "isaac\r\n");

    const Result noFolder = Run({"extract", pack, "-C", "nowhere"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err, "");
    EXPECT_FALSE(fs::exists(dir.Path() / "nowhere"));

    const std::string dirPack = Pack("d.vpk", PackBuilder().Type(1).Add("maps/a b/c", "").Add("sound", "").Build());
    fs::create_directory(dir.Path() / "dirs");
    const Result folders = Run({"extract", dirPack, "-C", "dirs"});
    EXPECT_EQ(folders.status, 0);
    EXPECT_EQ(folders.err, "");
    EXPECT_EQ(test::Tree(dir.Path() / "dirs"),
              (std::vector<std::string>{"maps/", "maps/a b/", "maps/a b/c/", "sound/"}));
}

TEST_F(CliTest, EntriesAreChosenByNumberNameOrPattern)
{
    const std::string pack = Pack("p.vpk", PackBuilder()
                                               .Add("dlg/hollywood/isaac.dlg", "isaac")
                                               .Add("dlg/main characters/regent.dlg", "regent")
                                               .Add("readme.txt", "read")
                                               .Add("123", "digits")
                                               .Build());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {{"list", pack, "**.DLG"}, 0, Lines({"1\tdlg/hollywood/isaac.dlg\t5\tdlg", "2\tdlg/main characters/regent.dlg\t6\tdlg"}), ""},
        // Directory order whatever the order of the arguments; "3" is a number.
        {{"list", pack, "readme.txt", "3", "dlg/*/isaac.dlg"}, 0, Lines({"1\tdlg/hollywood/isaac.dlg\t5\tdlg", "3\treadme.txt\t4\ttxt"}), ""},
        {{"list", pack, "*.dlg", "9"}, 1, "", Lines({"Index out of range", "tessaro-cli: no entry matches *.dlg"})},
        {{"cat", pack, "DLG/Hollywood/Isaac.dlg"}, 0, "isaac", ""},
        {{"cat", pack, "dlg/**"}, 0, "isaacregent", ""},
        {{"cat", pack, "4"}, 0, "digits", ""},
        {{"cat", pack, "123"}, 1, "", Lines({"Index out of range"})},
        {{"cat", pack, "nothing*"}, 1, "", Lines({"tessaro-cli: no entry matches nothing*"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2]);
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
    }

    // A pattern that matches nothing is reported; the others still run.
    fs::create_directory(dir.Path() / "x");
    const Result extract = Run({"extract", pack, "**/*.dlg", "missing.txt", "3", "-C", "x"});
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.err, Lines({"tessaro-cli: no entry matches missing.txt"}));
    EXPECT_EQ(test::Tree(dir.Path() / "x"),
              (std::vector<std::string>{"dlg/", "dlg/hollywood/", "dlg/hollywood/isaac.dlg", "dlg/main characters/",
                                        "dlg/main characters/regent.dlg", "readme.txt"}));
}

TEST_F(CliTest, FindSearchesEveryPackOfAFolder)
{
    const fs::path folder = dir.Path() / "Vampire";
    Pack("Vampire/pack001.vpk", PackBuilder().Add("dlg/a.dlg", "aa").Add("b.txt", "b").Build());
    Pack("Vampire/pack002.vpk", std::string(20, 'x') + test::Footer(1, 22, 0));  // refused
    Pack("Vampire/pack003.vpk", PackBuilder().Add("scripts/A.DLG", "A").Add("c.txt", "").Build());
    Pack("Vampire/pack004.vpk", PackBuilder().Type(1).Add("dlg", "").Build());
    const std::string prefix = folder.string() + std::string(1, vpk::kFolderSeparator);

    const Result found = Run({"find", folder.string(), "**.dlg", "dlg", "**.mdl"});
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, Lines({prefix + "pack001.vpk\t1\tdlg/a.dlg\t2", prefix + "pack003.vpk\t1\tscripts/A.DLG\t1",
                                prefix + "pack004.vpk\t1\tdlg\t0"}));
    EXPECT_EQ(found.err, Lines({"Invalid header found", "Failed to parse VPK file", "tessaro-cli: no entry matches **.mdl"}));

    fs::remove(folder / "pack002.vpk");
    const Result clean = Run({"find", folder.string(), "*.txt"});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");
    EXPECT_EQ(clean.out, Lines({prefix + "pack001.vpk\t2\tb.txt\t1", prefix + "pack003.vpk\t2\tc.txt\t0"}));
#ifndef _WIN32
    // A FIFO bearing a pack's name, which nothing writes to, is refused
    // rather than waited on.
    ASSERT_EQ(mkfifo((folder / "pack002.vpk").c_str(), 0600), 0);
    const Result fifo = Run({"find", folder.string(), "*.txt"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, Lines({"Error opening file"}));
    EXPECT_EQ(fifo.out, clean.out);
#endif

    const Result missing = Run({"find", (dir.Path() / "nowhere").string(), "*"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err, "");
}

// Every file below folder, as sorted names with their bytes.
std::vector<std::pair<std::string, std::string>> Contents(const fs::path& folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : test::Tree(folder)) {
        if (name.back() != '/')
            files.emplace_back(name, test::ReadFile(folder / name));
    }
    return files;
}

TEST_F(CliTest, PackThenExtractGivesTheSameFiles)
{
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary.push_back(static_cast<char>(i));
    const fs::path src = dir.Path() / "mod";
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"dlg/main characters/regent.dlg", "{ 1 }\r\n"}, {"models/a.mdl", binary}, {"empty.txt", ""}, {"Top.TXT", "t"}}) {
        fs::create_directories((src / name).parent_path());
        test::WriteFile(src / name, bytes);
    }
    test::WriteFile(dir.Path() / "mod.vpk", "an older pack, replaced");

    const Result packed = Run({"pack", "mod", "mod.vpk"});
    EXPECT_EQ(packed.status, 0);
    EXPECT_EQ(packed.out, "");
    EXPECT_EQ(packed.err, "");
    EXPECT_EQ(Run({"list", "mod.vpk"}).out, Lines({"1\tTop.TXT\t1\tTXT", "2\tdlg/main characters/regent.dlg\t7\tdlg",
                                                 "3\tempty.txt\t0\ttxt", "4\tmodels/a.mdl\t256\tmdl"}));
    fs::create_directory(dir.Path() / "x");
    EXPECT_EQ(Run({"extract", "mod.vpk", "-C", "x"}).status, 0);
    EXPECT_EQ(Contents(dir.Path() / "x"), Contents(src));

    // Refused: the pack would land in the folder it packs.
    const Result inside = Run({"pack", "mod", "mod/dlg/self.vpk"});
    EXPECT_EQ(inside.status, 1);
    EXPECT_EQ(inside.err, Lines({"tessaro-cli: can't pack into mod/dlg/self.vpk: it lies inside mod"}));
    EXPECT_FALSE(fs::exists(src / "dlg" / "self.vpk"));
}

// The two halves of a texture built by the test; spoil() may damage them.
void AddTexture(PackBuilder& builder, const std::string& tth, const std::string& ttz, const test::VtfBuilder& vtf,
                bool corrupt = false)
{
    test::TexturePairBuilder pair = test::TexturePairBuilder::Cut(vtf.Build(), 64);
    if (corrupt)
        pair.ttz[0] = 'y';
    builder.Add(tth, pair.Tth()).Add(ttz, pair.ttz);
}

test::VtfBuilder Dxt5WithMips()
{
    test::VtfBuilder vtf;
    vtf.format = 15;
    vtf.width = 8;
    vtf.height = 8;
    vtf.mips = 4;
    return vtf;
}

// A PNG's signature and the size in its header.
std::string PngSize(const std::string& file)
{
    if (file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || file.size() < 24)
        return "not a PNG";
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(file[at]) << 24 | static_cast<unsigned char>(file[at + 1]) << 16 |
                static_cast<unsigned char>(file[at + 2]) << 8 | static_cast<unsigned char>(file[at + 3]));
    };
    return std::to_string(be32(16)) + "x" + std::to_string(be32(20));
}

TEST_F(CliTest, TextureConvertsTheTexturesNamed)
{
    PackBuilder builder;
    AddTexture(builder, "materials/a.tth", "materials/a.ttz", test::VtfBuilder{});        // 1, 2
    AddTexture(builder, "materials/B.TTH", "materials/b.ttz", Dxt5WithMips());            // 3, 4
    AddTexture(builder, "materials/broken.tth", "materials/broken.ttz", test::VtfBuilder{}, true);  // 5, 6
    builder.Add("materials/readme.txt", "text");                                          // 7
    AddTexture(builder, "../evil.tth", "../evil.ttz", test::VtfBuilder{});                // 8, 9
    const std::string pack = Pack("p.vpk", builder.Build());
    const std::string corrupt = "materials/broken.tth: .ttz stream is corrupt";

    // A pattern over both halves gives each texture once; the non-texture it
    // matches is skipped, the broken one reported, the others still written.
    const Result some = Run({"texture", pack, "materials/*", "-C", "."});
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(some.out, "");
    EXPECT_EQ(some.err, Lines({corrupt}));
    EXPECT_EQ(test::Tree(dir.Path() / "materials"), (std::vector<std::string>{"B.png", "a.png"}));
    EXPECT_EQ(PngSize(test::ReadFile(dir.Path() / "materials" / "a.png")), "8x4");
    EXPECT_EQ(PngSize(test::ReadFile(dir.Path() / "materials" / "B.png")), "8x8");

    // Named entries that are not textures are reported; numbers and either
    // half name a texture; the folders are made as extraction makes them.
    fs::create_directory(dir.Path() / "v");
    const Result vtf = Run({"texture", pack, "7", "materials/b.ttz", "--format", "vtf", "nothing*", "-C", "v"});
    EXPECT_EQ(vtf.status, 1);
    EXPECT_EQ(vtf.err, Lines({"tessaro-cli: materials/readme.txt is not a texture", "tessaro-cli: no entry matches nothing*"}));
    EXPECT_EQ(test::Tree(dir.Path() / "v"), (std::vector<std::string>{"materials/", "materials/B.vtf"}));
    EXPECT_EQ(test::ReadFile(dir.Path() / "v" / "materials" / "B.vtf"), Dxt5WithMips().Build());

    fs::create_directory(dir.Path() / "t");
    const Result tga = Run({"texture", "--format", "tga", pack, "**", "-C", "t"});
    EXPECT_EQ(tga.status, 1);
    EXPECT_EQ(tga.err, Lines({corrupt, "Unsafe target path refused"}));
    const std::string a = test::ReadFile(dir.Path() / "t" / "materials" / "a.tga");
    ASSERT_EQ(a.size(), 18u + 8 * 4 * 4);
    EXPECT_EQ(a[2], 2);   // uncompressed true colour
    EXPECT_EQ(a[16], 32); // bits per pixel
    EXPECT_EQ(a.substr(18, 4), "\xA5\xA5\xA5\xA5");
    EXPECT_FALSE(fs::exists(dir.Path() / "evil.tga"));
    EXPECT_EQ(test::Tree(dir.Path() / "t"), (std::vector<std::string>{"materials/", "materials/B.tga", "materials/a.tga"}));

    const Result info = Run({"texture", "--info", pack, "**.tth", "materials/readme.txt"});
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.out, Lines({"materials/a.tth\t8x4\tBGRA8888\t1\t1", "materials/B.TTH\t8x8\tDXT5\t4\t1",
                               "../evil.tth\t8x4\tBGRA8888\t1\t1"}));
    // Choosing comes first, as with extract: its problems are told first.
    EXPECT_EQ(info.err, Lines({"tessaro-cli: materials/readme.txt is not a texture", corrupt}));
    EXPECT_EQ(Run({"texture", "--info", pack, "**.txt"}).err, Lines({"tessaro-cli: no texture matches **.txt"}));
}

TEST_F(CliTest, TexturesLandWhereExtractionPutsFilesAndNowhereElse)
{
    // The pack itself bears a name a texture converts to; a backslash
    // separates folders; (where links can be made here) a folder is a link
    // leading out of the target.
    PackBuilder builder;
    AddTexture(builder, "p.tth", "p.ttz", test::VtfBuilder{});
    AddTexture(builder, "m\\c.tth", "m\\c.ttz", test::VtfBuilder{});
    AddTexture(builder, "out/d.tth", "out/d.ttz", test::VtfBuilder{});
    const std::string pack = Pack("p.vtf", builder.Build());
    const std::string packBytes = test::ReadFile(pack);
    std::vector<std::string> refused{"Target is the pack being read: refused"};
#ifndef _WIN32
    fs::create_directory(dir.Path() / "elsewhere");
    fs::create_directory_symlink("elsewhere", dir.Path() / "out");
    refused.push_back("Link in target path refused");
#endif

    const Result result = Run({"texture", "p.vtf", "**.tth", "--format", "vtf"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, Lines(refused));
    EXPECT_EQ(test::ReadFile(pack), packBytes);
    EXPECT_EQ(test::ReadFile(dir.Path() / "m" / "c.vtf"), test::VtfBuilder{}.Build());
#ifndef _WIN32
    EXPECT_TRUE(fs::is_empty(dir.Path() / "elsewhere"));
#endif
}

TEST_F(CliTest, TexturesOnTwoThreadsGiveWhatOneGives)
{
    // Every fifth texture broken; the rest written in the order named.
    PackBuilder builder;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "m/t" + std::to_string(i);
        AddTexture(builder, name + ".tth", name + ".ttz", i % 2 == 0 ? test::VtfBuilder{} : Dxt5WithMips(), i % 5 == 2);
        if (i % 5 == 2)
            expected.push_back(name + ".tth: .ttz stream is corrupt");
    }
    const std::string pack = Pack("many.vpk", builder.Build());
    std::vector<std::vector<std::pair<std::string, std::string>>> written;
    for (const char* threads : {"1", "2"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const test::Environment setting("TESSARO_EXTRACT_THREADS", threads);
        const fs::path out = dir.Path() / (std::string("out") + threads);
        fs::create_directory(out);
        const Result result = Run({"texture", pack, "**", "-C", out.string()});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, Lines(expected));
        written.push_back(Contents(out));
    }
    EXPECT_EQ(written[0].size(), 32u);
    EXPECT_EQ(written[0], written[1]);
}

#ifndef _WIN32
TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure)
{
    // /dev/full refuses every write, as a full disk behind a redirection.
    const std::string pack = Pack("p.vpk", PackBuilder().Add("a.txt", "abc").Build());
    const std::string err = (dir.Path() / "err.txt").string();
    for (const std::string& args : {"list " + Quote(pack), "cat " + Quote(pack) + " 1", "packs " + Quote(dir.Path().string())}) {
        SCOPED_TRACE(args);
        const std::string command = Quote(TESSARO_CLI_PATH) + " " + args + " >/dev/full 2>" + Quote(err);
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        EXPECT_EQ(test::ReadFile(err), "tessaro-cli: can't write to standard output\n");
    }
}
#endif

TEST_F(CliTest, RealPacksFromTheGame)
{
    TESSARO_REQUIRE_TESTDATA();
    const std::string folder = test::HostPath(TESSARO_TESTDATA_DIR);
    const std::string sep(1, vpk::kFolderSeparator);
    const Result packs = Run({"packs", folder});
    EXPECT_EQ(packs.status, 0);
    EXPECT_EQ(packs.err, "");
    EXPECT_EQ(packs.out, Lines({folder + sep + "wesp_official_pack102.vpk\t0\tFile pack",
                                folder + sep + "wesp_official_pack103.vpk\t7\tFile pack"}));

    const std::string pack = test::TestDataPath("wesp_official_pack103.vpk");
    const Result list = Run({"list", pack});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out.rfind("1\tdlg/hollywood/isaac.dlg\t", 0), 0u);
    EXPECT_NE(list.out.find("\tdlg/main characters/regent.dlg\t"), std::string::npos);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 7);

    fs::create_directory(dir.Path() / "x");
    const Result extract = Run({"extract", pack, "-C", "x"});
    EXPECT_EQ(extract.status, 0);
    EXPECT_EQ(extract.err, "");
    // The entries lie back to back in list order: the files joined are the
    // pack's bytes before its directory, read here from the file itself.
    std::string joined;
    std::size_t at = 0;
    for (int number = 1; number <= 7; ++number) {
        const std::size_t nameBegin = list.out.find('\t', at) + 1;
        const std::size_t nameEnd = list.out.find('\t', nameBegin);
        at = list.out.find('\n', nameEnd) + 1;
        joined += test::ReadFile(dir.Path() / "x" / list.out.substr(nameBegin, nameEnd - nameBegin));
    }
    EXPECT_EQ(joined, test::DataBeforeDirectory(test::ReadFile(pack)));
    const Result cat = Run({"cat", pack, "2"});
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(cat.out, test::ReadFile(dir.Path() / "x" / "dlg" / "main characters" / "regent.dlg"));

    // Packed again from what was extracted: the same names and sizes (in byte
    // order now), and extracted again, the same files.
    const Result packed = Run({"pack", "x", "again.vpk"});
    ASSERT_EQ(packed.status, 0) << packed.err;
    auto namesAndSizes = [](const std::string& text) {
        std::vector<std::string> lines;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t end = text.find('\n', from);
            const std::string line = text.substr(from, end - from);
            const std::size_t name = line.find('\t') + 1;
            lines.push_back(line.substr(name, line.rfind('\t') - name));
            from = end + 1;
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    EXPECT_EQ(namesAndSizes(Run({"list", "again.vpk"}).out), namesAndSizes(list.out));
    fs::create_directory(dir.Path() / "y");
    ASSERT_EQ(Run({"extract", "again.vpk", "-C", "y"}).status, 0);
    EXPECT_EQ(Contents(dir.Path() / "y"), Contents(dir.Path() / "x"));

    const Result empty = Run({"list", test::TestDataPath("wesp_official_pack102.vpk")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

}  // namespace
