#include "viewer/PackDrop.h"

#include <algorithm>
#include <cstring>

#include <shellapi.h>

namespace viewer {
namespace {

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
    auto fold = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return fold(x) < fold(y); });
}

bool HasPackExtension(const std::string& path) {
    return path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".vpk") == 0;
}

// The "*.vpk" files directly inside `folder`, by name.
std::vector<std::string> PacksInFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*.vpk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        // The pattern also matches longer extensions ("a.vpkx") by their short names.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && HasPackExtension(found.cFileName)) {
            names.emplace_back(found.cFileName);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(), LessIgnoringAsciiCase);
    for (std::string& name : names) name = folder + "\\" + name;
    return names;
}

}  // namespace

DroppedFiles SortDroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(::DragQueryFileA(drop, i, nullptr, 0), '\0');
        ::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(path);
    }
    ::DragFinish(drop);
    DroppedFiles files;
    for (std::string& path : paths) {
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
            for (std::string& pack : PacksInFolder(path)) files.packs.push_back(std::move(pack));
        } else if (attributes != INVALID_FILE_ATTRIBUTES && HasPackExtension(path)) {
            files.packs.push_back(path);
        } else {
            files.refused.push_back(path);
        }
    }
    return files;
}

std::string RefusedDropText(const std::vector<std::string>& refused) {
    std::string text = "Only pack files (*.vpk) and folders can be dropped here, not:\n";
    for (const std::string& path : refused) text += "\n" + path;
    return text;
}

}  // namespace viewer
