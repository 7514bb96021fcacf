#include "viewer/FilterBox.h"

#include "win/Gdi.h"

namespace viewer {
namespace {

constexpr COLORREF kFieldText = RGB(220, 150, 150);  // the lists' text
constexpr COLORREF kFrame = RGB(229, 0, 0);          // the caption strips' border

}  // namespace

LRESULT FilterBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCPAINT: return OnNcPaint();
    // The dialog manager turns Escape into its cancel command unless the box
    // asks for the key: a box with text takes it and empties itself.
    case WM_GETDLGCODE:
        if (lp != 0 && reinterpret_cast<const MSG*>(lp)->message == WM_KEYDOWN && wp == VK_ESCAPE &&
            ::GetWindowTextLengthA(Handle()) > 0) {
            return DefaultProc(msg, wp, lp) | DLGC_WANTMESSAGE;
        }
        return DefaultProc(msg, wp, lp);
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE) {
            ::SetWindowTextA(Handle(), "");
            return 0;
        }
        return DefaultProc(msg, wp, lp);
    case WM_CHAR:
        if (wp == VK_ESCAPE) return 0;  // no beep
        return DefaultProc(msg, wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

std::optional<LRESULT> FilterBox::HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_CTLCOLOREDIT) return std::nullopt;
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, kFieldText);
    ::SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
}

// The border the box's style gives it, in the strips' red.
LRESULT FilterBox::OnNcPaint() {
    win::WindowDC dc(Handle());
    if (dc.Get() == nullptr) return 0;
    const win::Rect outer = win::WindowRect(Handle());
    win::Draw3dRect(dc.Get(), {0, 0, outer.Width(), outer.Height()}, kFrame, kFrame);
    return 0;
}

}  // namespace viewer
