// Colour-keyed and clipped copies between memory device contexts: how the
// markup layout composes its lines and how HtmlView paints its frames.
#pragma once

#include "win/Geometry.h"
#include "win/Win32.h"

namespace markup {

// The rectangle that the bitmap selected into a memory DC covers; for any
// other DC (window, screen) a rectangle that bounds nothing.
win::Rect SurfaceBounds(HDC dc);

// Cuts a copy of `destRect` from `sourceOrigin` to what lies inside both
// `destBounds` and `sourceBounds`, moving the origin along. False when
// nothing is left.
bool ClipCopy(win::Rect& destRect, win::Point& sourceOrigin, const win::Rect& destBounds,
              const win::Rect& sourceBounds);

// BitBlt with raster operation `rop`, cut to both DCs' surfaces.
void ClippedBlit(HDC destination, const win::Rect& destRect, HDC source, win::Point sourceOrigin,
                 DWORD rop = SRCCOPY);

// Copies the rectangle of `source` that starts at `sourceOrigin` and has the
// size of `destRect` onto `destRect` of `destination`, leaving each
// destination pixel alone where the source pixel equals `keyColor`. Works
// through a monochrome mask with whole-rectangle raster operations; the copy
// is cut to both surfaces, so nothing is read or written outside a bitmap.
void TransparentBlit(HDC source, HDC destination, COLORREF keyColor, const win::Rect& destRect,
                     win::Point sourceOrigin);

}  // namespace markup
