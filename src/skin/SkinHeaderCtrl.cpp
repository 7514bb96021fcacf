#include "skin/SkinHeaderCtrl.h"

#include <cstring>

#include "resource.h"
#include "skin/MemDC.h"
#include "skin/SkinColors.h"

namespace skin {
namespace {

constexpr int kStripHeight = 12;
constexpr int kTitleBufferSize = 255;

// Copies `bitmap` whole to (x, y), selected into `bitmapDC` only for the copy.
void DrawBitmap(HDC dc, HDC bitmapDC, const win::Bitmap& bitmap, int x, int y, int width, int height) {
    win::SelectGuard selection(bitmapDC, bitmap);
    ::BitBlt(dc, x, y, width, height, bitmapDC, 0, 0, SRCCOPY);
}

// Stretches `bitmap` (source width x height from its origin) over the
// destination rectangle.
void StretchBitmap(HDC dc, HDC bitmapDC, const win::Bitmap& bitmap, const win::Rect& to, int sourceWidth,
                   int sourceHeight) {
    win::SelectGuard selection(bitmapDC, bitmap);
    ::StretchBlt(dc, to.left, to.top, to.Width(), to.Height(), bitmapDC, 0, 0, sourceWidth, sourceHeight,
                 SRCCOPY);
}

win::Font TitleFont() {
    LOGFONTA description{};
    description.lfHeight = kHeaderTitleHeight;
    std::strcpy(description.lfFaceName, kHeaderTitleFace);
    return win::Font::FromLogFont(description);
}

// The sorted column's mark: a small triangle in the title colour at the
// column's right end, its point up for ascending.
void DrawSortMark(HDC dc, const win::Rect& column, bool ascending) {
    constexpr int kRows = 3;
    const int right = column.right - 4;
    const int top = (kStripHeight - kRows) / 2;
    for (int row = 0; row < kRows; ++row) {
        const int half = ascending ? row : kRows - 1 - row;
        win::FillSolidRect(dc, {right - 2 * kRows + 1 + (kRows - 1 - half), top + row, right - (kRows - 1 - half), top + row + 1},
                           kHeaderText);
    }
}

}  // namespace

LRESULT SkinHeaderCtrl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return OnEraseBkgnd();
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void SkinHeaderCtrl::DrawItem(const DRAWITEMSTRUCT&) {}

// Runs whenever the header is invalid: after a column is sized, dragged or
// added, and with the list's own repaints.
LRESULT SkinHeaderCtrl::OnPaint() {
    win::PaintDC paint(Handle());
    Paint(paint.Get(), ClientRect());
    return 0;
}

void SkinHeaderCtrl::Paint(HDC paintDC, const win::Rect& client) {
    MemDC dc(paintDC, client);
    win::MemoryDC bitmapDC(paintDC);

    win::FillSolidRect(dc.Get(), client, kHeaderBackground);
    {
        win::Bitmap body = win::Bitmap::Load(IDB_HEADER_BODY);
        StretchBitmap(dc.Get(), bitmapDC.Get(), body, win::Rect::FromSize(client.left + 2, 0, client.Width(), kStripHeight),
                      1, kStripHeight);
    }

    const int count = static_cast<int>(Send(HDM_GETITEMCOUNT));
    win::Bitmap left = win::Bitmap::Load(IDB_HEADER_LEFT);
    win::Bitmap body = win::Bitmap::Load(IDB_HEADER_BODY);
    win::Bitmap right = win::Bitmap::Load(IDB_HEADER_RIGHT);
    for (int i = 0; i < count; ++i) {
        char text[kTitleBufferSize] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = kTitleBufferSize;
        Send(HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT itemRect{};
        Send(HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&itemRect));
        const win::Rect column = itemRect;

        // The column first in display order opens with the light line; the
        // others overlap their left neighbour's right edge by one pixel so
        // that a single light line separates two columns.
        if (item.iOrder == 0) {
            DrawBitmap(dc.Get(), bitmapDC.Get(), left, column.left, 0, 2, kStripHeight);
        } else {
            DrawBitmap(dc.Get(), bitmapDC.Get(), left, column.left - 1, 0, 2, kStripHeight);
            DrawBitmap(dc.Get(), bitmapDC.Get(), body, column.left + 1, 0, 1, kStripHeight);
        }
        StretchBitmap(dc.Get(), bitmapDC.Get(), body,
                      win::Rect::FromSize(column.left + 2, 0, column.Width() - 4, kStripHeight), 1, kStripHeight);
        DrawBitmap(dc.Get(), bitmapDC.Get(), right, column.right - 2, 0, 2, kStripHeight);

        DRAWITEMSTRUCT drawItem{};
        drawItem.CtlType = ODT_HEADER;
        drawItem.itemID = static_cast<UINT>(i);
        drawItem.itemAction = ODA_DRAWENTIRE;
        drawItem.hwndItem = Handle();
        drawItem.hDC = paintDC;
        drawItem.rcItem = column.ToRECT();
        DrawItem(drawItem);

        win::Font font = TitleFont();
        win::SelectGuard fontSelection(dc.Get(), font);
        ::SetTextColor(dc.Get(), kHeaderText);
        ::SetBkMode(dc.Get(), TRANSPARENT);
        RECT titleRect = column.Deflate(2).ToRECT();
        Send(HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        ::DrawTextA(dc.Get(), text, -1, &titleRect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        if ((item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0) DrawSortMark(dc.Get(), column, (item.fmt & HDF_SORTUP) != 0);
    }
}

}  // namespace skin
