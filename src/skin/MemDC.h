// MemDC: the off-screen surface every skinned control paints through.
//
// The control draws its whole face into a memory bitmap the size of its
// client area; when the MemDC dies the picture reaches the window in one
// BitBlt, so a repaint never shows a half-drawn state. Coordinates on the
// surface are the target's coordinates. The copy obeys the target's
// clipping: an area excluded from the target before the MemDC dies stays
// as it was (the list uses this to leave its header alone).
//
//     win::PaintDC paint(hwnd);
//     skin::MemDC dc(paint.Get(), win::ClientRect(hwnd));
//     win::FillSolidRect(dc.Get(), ...);
#pragma once

#include "win/Gdi.h"

namespace skin {

class MemDC {
public:
    // A new surface over `rect` of `target`; not cleared. `target` must
    // outlive this object.
    MemDC(HDC target, const win::Rect& rect);
    // Copies the surface to the target, then frees it.
    ~MemDC();
    MemDC(const MemDC&) = delete;
    MemDC& operator=(const MemDC&) = delete;

    // The memory device context to draw on.
    HDC Get() const { return memory.Get(); }
    const win::Rect& Area() const { return rect; }

private:
    win::MemoryDC memory;  // created first, deleted last
    win::Bitmap bitmap;   // exactly rect's size, selected while we live
    HGDIOBJ oldBitmap;    // what the memory DC held before `bitmap`
    HDC target;
    win::Rect rect;
};

}  // namespace skin
