// tessaro-cli: the pack archive from the command line.
//
//   tessaro-cli packs FOLDER                        PATH<TAB>COUNT<TAB>KIND per pack
//   tessaro-cli list PACK                           NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE per entry
//   tessaro-cli cat PACK NUMBER                     the entry's bytes on stdout
//   tessaro-cli extract PACK [NUMBER...] [-C DIR]   entries to files below DIR
//
// The archive's messages go to stderr, one line each. Exit status: 0 when no
// message was shown, 1 when any was, 2 for wrong usage.
#include "PackFolder.h"

#include "vpk/FileSystem.h"
#include "vpk/MessageSink.h"
#include "vpk/Messages.h"
#include "vpk/VpkArchive.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
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
    "       tessaro-cli list PACK\n"
    "       tessaro-cli cat PACK NUMBER\n"
    "       tessaro-cli extract PACK [NUMBER...] [-C DIR]\n"
    "       tessaro-cli --help\n";

constexpr char kHelp[] =
    "\n"
    "  packs    one line per *.vpk file of FOLDER, by file name:\n"
    "           PATH<TAB>ENTRY COUNT<TAB>File pack|Directory pack\n"
    "  list     one line per entry of PACK, in directory order:\n"
    "           NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE\n"
    "  cat      the bytes of entry NUMBER (counted from 1) on stdout\n"
    "  extract  the given entries, or all of them, to files named after the\n"
    "           entries, below DIR (default: the current directory)\n"
    "\n"
    "Problems with a pack are written to stderr. Exit status: 0 when there\n"
    "were none, 1 when there were, 2 for wrong usage.\n";

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

int Packs(const std::string& folder)
{
    std::vector<std::string> names;
    if (!FindPackFiles(folder, names)) {
        messages.Complain("can't read folder " + folder);
        return ExitStatus();
    }
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != vpk::kFolderSeparator)
        prefix += vpk::kFolderSeparator;
    Output out;
    for (const std::string& name : names) {
        const std::string packPath = prefix + name;
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

int List(const char* pack)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    Output out;
    const std::uint32_t count = archive.GetEntryCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        const VpkEntry* entry = archive.GetEntry(i);
        out.Put(i + 1).Put('\t').Put(entry->name).Put('\t').Put(entry->dataSize).Put('\t');
        out.Put(archive.GetEntryType(i));
        out.EndLine();
    }
    out.Finish();
    return ExitStatus();
}

int Cat(const char* pack, std::uint32_t index)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    if (archive.GetEntry(index) == nullptr) {
        // Reading shows nothing for an index out of range; extraction's text
        // says what went wrong.
        vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
        return ExitStatus();
    }
    if (!archive.CheckEntryData(index))
        return ExitStatus();
    const std::uint32_t size = archive.GetEntrySize(index);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
    if (!data) {
        vpk::ShowMessage(vpk::messages::kAllocationFailed);
        return ExitStatus();
    }
    const int before = messages.Shown();
    archive.ReadEntry(index, data.get());
    if (messages.Shown() != before)
        return ExitStatus();  // the read failed: write nothing
    if (std::fwrite(data.get(), 1, size, stdout) != size || std::fflush(stdout) != 0)
        messages.Complain("can't write to standard output");
    return ExitStatus();
}

int Extract(const char* pack, const std::vector<std::uint32_t>& numbers, const char* folder)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    // The pack is open, so its own path no longer matters.
    if (folder != nullptr && !ChangeDirectory(folder)) {
        messages.Complain(std::string("can't enter folder ") + folder);
        return ExitStatus();
    }
    const bool all = numbers.empty();
    const std::uint32_t total = all ? archive.GetEntryCount() : static_cast<std::uint32_t>(numbers.size());
    const bool progress = total > 1 && IsTerminal(stderr);
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextUpdate = Clock::now();
    for (std::uint32_t n = 0; n < total; ++n) {
        const std::uint32_t index = all ? n : numbers[n];
        const VpkEntry* entry = archive.GetEntry(index);
        archive.Extract(index, entry != nullptr ? entry->name : "");
        if (progress && Clock::now() >= nextUpdate) {
            char line[64];
            std::snprintf(line, sizeof line, "Extracting %u of %u entries", n + 1, total);
            messages.ShowProgress(line);
            nextUpdate = Clock::now() + std::chrono::milliseconds(100);
        }
    }
    messages.ClearProgress();
    return ExitStatus();
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
    if (command == "packs" && argc == 3)
        return Packs(argv[2]);
    if (command == "list" && argc == 3)
        return List(argv[2]);
    if (command == "cat" && argc == 4) {
        std::uint32_t index = 0;
        if (!ParseEntryNumber(argv[3], index))
            return Usage();
        return Cat(argv[2], index);
    }
    if (command == "extract") {
        const char* pack = nullptr;
        const char* folder = nullptr;
        std::vector<std::uint32_t> numbers;
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "-C") == 0) {
                if (i + 1 >= argc || folder != nullptr)
                    return Usage();
                folder = argv[++i];
            } else if (pack == nullptr) {
                pack = argv[i];
            } else {
                std::uint32_t index = 0;
                if (!ParseEntryNumber(argv[i], index))
                    return Usage();
                numbers.push_back(index);
            }
        }
        if (pack == nullptr)
            return Usage();
        return Extract(pack, numbers, folder);
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
