#include "skin/ListScroll.h"

#include <algorithm>
#include <cmath>

namespace skin {

int ScrollPos(HWND list, int bar) {
    return ::GetScrollPos(list, bar);
}

int ScrollLimit(HWND list, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(list, bar, &info)) return 0;
    int limit = info.nMax;
    if (info.nPage > 1) limit -= static_cast<int>(info.nPage) - 1;
    // A page larger than the range leaves nothing to scroll, not a negative
    // limit that would put the thumb on show.
    return std::max(limit, 0);
}

int ThumbForPosition(int pos, int limit, int span, int minimum) {
    if (limit == 0) return minimum;
    const double ratio = static_cast<double>(span) / limit;
    return static_cast<int>(std::trunc(ratio * pos)) + minimum;
}

int PositionForThumb(int thumb, int pos, int limit, int span, int minimum) {
    if (limit == 0) return pos;
    const double ratio = static_cast<double>(span) / limit;
    if (ratio == 0.0) return pos;
    // The thumb follows the pointer past both ends; the goal must not.
    const double goal = std::clamp((thumb - minimum) / ratio, 0.0, static_cast<double>(limit));
    return static_cast<int>(std::trunc(goal));
}

}  // namespace skin
