#include "win/App.h"

#include <vector>

namespace win {

HINSTANCE Instance() {
    return ::GetModuleHandleA(nullptr);
}

const std::string& AppTitle() {
    static const std::string title = [] {
        std::vector<char> path(MAX_PATH);
        for (;;) {
            DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) return std::string();
            // A full buffer may mean a cut path: try again with more room.
            if (length < path.size()) {
                std::string name(path.data(), length);
                size_t slash = name.find_last_of("\\/");
                if (slash != std::string::npos) name.erase(0, slash + 1);
                size_t dot = name.find_last_of('.');
                if (dot != std::string::npos) name.erase(dot);
                return name;
            }
            path.resize(path.size() * 2);
        }
    }();
    return title;
}

std::string LoadResourceString(UINT id) {
    char buffer[1024] = {};
    int length = ::LoadStringA(Instance(), id, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
}

}  // namespace win
