// SkinHeaderCtrl: the column header of a SkinListCtrl, painted in the skin.
//
// It creates no window: the list takes over the header its list view
// already has. Column sizing, drag-reordering and notifications stay the
// standard header's; only painting is ours: a dark gradient bar built from
// three bitmaps, a light line between columns, red titles in a small font,
// and a small triangle on a column whose format carries HDF_SORTUP or
// HDF_SORTDOWN.
#pragma once

#include "win/Window.h"

namespace skin {

class SkinHeaderCtrl : public win::Window {
public:
    SkinHeaderCtrl() = default;
    ~SkinHeaderCtrl() override = default;

    // Paints the whole header onto `dc` (the window's paint DC) within
    // `client`, in one copy.
    void Paint(HDC dc, const win::Rect& client);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Owner-draw hook, called once per column while painting; does nothing
    // here.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
    LRESULT OnPaint();
    LRESULT OnEraseBkgnd() { return FALSE; }  // the paint covers every pixel
};

}  // namespace skin
