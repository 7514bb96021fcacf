// HexView: a read-only view of bytes in rows of sixteen, as `hexdump -C`
// writes them (every row, none squeezed, no total line), that reads only the
// rows on screen.
//
// The owner gives the size and a reader; the view asks it for the bytes of
// the rows it paints, so its memory follows the screen, not the data. It
// scrolls by wheel, keys and the skin's vertical bar (a child along its right
// edge), and sideways by the left and right keys and the skin's horizontal
// bar (along its bottom edge, while a row is wider than the view); the mouse and Shift with the arrows select whole rows, Ctrl+A
// selects all, Ctrl+C copies the selected rows as text (CRLF line ends).
// WM_GETTEXT answers the rows on screen, one per line.
//
//     HexView view;
//     view.Create(parent, 1009, rect);
//     view.SetSource(size, [&](std::uint64_t offset, std::size_t count, unsigned char* out) {
//         return archive.ReadEntryRange(index, offset, count, out);
//     });
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "skin/SkinHScrollBar.h"
#include "viewer/preview/ScrollingView.h"
#include "win/Gdi.h"

namespace viewer::preview {

// Fills `out` with `count` bytes from `offset`; false when they cannot be read.
using ByteReader = std::function<bool(std::uint64_t offset, std::size_t count, unsigned char* out)>;

class HexView : public ScrollingView {
public:
    static constexpr std::size_t kRowBytes = 16;

    HexView() = default;
    ~HexView() override = default;

    // A child window (WS_CHILD | WS_TABSTOP, hidden until shown) at rect in
    // the parent's client coordinates.
    bool Create(HWND parent, int id, const RECT& rect);
    // Shows `size` bytes read through `read`, from the first row.
    void SetSource(std::uint64_t size, ByteReader read);
    void Clear() { SetSource(0, {}); }

    // The rows on screen, one per line (CRLF), as WM_GETTEXT answers them.
    std::string ScreenText();
    // The selected rows as Ctrl+C copies them; empty when nothing is
    // selected or the selection is too large to copy.
    std::string SelectedText();
    std::uint64_t RowCount() const { return (size + kRowBytes - 1) / kRowBytes; }
    std::uint64_t TopRow() const { return top; }
    void ScrollToEnd() override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The horizontal bar's position: the pixels scrolled out on the left.
    struct Across final : skin::ScrollSource {
        explicit Across(HexView& owner) : view(owner) {}
        int BarPosition() const override { return view.left; }
        int BarLimit() const override { return view.LeftLimit(); }
        void BarScrollTo(int position) override { view.SetLeft(position); }
        HexView& view;
    };

    // skin::ScrollSource: rows scaled into a range a bar position holds.
    int BarPosition() const override;
    int BarLimit() const override;
    void BarScrollTo(int position) override;

    LRESULT OnPaint();
    LRESULT OnSize();
    LRESULT OnSetFont(WPARAM wp, LPARAM lp);
    LRESULT OnHScroll(WPARAM wp);
    LRESULT OnKeyDown(WPARAM wp, LPARAM lp);

    int PageRows() const override { return static_cast<int>(RowsOnScreen()); }
    void ScrollRows(long long rows) override;
    void ScrollToStart() override { SetTop(0); }
    void SelectAll() override;
    void CopySelection() override;
    void PointTo(win::Point point, bool extend) override;

    // Places both bars, showing the horizontal one only while it is needed.
    void PlaceBars();
    bool RowsTooWide() const;
    int TextHeight() const;  // the client's height above the horizontal bar
    int LeftLimit() const;
    void SetLeft(int x);
    std::uint64_t RowsOnScreen() const;
    std::uint64_t LastTop() const;
    void SetTop(std::uint64_t row);
    std::uint64_t RowAt(int y) const;
    void MoveCaret(std::uint64_t row, bool extend);
    // The text of rows [first, first + count), each ending in CRLF.
    std::string RowsText(std::uint64_t first, std::uint64_t count);
    // Takes the font's measures and brings scrolling and the screen up to date.
    void Changed();

    std::uint64_t size = 0;
    ByteReader read;
    bool readFailed = false;
    HFONT font = nullptr;          // as given, for WM_GETFONT
    win::Font fixedFont;           // what the rows are drawn in
    int lineHeight = 16;
    int charWidth = 8;
    int rowWidth = 0;  // a whole row, margins included, pixels
    int left = 0;
    std::uint64_t top = 0;
    std::uint64_t anchor = 0;
    std::uint64_t caret = 0;
    bool hasSelection = false;
    Across across{*this};
    skin::SkinHScrollBar hbar;
};

}  // namespace viewer::preview
