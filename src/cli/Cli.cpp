#include "Cli.h"

#include "PackFolder.h"

#include "vpk/Messages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

namespace cli {

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

StderrMessages messages;

int ExitStatus()
{
    return messages.Shown() == 0 ? kExitOk : kExitMessages;
}

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

bool Load(VpkArchive& archive, const char* pack)
{
    return archive.Open(pack) && archive.ReadDirectory();
}

bool IsEntryNumber(const char* text)
{
    if (*text == '\0')
        return false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

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

void ReportUnmatched(const std::vector<EntrySelector>& selectors)
{
    for (const EntrySelector& selector : selectors) {
        if (selector.pattern && !selector.matched)
            messages.Complain("no entry matches " + selector.text);
    }
}

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

bool ParseSelectors(int argc, char** argv, int first, std::vector<EntrySelector>& selectors)
{
    for (int i = first; i < argc; ++i) {
        selectors.emplace_back();
        if (!ParseSelector(argv[i], selectors.back()))
            return false;
    }
    return true;
}

}  // namespace cli
