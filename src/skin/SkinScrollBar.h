// SkinScrollBar: the one body of code behind both skinned scroll bars of a
// SkinListCtrl, SkinHScrollBar and SkinVScrollBar.
//
// The two bars behave alike: a press arms an arrow's repeat or grabs the
// thumb, the release scrolls a line or pages once, a thumb drag scrolls the
// list with LVM_SCROLL, and the thumb mirrors the list's position. What
// differs between them (which of the list's scroll bars they read, colours,
// insets, hit rectangles, bitmaps, the unit of a drag) is a ScrollAxis, a
// table of values and a few functions; each twin is this bar with its axis.
//
// The bar is a static control (SS_NOTIFY, so it gets the mouse) beside the
// list, as a child of the list's parent. Arrows repeat while held: timer 2
// waits 250 ms, then timer 1 scrolls a line every 50 ms.
#pragma once

#include <span>

#include "win/Window.h"

namespace skin {

class SkinListCtrl;

// A window that keeps its own scroll position for a bar, instead of a list's
// scroll state: the bar reads the position and its limit here, sends its line
// and page scrolls to the window (WM_VSCROLL or WM_HSCROLL with SB_LINEUP and
// the like), and moves a dragged thumb's position here. Positions run from 0
// to the limit; a limit of 0 shows no thumb.
class ScrollSource {
public:
    virtual int BarPosition() const = 0;
    virtual int BarLimit() const = 0;
    virtual void BarScrollTo(int position) = 0;

protected:
    ~ScrollSource() = default;
};

// The bars are 12 pixels thick.
inline constexpr int kScrollBarThickness = 12;

// One skin bitmap of a bar's frame, in the bar's own terms: "along" runs
// from the first arrow to the second, "across" over the bar's thickness.
struct SkinPiece {
    int bitmap;
    int at;         // where it starts along the bar; negative: back from the far end
    int across;     // where it starts across the bar
    int length;     // along; 0: stretched from its 1-pixel source to the far end
    int thickness;  // across
};

// Everything in which the horizontal and the vertical bar differ.
struct ScrollAxis {
    int bar;                 // SB_HORZ or SB_VERT: the list's scroll state the bar mirrors
    UINT message;            // WM_HSCROLL or WM_VSCROLL: what arrows and track clicks send
    COLORREF background;     // behind the bitmaps
    int thumbMinimum;        // the thumb's first and lowest value
    int spanInset;           // the thumb's scale spans the bar's length less this
    int firstArrowAt;        // where the first arrow's hit rectangle starts along the bar
    int secondArrowInset;    // the second arrow's starts this far back from the far end
    int hitDepth;            // how far across the bar the hit rectangles reach
    bool linesOnlyOnPressedArrow;  // a release over an arrow scrolls only if it was pressed
    int thumbBitmap;
    std::span<const SkinPiece> pieces;  // the frame, drawn in this order
    // The pointer's coordinate along the bar; of the client size, its length.
    int (*along)(win::Point point);
    // The client rectangle at `at` along and `across` across the bar.
    win::Rect (*place)(int at, int across, int length, int thickness);
    // A thumb drag's scroll of the list by `positions` of its position's unit.
    void (*scrollListBy)(HWND list, int positions);
};

// The horizontal bar's axis and the vertical bar's.
extern const ScrollAxis kHorizontalAxis;
extern const ScrollAxis kVerticalAxis;

class SkinScrollBar : public win::Window {
public:
    explicit SkinScrollBar(const ScrollAxis& scrollAxis) : axis(scrollAxis), thumb(scrollAxis.thumbMinimum) {}
    ~SkinScrollBar() override = default;

    // The list this bar scrolls; set by the list right after creating the
    // bar's window.
    void SetList(SkinListCtrl* owner) { list = owner; }
    // Or the window this bar scrolls and where it keeps its position.
    void SetSource(HWND window, ScrollSource* position) {
        sourceWindow = window;
        source = position;
    }

    // Recomputes the thumb from the list's position, clamps it and redraws.
    void SyncToList();
    // Draws the whole bar now, through its own client DC.
    void Draw();
    // Keeps the thumb inside its travel; on a bar too short for its parts
    // the minimum wins.
    void ClampThumb();

    // The thumb's leading edge along the bar, client pixels.
    int Thumb() const { return thumb; }
    bool Dragging() const { return dragging; }
    bool FirstHeld() const { return firstHeld; }
    bool SecondHeld() const { return secondHeld; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    // Sends the list one scroll message with `code`, then SyncToList. The
    // codes are the same numbers on both axes (SB_LINELEFT is SB_LINEUP).
    void Scroll(int code);

private:
    LRESULT OnPaint();
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnLButtonUp(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp, win::Point point);
    LRESULT OnTimer(WPARAM id, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);

    HWND ListHandle() const;
    int Position(HWND hwnd) const;
    int Limit(HWND hwnd) const;
    int Length() const;
    int Span() const { return Length() - axis.spanInset; }
    win::Rect Hit(int at) const;
    win::Rect FirstArrowHit() const { return Hit(axis.firstArrowAt); }
    win::Rect SecondArrowHit() const { return Hit(Length() - axis.secondArrowInset); }
    win::Rect ThumbHit() const { return Hit(thumb); }

    const ScrollAxis& axis;
    bool secondHeld = false;  // the button went down on the second arrow
    bool firstHeld = false;   // the button went down on the first arrow
    bool dragging = false;    // the button went down on the thumb
    int thumb;
    SkinListCtrl* list = nullptr;
    HWND sourceWindow = nullptr;
    ScrollSource* source = nullptr;
    bool releasing = false;  // our own release of the capture, in OnLButtonUp
};

}  // namespace skin
