#include "viewer/RunFolder.h"

#include <cstdio>
#include <utility>
#include <vector>

#include <shellapi.h>

namespace viewer {
namespace {

// Each name in `folder` (no trailing separator) but "." and "..".
template <typename Visit>
void ForEachName(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") visit(name, found.dwFileAttributes);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

std::string WithoutLastSeparator(std::string path) {
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// True when `name` is exactly what RunFolderName gives ("<decimal id without
// leading zeros>-<16 lowercase hex digits>"); `processId` gets its id. Any
// other name below the root (a sign, a space, a shorter time) is not a run's.
bool ParseRunFolderName(const std::string& name, DWORD& processId) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 10 || name.size() != dash + 17) return false;
    if (name[0] == '0' && dash > 1) return false;
    unsigned long long id = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        id = id * 10 + static_cast<unsigned>(name[i] - '0');
    }
    if (id > 0xFFFFFFFFull) return false;
    for (std::size_t i = dash + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    processId = static_cast<DWORD>(id);
    return true;
}

// True when `path` (no trailing separator) is a folder and no link to one.
bool PlainFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// The files the clipboard offers to paste, if any.
std::vector<std::string> ClipboardFiles() {
    std::vector<std::string> paths;
    if (!::IsClipboardFormatAvailable(CF_HDROP) || !::OpenClipboard(nullptr)) return paths;
    if (auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP))) {
        const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::string path(::DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
            path.resize(::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(path);
        }
    }
    ::CloseClipboard();
    return paths;
}

// True when one of `pasted` is `folder` (no trailing separator) or lies in it.
bool OffersFrom(const std::vector<std::string>& pasted, const std::string& folder) {
    for (const std::string& path : pasted) {
        if (path.size() >= folder.size() && ::lstrcmpiA(path.substr(0, folder.size()).c_str(), folder.c_str()) == 0 &&
            (path.size() == folder.size() || path[folder.size()] == '\\' || path[folder.size()] == '/')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string TemporaryRoot() {
    // However long %TEMP% is: never a folder relative to wherever the program
    // happens to run. Empty when there is none.
    std::string temp(MAX_PATH + 1, '\0');
    DWORD length = ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    if (length >= temp.size()) {
        temp.assign(length + 1, '\0');
        length = ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
    }
    if (length == 0 || length >= temp.size()) return std::string();
    temp.resize(length);
    if (temp.back() != '\\' && temp.back() != '/') temp += '\\';
    return temp + "Tessaro\\";
}

std::string RunFolderName(DWORD processId) {
    const bool self = processId == ::GetCurrentProcessId();
    HANDLE process = self ? ::GetCurrentProcess() : ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    // Systems before PROCESS_QUERY_LIMITED_INFORMATION refuse it as a parameter.
    if (process == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    }
    // No such process: no name. One we may not look at still exists.
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED ? std::string("?") : std::string();
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool timed = ::GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) != FALSE && code == STILL_ACTIVE;
    if (!self) ::CloseHandle(process);
    if (!running) return std::string();
    if (!timed) return std::string("?");
    char name[40];
    std::snprintf(name, sizeof name, "%lu-%08lx%08lx", static_cast<unsigned long>(processId),
                  static_cast<unsigned long>(created.dwHighDateTime), static_cast<unsigned long>(created.dwLowDateTime));
    return name;
}

RunFolders::RunFolders(std::string folder) : root(std::move(folder)) {}

std::string RunFolders::Own() {
    const std::string name = RunFolderName(::GetCurrentProcessId());
    // Without a name of its own the run has no folder (never the root itself).
    if (root.empty() || name.empty() || name == "?") return std::string();
    const std::string own = root + name + "\\";
    ::CreateDirectoryA(WithoutLastSeparator(root).c_str(), nullptr);
    ::CreateDirectoryA(WithoutLastSeparator(own).c_str(), nullptr);
    return own;
}

std::string RunFolders::NewGestureFolder() {
    const std::string own = Own();
    if (own.empty() || !PlainFolder(WithoutLastSeparator(own))) return std::string();
    // A number no folder of this run has yet.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string folder = own + std::to_string(++gestures);
        if (::CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

void RunFolders::RemoveLeftovers() {
    const std::string folder = WithoutLastSeparator(root);
    // A root that is a link leads to a folder that is not ours.
    if (root.empty() || !PlainFolder(folder)) return;
    // What the clipboard still offers stays until it offers something else.
    const std::vector<std::string> pasted = ClipboardFiles();
    ForEachName(folder, [&](const std::string& name, DWORD attributes) {
        DWORD processId = 0;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !ParseRunFolderName(name, processId)) return;
        const std::string now = RunFolderName(processId);
        // The process is gone, or its id went to one started later.
        if (now != "?" && now != name && !OffersFrom(pasted, folder + "\\" + name)) {
            RemoveFolderTree(folder + "\\" + name);
        }
    });
}

void RunFolders::RemoveOwn() {
    const std::string name = RunFolderName(::GetCurrentProcessId());
    if (root.empty() || name.empty() || name == "?" || !PlainFolder(WithoutLastSeparator(root))) return;
    const std::string own = root + name;
    // Entries copied and still on the clipboard stay for a paste after the
    // end: a later start removes them once the clipboard has moved on.
    const std::vector<std::string> pasted = ClipboardFiles();
    if (OffersFrom(pasted, own)) {
        ForEachName(own, [&](const std::string& gesture, DWORD) {
            if (!OffersFrom(pasted, own + "\\" + gesture)) RemoveFolderTree(own + "\\" + gesture);
        });
        ::RemoveDirectoryA(own.c_str());
    } else {
        RemoveFolderTree(own);
    }
    // The root goes too when no other run keeps a folder in it.
    ::RemoveDirectoryA(WithoutLastSeparator(root).c_str());
}

RunFolders& ProgramRunFolders() {
    static RunFolders folders(TemporaryRoot());
    return folders;
}

void RemoveFolderTree(const std::string& folder) {
    const DWORD own = ::GetFileAttributesA(folder.c_str());
    if (own == INVALID_FILE_ATTRIBUTES || (own & FILE_ATTRIBUTE_DIRECTORY) == 0) return;
    if ((own & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryA(folder.c_str());  // the link only, never what it leads to
        return;
    }
    ForEachName(folder, [&](const std::string& name, DWORD attributes) {
        const std::string path = folder + "\\" + name;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveFolderTree(path);  // a link to a folder: the link only
        } else {
            if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
                ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            }
            ::DeleteFileA(path.c_str());  // fails, and stays, while another program has it open
        }
    });
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace viewer
