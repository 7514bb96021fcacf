// SkinListCtrl: the standard list view in report view, in the skin.
//
// Columns, rows, selection, keyboard and wheel stay the list view's own;
// the list adds a dark background, selected rows in red on black, a skinned
// header, flicker-free painting through a MemDC, and two skinned scroll bars
// outside its rectangle that it creates, places and keeps in step.
//
//     SkinListCtrl list;
//     dialog.BindControl(1001, list);   // takes the header over too
//     list.InitSkin();                  // once, before anything else
//     ... standard list-view messages from here on ...
//
// The owner moves the list with MoveWindow; the bars follow by themselves.
// Painting a selected row deselects and reselects it for a moment, so the
// owner sees LVN_ITEMCHANGING/LVN_ITEMCHANGED during paints and must not take
// them for the user's doing.
#pragma once

#include "skin/SkinColors.h"
#include "skin/SkinHScrollBar.h"
#include "skin/SkinHeaderCtrl.h"
#include "skin/SkinVScrollBar.h"
#include "win/Window.h"

namespace skin {

class SkinListCtrl : public win::Window {
public:
    SkinListCtrl() = default;
    ~SkinListCtrl() override = default;

    // Once, right after the list is bound: hides the list's own scroll bars
    // and creates the skinned ones beside it, as siblings.
    void InitSkin();
    // Places both bars beside the list and resynchronises them.
    void PositionScrollBars();
    // SyncToList on both bars.
    void SyncScrollBars();

    SkinHeaderCtrl& Header() { return header; }
    SkinVScrollBar& VScrollBar() { return vScrollBar; }
    SkinHScrollBar& HScrollBar() { return hScrollBar; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void PreSubclassWindow() override;

private:
    LRESULT OnNcCalcSize(WPARAM wp, LPARAM lp);
    LRESULT OnMouseWheel(WPARAM wp, LPARAM lp);
    LRESULT OnKeyDown(WPARAM wp, LPARAM lp);
    LRESULT OnKeyUp(WPARAM wp, LPARAM lp);
    LRESULT OnEraseBkgnd();
    LRESULT OnPaint();
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);

    SkinHeaderCtrl header;
    const COLORREF selectedTextColor = kSelectedText;
    const COLORREF selectedBkColor = kSelectedBackground;
    SkinVScrollBar vScrollBar;
    SkinHScrollBar hScrollBar;
};

}  // namespace skin
