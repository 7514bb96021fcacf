// The list's scroll state as the skinned bars read it, and the arithmetic
// that maps it to a thumb and back. Shared by the two bars.
#pragma once

#include "win/Win32.h"

namespace skin {

// The list's scroll position on `bar` (SB_HORZ: pixels, SB_VERT: rows).
int ScrollPos(HWND list, int bar);
// The highest position the list can scroll to on `bar`: the range's maximum
// less one page; 0 when there is nothing to scroll.
int ScrollLimit(HWND list, int bar);

// The thumb for position `pos` of `limit` on a scale of `span` pixels:
// span * pos / limit, truncated, + minimum; minimum when limit is 0.
int ThumbForPosition(int pos, int limit, int span, int minimum);
// The position the thumb points at, the inverse of ThumbForPosition, kept
// within 0..limit (the list stops there anyway). `pos` when the scale has
// no length.
int PositionForThumb(int thumb, int pos, int limit, int span, int minimum);

}  // namespace skin
