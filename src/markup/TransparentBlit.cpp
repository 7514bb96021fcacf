#include "markup/TransparentBlit.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "win/Gdi.h"

namespace markup {

win::Rect SurfaceBounds(HDC dc) {
    constexpr win::Rect kUnbounded{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    if (::GetObjectType(dc) != OBJ_MEMDC) return kUnbounded;
    BITMAP info{};
    HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0) return {};
    return {0, 0, info.bmWidth, info.bmHeight};
}

bool ClipCopy(win::Rect& destRect, win::Point& sourceOrigin, const win::Rect& destBounds,
              const win::Rect& sourceBounds) {
    // In 64 bits: the distance between the two origins may not fit 32.
    const std::int64_t dx = std::int64_t{destRect.left} - sourceOrigin.x;
    const std::int64_t dy = std::int64_t{destRect.top} - sourceOrigin.y;
    const std::int64_t left = std::max({std::int64_t{destRect.left}, std::int64_t{destBounds.left}, sourceBounds.left + dx});
    const std::int64_t top = std::max({std::int64_t{destRect.top}, std::int64_t{destBounds.top}, sourceBounds.top + dy});
    const std::int64_t right =
        std::min({std::int64_t{destRect.right}, std::int64_t{destBounds.right}, sourceBounds.right + dx});
    const std::int64_t bottom =
        std::min({std::int64_t{destRect.bottom}, std::int64_t{destBounds.bottom}, sourceBounds.bottom + dy});
    if (right <= left || bottom <= top) return false;
    destRect = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    sourceOrigin = {static_cast<int>(left - dx), static_cast<int>(top - dy)};
    return true;
}

void ClippedBlit(HDC destination, const win::Rect& destRect, HDC source, win::Point sourceOrigin, DWORD rop) {
    win::Rect r = destRect;
    if (!ClipCopy(r, sourceOrigin, SurfaceBounds(destination), SurfaceBounds(source))) return;
    ::BitBlt(destination, r.left, r.top, r.Width(), r.Height(), source, sourceOrigin.x, sourceOrigin.y, rop);
}

void TransparentBlit(HDC source, HDC destination, COLORREF keyColor, const win::Rect& destRect,
                     win::Point sourceOrigin) {
    win::Rect r = destRect;
    if (!ClipCopy(r, sourceOrigin, SurfaceBounds(destination), SurfaceBounds(source))) return;
    const int w = r.Width();
    const int h = r.Height();
    win::SavedDC savedSource(source);
    win::SavedDC savedDestination(destination);

    // What lies under the rectangle now.
    win::MemoryDC work(destination);
    win::Bitmap workBitmap = win::Bitmap::Compatible(destination, w, h);
    win::SelectGuard selectWork(work.Get(), workBitmap);
    ::BitBlt(work.Get(), 0, 0, w, h, destination, r.left, r.top, SRCCOPY);

    // 1 where the source holds the key colour: a colour-to-monochrome copy
    // turns pixels of the background colour white and all others black.
    win::MemoryDC mask(destination);
    win::Bitmap maskBitmap(::CreateBitmap(w, h, 1, 1, nullptr));
    win::SelectGuard selectMask(mask.Get(), maskBitmap);
    ::SetBkColor(source, keyColor);
    ::BitBlt(mask.Get(), 0, 0, w, h, source, sourceOrigin.x, sourceOrigin.y, SRCCOPY);

    // dest ^ src, & mask (white where keyed, black elsewhere), ^ src: the
    // destination where keyed, the source elsewhere.
    ::SetBkColor(work.Get(), RGB(255, 255, 255));
    ::SetTextColor(work.Get(), RGB(0, 0, 0));
    ::BitBlt(work.Get(), 0, 0, w, h, source, sourceOrigin.x, sourceOrigin.y, SRCINVERT);
    ::BitBlt(work.Get(), 0, 0, w, h, mask.Get(), 0, 0, SRCAND);
    ::BitBlt(work.Get(), 0, 0, w, h, source, sourceOrigin.x, sourceOrigin.y, SRCINVERT);

    ::BitBlt(destination, r.left, r.top, w, h, work.Get(), 0, 0, SRCCOPY);
}

}  // namespace markup
