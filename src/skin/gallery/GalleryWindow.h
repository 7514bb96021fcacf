// The skin gallery's window: a skinned list in report view with the entry
// list's columns and 500 rows, between two pane dividers that move its
// right and bottom edges the way the pack viewer moves its panes. For
// screenshots, for reviewing the look, and for tests.
#pragma once

#include "skin/SplitterBar.h"
#include "win/Gdi.h"
#include "skin/SkinListCtrl.h"
#include "win/Window.h"

namespace gallery {

inline constexpr int kRowCount = 500;
inline constexpr int kSelectedRow = 2;  // the row numbered 3
inline constexpr int kListId = 1001;
inline constexpr int kHorizontalDividerId = 1002;
inline constexpr int kVerticalDividerId = 1003;
inline constexpr COLORREF kRowText = RGB(220, 150, 150);

class GalleryWindow : public win::Window {
public:
    // Creates the window at `rect` (screen coordinates) with its list and
    // dividers; shown when `visible`. `quitOnClose` ends the thread's message
    // loop when the window goes.
    bool Create(const win::Rect& rect, bool visible = true, bool quitOnClose = false);

    skin::SkinListCtrl& List() { return list; }
    SplitterBar& VerticalDivider() { return verticalDivider; }
    SplitterBar& HorizontalDivider() { return horizontalDivider; }
    HWND SidePane() const { return sidePane; }
    HWND BottomPane() const { return bottomPane; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    LRESULT OnNotify(WPARAM wp, LPARAM lp);
    LRESULT OnDestroy();
    void FillList();

    skin::SkinListCtrl list;
    SplitterBar verticalDivider;
    SplitterBar horizontalDivider;
    HWND sidePane = nullptr;
    HWND bottomPane = nullptr;
    win::Font listFont;
    bool quitOnClose_ = false;
};

}  // namespace gallery
