#include "viewer/preview/TextView.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "skin/MemDC.h"
#include "viewer/preview/ViewSupport.h"

namespace viewer::preview {
namespace {

constexpr const char* kClassName = "TessaroTextView";
// Room left and right of the text, as an edit control leaves it.
constexpr int kMargin = 2;
// Tab stops every eight average characters, an edit control's default.
constexpr int kTabChars = 8;

// `text` with every line end (LF, CRLF, lone CR) written as CRLF.
std::string WithCrLf(const char* text, std::size_t size) {
    std::string out;
    out.reserve(size + size / 32);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool TextView::Create(HWND parent, int id, const RECT& rect) {
    if (!CreateView(kClassName, IDC_IBEAM, parent, id, rect)) return false;
    MeasureFont();
    return true;
}

void TextView::SetText(std::string newText) {
    text = std::move(newText);
    IndexLines();
    top = {};
    anchor = caret = 0;
    if (IsWindow()) {
        bar.SyncToList();
        Invalidate(false);
    }
}

// One pass: every LF ends a line, and so does a CR not followed by one.
void TextView::IndexLines() {
    lineStarts.assign(1, 0);
    rows.clear();
    displayLength = text.size();
    const char* begin = text.data();
    const std::size_t size = text.size();
    std::size_t at = 0;
    // The next LF at or after `at`; searched again only once passed, so lone
    // CRs do not make the pass quadratic.
    std::size_t lfAt = 0;
    const char* lf = nullptr;
    while (at < size) {
        if (at == 0 || lfAt < at) {
            lf = static_cast<const char*>(std::memchr(begin + at, '\n', size - at));
            lfAt = lf != nullptr ? static_cast<std::size_t>(lf - begin) : size;
        }
        const auto* cr = static_cast<const char*>(std::memchr(begin + at, '\r', lfAt - at));
        std::size_t next = 0;
        if (cr != nullptr && static_cast<std::size_t>(cr - begin) + 1 != lfAt) {
            next = static_cast<std::size_t>(cr - begin) + 1;  // a lone CR
            ++displayLength;
        } else if (lf != nullptr) {
            next = lfAt + 1;
            if (cr == nullptr) ++displayLength;  // a bare LF
        } else {
            break;
        }
        lineStarts.push_back(next);
        at = next;
    }
}

std::size_t TextView::LineEnd(std::size_t line) const {
    if (line + 1 >= lineStarts.size()) return text.size();
    std::size_t end = lineStarts[line + 1] - 1;
    if (text[end] == '\n' && end > lineStarts[line] && text[end - 1] == '\r') --end;
    return end;
}

void TextView::MeasureFont() {
    HFONT chosen = font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    win::ClientDC dc(Handle());
    win::SelectGuard selection(dc.Get(), chosen);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc.Get(), &metrics);
    lineHeight = std::max<int>(metrics.tmHeight, 1);
    tabWidth = std::max<int>(metrics.tmAveCharWidth * kTabChars, 1);
    if (!::GetCharWidth32A(dc.Get(), 0, 255, charWidths)) std::fill(std::begin(charWidths), std::end(charWidths), 8);
    rows.clear();
}

int TextView::TextWidth() const {
    return std::max(ContentWidth(ClientRect()) - 2 * kMargin, 1);
}

int TextView::RowsOnScreen() const {
    return std::max(ClientRect().Height() / lineHeight, 1);
}

int TextView::Advance(char c, int x) const {
    return c == '\t' ? tabWidth - x % tabWidth : charWidths[static_cast<unsigned char>(c)];
}

int TextView::Measure(std::size_t from, std::size_t to) const {
    int x = 0;
    for (std::size_t i = from; i < to; ++i) x += Advance(text[i], x);
    return x;
}

// Breaks after the last blank that fits; a word wider than the row breaks
// where it reaches the edge. Blanks hang past the edge, as in an edit field.
const std::vector<std::size_t>& TextView::RowsOf(std::size_t line) const {
    if (auto found = rows.find(line); found != rows.end()) return found->second;
    const std::size_t end = LineEnd(line);
    const int width = TextWidth();
    std::vector<std::size_t> starts{lineStarts[line]};
    std::size_t rowStart = lineStarts[line];
    std::size_t lastBreak = rowStart;
    int x = 0;
    for (std::size_t i = rowStart; i < end;) {
        const char c = text[i];
        const int w = Advance(c, x);
        if (c != ' ' && c != '\t' && x + w > width && i > rowStart) {
            rowStart = lastBreak > rowStart ? lastBreak : i;
            starts.push_back(rowStart);
            lastBreak = rowStart;
            x = Measure(rowStart, i);
            continue;
        }
        x += w;
        ++i;
        if (c == ' ' || c == '\t') lastBreak = i;
    }
    return rows.emplace(line, std::move(starts)).first->second;
}

std::size_t TextView::RowEnd(RowPos pos) const {
    const std::vector<std::size_t>& starts = RowsOf(pos.line);
    return pos.row + 1 < starts.size() ? starts[pos.row + 1] : LineEnd(pos.line);
}

// Moves `pos` by `count` rows, stopping at either end of the text.
TextView::RowPos TextView::Step(RowPos pos, long long count) const {
    while (count > 0) {
        const std::size_t inLine = RowsOf(pos.line).size();
        const auto ahead = static_cast<long long>(inLine - 1 - pos.row);
        if (count <= ahead) {
            pos.row += static_cast<std::size_t>(count);
            return pos;
        }
        if (pos.line + 1 >= lineStarts.size()) {
            pos.row = inLine - 1;
            return pos;
        }
        count -= ahead + 1;
        pos = {pos.line + 1, 0};
    }
    while (count < 0) {
        if (static_cast<long long>(pos.row) >= -count) {
            pos.row -= static_cast<std::size_t>(-count);
            return pos;
        }
        if (pos.line == 0) return {0, 0};
        count += static_cast<long long>(pos.row) + 1;
        pos = {pos.line - 1, RowsOf(pos.line - 1).size() - 1};
    }
    return pos;
}

TextView::RowPos TextView::LastRow() const {
    const std::size_t line = lineStarts.size() - 1;
    return {line, RowsOf(line).size() - 1};
}

TextView::RowPos TextView::LastTop() const {
    return Step(LastRow(), -(RowsOnScreen() - 1));
}

void TextView::SetTop(RowPos pos) {
    const RowPos last = LastTop();
    top = Before(last, pos) ? last : pos;
    Invalidate(false);
    bar.SyncToList();
}

void TextView::ScrollRows(long long count) {
    SetTop(Step(top, count));
}

void TextView::ScrollToEnd() {
    SetTop(LastTop());
}

bool TextView::LastRowVisible() const {
    return !Before(Step(top, RowsOnScreen() - 1), LastRow());
}

int TextView::BarPosition() const {
    return static_cast<int>(std::min<std::size_t>(top.line, INT_MAX));
}

int TextView::BarLimit() const {
    return static_cast<int>(std::min<std::size_t>(LastTop().line, INT_MAX));
}

void TextView::BarScrollTo(int position) {
    const auto line = static_cast<std::size_t>(std::max(position, 0));
    SetTop({std::min(line, lineStarts.size() - 1), 0});
}

TextView::RowPos TextView::RowOf(std::size_t offset) const {
    const auto line = static_cast<std::size_t>(
        std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) - lineStarts.begin() - 1);
    const std::vector<std::size_t>& starts = RowsOf(line);
    return {line, static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1)};
}

// The offset in row `pos` nearest to `x` pixels from the text's left edge.
std::size_t TextView::OffsetInRow(RowPos pos, int x) const {
    const std::size_t start = RowsOf(pos.line)[pos.row];
    const std::size_t end = RowEnd(pos);
    int at = 0;
    for (std::size_t i = start; i < end; ++i) {
        const int w = Advance(text[i], at);
        if (at + w / 2 >= x) return i;
        at += w;
    }
    return end;
}

std::size_t TextView::OffsetAt(win::Point point) const {
    const int row = point.y >= 0 ? point.y / lineHeight : -1;
    return OffsetInRow(Step(top, row), point.x - kMargin);
}

void TextView::EnsureCaretVisible() {
    const RowPos pos = RowOf(caret);
    if (Before(pos, top)) {
        SetTop(pos);
    } else if (Before(Step(top, RowsOnScreen() - 1), pos)) {
        SetTop(Step(pos, -(RowsOnScreen() - 1)));
    }
}

void TextView::MoveCaret(std::size_t offset, bool extend) {
    caret = std::min(offset, text.size());
    if (!extend) anchor = caret;
    EnsureCaretVisible();
    Invalidate(false);
}

std::string TextView::DisplayText() const {
    return WithCrLf(text.data(), text.size());
}

std::string TextView::SelectedText() const {
    const std::size_t from = std::min(anchor, caret);
    const std::size_t to = std::max(anchor, caret);
    return WithCrLf(text.data() + from, to - from);
}

void TextView::SelectAll() {
    anchor = 0;
    caret = text.size();
}

void TextView::PointTo(win::Point point, bool extend) {
    MoveCaret(OffsetAt(point), extend);
}

void TextView::CopySelection() {
    if (anchor == caret) return;
    if (!CopyToClipboard(Handle(), SelectedText())) ::MessageBeep(MB_ICONWARNING);
}

LRESULT TextView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_SIZE: return OnSize();
    case WM_SETFONT: return OnSetFont(wp, lp);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
    case WM_KEYDOWN: return OnKeyDown(wp, lp);
    case WM_SETTEXT: SetText(lp != 0 ? reinterpret_cast<const char*>(lp) : ""); return TRUE;
    case WM_GETTEXT: return AnswerGetText(DisplayText(), wp, lp);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(displayLength);
    default: return ScrollingView::HandleMessage(msg, wp, lp);
    }
}

LRESULT TextView::OnSetFont(WPARAM wp, LPARAM lp) {
    font = reinterpret_cast<HFONT>(wp);
    MeasureFont();
    SetTop({top.line, 0});
    if (LOWORD(lp) != 0) Invalidate(false);
    return 0;
}

// A new width breaks the lines anew; the top line stays at the top.
LRESULT TextView::OnSize() {
    bar.Move(BarRect(ClientRect()));
    if (TextWidth() != wrapWidth) {
        wrapWidth = TextWidth();
        rows.clear();
        top.row = 0;
    }
    SetTop(top);
    return 0;
}

LRESULT TextView::OnPaint() {
    win::PaintDC paint(Handle());
    const win::Rect client = ClientRect();
    const win::Rect area{0, 0, ContentWidth(client), client.bottom};
    if (area.Width() <= 0 || area.Height() <= 0) return 0;
    skin::MemDC dc(paint.Get(), area);
    win::SelectGuard selection(dc.Get(), font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    HBRUSH background = ParentColors(Handle(), dc.Get());
    const COLORREF textColor = ::GetTextColor(dc.Get());
    const COLORREF backColor = ::GetBkColor(dc.Get());
    RECT whole = area.ToRECT();
    ::FillRect(dc.Get(), &whole, background);
    ::SetBkMode(dc.Get(), OPAQUE);

    const std::size_t selFrom = std::min(anchor, caret);
    const std::size_t selTo = std::max(anchor, caret);
    // Draws [from, to) of the row starting at `start`, in the current colours.
    auto draw = [&](std::size_t start, std::size_t from, std::size_t to, int y) {
        if (from >= to) return;
        ::TabbedTextOutA(dc.Get(), kMargin + Measure(start, from), y, text.data() + from, static_cast<int>(to - from),
                         1, &tabWidth, kMargin);
    };
    RowPos pos = top;
    for (int y = 0; y < area.bottom; y += lineHeight) {
        const std::size_t start = RowsOf(pos.line)[pos.row];
        const std::size_t end = RowEnd(pos);
        const std::size_t a = std::clamp(selFrom, start, end);
        const std::size_t b = std::clamp(selTo, start, end);
        draw(start, start, a, y);
        SelectHighlight(dc.Get());
        draw(start, a, b, y);
        ::SetTextColor(dc.Get(), textColor);
        ::SetBkColor(dc.Get(), backColor);
        draw(start, b, end, y);
        const RowPos next = Step(pos, 1);
        if (!Before(pos, next)) break;
        pos = next;
    }
    return 0;
}

// Without Shift the keys scroll the view; with Shift they move the
// selection's far end, as the caret of an edit field moves, and keep it on
// screen.
LRESULT TextView::OnKeyDown(WPARAM wp, LPARAM lp) {
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const int page = RowsOnScreen();
    if (!ShiftHeld()) {
        switch (wp) {
        case VK_UP: ScrollRows(-1); return 0;
        case VK_DOWN: ScrollRows(1); return 0;
        case VK_PRIOR: ScrollRows(-page); return 0;
        case VK_NEXT: ScrollRows(page); return 0;
        case VK_HOME: SetTop(control ? RowPos{} : RowPos{top.line, 0}); return 0;
        case VK_END: ScrollToEnd(); return 0;
        default: return ScrollingView::HandleMessage(WM_KEYDOWN, wp, lp);
        }
    }
    const RowPos pos = RowOf(caret);
    const int x = Measure(RowsOf(pos.line)[pos.row], caret);
    std::size_t goal = caret;
    switch (wp) {
    case VK_LEFT:
        if (caret > 0) goal = caret == lineStarts[pos.line] ? LineEnd(pos.line - 1) : caret - 1;
        break;
    case VK_RIGHT:
        if (caret < text.size()) goal = caret == LineEnd(pos.line) ? lineStarts[pos.line + 1] : caret + 1;
        break;
    case VK_UP: goal = OffsetInRow(Step(pos, -1), x); break;
    case VK_DOWN: goal = OffsetInRow(Step(pos, 1), x); break;
    case VK_PRIOR: goal = OffsetInRow(Step(pos, -page), x); break;
    case VK_NEXT: goal = OffsetInRow(Step(pos, page), x); break;
    case VK_HOME: goal = control ? 0 : RowsOf(pos.line)[pos.row]; break;
    case VK_END: goal = control ? text.size() : RowEnd(pos); break;
    default: return ScrollingView::HandleMessage(WM_KEYDOWN, wp, lp);
    }
    MoveCaret(goal, true);
    return 0;
}

}  // namespace viewer::preview
