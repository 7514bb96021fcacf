#include "viewer/VpkViewerDialog.h"

#include <algorithm>
#include <vector>

#include "resource.h"
#include "skin/SkinColors.h"
#include "win/Placement.h"

// The viewer's panes: where they lie, the dividers between them, the strips
// painted over them, and the placement kept from one run to the next.
namespace viewer {
namespace {

using skin::kCaptionBackground;
using skin::kCaptionText;
// How far each divider may be dragged from where it starts, in pixels.
constexpr int kDragBefore = 450;
constexpr int kDragAfter = 600;
// The entry list ends this far above the client bottom: the skinned
// horizontal bar (12 pixels) sits right under it.
constexpr int kEntryListBottomGap = 13;
constexpr const char* kPlacementValue = "ViewerPlacement";

constexpr const char* kPlaceholder =
    "\r\n\r\n\r\n\r\nA preview of the files\r\n will be shown here\r\n(currently only ASCII files)";

void MoveItem(HWND item, const win::Rect& r) {
    ::MoveWindow(item, r.left, r.top, r.Width(), std::max(r.Height(), 0), TRUE);
}

void PaintStrip(HDC dc, const win::Rect& r, const char* text, UINT format) {
    win::FillSolidRect(dc, r, kCaptionBackground);
    win::Draw3dRect(dc, r, kCaptionText, kCaptionText);
    RECT box = r.ToRECT();
    ::DrawTextA(dc, text, -1, &box, format);
}

}  // namespace

void VpkViewerDialog::CreateDividers() {
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE;
    horizontalDivider.Create(kStyle, ItemRect(IDC_HORIZONTAL_DIVIDER), Handle(), IDC_HORIZONTAL_DIVIDER);
    horizontalDivider.SetDragLimits(kDragBefore, kDragAfter, -1);
    verticalDivider.Create(kStyle, ItemRect(IDC_VERTICAL_DIVIDER), Handle(), IDC_VERTICAL_DIVIDER);
    verticalDivider.SetDragLimits(kDragBefore, kDragAfter, -1);
}

void VpkViewerDialog::RepaintContentsStrip() {
    const RECT strip = ItemRect(IDC_CONTENTS_CAPTION).ToRECT();
    ::InvalidateRect(Handle(), &strip, FALSE);
}

void VpkViewerDialog::RestorePlacement() {
    std::vector<int> dividers;
    const std::optional<win::Rect> placed = win::LoadPlacement(kPlacementValue, 2, dividers);
    if (!placed) return;
    ::SetWindowPos(Handle(), nullptr, placed->left, placed->top, placed->Width(), placed->Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // Each divider as far as it may be dragged: within the client area.
    const win::Rect client = ClientRect();
    const win::Rect lying = horizontalDivider.RectInParent();
    const win::Rect upright = verticalDivider.RectInParent();
    if (dividers[0] > 0 && dividers[0] < client.bottom - kEntryListBottomGap && dividers[0] != lying.top) {
        const int delta = dividers[0] - lying.top;
        MoveItem(horizontalDivider.Handle(), lying.Offset(0, delta));
        OnHorizontalDividerMoved(delta);
    }
    if (dividers[1] > 0 && dividers[1] < client.right - SplitterBar::kThickness && dividers[1] != upright.left) {
        const int delta = dividers[1] - upright.left;
        MoveItem(verticalDivider.Handle(), upright.Offset(delta, 0));
        OnVerticalDividerMoved(delta);
    }
}

void VpkViewerDialog::SavePlacement() {
    win::SavePlacement(kPlacementValue, Handle(),
                       {horizontalDivider.RectInParent().top, verticalDivider.RectInParent().left});
}

// The horizontal divider was dropped: the "Contents" strip and the border
// between the two lists follow it.
void VpkViewerDialog::OnHorizontalDividerMoved(int delta) {
    for (HWND strip : {Item(IDC_CONTENTS_CAPTION), filterBox.Handle()}) {
        MoveItem(strip, win::RectInParent(strip).Offset(0, delta));
    }
    SplitterBar::AdjustHeight(packList.Handle(), delta, EDGE_BOTTOM);
    SplitterBar::AdjustHeight(entryList.Handle(), -delta, EDGE_TOP);
    Invalidate(true);
    Update();
}

// The vertical divider was dropped: the left panes widen by what the preview
// pane gives up.
void VpkViewerDialog::OnVerticalDividerMoved(int delta) {
    for (HWND pane : {packList.Handle(), entryList.Handle(), Item(IDC_PACKS_CAPTION), Item(IDC_CONTENTS_CAPTION),
                      filterBox.Handle(), horizontalDivider.Handle()}) {
        SplitterBar::AdjustWidth(pane, delta, EDGE_RIGHT);
    }
    for (int id : {IDC_PREVIEW_CAPTION, IDC_PREVIEW_STATUS, IDC_PREVIEW_TEXT}) {
        SplitterBar::AdjustWidth(Item(id), -delta, EDGE_LEFT);
    }
    HWND frame = Item(IDC_PREVIEW_FRAME);
    MoveItem(frame, win::RectInParent(frame).Offset(delta, 0));
    Invalidate(true);
    Update();
}

LRESULT VpkViewerDialog::OnSize(WPARAM type, int cx, int cy) {
    const LRESULT result = DefaultProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    // The system may size the window before WM_INITDIALOG, when the lists
    // and dividers are not there yet.
    if (laidOut) Layout();
    return result;
}

// The panes' places for the client area's size.
void VpkViewerDialog::Layout() {
    const win::Rect client = ClientRect();

    HWND packs = Item(IDC_PACKS_CAPTION);
    const win::Rect packsRect = win::RectInParent(packs);
    MoveItem(packs, packsRect.Offset(-packsRect.left, -packsRect.top));

    win::Rect entries = entryList.RectInParent();
    entries.bottom = client.bottom - kEntryListBottomGap;
    MoveItem(entryList.Handle(), entries);

    win::Rect divider = verticalDivider.RectInParent();
    divider.bottom = client.bottom;
    MoveItem(verticalDivider.Handle(), divider);

    // The caption strip, the status line right under it, the view below.
    const int x = divider.right;
    const int captionHeight = ItemRect(IDC_PREVIEW_CAPTION).Height();
    const int statusTop = captionHeight + 1;
    const int statusBottom = statusTop + ItemRect(IDC_PREVIEW_STATUS).Height();
    MoveItem(Item(IDC_PREVIEW_CAPTION), {x, 0, client.right - 1, captionHeight});
    MoveItem(Item(IDC_PREVIEW_STATUS), {x, statusTop, client.right - 1, statusBottom});
    MoveItem(Item(IDC_PREVIEW_TEXT), {x, statusBottom, client.right - 1, client.bottom - 1});
    Invalidate(true);
}

LRESULT VpkViewerDialog::OnPaint() {
    win::PaintDC paint(Handle());
    HDC dc = paint.Get();
    ::SetTextColor(dc, kCaptionText);
    ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    PaintStrip(dc, ItemRect(IDC_PACKS_CAPTION), "VPK Files", kCaptionFormat);
    // While a filter is set: "Contents (1,234 of 20,000)".
    std::string contents = "Contents";
    if (!entryList.FilterText().empty()) {
        contents += " (" + WithThousands(static_cast<std::size_t>(entryList.RowCount())) + " of " +
                    WithThousands(entryList.EntryCount()) + ")";
    }
    PaintStrip(dc, ItemRect(IDC_CONTENTS_CAPTION), contents.c_str(), kCaptionFormat);
    PaintStrip(dc, ItemRect(IDC_PREVIEW_CAPTION), "Preview Area", kCaptionFormat);
    PaintStrip(dc, ItemRect(IDC_PREVIEW_FRAME), kPlaceholder, DT_CENTER | DT_TOP);
    return 0;
}

}  // namespace viewer
