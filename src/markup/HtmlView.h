// HtmlView: a child window that shows text in the credits markup and scrolls
// it upwards by itself in an endless loop — when the end of the content has
// risen into view, its beginning follows directly below. Over a link the
// pointer turns into a hand and the link takes its hover look; a click opens
// the target through the shell, or, for a "#" target, calls a callback the
// owner registered. When the content is taller than the window the user can
// drag it with the left button.
//
// The owner paints the background through `drawBackground`; every content
// pixel in `transparentColor` lets it show through. Typical use:
//
//     view.SetText(credits);                 // before or after creation
//     view.transparentColor = RGB(0, 0, 0);
//     view.drawBackground = PaintGrid;
//     view.CreateOver(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, 1006, dialog, 0, 133, 0);
//
// The layout (two content-high pictures and the link table) is redone at
// every text change and resize; a scroll step only copies from it. The
// control owns its surfaces, its copied hand cursor and its callbacks, and
// releases them when it is destroyed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win/Format.h"
#include "win/Gdi.h"
#include "win/Window.h"

namespace markup {

// Paints the whole of `rect` in `dc`: nothing else clears a frame. `refresh`
// is TRUE while a drag is in progress and during the first paint in the process.
using BackgroundProc = void (*)(HDC dc, RECT rect, BOOL refresh, COLORREF color);

// The default background: `rect` filled with `color`.
void FillBackground(HDC dc, RECT rect, BOOL refresh, COLORREF color);

class HtmlView : public win::Window {
public:
    static constexpr UINT_PTR kScrollTimer = 100;

    // Called for a "#" link with the text between its two "#", or with null
    // when the target holds one "#" only.
    using LinkCallback = std::function<void(const char* argument)>;

    HtmlView();
    ~HtmlView() override;

    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, int id, UINT normalCursorId,
                UINT handCursorId);
    // Over the parent's child `placeholderId`, which stays in place beneath.
    bool CreateOver(DWORD exStyle, DWORD style, int placeholderId, HWND parent, int id, UINT normalCursorId,
                    UINT handCursorId);

    // The markup, expanded printf-style (a literal "%" is written "%%");
    // lays it out at once when the window exists. Returns the previous text.
    std::string SetText(const char* format, ...) TESSARO_PRINTF(2, 3);
    const std::string& Text() const { return text; }

    // Makes `callback` known to "#" links; returns the number to write after
    // the "#" (always above 0). Only registered numbers are ever called.
    int RegisterCallback(LinkCallback callback);

    // The hand-shaped pointer for links, unless one is set already.
    void LoadHandCursor();
    // Index of the link under the client point, or -1.
    int HitTestLink(int x, int y) const;

    int ScrollOffset() const { return scrollOffset; }
    void SetScrollOffset(int offset) { scrollOffset = offset; }
    int ContentHeight() const { return contentHeight; }
    const std::vector<win::Rect>& LinkRects() const { return linkRects; }
    const std::vector<std::string>& LinkTargets() const { return linkTargets; }
    const win::Rect& HoverRect() const { return hoverRect; }
    bool IsDragging() const { return dragging; }
    HCURSOR NormalCursor() const { return normalCursor; }
    HCURSOR HandCursor() const { return handCursor; }

    bool DestroyWindow() override;

    bool dragScroll = true;
    int interval = 40;  // milliseconds per one-pixel step
    BackgroundProc drawBackground = FillBackground;
    COLORREF backgroundColor;  // COLOR_BTNFACE
    COLORREF transparentColor = RGB(255, 0, 255);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnPaint();
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnSize(WPARAM type, int cx, int cy);
    LRESULT OnMouseMove(WPARAM flags, win::Point p);
    LRESULT OnLButtonDown(WPARAM flags, win::Point p);
    LRESULT OnLButtonUp(WPARAM flags, win::Point p);
    LRESULT OnCaptureChanged(HWND taker);
    LRESULT OnMouseLeave();
    void EndDrag();

    // Lays the text out for the current width (needs the window).
    void Rebuild();
    void UpdateHover(win::Point p);
    void FollowLink(std::string target);  // a copy: a callback may change the text
    void ReleaseContent();
    bool Scrolls() const { return contentHeight > clientRect.bottom; }

    int scrollOffset = 0;
    HCURSOR normalCursor = nullptr;
    HCURSOR handCursor = nullptr;
    bool ownsHandCursor = false;  // a copy made by LoadHandCursor
    std::string text;
    std::vector<win::Rect> linkRects;
    std::vector<std::string> linkTargets;
    win::Rect clientRect;
    win::Rect hoverRect;
    bool dragging = false;
    int dragAnchor = 0;
    int contentHeight = 0;
    win::Bitmap hoverSurface;
    win::Bitmap normalSurface;
    std::vector<LinkCallback> callbacks;
};

}  // namespace markup
