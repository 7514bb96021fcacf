// SkinHScrollBar: the horizontal scroll bar under a SkinListCtrl, painted
// from the skin's bitmaps.
//
// A static control (SS_NOTIFY, so it gets the mouse) that lives beside the
// list, as a child of the list's parent. Its thumb mirrors the list's
// horizontal position (pixels); arrows and track clicks send the list
// WM_HSCROLL, a thumb drag sends LVM_SCROLL. Arrows repeat while held:
// timer 2 waits 250 ms, then timer 1 scrolls a line every 50 ms.
#pragma once

#include "win/Window.h"

namespace skin {

class SkinListCtrl;

class SkinHScrollBar : public win::Window {
public:
    static constexpr int kThumbMinimum = 25;
    static constexpr int kHeight = 12;

    SkinHScrollBar() = default;
    ~SkinHScrollBar() override = default;

    // The list this bar scrolls; set by the list right after creating the
    // bar's window.
    void SetList(SkinListCtrl* owner) { list = owner; }

    // Recomputes the thumb from the list's position, clamps it and redraws.
    void SyncToList();
    // Draws the whole bar now, through its own client DC.
    void Draw();
    // Keeps the thumb inside its travel; on a bar too short for its parts
    // the minimum wins.
    void ClampThumb();

    // One scroll message to the list each, then SyncToList.
    void LineLeft() { Scroll(SB_LINELEFT); }
    void LineRight() { Scroll(SB_LINERIGHT); }
    void PageLeft() { Scroll(SB_PAGELEFT); }
    void PageRight() { Scroll(SB_PAGERIGHT); }

    int ThumbX() const { return thumbX; }
    bool Dragging() const { return dragging; }
    bool LeftHeld() const { return leftHeld; }
    bool RightHeld() const { return rightHeld; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnPaint();
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnTimer(WPARAM id, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);

    void Scroll(int code);
    HWND ListHandle() const;
    int Span() const;
    win::Rect LeftArrowHit() const;
    win::Rect RightArrowHit() const;
    win::Rect ThumbHit() const;

    bool rightHeld = false;  // the button went down on the right arrow
    bool leftHeld = false;   // the button went down on the left arrow
    bool dragging = false;   // the button went down on the thumb
    int thumbX = kThumbMinimum;  // the thumb's left edge, client pixels
    SkinListCtrl* list = nullptr;
    bool releasing = false;  // our own release of the capture, in OnLButtonUp
};

}  // namespace skin
