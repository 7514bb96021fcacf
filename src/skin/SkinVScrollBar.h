// SkinVScrollBar: the vertical scroll bar right of a SkinListCtrl, painted
// from the skin's bitmaps.
//
// The twin of SkinHScrollBar on the other axis. It is 12 pixels taller than
// the list, so its bottom end fills the corner beside the horizontal bar.
// The list's vertical position counts rows, so a thumb drag scrolls by rows
// times the row height (LVM_SCROLL takes pixels). Unlike the horizontal
// bar, a release over an arrow scrolls a line only when the press was on
// that same arrow.
#pragma once

#include "win/Window.h"

namespace skin {

class SkinListCtrl;

class SkinVScrollBar : public win::Window {
public:
    static constexpr int kThumbMinimum = 36;
    static constexpr int kWidth = 12;

    SkinVScrollBar() = default;
    ~SkinVScrollBar() override = default;

    void SetList(SkinListCtrl* owner) { list = owner; }

    // Recomputes the thumb from the list's position, clamps it and redraws.
    void SyncToList();
    // Draws the whole bar now, through its own client DC.
    void Draw();
    // Keeps the thumb inside its travel; on a bar too short for its parts
    // the minimum wins.
    void ClampThumb();

    // One scroll message to the list each, then SyncToList.
    void LineUp() { Scroll(SB_LINEUP); }
    void LineDown() { Scroll(SB_LINEDOWN); }
    void PageUp() { Scroll(SB_PAGEUP); }
    void PageDown() { Scroll(SB_PAGEDOWN); }

    int ThumbY() const { return thumbY; }
    bool Dragging() const { return dragging; }
    bool UpHeld() const { return upHeld; }
    bool DownHeld() const { return downHeld; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wp, LPARAM lp) { return DefaultProc(WM_ERASEBKGND, wp, lp); }
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnTimer(WPARAM id, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);

    void Scroll(int code);
    HWND ListHandle() const;
    int Span() const;
    win::Rect UpArrowHit() const;
    win::Rect DownArrowHit() const;
    win::Rect ThumbHit() const;

    SkinListCtrl* list = nullptr;
    bool upHeld = false;     // the button went down on the up arrow
    bool downHeld = false;   // the button went down on the down arrow
    bool dragging = false;   // the button went down on the thumb
    int thumbY = kThumbMinimum;  // the thumb's top edge, client pixels
    bool releasing = false;  // our own release of the capture, in OnLButtonUp
};

}  // namespace skin
