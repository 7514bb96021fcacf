#include "app/InstallLocation.h"

#include <commdlg.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "win/FileDialog.h"
#include "win/MessageBox.h"

namespace app {
namespace {

constexpr DWORD kPathBuffer = 260;

constexpr const char* kNotInstalledQuestion =
    "Vampire: TM - Bloodlines does not appear to be installed on your system.\n"
    "Would you like to locate your Bloodlines executable manually?";
constexpr const char* kInvalidExecutable = "Invalid executable! Must be named vampire.exe!";
constexpr const char* kFunctionalityDisabled =
    "Because the tool is not aware of your Bloodlines installation path, some standard "
    "functionality will be disabled.";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string ToLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string ReadRegisteredInstallPath() {
    // The game's installer is a 32-bit program: on 64-bit Windows its key
    // lives in the 32-bit view, which a 64-bit build must ask for (the flag
    // changes nothing in a 32-bit process).
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return {};
    char buffer[kPathBuffer] = {};
    DWORD size = kPathBuffer;
    DWORD type = REG_NONE;
    LONG result = ::RegQueryValueExA(key, kInstallPathValue, nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    // Only text is a path: the bytes of a number or a binary value are not.
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    // A value that fills the whole buffer may carry no terminator: never read
    // past what the query wrote. Text of 260 characters or more does not fit
    // a path, so it counts as missing like any longer value.
    size = std::min(size, kPathBuffer);
    const void* end = std::memchr(buffer, '\0', size);
    if (end == nullptr) return {};
    return std::string(buffer, static_cast<const char*>(end) - buffer);
}

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        start = 2;
    }
    size_t lastSeparator = path.find_last_of("\\/");
    size_t nameStart = start;
    if (lastSeparator != std::string::npos && lastSeparator >= start) {
        parts.folder = path.substr(start, lastSeparator + 1 - start);
        nameStart = lastSeparator + 1;
    }
    std::string fileName = path.substr(nameStart);
    size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos) {
        parts.name = fileName;
    } else {
        parts.name = fileName.substr(0, dot);
        parts.extension = fileName.substr(dot);
    }
    return parts;
}

std::string ChooseExecutable(HWND owner) {
    char file[kPathBuffer] = "vampire.exe";
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = "Executable files (*.exe)\0*.exe\0";
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = kPathBuffer;
    request.lpstrDefExt = "exe";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!win::ShowOpenFileDialog(request)) return {};
    file[kPathBuffer - 1] = '\0';
    return file;
}

std::string LocateInstallation(HWND owner) {
    std::string installPath = ReadRegisteredInstallPath();
    if (!installPath.empty()) {
        // Extraction writes below the current directory: the game's own
        // pack folder. A failure here is not worth a word.
        ::SetCurrentDirectoryA((installPath + "\\Vampire").c_str());
    } else if (win::MessageBox(kNotInstalledQuestion, MB_YESNO, nullptr, owner) == IDYES) {
        std::string chosen;
        PathParts parts;
        for (;;) {
            chosen = ChooseExecutable(owner);
            parts = SplitPath(chosen);
            bool named = ToLower(parts.name) == "vampire";
            if (!named) win::MessageBox(kInvalidExecutable, MB_OK | MB_ICONSTOP, nullptr, owner);
            if (named || chosen.empty()) break;
        }
        if (!chosen.empty()) {
            std::string folder = parts.folder;
            while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
            installPath = parts.drive + folder;
        }
    }
    if (installPath.empty()) win::MessageBox(kFunctionalityDisabled, MB_OK | MB_ICONEXCLAMATION, nullptr, owner);
    return installPath;
}

}  // namespace app
