// SkinHScrollBar: the horizontal scroll bar under a SkinListCtrl, painted
// from the skin's bitmaps.
//
// The shared SkinScrollBar on the horizontal axis: its thumb mirrors the
// list's horizontal position, in pixels; arrows and track clicks send the
// list WM_HSCROLL, a thumb drag sends LVM_SCROLL by pixels. It is one pixel
// wider than the list, so it reaches under the vertical bar.
#pragma once

#include "skin/SkinScrollBar.h"

namespace skin {

class SkinHScrollBar : public SkinScrollBar {
public:
    static constexpr int kThumbMinimum = 25;
    static constexpr int kHeight = kScrollBarThickness;

    SkinHScrollBar() : SkinScrollBar(kHorizontalAxis) {}

    // One scroll message to the list each, then SyncToList.
    void LineLeft() { Scroll(SB_LINELEFT); }
    void LineRight() { Scroll(SB_LINERIGHT); }
    void PageLeft() { Scroll(SB_PAGELEFT); }
    void PageRight() { Scroll(SB_PAGERIGHT); }

    // The thumb's left edge, client pixels.
    int ThumbX() const { return Thumb(); }
    bool LeftHeld() const { return FirstHeld(); }
    bool RightHeld() const { return SecondHeld(); }
};

}  // namespace skin
