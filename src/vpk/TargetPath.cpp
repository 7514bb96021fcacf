#include "vpk/TargetPath.h"

namespace vpk {

bool IsSafeTarget(const char* target)
{
    if (target[0] == '/' || target[0] == '\\')
        return false;
    // Scan component by component; a component ends at either slash.
    bool onlyDotsAndSpaces = true;
    bool componentEmpty = true;
    for (const char* p = target;; ++p) {
        const char c = *p;
        if (c == ':')
            return false;
        if (c == '/' || c == '\\' || c == '\0') {
            if (!componentEmpty && onlyDotsAndSpaces)
                return false;
            if (c == '\0')
                return true;
            onlyDotsAndSpaces = true;
            componentEmpty = true;
            continue;
        }
        componentEmpty = false;
        if (c != '.' && c != ' ')
            onlyDotsAndSpaces = false;
    }
}

}  // namespace vpk
