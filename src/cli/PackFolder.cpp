#include "PackFolder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#ifdef _WIN32
#include <io.h>
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
