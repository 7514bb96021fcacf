#include "vpk/TargetPath.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

namespace vpk {

// Windows opens a device, not a file, for these names in any folder and with
// any extension ("a/nul.txt" swallows what is written to it, "con.txt" goes
// to the console), ignoring case and spaces before the extension.
bool IsWindowsDeviceName(const char* begin, const char* end)
{
    const char* stem = begin;
    while (stem != end && *stem != '.')
        ++stem;
    while (stem != begin && stem[-1] == ' ')
        --stem;
    char upper[8] = {};
    const std::size_t length = static_cast<std::size_t>(stem - begin);
    if (length < 3 || length >= sizeof upper)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(begin[i])));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (std::strcmp(upper, device) == 0)
            return true;
    }
    if (length != 4 || (std::strncmp(upper, "COM", 3) != 0 && std::strncmp(upper, "LPT", 3) != 0))
        return false;
    // The superscripts of Windows-1252 count as the digits they show.
    const auto digit = static_cast<unsigned char>(upper[3]);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

namespace {

// Only Windows hands these names to a device.
bool IsDeviceComponent(const char* begin, const char* end)
{
#ifdef _WIN32
    return IsWindowsDeviceName(begin, end);
#else
    (void)begin;
    (void)end;
    return false;
#endif
}

}  // namespace

bool IsSafeTarget(const char* target)
{
    if (target[0] == '/' || target[0] == '\\')
        return false;
    // Scan component by component; a component ends at either slash.
    const char* componentBegin = target;
    bool onlyDotsAndSpaces = true;
    for (const char* p = target;; ++p) {
        const char c = *p;
        if (c == ':')
            return false;
        if (c == '/' || c == '\\' || c == '\0') {
            if (p != componentBegin && (onlyDotsAndSpaces || IsDeviceComponent(componentBegin, p)))
                return false;
            if (c == '\0')
                return true;
            componentBegin = p + 1;
            onlyDotsAndSpaces = true;
            continue;
        }
        if (c != '.' && c != ' ')
            onlyDotsAndSpaces = false;
    }
}

}  // namespace vpk
