// TextView: a read-only view of a text, word-wrapped at its width, that lays
// out and paints only the rows on screen.
//
// The text is indexed once (the start of every line, one pass); a line is
// broken into rows only when it is first shown, and its rows are kept until
// the text or the width changes. So setting a text of any length costs one
// pass over its bytes, and a screen costs the lines it shows.
//
// LF, CRLF and a lone CR all end a line. The view draws in the font it is
// given (WM_SETFONT) and in the colours its parent answers to
// WM_CTLCOLORSTATIC, as a read-only edit control would. It scrolls by wheel,
// keys and the skin's vertical bar (a child along its right edge); the mouse
// and Shift with the arrows select, Ctrl+A selects all, Ctrl+C copies the
// selection with CRLF line ends. WM_GETTEXT answers the whole text, with
// CRLF line ends; WM_SETTEXT (SetWindowTextA) is SetText.
//
//     TextView view;
//     view.Create(parent, 1009, rect);
//     view.SetFont(font);
//     view.SetText(std::move(text));
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "viewer/preview/ScrollingView.h"
#include "win/Geometry.h"

namespace viewer::preview {

class TextView : public ScrollingView {
public:
    TextView() = default;
    ~TextView() override = default;

    // A child window (WS_CHILD | WS_TABSTOP, hidden until shown) at rect in
    // the parent's client coordinates.
    bool Create(HWND parent, int id, const RECT& rect);
    // Shows `text` from its first row; the caller has cut it at its first
    // zero byte. The selection is cleared.
    void SetText(std::string text);
    void Clear() { SetText({}); }

    // The whole text with CRLF line ends, as WM_GETTEXT answers it.
    std::string DisplayText() const;
    // The selection, as Ctrl+C copies it (CRLF line ends).
    std::string SelectedText() const;
    // How many lines the text holds (LF, CRLF or CR each end one).
    std::size_t LineCount() const { return lineStarts.size(); }
    // The line whose row is at the top of the view, and whether the last row
    // of the text is on screen.
    std::size_t TopLine() const { return top.line; }
    bool LastRowVisible() const;
    void ScrollToEnd() override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // A place in the wrapped text: row `row` of line `line`.
    struct RowPos {
        std::size_t line = 0;
        std::size_t row = 0;
    };
    static bool Before(RowPos a, RowPos b) { return a.line < b.line || (a.line == b.line && a.row < b.row); }

    // skin::ScrollSource: the bar's position is the top line.
    int BarPosition() const override;
    int BarLimit() const override;
    void BarScrollTo(int position) override;

    LRESULT OnPaint();
    LRESULT OnSize();
    LRESULT OnSetFont(WPARAM wp, LPARAM lp);
    LRESULT OnKeyDown(WPARAM wp, LPARAM lp);

    int PageRows() const override { return RowsOnScreen(); }
    void ScrollRows(long long count) override;
    void ScrollToStart() override { SetTop({}); }
    void SelectAll() override;
    void CopySelection() override;
    void PointTo(win::Point point, bool extend) override;

    void IndexLines();
    void MeasureFont();
    int TextWidth() const;
    int RowsOnScreen() const;
    // The width of `c` drawn `x` pixels into its row, and of [from, to).
    int Advance(char c, int x) const;
    int Measure(std::size_t from, std::size_t to) const;
    // Where the line's text ends, before its line end.
    std::size_t LineEnd(std::size_t line) const;
    // The offsets where the rows of `line` start, its first one included;
    // broken on first use and kept.
    const std::vector<std::size_t>& RowsOf(std::size_t line) const;
    std::size_t RowEnd(RowPos pos) const;
    RowPos Step(RowPos pos, long long count) const;
    RowPos LastRow() const;
    RowPos LastTop() const;
    RowPos RowOf(std::size_t offset) const;
    std::size_t OffsetInRow(RowPos pos, int x) const;
    std::size_t OffsetAt(win::Point point) const;
    void SetTop(RowPos pos);
    void MoveCaret(std::size_t offset, bool extend);
    void EnsureCaretVisible();

    std::string text;
    std::vector<std::size_t> lineStarts{0};  // an empty text is one empty line
    std::size_t displayLength = 0;  // the text's length with CRLF line ends
    mutable std::unordered_map<std::size_t, std::vector<std::size_t>> rows;
    int wrapWidth = 0;
    int charWidths[256]{};
    int lineHeight = 16;
    int tabWidth = 64;
    HFONT font = nullptr;
    RowPos top;
    std::size_t anchor = 0;  // the selection runs from anchor to caret
    std::size_t caret = 0;
};

}  // namespace viewer::preview
