#include "skin/MemDC.h"

namespace skin {

MemDC::MemDC(HDC targetDC, const win::Rect& area)
    : memory(targetDC),
      bitmap(win::Bitmap::Compatible(targetDC, area.Width(), area.Height())),
      oldBitmap(bitmap ? ::SelectObject(memory.Get(), bitmap.Get()) : nullptr),
      target(targetDC),
      rect(area) {
    // The bitmap is only as large as rect; shift the origin so that drawing
    // in target coordinates lands on it whatever rect's top-left corner is.
    // Every control passes its client rectangle, where this changes nothing.
    if (rect.left != 0 || rect.top != 0) ::SetWindowOrgEx(memory.Get(), rect.left, rect.top, nullptr);
}

MemDC::~MemDC() {
    ::BitBlt(target, rect.left, rect.top, rect.Width(), rect.Height(), memory.Get(), rect.left, rect.top,
             SRCCOPY);
    // The bitmap goes back out before it is deleted: DeleteObject fails on a
    // selected object. The memory DC itself dies last, with memory.
    if (oldBitmap != nullptr) ::SelectObject(memory.Get(), oldBitmap);
    bitmap.Reset();
}

}  // namespace skin
