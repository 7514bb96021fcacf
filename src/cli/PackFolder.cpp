#include "PackFolder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <climits>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

// ".vpk" in any case, as Windows matches it.
bool HasPackExtension(const char* name)
{
    const std::size_t length = std::strlen(name);
    if (length < 4)
        return false;
    const char* extension = name + length - 4;
    for (int i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(extension[i])) != ".vpk"[i])
            return false;
    }
    return true;
}

}  // namespace

bool FindPackFiles(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    std::string prefix = folder;
    if (!prefix.empty() && !IsSeparator(prefix.back()))
        prefix += '/';
#ifdef _WIN32
    _finddata_t found;
    const intptr_t search = _findfirst((prefix + "*.vpk").c_str(), &found);
    if (search == -1) {
        // No match is not a failure; a folder that isn't there is.
        _finddata_t self;
        const intptr_t probe = _findfirst((prefix + "*").c_str(), &self);
        if (probe == -1)
            return false;
        _findclose(probe);
        return true;
    }
    do {
        // The wildcard also matches "x.vpkx" through its short 8.3 name.
        if ((found.attrib & _A_SUBDIR) == 0 && HasPackExtension(found.name))
            names.emplace_back(found.name);
    } while (_findnext(search, &found) == 0);
    _findclose(search);
#else
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* item = readdir(dir)) {
        if (!HasPackExtension(item->d_name))
            continue;
        struct stat info;
        if (stat((prefix + item->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            continue;
        names.emplace_back(item->d_name);
    }
    closedir(dir);
#endif
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::strcmp(a.c_str(), b.c_str()) < 0;
    });
    return true;
}

bool GetFullPath(const std::string& folder, std::string& full)
{
#ifdef _WIN32
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const DWORD attributes = GetFileAttributesA(buffer);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    full.assign(buffer, length);
    return true;
#else
    char* resolved = realpath(folder.c_str(), nullptr);
    if (resolved == nullptr)
        return false;
    full = resolved;
    std::free(resolved);
    struct stat info;
    return stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool IsSameOrBelow(const std::string& path, const std::string& folder)
{
    std::string base = folder;
    while (!base.empty() && IsSeparator(base.back()))
        base.pop_back();
    if (path.size() < base.size())
        return false;
    for (std::size_t i = 0; i < base.size(); ++i) {
#ifdef _WIN32
        const bool same = std::tolower(static_cast<unsigned char>(path[i])) ==
                          std::tolower(static_cast<unsigned char>(base[i]));
#else
        const bool same = path[i] == base[i];
#endif
        if (!same)
            return false;
    }
    return path.size() == base.size() || IsSeparator(path[base.size()]);
}
