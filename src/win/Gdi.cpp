#include "win/Gdi.h"

#include "win/App.h"

namespace win {

Bitmap Bitmap::Load(int id) {
    return Bitmap(::LoadBitmapA(Instance(), MAKEINTRESOURCEA(id)));
}

Point Bitmap::Size() const {
    BITMAP info{};
    if (Get() == nullptr || ::GetObjectA(Get(), sizeof info, &info) == 0) return {};
    return {info.bmWidth, info.bmHeight};
}

void FillSolidRect(HDC dc, const Rect& rect, COLORREF color) {
    Brush brush = Brush::Solid(color);
    RECT r = rect.ToRECT();
    ::FillRect(dc, &r, brush.Get());
}

void Draw3dRect(HDC dc, const Rect& rect, COLORREF topLeft, COLORREF bottomRight) {
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    FillSolidRect(dc, {l, t, r - 1, t + 1}, topLeft);
    FillSolidRect(dc, {l, t, l + 1, b - 1}, topLeft);
    FillSolidRect(dc, {r - 1, t, r, b}, bottomRight);
    FillSolidRect(dc, {l, b - 1, r, b}, bottomRight);
}

}  // namespace win
