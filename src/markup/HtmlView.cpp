#include "markup/HtmlView.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <optional>
#include <utility>

#include "markup/MarkupLayout.h"
#include "markup/TransparentBlit.h"
#include "win/App.h"
#include "win/Shell.h"

namespace markup {

namespace {

constexpr char kClassName[] = "TessaroHtmlView";
constexpr WORD kHelpViewerHandCursor = 106;

// TRUE until the end of the first paint of any HtmlView in the process.
bool firstPaint = true;

HCURSOR LoadCursorResource(UINT id) {
    return ::LoadCursorA(win::Instance(), MAKEINTRESOURCEA(id & 0xFFFF));
}

win::Point PointFrom(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

// The number of a "#" target, read as atol reads it (blanks, a sign, digits
// up to the first other byte); nullopt when it does not fit 32 bits.
std::optional<std::int32_t> CallbackNumber(const std::string& s) {
    std::size_t i = s.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    std::int64_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        n = n * 10 + (s[i] - '0');
        if (n > std::int64_t{INT32_MAX} + 1) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > INT32_MAX || n < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

}  // namespace

void FillBackground(HDC dc, RECT rect, BOOL /*refresh*/, COLORREF color) {
    win::FillSolidRect(dc, rect, color);
}

HtmlView::HtmlView() : backgroundColor(::GetSysColor(COLOR_BTNFACE)) {}

HtmlView::~HtmlView() {
    if (IsWindow()) DestroyWindow();
    ReleaseContent();
    if (ownsHandCursor) ::DestroyCursor(handCursor);
}

bool HtmlView::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, int id, UINT normalCursorId,
                      UINT handCursorId) {
    normalCursor = normalCursorId != 0 ? LoadCursorResource(normalCursorId) : nullptr;
    if (handCursorId != 0) {
        if (ownsHandCursor) ::DestroyCursor(handCursor);
        ownsHandCursor = false;
        handCursor = LoadCursorResource(handCursorId);
    } else {
        LoadHandCursor();
    }
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW)) return false;
    // The size notification during creation makes the first layout.
    if (!Window::Create(kClassName, "", style, exStyle, rect, parent, id)) return false;
    // The first step comes after ten periods.
    SetTimer(kScrollTimer, static_cast<UINT>(std::max(interval, 0)) * 10);
    return true;
}

bool HtmlView::CreateOver(DWORD exStyle, DWORD style, int placeholderId, HWND parent, int id,
                          UINT normalCursorId, UINT handCursorId) {
    HWND placeholder = ::GetDlgItem(parent, placeholderId);
    if (placeholder == nullptr) return false;
    return Create(exStyle, style, win::RectInParent(placeholder).ToRECT(), parent, id, normalCursorId, handCursorId);
}

std::string HtmlView::SetText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string expanded = win::FormatV(format, args);
    va_end(args);
    std::string previous = std::exchange(text, std::move(expanded));
    if (IsWindow()) Rebuild();
    return previous;
}

int HtmlView::RegisterCallback(LinkCallback callback) {
    callbacks.push_back(std::move(callback));
    return static_cast<int>(callbacks.size());
}

void HtmlView::LoadHandCursor() {
    if (handCursor != nullptr) return;
    char directory[MAX_PATH];
    UINT length = ::GetWindowsDirectoryA(directory, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string path = std::string(directory, length) + "\\winhlp32.exe";
        // Only its resources are wanted: none of its code runs.
        HMODULE viewer = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (viewer != nullptr) {
            HCURSOR hand = ::LoadCursorA(viewer, MAKEINTRESOURCEA(kHelpViewerHandCursor));
            if (hand != nullptr) {
                handCursor = static_cast<HCURSOR>(::CopyIcon(hand));
                ownsHandCursor = handCursor != nullptr;
            }
            ::FreeLibrary(viewer);
        }
    }
    // Wine's help viewer carries no such cursor; the system's hand serves.
    if (handCursor == nullptr) handCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
}

int HtmlView::HitTestLink(int x, int y) const {
    const int h = contentHeight;
    auto find = [&](auto contains) {
        for (std::size_t i = 0; i < linkRects.size(); ++i)
            if (contains(linkRects[i])) return static_cast<int>(i);
        return -1;
    };
    if (!Scrolls()) return find([&](const win::Rect& r) { return r.Contains({x, y}); });
    const int y1 = y + scrollOffset;
    const int y2 = y1 > h - scrollOffset ? y1 - h : y1;
    return find([&](const win::Rect& r) { return r.Contains({x, y1}) || r.Contains({x, y2}); });
}

bool HtmlView::DestroyWindow() {
    bool destroyed = Window::DestroyWindow();
    ReleaseContent();
    return destroyed;
}

void HtmlView::ReleaseContent() {
    normalSurface.Reset();
    hoverSurface.Reset();
    linkRects.clear();
    linkTargets.clear();
    hoverRect = {};
    dragging = false;
}

LRESULT HtmlView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_TIMER: return OnTimer(wp);
    case WM_SIZE: return OnSize(wp, LOWORD(lp), HIWORD(lp));
    case WM_MOUSEMOVE: return OnMouseMove(wp, PointFrom(lp));
    case WM_LBUTTONDOWN: return OnLButtonDown(wp, PointFrom(lp));
    case WM_LBUTTONUP: return OnLButtonUp(wp, PointFrom(lp));
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lp));
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_DESTROY: ReleaseContent(); return Window::HandleMessage(msg, wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void HtmlView::Rebuild() {
    win::ClientDC dc(Handle());
    Layout layout = LayOut(dc.Get(), text, clientRect.right, transparentColor);
    normalSurface = std::move(layout.normalSurface);
    hoverSurface = std::move(layout.hoverSurface);
    contentHeight = layout.contentHeight;
    linkRects = std::move(layout.linkRects);
    linkTargets = std::move(layout.linkTargets);
}

// Each frame is composed off-screen from the background up and copied to
// the window once; the content comes only from the prepared surfaces.
LRESULT HtmlView::OnPaint() {
    win::PaintDC paint(Handle());
    const int w = clientRect.right;
    const int b = clientRect.bottom;
    const int h = contentHeight;
    const int off = scrollOffset;

    win::MemoryDC frame(paint.Get());
    win::Bitmap frameBitmap = win::Bitmap::Compatible(paint.Get(), std::max(w, 1), std::max(b, 1));
    win::SelectGuard selectFrame(frame.Get(), frameBitmap);
    if (drawBackground != nullptr) {
        drawBackground(frame.Get(), clientRect.ToRECT(), dragging || firstPaint, backgroundColor);
    } else {
        win::FillSolidRect(frame.Get(), clientRect, backgroundColor);
    }

    // The bare background under the hovered link, kept to put back below its
    // hover look. Only the part inside the window matters.
    win::Rect link;
    if (!hoverRect.IsNull()) {
        if (h <= b) link = hoverRect;
        else if (h - off + hoverRect.top < b) link = hoverRect.Offset(0, h - off);  // in the repeated copy
        else link = hoverRect.Offset(0, -off);
    }
    const win::Rect shown = link.Intersect(clientRect);
    win::MemoryDC under(paint.Get());
    win::Bitmap underBitmap;
    if (!shown.IsEmpty()) underBitmap = win::Bitmap::Compatible(paint.Get(), shown.Width(), shown.Height());
    win::SelectGuard selectUnder(under.Get(), underBitmap);
    if (!shown.IsEmpty()) ClippedBlit(under.Get(), {0, 0, shown.Width(), shown.Height()}, frame.Get(), shown.TopLeft());

    win::MemoryDC content(paint.Get());
    {
        win::SelectGuard selectNormal(content.Get(), normalSurface);
        if (h <= b) {
            TransparentBlit(content.Get(), frame.Get(), transparentColor, {0, 0, w, h}, {0, 0});
        } else {
            TransparentBlit(content.Get(), frame.Get(), transparentColor, {0, 0, w, std::min(h - off, b)}, {0, off});
            if (h - off < b) TransparentBlit(content.Get(), frame.Get(), transparentColor, {0, h - off, w, b}, {0, 0});
        }
    }
    if (!shown.IsEmpty()) {
        ClippedBlit(frame.Get(), shown, under.Get(), {0, 0});
        win::SelectGuard selectHover(content.Get(), hoverSurface);
        const win::Point from = hoverRect.TopLeft().Offset(shown.left - link.left, shown.top - link.top);
        TransparentBlit(content.Get(), frame.Get(), transparentColor, shown, from);
    }

    ::BitBlt(paint.Get(), 0, 0, w, b, frame.Get(), 0, 0, SRCCOPY);
    firstPaint = false;
    return 0;
}

LRESULT HtmlView::OnTimer(UINT_PTR id) {
    if (id != kScrollTimer) return DefaultProc(WM_TIMER, id, 0);
    // Hidden, nothing moves and the timer keeps its period.
    if (!IsVisible()) return 0;
    // Offsets cycle through 1 ... H; offset H shows what offset 0 shows.
    scrollOffset = scrollOffset >= contentHeight ? 1 : scrollOffset + 1;

    POINT screen{};
    if (::GetCursorPos(&screen)) {
        win::Point p = ScreenToClient(screen);
        if (clientRect.Contains(p) && ::WindowFromPoint(screen) == Handle()) UpdateHover(p);
    }
    Invalidate(false);
    Update();
    SetTimer(kScrollTimer, static_cast<UINT>(std::max(interval, 0)));
    return 0;
}

LRESULT HtmlView::OnSize(WPARAM type, int cx, int cy) {
    LRESULT result = DefaultProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    clientRect = ClientRect();
    Rebuild();
    return result;
}

LRESULT HtmlView::OnMouseMove(WPARAM /*flags*/, win::Point p) {
    if (dragging) {
        // Keeps content y dragAnchor under the pointer. A text changed during
        // the drag may leave no content height to wrap around.
        const int h = contentHeight;
        if (h > 0) {
            const int r = static_cast<int>((std::int64_t{dragAnchor} - p.y) % h);
            scrollOffset = r < 0 ? r + h : r;
        } else {
            scrollOffset = 0;
        }
        Invalidate(false);
        Update();
        return 0;
    }
    // Told when the pointer leaves, to take the hover look away.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    ::TrackMouseEvent(&track);
    if (clientRect.Contains(p)) UpdateHover(p);
    return 0;
}

LRESULT HtmlView::OnMouseLeave() {
    if (!hoverRect.IsNull()) {
        hoverRect = {};
        Invalidate(false);
        Update();
    }
    return 0;
}

LRESULT HtmlView::OnLButtonDown(WPARAM /*flags*/, win::Point p) {
    const int i = HitTestLink(p.x, p.y);
    if (i != -1) {
        hoverRect = {};
        FollowLink(linkTargets[static_cast<std::size_t>(i)]);
        return 0;
    }
    if (dragScroll && Scrolls()) {
        KillTimer(kScrollTimer);
        dragging = true;
        dragAnchor = scrollOffset + p.y;
        Invalidate(true);
        Update();
        SetCapture();
    }
    return 0;
}

LRESULT HtmlView::OnLButtonUp(WPARAM /*flags*/, win::Point /*p*/) {
    if (dragging) EndDrag();
    return 0;
}

// Alt+Tab or a pop-up took the mouse during a drag: the button-up will not
// come here, so the drag ends now.
LRESULT HtmlView::OnCaptureChanged(HWND taker) {
    if (dragging && taker != Handle()) EndDrag();
    return 0;
}

void HtmlView::EndDrag() {
    dragging = false;  // first: releasing the capture comes back through OnCaptureChanged
    if (HasCapture()) ReleaseCapture();
    OnTimer(kScrollTimer);  // one step, and the timer again at its plain period
}

void HtmlView::UpdateHover(win::Point p) {
    const int i = HitTestLink(p.x, p.y);
    ::SetCursor(i == -1 ? normalCursor : handCursor);
    hoverRect = i == -1 ? win::Rect{} : linkRects[static_cast<std::size_t>(i)];
}

// "#", an optional argument, "#" and a number: a registered callback. Any
// other target goes to the shell.
void HtmlView::FollowLink(std::string target) {
    if (target.empty() || target[0] != '#') {
        win::ShellExecute(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOW);
        return;
    }
    std::optional<std::string> argument;
    std::string number;
    const std::size_t k = target.find('#', 1);
    if (k == std::string::npos) {
        number = target.substr(1);
    } else {
        argument = target.substr(1, k - 1);
        number = target.substr(k + 1);
    }
    // Never an address: only a number this control handed out is called.
    const std::optional<std::int32_t> n = CallbackNumber(number);
    if (!n || *n <= 0 || static_cast<std::size_t>(*n) > callbacks.size()) return;
    LinkCallback callback = callbacks[static_cast<std::size_t>(*n) - 1];
    callback(argument ? argument->c_str() : nullptr);
}

}  // namespace markup
