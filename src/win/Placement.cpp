#include "win/Placement.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace win {
namespace {

// "TPL1": tells our values from anything else stored under the same name.
constexpr std::uint32_t kMagic = 0x314C5054u;
constexpr std::size_t kMaxExtra = 8;

struct Stored {
    std::uint32_t magic;
    std::uint32_t extraCount;
    std::int32_t left, top, right, bottom;
    std::int32_t extra[kMaxExtra];
};
constexpr std::size_t kHeaderSize = offsetof(Stored, extra);

}  // namespace

bool SavePlacement(const char* valueName, HWND window, const std::vector<int>& extra) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (extra.size() > kMaxExtra || !::GetWindowPlacement(window, &placement)) return false;
    Stored value{};
    value.magic = kMagic;
    value.extraCount = static_cast<std::uint32_t>(extra.size());
    // The normal rectangle is in workspace coordinates; with no taskbar at
    // the top or left they are screen coordinates.
    RECT r{};
    ::GetWindowRect(window, &r);
    if (::IsIconic(window) || ::IsZoomed(window)) r = placement.rcNormalPosition;
    value.left = r.left;
    value.top = r.top;
    value.right = r.right;
    value.bottom = r.bottom;
    for (std::size_t i = 0; i < extra.size(); ++i) value.extra[i] = extra[i];
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const DWORD size = static_cast<DWORD>(kHeaderSize + extra.size() * sizeof(std::int32_t));
    const bool saved =
        ::RegSetValueExA(key, valueName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return saved;
}

std::optional<Rect> LoadPlacement(const char* valueName, std::size_t extraCount, std::vector<int>& extra) {
    if (extraCount > kMaxExtra) return std::nullopt;
    Stored value{};
    DWORD type = 0;
    DWORD size = sizeof value;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    const LONG read = ::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_BINARY || size != kHeaderSize + extraCount * sizeof(std::int32_t) ||
        value.magic != kMagic || value.extraCount != extraCount) {
        return std::nullopt;
    }
    const Rect r(value.left, value.top, value.right, value.bottom);
    if (r.Width() <= 0 || r.Height() <= 0) return std::nullopt;
    // Only where it still fits whole on one monitor (a monitor unplugged, the
    // resolution lowered: the window would open out of reach).
    RECT asked = r.ToRECT();
    HMONITOR monitor = ::MonitorFromRect(&asked, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !::GetMonitorInfoA(monitor, &info)) return std::nullopt;
    const RECT& work = info.rcWork;
    if (r.left < work.left || r.top < work.top || r.right > work.right || r.bottom > work.bottom) return std::nullopt;
    extra.assign(value.extra, value.extra + extraCount);
    return r;
}

}  // namespace win
