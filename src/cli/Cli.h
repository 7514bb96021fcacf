// What the commands of tessaro-cli share: the message sink on stderr and
// the exit status it gives, buffered standard output, and the ENTRY
// arguments (numbers, names and patterns) resolved against a pack.
#pragma once

#include "vpk/EntryPattern.h"
#include "vpk/Extractor.h"
#include "vpk/MessageSink.h"
#include "vpk/VpkArchive.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitMessages = 1;
constexpr int kExitUsage = 2;

bool IsTerminal(std::FILE* stream);
bool ChangeDirectory(const char* folder);

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

extern StderrMessages messages;

int ExitStatus();

// An entry NUMBER counts from 1; 0 and numbers past 32 bits give an index
// that no pack has. False when the text is not a number.
bool ParseEntryNumber(const char* text, std::uint32_t& index);

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
bool FolderPacks(const std::string& folder, std::vector<std::string>& packPaths);

bool Load(VpkArchive& archive, const char* pack);

// One ENTRY argument: a NUMBER, or a NAME or PATTERN.
struct EntrySelector {
    std::string text;
    bool isNumber = false;
    std::uint32_t index = 0;
    std::unique_ptr<EntryPattern> pattern;
    bool matched = false;
};

// True when an argument is an entry NUMBER: digits only, as before names were
// accepted.
bool IsEntryNumber(const char* text);

// False for an argument that is neither: empty, or an option.
bool ParseSelector(const char* text, EntrySelector& selector);

// Marks the patterns that match name; true when one did.
bool MatchAny(std::vector<EntrySelector>& selectors, const char* name);

// A NAME or PATTERN that matched nothing is a problem of its own; the others
// still run.
void ReportUnmatched(const std::vector<EntrySelector>& selectors);

// The entries the selectors name, in the order given, each pattern's matches
// in directory order. Numbers pass unchecked.
std::vector<std::uint32_t> Resolve(const VpkArchive& archive, std::vector<EntrySelector>& selectors);

// Whether extraction may take a second thread (TESSARO_EXTRACT_THREADS).
using vpk::SecondThreadWanted;

// Parses argv[first..] as ENTRY arguments; false for one that is none.
bool ParseSelectors(int argc, char** argv, int first, std::vector<EntrySelector>& selectors);

}  // namespace cli
