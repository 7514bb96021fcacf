// SkinVScrollBar: the vertical scroll bar right of a SkinListCtrl, painted
// from the skin's bitmaps.
//
// The shared SkinScrollBar on the vertical axis. It is 12 pixels taller than
// the list, so its bottom end fills the corner beside the horizontal bar.
// The list's vertical position counts rows, so a thumb drag scrolls by rows
// times the row height (LVM_SCROLL takes pixels).
// Unlike the horizontal bar, a release over an arrow scrolls a line only
// when the press was on that same arrow.
#pragma once

#include "skin/SkinScrollBar.h"

namespace skin {

class SkinVScrollBar : public SkinScrollBar {
public:
    static constexpr int kThumbMinimum = 36;
    static constexpr int kWidth = kScrollBarThickness;

    SkinVScrollBar() : SkinScrollBar(kVerticalAxis) {}

    // One scroll message to the list each, then SyncToList.
    void LineUp() { Scroll(SB_LINEUP); }
    void LineDown() { Scroll(SB_LINEDOWN); }
    void PageUp() { Scroll(SB_PAGEUP); }
    void PageDown() { Scroll(SB_PAGEDOWN); }

    // The thumb's top edge, client pixels.
    int ThumbY() const { return Thumb(); }
    bool UpHeld() const { return FirstHeld(); }
    bool DownHeld() const { return SecondHeld(); }
};

}  // namespace skin
