// SplitterBar: the thin bar the user drags to resize the panes beside it.
//
// While the button is down the bar stays put: a pair of thin lines follows
// the pointer, drawn on the screen with an inverting raster operation, so no
// pane repaints during the drag. On release the bar moves to the drop
// position and sends its parent one WM_NOTIFY (a SplitterNotify with
// SPLITTER_MOVED and the distance moved); the parent then moves its panes
// with AdjustWidth and AdjustHeight.
//
//     SplitterBar bar;
//     bar.Create(WS_CHILD | WS_VISIBLE, placeholderRect, dialog, id);
//     bar.SetDragLimits(450, 600, -1);
#pragma once

#include "win/Window.h"

// The record a SplitterBar sends with WM_NOTIFY when a drag ends.
struct SplitterNotify {
    NMHDR hdr;  // the bar, its id, SPLITTER_MOVED
    int delta;  // pixels moved: right (upright bar) or down (lying bar) is positive
};

inline constexpr UINT SPLITTER_MOVED = 1025;

inline constexpr int SPLITTER_VERTICAL = 1;    // upright, dragged left and right
inline constexpr int SPLITTER_HORIZONTAL = 2;  // lying, dragged up and down

// Edge codes of AdjustWidth and AdjustHeight.
inline constexpr int EDGE_RIGHT = 1;
inline constexpr int EDGE_LEFT = 2;
inline constexpr int EDGE_BOTTOM = 3;
inline constexpr int EDGE_TOP = 4;

class SplitterBar : public win::Window {
public:
    static constexpr int kThickness = 5;

    SplitterBar() = default;
    ~SplitterBar() override = default;

    // Creates the bar over `rect` (parent client coordinates). A rectangle
    // at least as wide as high makes a lying bar; the thickness is forced to
    // 5 pixels. The drag limits start on the bar's centre line.
    bool Create(DWORD style, const win::Rect& rect, HWND parent, int id);
    // The drag may reach root - before .. root + after along the bar's axis,
    // parent client coordinates; a negative root means the bar's centre line.
    void SetDragLimits(int before, int after, int root);
    // Moves the bar along its axis so its centre line lies at x (upright) or
    // y (lying), parent client coordinates.
    void MoveCentreTo(int x, int y);

    // EDGE_RIGHT moves the window's right edge by +delta, EDGE_LEFT its left
    // edge by -delta: a positive delta widens the window either way.
    static void AdjustWidth(HWND window, int delta, int edge);
    // EDGE_BOTTOM moves the bottom edge by +delta, EDGE_TOP the top by -delta.
    static void AdjustHeight(HWND window, int delta, int edge);

    int Orientation() const { return orientation; }
    bool Dragging() const { return dragging; }
    int MinPos() const { return minPos; }
    int MaxPos() const { return maxPos; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Draws the two drag lines at x (upright bar) or y (lying bar); drawing
    // them again with the same arguments erases them.
    virtual void DrawDragLine(HDC dc, int x, int y);

private:
    LRESULT OnPaint();
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnCaptureChanged(WPARAM wp, LPARAM lp);

    // The bar's centre line along its axis in `rect`'s coordinates.
    int CentreLine(const win::Rect& rect) const;
    void DrawDragLineOnScreen();

    bool dragging = false;
    int orientation = SPLITTER_HORIZONTAL;
    int dragX = 0;  // screen coordinates of the drag lines
    int dragY = 0;
    int minPos = -1;  // drag limits along the axis, parent client coordinates
    int maxPos = -1;
    int startPos = 0;  // screen coordinate of the centre line when the drag began

    // Shared by every bar, loaded by the first Create; system cursors are
    // never freed.
    static HCURSOR sizeWE;
    static HCURSOR sizeNS;
};
