#include "PackFolder.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <strings.h>
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
        if ((found.attrib & _A_SUBDIR) == 0)
            names.emplace_back(found.name);
    } while (_findnext(search, &found) == 0);
    _findclose(search);
#else
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return false;
    while (const dirent* item = readdir(dir)) {
        const std::size_t length = std::strlen(item->d_name);
        if (length < 4 || strcasecmp(item->d_name + length - 4, ".vpk") != 0)
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
