#include "skin/ListScroll.h"

#include <algorithm>

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

// Both directions divide exact integer products instead of going through a
// floating-point ratio: span / limit * pos can come out a hair short of
// span at the end of the list (52.0 / 93 * 93 < 52), which left the thumb one
// pixel short of its maximum there.
int ThumbForPosition(int pos, int limit, int span, int minimum) {
    if (limit == 0) return minimum;
    return static_cast<int>(static_cast<long long>(span) * pos / limit) + minimum;
}

int PositionForThumb(int thumb, int pos, int limit, int span, int minimum) {
    if (limit == 0 || span == 0) return pos;
    const long long goal = static_cast<long long>(thumb - minimum) * limit / span;
    // The thumb follows the pointer past both ends; the goal must not.
    return static_cast<int>(std::clamp<long long>(goal, 0, limit));
}

}  // namespace skin
