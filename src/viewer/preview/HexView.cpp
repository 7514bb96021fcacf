#include "viewer/preview/HexView.h"

#include <algorithm>
#include <vector>

#include "skin/MemDC.h"
#include "viewer/preview/HexRows.h"
#include "viewer/preview/ViewSupport.h"
#include "win/Gdi.h"

namespace viewer::preview {
namespace {

constexpr const char* kClassName = "TessaroHexView";
constexpr int kLeftMargin = 2;
// The bar's positions stop here; more rows than that are scaled into it.
constexpr std::uint64_t kMaxBarLimit = 1u << 20;
// Ctrl+C copies at most this many rows (about 20 MB of text); a larger
// selection copies nothing rather than part of it.
constexpr std::uint64_t kMaxCopyRows = 1u << 18;

}  // namespace

bool HexView::Create(HWND parent, int id, const RECT& rect) {
    if (!CreateView(kClassName, IDC_ARROW, parent, id, rect)) return false;
    if (!CreateBar(hbar, Handle(), &across)) return false;
    OnSetFont(0, 0);
    return true;
}

void HexView::SetSource(std::uint64_t byteCount, ByteReader reader) {
    size = reader ? byteCount : 0;
    read = std::move(reader);
    readFailed = false;
    top = anchor = caret = 0;
    hasSelection = false;
    Changed();
}

LRESULT HexView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_SIZE: return OnSize();
    case WM_SETFONT: return OnSetFont(wp, lp);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
    case WM_HSCROLL: return OnHScroll(wp);
    case WM_KEYDOWN: return OnKeyDown(wp, lp);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(false); return 0;
    case WM_GETTEXT: return AnswerGetText(ScreenText(), wp, lp);
    case WM_GETTEXTLENGTH: return AnswerGetText(ScreenText(), 0, 0);
    default: return ScrollingView::HandleMessage(msg, wp, lp);
    }
}

// The rows line up only in a fixed-pitch face: the view takes the height of
// the font it is given and draws in a fixed-pitch face of that height.
LRESULT HexView::OnSetFont(WPARAM wp, LPARAM lp) {
    LOGFONTA given{};
    if (wp == 0 || ::GetObjectA(reinterpret_cast<HFONT>(wp), sizeof given, &given) == 0) given.lfHeight = -12;
    LOGFONTA fixed{};
    fixed.lfHeight = given.lfHeight;
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    fixed.lfCharSet = ANSI_CHARSET;
    lstrcpynA(fixed.lfFaceName, "Courier New", LF_FACESIZE);
    fixedFont = win::Font::FromLogFont(fixed);
    font = reinterpret_cast<HFONT>(wp);
    Changed();
    if (LOWORD(lp) != 0) Invalidate(false);
    return 0;
}

void HexView::Changed() {
    if (!IsWindow()) return;
    win::ClientDC dc(Handle());
    win::SelectGuard selection(dc.Get(), fixedFont);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc.Get(), &metrics);
    lineHeight = std::max<int>(metrics.tmHeight, 1);
    charWidth = std::max<int>(metrics.tmAveCharWidth, 1);
    const unsigned char widest[kRowBytes] = {};
    const std::string row = HexRow(0, widest, kRowBytes);
    SIZE extent{};
    ::GetTextExtentPoint32A(dc.Get(), row.data(), static_cast<int>(row.size()), &extent);
    rowWidth = extent.cx + 2 * kLeftMargin;
    PlaceBars();
}

LRESULT HexView::OnSize() {
    PlaceBars();
    return 0;
}

bool HexView::RowsTooWide() const {
    return rowWidth > ContentWidth(ClientRect());
}

int HexView::TextHeight() const {
    return ClientRect().Height() - (RowsTooWide() ? skin::SkinHScrollBar::kHeight : 0);
}

void HexView::PlaceBars() {
    const win::Rect client = ClientRect();
    bar.Move(BarRect(client));
    hbar.Move({client.left, client.bottom - skin::SkinHScrollBar::kHeight, ContentWidth(client), client.bottom});
    hbar.Show(RowsTooWide() ? SW_SHOWNA : SW_HIDE);
    SetLeft(left);
    SetTop(top);
}

int HexView::LeftLimit() const {
    return std::max(rowWidth - ContentWidth(ClientRect()), 0);
}

void HexView::SetLeft(int x) {
    left = std::clamp(x, 0, LeftLimit());
    Invalidate(false);
    hbar.SyncToList();
}

// Rows wholly on screen (at least one).
std::uint64_t HexView::RowsOnScreen() const {
    return static_cast<std::uint64_t>(std::max(TextHeight() / lineHeight, 1));
}

std::uint64_t HexView::LastTop() const {
    const std::uint64_t rows = RowCount();
    const std::uint64_t page = RowsOnScreen();
    return rows > page ? rows - page : 0;
}

void HexView::SetTop(std::uint64_t row) {
    top = std::min(row, LastTop());
    Invalidate(false);
    bar.SyncToList();
}

void HexView::ScrollRows(long long rows) {
    if (rows < 0) {
        const auto up = static_cast<std::uint64_t>(-rows);
        SetTop(top > up ? top - up : 0);
    } else {
        SetTop(top + static_cast<std::uint64_t>(rows));
    }
}

void HexView::ScrollToEnd() {
    SetTop(LastTop());
}

int HexView::BarLimit() const {
    return static_cast<int>(std::min(LastTop(), kMaxBarLimit));
}

int HexView::BarPosition() const {
    const std::uint64_t last = LastTop();
    if (last <= kMaxBarLimit) return static_cast<int>(top);
    return static_cast<int>(static_cast<double>(top) / static_cast<double>(last) * kMaxBarLimit);
}

void HexView::BarScrollTo(int position) {
    const std::uint64_t last = LastTop();
    const auto pos = static_cast<std::uint64_t>(std::max(position, 0));
    if (last <= kMaxBarLimit) {
        SetTop(pos);
    } else {
        SetTop(static_cast<std::uint64_t>(static_cast<double>(pos) / kMaxBarLimit * static_cast<double>(last)));
    }
}

// The bytes of rows [first, first + count) within the data, each row
// formatted; nothing once a read has failed (the reader reports its own
// failure, and a paint must not ask again and again).
std::string HexView::RowsText(std::uint64_t first, std::uint64_t count) {
    std::string out;
    const std::uint64_t rows = RowCount();
    if (first >= rows || readFailed) return out;
    count = std::min(count, rows - first);
    const std::uint64_t begin = first * kRowBytes;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(count * kRowBytes, size - begin));
    std::vector<unsigned char> bytes(length);
    if (!read(begin, length, bytes.data())) {
        readFailed = true;
        return out;
    }
    for (std::size_t at = 0; at < length; at += kRowBytes) {
        out += HexRow(begin + at, bytes.data() + at, std::min(kRowBytes, length - at));
        out += "\r\n";
    }
    return out;
}

std::string HexView::ScreenText() {
    const int height = TextHeight();
    return RowsText(top, static_cast<std::uint64_t>((height + lineHeight - 1) / lineHeight));
}

std::string HexView::SelectedText() {
    if (!hasSelection) return {};
    const std::uint64_t first = std::min(anchor, caret);
    const std::uint64_t count = std::max(anchor, caret) - first + 1;
    if (count > kMaxCopyRows) return {};
    return RowsText(first, count);
}

void HexView::SelectAll() {
    if (RowCount() == 0) return;
    anchor = 0;
    caret = RowCount() - 1;
    hasSelection = true;
}

void HexView::PointTo(win::Point point, bool extend) {
    if (RowCount() != 0) MoveCaret(RowAt(point.y), extend);
}

void HexView::CopySelection() {
    const std::string text = SelectedText();
    if (text.empty() || !CopyToClipboard(Handle(), text)) ::MessageBeep(MB_ICONWARNING);
}

LRESULT HexView::OnPaint() {
    win::PaintDC paint(Handle());
    const win::Rect client = ClientRect();
    const win::Rect area{0, 0, ContentWidth(client), TextHeight()};
    if (area.Width() <= 0 || area.Height() <= 0) return 0;
    skin::MemDC dc(paint.Get(), area);
    win::SelectGuard selection(dc.Get(), fixedFont);
    HBRUSH background = ParentColors(Handle(), dc.Get());
    const COLORREF text = ::GetTextColor(dc.Get());
    const COLORREF back = ::GetBkColor(dc.Get());
    RECT whole = area.ToRECT();
    ::FillRect(dc.Get(), &whole, background);
    ::SetBkMode(dc.Get(), OPAQUE);

    const std::string rows = ScreenText();
    const std::uint64_t first = std::min(anchor, caret);
    const std::uint64_t last = std::max(anchor, caret);
    int y = 0;
    std::uint64_t row = top;
    for (std::size_t at = 0; at < rows.size(); ++row, y += lineHeight) {
        const std::size_t end = rows.find('\r', at);
        const bool selected = hasSelection && row >= first && row <= last;
        if (selected) {
            SelectHighlight(dc.Get());
            win::FillSolidRect(dc.Get(), {0, y, area.right, y + lineHeight}, ::GetBkColor(dc.Get()));
        } else {
            ::SetTextColor(dc.Get(), text);
            ::SetBkColor(dc.Get(), back);
        }
        ::TextOutA(dc.Get(), kLeftMargin - left, y, rows.data() + at, static_cast<int>(end - at));
        at = end + 2;
    }
    return 0;
}

LRESULT HexView::OnHScroll(WPARAM wp) {
    switch (LOWORD(wp)) {
    case SB_LINELEFT: SetLeft(left - charWidth); break;
    case SB_LINERIGHT: SetLeft(left + charWidth); break;
    case SB_PAGELEFT: SetLeft(left - ContentWidth(ClientRect())); break;
    case SB_PAGERIGHT: SetLeft(left + ContentWidth(ClientRect())); break;
    default: break;
    }
    return 0;
}

// Left and right scroll sideways. Without Shift the other keys scroll; with Shift they move the selection's far
// end and keep it on screen.
LRESULT HexView::OnKeyDown(WPARAM wp, LPARAM lp) {
    const std::uint64_t rows = RowCount();
    const auto page = static_cast<long long>(RowsOnScreen());
    long long by = 0;
    bool toStart = false;
    bool toEnd = false;
    switch (wp) {
    case VK_UP: by = -1; break;
    case VK_DOWN: by = 1; break;
    case VK_PRIOR: by = -page; break;
    case VK_NEXT: by = page; break;
    case VK_HOME: toStart = true; break;
    case VK_END: toEnd = true; break;
    case VK_LEFT: return OnHScroll(SB_LINELEFT);
    case VK_RIGHT: return OnHScroll(SB_LINERIGHT);
    default: return ScrollingView::HandleMessage(WM_KEYDOWN, wp, lp);
    }
    if (!ShiftHeld() || rows == 0) {
        if (toStart) SetTop(0);
        if (toEnd) ScrollToEnd();
        ScrollRows(by);
        return 0;
    }
    std::uint64_t goal = hasSelection ? caret : top;
    if (toStart) goal = 0;
    if (toEnd) goal = rows - 1;
    if (by < 0) goal -= std::min(goal, static_cast<std::uint64_t>(-by));
    if (by > 0) goal = std::min(goal + static_cast<std::uint64_t>(by), rows - 1);
    MoveCaret(goal, true);
    return 0;
}

std::uint64_t HexView::RowAt(int y) const {
    const std::uint64_t rows = RowCount();
    if (rows == 0) return 0;
    if (y < 0) return top > 0 ? top - 1 : 0;
    return std::min(top + static_cast<std::uint64_t>(y / lineHeight), rows - 1);
}

void HexView::MoveCaret(std::uint64_t row, bool extend) {
    if (!extend || !hasSelection) anchor = row;
    caret = row;
    hasSelection = RowCount() != 0;
    if (caret < top) SetTop(caret);
    if (caret >= top + RowsOnScreen()) SetTop(caret - RowsOnScreen() + 1);
    Invalidate(false);
}

}  // namespace viewer::preview
