#include "viewer/RunFolder.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

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

// True when `name` has the shape RunFolderName gives; `processId` gets its id.
bool ParseRunFolderName(const std::string& name, DWORD& processId) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(name.c_str(), &end, 10);
    if (end == name.c_str() || *end != '-' || end[1] == '\0') return false;
    for (const char* p = end + 1; *p != '\0'; ++p) {
        if (!((*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'))) return false;
    }
    processId = static_cast<DWORD>(id);
    return true;
}

}  // namespace

std::string TemporaryRoot() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof temp, temp);
    std::string root = length > 0 && length < sizeof temp ? std::string(temp, length) : std::string(".\\");
    if (root.back() != '\\' && root.back() != '/') root += '\\';
    return root + "Tessaro\\";
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
    const std::string own = root + RunFolderName(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(WithoutLastSeparator(root).c_str(), nullptr);
    ::CreateDirectoryA(WithoutLastSeparator(own).c_str(), nullptr);
    return own;
}

std::string RunFolders::NewGestureFolder() {
    const std::string own = Own();
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
    ForEachName(folder, [&](const std::string& name, DWORD attributes) {
        DWORD processId = 0;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !ParseRunFolderName(name, processId)) return;
        const std::string now = RunFolderName(processId);
        // The process is gone, or its id went to one started later.
        if (now != "?" && now != name) RemoveFolderTree(folder + "\\" + name);
    });
}

void RunFolders::RemoveOwn() {
    RemoveFolderTree(root + RunFolderName(::GetCurrentProcessId()));
    // The root goes too when no other run keeps a folder in it.
    ::RemoveDirectoryA(WithoutLastSeparator(root).c_str());
}

RunFolders& ProgramRunFolders() {
    static RunFolders folders(TemporaryRoot());
    return folders;
}

void RemoveFolderTree(const std::string& folder) {
    ForEachName(folder, [&](const std::string& name, DWORD attributes) {
        const std::string path = folder + "\\" + name;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            RemoveFolderTree(path);
        } else if (isFolder) {
            ::RemoveDirectoryA(path.c_str());  // the link only, never what it leads to
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
