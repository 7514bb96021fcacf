// tessaro-cli: the pack archive from the command line.
//
//   tessaro-cli packs FOLDER                          PATH<TAB>COUNT<TAB>KIND per pack
//   tessaro-cli list PACK [ENTRY...]                  NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE per entry
//   tessaro-cli cat PACK ENTRY                        the entry's bytes on stdout
//   tessaro-cli extract PACK [ENTRY...] [-C DIR]      entries to files below DIR
//   tessaro-cli find FOLDER PATTERN...                PACK<TAB>NUMBER<TAB>NAME<TAB>SIZE per match
//   tessaro-cli pack SOURCE_DIR OUT.vpk               a file pack of a folder tree
//
// An ENTRY is a NUMBER (digits only, counted from 1), a NAME or a PATTERN
// (EntryPattern.h). The archive's messages go to stderr, one line each. Exit
// status: 0 when no message was shown, 1 when any was, 2 for wrong usage.
#include "EntryPattern.h"
#include "Extractor.h"
#include "PackFolder.h"
#include "PackWriter.h"
#include "Version.h"

#include "vpk/FileSystem.h"
#include "vpk/HeldMessages.h"
#include "vpk/MessageSink.h"
#include "vpk/Messages.h"
#include "vpk/VpkArchive.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitMessages = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "usage: tessaro-cli packs FOLDER\n"
    "       tessaro-cli list PACK [ENTRY...]\n"
    "       tessaro-cli cat PACK ENTRY\n"
    "       tessaro-cli extract PACK [ENTRY...] [-C DIR]\n"
    "       tessaro-cli find FOLDER PATTERN...\n"
    "       tessaro-cli pack SOURCE_DIR OUT.vpk\n"
    "       tessaro-cli --help | --version\n";

constexpr char kHelp[] =
    "\n"
    "  packs    one line per *.vpk file of FOLDER, by file name:\n"
    "           PATH<TAB>ENTRY COUNT<TAB>File pack|Directory pack\n"
    "             tessaro-cli packs Vampire\n"
    "  list     one line per entry of PACK (or per entry matching an ENTRY),\n"
    "           in directory order: NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE\n"
    "             tessaro-cli list Vampire/pack103.vpk \"dlg/**\"\n"
    "  cat      the bytes of the ENTRY on stdout (of each match, in order)\n"
    "             tessaro-cli cat Vampire/pack103.vpk dlg/hollywood/isaac.dlg\n"
    "  extract  the given entries, or all of them, to files named after the\n"
    "           entries, below DIR (default: the current directory)\n"
    "             tessaro-cli extract Vampire/pack103.vpk \"*.txt\" 7 -C work\n"
    "  find     every entry matching a PATTERN in every *.vpk file of FOLDER:\n"
    "           PACK<TAB>NUMBER<TAB>NAME<TAB>SIZE\n"
    "             tessaro-cli find Vampire \"**regent*.dlg\"\n"
    "  pack     a file pack OUT.vpk of every file below SOURCE_DIR, named by\n"
    "           its path below it with \"/\"; OUT.vpk must lie outside it\n"
    "             tessaro-cli pack work mymod.vpk\n"
    "\n"
    "An ENTRY is a NUMBER (digits only, counted from 1), a NAME, or a PATTERN\n"
    "matching whole names: * any run within one folder name, ** any run\n"
    "across folders, ? one character; letters match in either case. Quote\n"
    "patterns so the shell leaves them alone. A NAME or PATTERN that matches\n"
    "nothing is reported.\n"
    "\n"
    "A modder's round: find the file, extract it, change it, pack the folder.\n"
    "  tessaro-cli find Vampire \"**isaac.dlg\"\n"
    "  tessaro-cli extract Vampire/pack103.vpk dlg/hollywood/isaac.dlg -C mod\n"
    "  (edit mod/dlg/hollywood/isaac.dlg)\n"
    "  tessaro-cli pack mod Vampire/pack104.vpk\n"
    "\n"
    "Problems are written to stderr. Exit status: 0 when there were none,\n"
    "1 when there were, 2 for wrong usage.\n";

// The version texts are spelled out for the resource compiler; they must
// agree with the numbers.
#define TESSARO_TEXT_OF_(x) #x
#define TESSARO_TEXT_OF(x) TESSARO_TEXT_OF_(x)
constexpr bool SameText(const char* a, const char* b)
{
    for (; *b != '\0'; ++a, ++b) {
        if (*a != *b)
            return false;
    }
    return *a == '\0';
}
static_assert(SameText(TESSARO_VERSION_TEXT,
                       TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) "." TESSARO_TEXT_OF(TESSARO_VERSION_MINOR) "." TESSARO_TEXT_OF(
                           TESSARO_VERSION_PATCH) "." TESSARO_TEXT_OF(TESSARO_VERSION_BUILD)));
static_assert(SameText(TESSARO_VERSION_BLOCK_TEXT,
                       TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) ", " TESSARO_TEXT_OF(TESSARO_VERSION_MINOR) ", " TESSARO_TEXT_OF(
                           TESSARO_VERSION_PATCH) ", " TESSARO_TEXT_OF(TESSARO_VERSION_BUILD)));
static_assert(SameText(TESSARO_ABOUT_VERSION_TEXT,
                       "Tessaro Version " TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) "." TESSARO_TEXT_OF(TESSARO_VERSION_MINOR)));

bool IsTerminal(std::FILE* stream)
{
#ifdef _WIN32
    // _isatty holds for any character device (NUL too), and under Wine also
    // for a file when the parent's own stream was a device: only a console
    // accepts GetConsoleMode.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

bool ChangeDirectory(const char* folder)
{
#ifdef _WIN32
    return _chdir(folder) == 0;
#else
    return chdir(folder) == 0;
#endif
}

// Writes each archive message as one line on stderr and remembers that one
// was shown. A progress line on the terminal is wiped first.
class StderrMessages final : public vpk::MessageSink {
public:
    void Show(const char* text) override
    {
        ++count;
        std::fflush(stdout);  // keep the order of lines when both go to one place
        ClearProgress();
        std::fputs(text, stderr);
        std::fputc('\n', stderr);
    }

    // Error of the tool itself, not of the archive.
    void Complain(const std::string& text) { Show(("tessaro-cli: " + text).c_str()); }

    void ShowProgress(const char* line)
    {
        std::fputc('\r', stderr);
        std::fputs(line, stderr);
        progressWidth = std::strlen(line);
        std::fflush(stderr);
    }

    void ClearProgress()
    {
        if (progressWidth == 0)
            return;
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(progressWidth), "");
        progressWidth = 0;
    }

    int Shown() const { return count; }

private:
    int count = 0;
    std::size_t progressWidth = 0;
};

StderrMessages messages;

int ExitStatus()
{
    return messages.Shown() == 0 ? kExitOk : kExitMessages;
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// An entry NUMBER counts from 1; 0 and numbers past 32 bits give an index
// that no pack has. False when the text is not a number.
bool ParseEntryNumber(const char* text, std::uint32_t& index)
{
    if (*text == '\0')
        return false;
    std::uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        if (value <= UINT32_MAX)
            value = value * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    index = value == 0 || value > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(value - 1);
    return true;
}

// Collects output and writes it in large pieces.
class Output {
public:
    Output() { text.reserve(kFlushAt + 512); }
    ~Output() { Flush(); }

    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& Put(const char* s)
    {
        text.append(s);
        return *this;
    }
    Output& Put(const std::string& s)
    {
        text.append(s);
        return *this;
    }
    Output& Put(char c)
    {
        text.push_back(c);
        return *this;
    }
    Output& Put(std::uint32_t value)
    {
        char digits[16];
        const int n = std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(value));
        text.append(digits, static_cast<std::size_t>(n));
        return *this;
    }
    void EndLine()
    {
        text.push_back('\n');
        if (text.size() >= kFlushAt)
            Flush();
    }
    void Flush()
    {
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
            failed = true;
        text.clear();
        if (std::fflush(stdout) != 0)
            failed = true;
    }
    // Flushes and reports output that could not be written (a full disk
    // behind a redirection), so a cut listing never ends with status 0.
    void Finish()
    {
        Flush();
        if (failed)
            messages.Complain("can't write to standard output");
        failed = false;
    }

private:
    static constexpr std::size_t kFlushAt = 64 * 1024;
    std::string text;
    bool failed = false;
};

// The *.vpk files of folder as paths, sorted by name; false after saying
// the folder can't be read.
bool FolderPacks(const std::string& folder, std::vector<std::string>& packPaths)
{
    std::vector<std::string> names;
    if (!FindPackFiles(folder, names)) {
        messages.Complain("can't read folder " + folder);
        return false;
    }
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != vpk::kFolderSeparator)
        prefix += vpk::kFolderSeparator;
    for (const std::string& name : names)
        packPaths.push_back(prefix + name);
    return true;
}

int Packs(const std::string& folder)
{
    std::vector<std::string> packPaths;
    if (!FolderPacks(folder, packPaths))
        return ExitStatus();
    Output out;
    for (const std::string& packPath : packPaths) {
        VpkArchive archive;
        if (!archive.Open(packPath.c_str())) {
            out.Flush();  // lines before this pack's messages
            continue;
        }
        out.Put(packPath).Put('\t').Put(archive.GetEntryCount()).Put('\t');
        out.Put(archive.IsDirectoryPack() ? "Directory pack" : "File pack");
        out.EndLine();
        archive.Close();
    }
    out.Finish();
    return ExitStatus();
}

bool Load(VpkArchive& archive, const char* pack)
{
    return archive.Open(pack) && archive.ReadDirectory();
}

// One ENTRY argument: a NUMBER, or a NAME or PATTERN.
struct EntrySelector {
    std::string text;
    bool isNumber = false;
    std::uint32_t index = 0;
    std::unique_ptr<EntryPattern> pattern;
    bool matched = false;
};

// False for an argument that is neither: empty, or an option.
bool ParseSelector(const char* text, EntrySelector& selector)
{
    if (*text == '\0' || *text == '-')
        return false;
    selector.text = text;
    selector.isNumber = IsEntryNumber(text);
    if (selector.isNumber)
        return ParseEntryNumber(text, selector.index);
    selector.pattern = std::make_unique<EntryPattern>(text);
    return true;
}

// Marks the patterns that match name; true when one did.
bool MatchAny(std::vector<EntrySelector>& selectors, const char* name)
{
    bool any = false;
    for (EntrySelector& selector : selectors) {
        if (selector.pattern && selector.pattern->Matches(name)) {
            selector.matched = true;
            any = true;
        }
    }
    return any;
}

// A NAME or PATTERN that matched nothing is a problem of its own; the others
// still run.
void ReportUnmatched(const std::vector<EntrySelector>& selectors)
{
    for (const EntrySelector& selector : selectors) {
        if (selector.pattern && !selector.matched)
            messages.Complain("no entry matches " + selector.text);
    }
}

// The entries the selectors name, in the order given, each pattern's matches
// in directory order. Numbers pass unchecked.
std::vector<std::uint32_t> Resolve(const VpkArchive& archive, std::vector<EntrySelector>& selectors)
{
    std::vector<std::uint32_t> indexes;
    for (EntrySelector& selector : selectors) {
        if (selector.isNumber) {
            indexes.push_back(selector.index);
            continue;
        }
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
            if (selector.pattern->Matches(archive.GetEntry(i)->name)) {
                selector.matched = true;
                indexes.push_back(i);
            }
        }
    }
    ReportUnmatched(selectors);
    return indexes;
}

int List(const char* pack, std::vector<EntrySelector>& selectors)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    const std::uint32_t count = archive.GetEntryCount();
    // Without selectors every entry; with them, those any selector names.
    std::vector<bool> chosen(selectors.empty() ? 0 : count, false);
    for (const EntrySelector& selector : selectors) {
        if (selector.isNumber && selector.index >= count)
            vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
        else if (selector.isNumber)
            chosen[selector.index] = true;
    }
    for (std::uint32_t i = 0; i < count && !selectors.empty(); ++i) {
        if (MatchAny(selectors, archive.GetEntry(i)->name))
            chosen[i] = true;
    }
    ReportUnmatched(selectors);
    Output out;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!selectors.empty() && !chosen[i])
            continue;
        const VpkEntry* entry = archive.GetEntry(i);
        out.Put(i + 1).Put('\t').Put(entry->name).Put('\t').Put(entry->dataSize).Put('\t');
        out.Put(archive.GetEntryType(i));
        out.EndLine();
    }
    out.Finish();
    return ExitStatus();
}

void CatEntry(VpkArchive& archive, std::uint32_t index)
{
    if (archive.GetEntry(index) == nullptr) {
        // Reading shows nothing for an index out of range; extraction's text
        // says what went wrong.
        vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
        return;
    }
    if (!archive.CheckEntryData(index))
        return;
    const std::uint32_t size = archive.GetEntrySize(index);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
    if (!data) {
        vpk::ShowMessage(vpk::messages::kAllocationFailed);
        return;
    }
    const int before = messages.Shown();
    archive.ReadEntry(index, data.get());
    if (messages.Shown() != before)
        return;  // the read failed: write nothing
    if (std::fwrite(data.get(), 1, size, stdout) != size || std::fflush(stdout) != 0)
        messages.Complain("can't write to standard output");
}

int Cat(const char* pack, std::vector<EntrySelector>& selectors)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    for (const std::uint32_t index : Resolve(archive, selectors))
        CatEntry(archive, index);
    return ExitStatus();
}

// TESSARO_EXTRACT_THREADS=1 keeps extraction on one thread (for measuring
// what the second one brings); =2 allows a second one even on a host of one
// CPU. Otherwise a second thread is used where a second CPU is.
bool SecondThreadWanted()
{
    const char* threads = std::getenv("TESSARO_EXTRACT_THREADS");
    if (threads != nullptr && std::strcmp(threads, "1") == 0)
        return false;
    if (threads != nullptr && std::strcmp(threads, "2") == 0)
        return true;
    return std::thread::hardware_concurrency() != 1;
}

int Extract(const char* pack, std::vector<EntrySelector>& selectors, const char* folder)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    std::vector<std::uint32_t> chosen = Resolve(archive, selectors);
    if (!selectors.empty() && chosen.empty())
        return ExitStatus();  // nothing matched: nothing to do
    if (selectors.empty()) {
        chosen.resize(archive.GetEntryCount());
        for (std::uint32_t i = 0; i < chosen.size(); ++i)
            chosen[i] = i;
    }
    // A second archive on the same pack lets a second thread extract; it is
    // opened while the pack's path still holds, and quietly: without it the
    // work is done on one thread all the same.
    VpkArchive helper;
    bool haveHelper = false;
    if (chosen.size() >= 64 && SecondThreadWanted()) {
        vpk::HeldMessages quiet;
        haveHelper = Load(helper, pack);
    }
    // The pack is open, so its own path no longer matters.
    if (folder != nullptr && !ChangeDirectory(folder)) {
        messages.Complain(std::string("can't enter folder ") + folder);
        return ExitStatus();
    }
    const bool progress = chosen.size() > 1 && IsTerminal(stderr);
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextUpdate = Clock::now();
    ExtractEntries(archive, haveHelper ? &helper : nullptr, chosen, [&](std::uint32_t done, std::uint32_t total) {
        if (progress && Clock::now() >= nextUpdate) {
            char line[64];
            std::snprintf(line, sizeof line, "Extracting %u of %u entries", done, total);
            messages.ShowProgress(line);
            nextUpdate = Clock::now() + std::chrono::milliseconds(100);
        }
    });
    messages.ClearProgress();
    return ExitStatus();
}

int Find(const std::string& folder, std::vector<EntrySelector>& patterns)
{
    std::vector<std::string> packPaths;
    if (!FolderPacks(folder, packPaths))
        return ExitStatus();
    Output out;
    for (const std::string& packPath : packPaths) {
        out.Flush();  // lines before this pack's messages
        VpkArchive archive;
        if (!Load(archive, packPath.c_str()))
            continue;
        const std::uint32_t count = archive.GetEntryCount();
        for (std::uint32_t i = 0; i < count; ++i) {
            const VpkEntry* entry = archive.GetEntry(i);
            if (!MatchAny(patterns, entry->name))
                continue;
            out.Put(packPath).Put('\t').Put(i + 1).Put('\t').Put(entry->name).Put('\t').Put(entry->dataSize);
            out.EndLine();
        }
    }
    out.Flush();
    ReportUnmatched(patterns);
    out.Finish();
    return ExitStatus();
}

int Pack(const std::string& source, const std::string& out)
{
    WritePack(source, out, [](const std::string& text) { messages.Complain(text); });
    return ExitStatus();
}

// Parses argv[first..] as ENTRY arguments; false for one that is none.
bool ParseSelectors(int argc, char** argv, int first, std::vector<EntrySelector>& selectors)
{
    for (int i = first; i < argc; ++i) {
        selectors.emplace_back();
        if (!ParseSelector(argv[i], selectors.back()))
            return false;
    }
    return true;
}

int Run(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (command == "--version" && argc == 2) {
        std::fputs("tessaro-cli " TESSARO_VERSION_TEXT "\n", stdout);
        return kExitOk;
    }
    std::vector<EntrySelector> selectors;
    if (command == "packs" && argc == 3)
        return Packs(argv[2]);
    if (command == "list" && argc >= 3)
        return ParseSelectors(argc, argv, 3, selectors) ? List(argv[2], selectors) : Usage();
    if (command == "cat" && argc == 4)
        return ParseSelectors(argc, argv, 3, selectors) ? Cat(argv[2], selectors) : Usage();
    if (command == "find" && argc >= 4) {
        // Every argument is a pattern here, digits too: there is no one pack
        // for a number to count in.
        for (int i = 3; i < argc; ++i) {
            if (*argv[i] == '\0' || *argv[i] == '-')
                return Usage();
            selectors.emplace_back();
            selectors.back().text = argv[i];
            selectors.back().pattern = std::make_unique<EntryPattern>(argv[i]);
        }
        return Find(argv[2], selectors);
    }
    if (command == "pack" && argc == 4)
        return Pack(argv[2], argv[3]);
    if (command == "extract") {
        const char* pack = nullptr;
        const char* folder = nullptr;
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "-C") == 0) {
                if (i + 1 >= argc || folder != nullptr)
                    return Usage();
                folder = argv[++i];
            } else if (pack == nullptr) {
                pack = argv[i];
            } else {
                selectors.emplace_back();
                if (!ParseSelector(argv[i], selectors.back()))
                    return Usage();
            }
        }
        if (pack == nullptr)
            return Usage();
        return Extract(pack, selectors, folder);
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Binary output: cat's bytes pass unchanged, and listings and messages
    // end their lines with "\n" as on other systems, not "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    vpk::SetMessageSink(&messages);
    const int status = Run(argc, argv);
    vpk::SetMessageSink(nullptr);
    return status;
}
