#include "viewer/preview/ViewSupport.h"

#include <algorithm>
#include <cstring>

#include "win/Window.h"

namespace viewer::preview {
namespace {

// The bar's static control has no id of its own inside the view.
constexpr int kBarId = 0xFFFF;

}  // namespace

HBRUSH ParentColors(HWND view, HDC dc) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    HWND parent = ::GetParent(view);
    auto brush = parent != nullptr ? reinterpret_cast<HBRUSH>(::SendMessageA(
                                         parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(view)))
                                   : nullptr;
    return brush != nullptr ? brush : ::GetSysColorBrush(COLOR_WINDOW);
}

void SelectHighlight(HDC dc) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
}

bool CopyToClipboard(HWND owner, const std::string& text) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr) return false;
    if (void* bytes = ::GlobalLock(memory)) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory);
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_TEXT, memory) != nullptr;
    ::CloseClipboard();
    // The clipboard owns the memory once it took it.
    if (!placed) ::GlobalFree(memory);
    return placed;
}

LRESULT AnswerGetText(const std::string& text, WPARAM wp, LPARAM lp) {
    if (lp == 0) return static_cast<LRESULT>(text.size());  // WM_GETTEXTLENGTH
    if (wp == 0) return 0;
    const std::size_t n = std::min<std::size_t>(text.size(), wp - 1);
    char* out = reinterpret_cast<char*>(lp);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool ShiftHeld() {
    return ::GetKeyState(VK_SHIFT) < 0;
}

int WheelRows(WPARAM wp) {
    const int delta = static_cast<short>(HIWORD(wp));
    return -delta * 3 / WHEEL_DELTA;
}

win::Rect BarRect(const win::Rect& client) {
    return {client.right - skin::SkinVScrollBar::kWidth, client.top, client.right, client.bottom};
}

int ContentWidth(const win::Rect& client) {
    return std::max(client.Width() - skin::SkinVScrollBar::kWidth, 0);
}

bool CreateBar(skin::SkinScrollBar& bar, HWND view, skin::ScrollSource* source) {
    constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
    if (!bar.CreateAndSubclass("STATIC", "", kBarStyle, 0, BarRect(win::ClientRect(view)), view, kBarId)) {
        return false;
    }
    bar.SetSource(view, source);
    return true;
}

bool RegisterViewClass(const char* className, LPCSTR cursor) {
    return win::Window::RegisterWindowClass(className, CS_DBLCLKS, ::LoadCursorA(nullptr, cursor), nullptr);
}

}  // namespace viewer::preview
