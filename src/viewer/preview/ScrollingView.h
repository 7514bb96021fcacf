// ScrollingView: what the text and hex views share. A child window of our
// own with the skin's vertical bar along its right edge, scrolled by rows
// through the wheel, the bar and the scroll bar's messages, selected with the
// mouse; Ctrl+A and Ctrl+C arrive as their control characters. Each view
// says what a row, a page, a selection and a copy are.
#pragma once

#include "skin/SkinVScrollBar.h"
#include "win/Window.h"

namespace viewer::preview {

class ScrollingView : public win::Window, protected skin::ScrollSource {
public:
    HWND Hwnd() const { return Handle(); }
    // Scrolls so the last row is at the bottom of the view.
    virtual void ScrollToEnd() = 0;

protected:
    ScrollingView() = default;
    ~ScrollingView() override = default;

    // A hidden child (WS_CHILD | WS_TABSTOP) at rect, with its bar.
    bool CreateView(const char* className, LPCSTR cursor, HWND parent, int id, const RECT& rect);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    virtual int PageRows() const = 0;
    virtual void ScrollRows(long long rows) = 0;
    virtual void ScrollToStart() = 0;
    virtual void SelectAll() = 0;
    virtual void CopySelection() = 0;
    // The mouse pressed (extend: with Shift) or dragged to `point`.
    virtual void PointTo(win::Point point, bool extend) = 0;

    skin::SkinVScrollBar bar;

private:
    LRESULT OnVScroll(WPARAM wp);
    LRESULT OnChar(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDown(LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonUp();

    bool selecting = false;
};

}  // namespace viewer::preview
