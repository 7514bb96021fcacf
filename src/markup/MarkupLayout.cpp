#include "markup/MarkupLayout.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "markup/TransparentBlit.h"

namespace markup {

namespace {

// Positions and sizes stay within +-2^28, so sums of a few of them still fit
// an int however large the markup's numbers are.
constexpr std::int64_t kLimit = std::int64_t{1} << 28;

int Clamp(std::int64_t v) { return static_cast<int>(std::clamp(v, -kLimit, kLimit)); }

// A memory DC with its own bitmap selected; the bitmap can be taken out.
// Parts are declared so they die in order: selection undone, bitmap, DC.
struct Canvas {
    Canvas(HDC reference, int w, int h)
        : dc(reference),
          bitmap(w > 0 && h > 0 ? win::Bitmap::Compatible(reference, w, h) : win::Bitmap()),
          select(dc.Get(), bitmap),
          width(w),
          height(h) {}
    HDC Get() const { return dc.Get(); }
    void Fill(COLORREF color) const { win::FillSolidRect(dc.Get(), {0, 0, width, height}, color); }
    win::Bitmap Take() {
        select.Restore();
        return std::move(bitmap);
    }

    win::MemoryDC dc;
    win::Bitmap bitmap;
    win::SelectGuard select;
    int width;
    int height;
};

// One item's picture. Only the part that lands on the surfaces is drawn:
// columns viewLeft onwards, at most the client width and SurfaceHeight; the
// canvas is null when nothing of the cell can show.
struct Cell {
    int width = 0;
    int height = 0;
    int viewLeft = 0;
    std::unique_ptr<Canvas> canvas;
};

class MarkupLayout final : public MarkupSink {
public:
    MarkupLayout(HDC reference, int clientWidth, COLORREF transparentColor)
        : reference_(reference),
          width_(clientWidth),
          transparent_(transparentColor),
          normal_(reference, clientWidth, SurfaceHeight),
          hover_(reference, clientWidth, SurfaceHeight),
          lineNormal_(reference, clientWidth, SurfaceHeight),
          lineHover_(reference, clientWidth, SurfaceHeight),
          measure_(reference) {
        normal_.Fill(transparent_);
        hover_.Fill(transparent_);
    }

    Layout Finish() {
        Layout done;
        done.normalSurface = normal_.Take();
        done.hoverSurface = hover_.Take();
        done.contentHeight = y_;
        done.linkRects = std::move(linkRects_);
        done.linkTargets = std::move(linkTargets_);
        return done;
    }

    void AddTextRun(std::string_view text, const TextStyle& style, const Alignment& alignment, std::string_view href,
                    const TextStyle& linkStyle) override {
        win::Font font = CreateFont(style);
        win::Rect cell = Measure(font.Get(), text, alignment.width, alignment.height, DT_SINGLELINE);
        TextStyle hoverStyle;
        win::Font hoverFont;
        if (!href.empty()) {
            hoverStyle = linkStyle.ResolvedAgainst(style);
            hoverFont = CreateFont(hoverStyle);
            win::Rect hoverCell = Measure(hoverFont.Get(), text, alignment.width, alignment.height, DT_SINGLELINE);
            if (hoverCell.Width() > cell.Width()) cell = hoverCell;
        }
        const int w = cell.Width();
        const int h = cell.Height();
        const bool linked = !href.empty();
        AddItem(w, h, href, alignment.valign, [this, w, h, linked, style, hoverStyle, run = std::string(text)](int x) {
            Cell normal = MakeCell(x, w, h);
            DrawText(normal, CreateFont(style).Get(), style, run);
            Cell hover;
            if (linked) {
                hover = MakeCell(x, w, h);
                DrawText(hover, CreateFont(hoverStyle).Get(), hoverStyle, run);
            }
            PlaceCell(x, normal, linked ? hover : normal);
        });
    }

    void AddImage(std::uint16_t bitmapId, Color fillColor, std::int32_t border, const Alignment& alignment,
                  std::string_view href, const TextStyle& linkStyle) override {
        // A number that names no bitmap has no size to place: left out.
        win::Bitmap bitmap = bitmapId != 0 ? win::Bitmap::Load(bitmapId) : win::Bitmap();
        if (!bitmap) return;
        const win::Point size = bitmap.Size();
        const int b = Clamp(border);
        const int w = Clamp(size.x + 2 * std::int64_t{b});
        const int h = Clamp(size.y + 2 * std::int64_t{b});
        const bool linked = !href.empty();
        // The link's other style fields play no part for images.
        const Color hoverFill = linkStyle.color == InheritColor ? fillColor : linkStyle.color;
        // Loaded again to be drawn, as fonts are made again: a line of many
        // items holds no GDI object until it ends.
        AddItem(w, h, href, alignment.valign, [this, w, h, b, size, linked, fillColor, hoverFill, bitmapId](int x) {
            const win::Bitmap picture = win::Bitmap::Load(bitmapId);
            win::MemoryDC source(reference_);
            win::SelectGuard selectSource(source.Get(), picture);
            auto paint = [&](Cell& cell, Color fill) {
                if (!cell.canvas) return;
                cell.canvas->Fill(Resolve(fill));
                ClippedBlit(cell.canvas->Get(), win::Rect::FromSize(b - cell.viewLeft, b, size.x, size.y),
                            source.Get(), {0, 0});
            };
            Cell normal = MakeCell(x, w, h);
            paint(normal, fillColor);
            Cell hover;
            if (linked) {
                hover = MakeCell(x, w, h);
                paint(hover, hoverFill);
            }
            PlaceCell(x, normal, linked ? hover : normal);
        });
    }

    void EndLine(const TextStyle& style, const Alignment& alignment) override {
        if (lineEmpty_) {
            win::Font font = CreateFont(style);
            y_ = Clamp(std::int64_t{y_} + Measure(font.Get(), " ", width_, SurfaceHeight, 0).Height());
        } else {
            FinishLine(alignment);
        }
        items_.clear();
        x_ = 0;
        lineHeight_ = 0;
    }

    void AddRule(Color color, std::int32_t size, std::int32_t width, std::int32_t align,
                 const Alignment& lineAlignment) override {
        EndLineWithoutFeed(lineAlignment);
        const int w = Clamp(width);
        const int left = align == 0 ? 0 : align == 2 ? width_ - w : width_ / 2 - w / 2;
        const std::int64_t top = std::int64_t{y_} + 2;
        win::Rect rule{left, Clamp(top), Clamp(std::int64_t{left} + w), Clamp(top + size)};
        // The hover surface gets no rule. A NoColor rule fills with the
        // transparent colour, as NoColor means everywhere else.
        rule = rule.Intersect({0, 0, width_, SurfaceHeight});
        if (!rule.IsEmpty()) win::FillSolidRect(normal_.Get(), rule, Resolve(color));
        y_ = Clamp(std::int64_t{y_} + size + 4);
    }

    void AddVerticalSpace(std::int32_t n, const Alignment& lineAlignment) override {
        EndLineWithoutFeed(lineAlignment);
        y_ = Clamp(std::int64_t{y_} + n);
    }

    void AddHorizontalSpace(std::int32_t n) override { x_ = Clamp(std::int64_t{x_} + n); }

private:
    struct LineItem {
        int left;
        int top;
        int right;
        int height;
        int valign;
        std::string href;
        // Draws the item's visible part onto the line's pictures with its
        // left edge at client column x, once the line is aligned.
        std::function<void(int x)> draw;
    };

    COLORREF Resolve(Color c) const { return c == NoColor ? transparent_ : static_cast<COLORREF>(c); }

    static win::Font CreateFont(const TextStyle& s) {
        LOGFONTA f{};
        f.lfHeight = -s.size;
        f.lfWeight = s.bold != 0 ? FW_BOLD : FW_DONTCARE;
        f.lfItalic = static_cast<BYTE>(s.italic);
        f.lfUnderline = static_cast<BYTE>(s.underline);
        f.lfStrikeOut = static_cast<BYTE>(s.strikeout);
        f.lfCharSet = ANSI_CHARSET;
        f.lfOutPrecision = OUT_DEFAULT_PRECIS;
        f.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        f.lfQuality = PROOF_QUALITY;
        f.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        ::lstrcpynA(f.lfFaceName, s.face.c_str(), LF_FACESIZE);
        return win::Font::FromLogFont(f);
    }

    // The text's extent in the rectangle 0, 0, width, height. "&" is an
    // ordinary byte of the markup, never a prefix.
    win::Rect Measure(HFONT font, std::string_view text, int width, int height, UINT flags) {
        win::SelectGuard select(measure_.Get(), win::FontView(font));
        RECT r{0, 0, width, height};
        ::DrawTextA(measure_.Get(), text.data(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT | DT_NOPREFIX);
        return r;
    }

    // The visible part of a cell of width x height placed at client column x.
    Cell MakeCell(int x, int width, int height) {
        Cell cell;
        cell.width = width;
        cell.height = height;
        const int viewLeft = std::clamp(-x, 0, std::max(width, 0));
        const int viewRight = std::clamp(width_ - x, 0, std::max(width, 0));
        const int viewHeight = std::min(height, SurfaceHeight);
        cell.viewLeft = viewLeft;
        if (viewRight > viewLeft && viewHeight > 0)
            cell.canvas = std::make_unique<Canvas>(reference_, viewRight - viewLeft, viewHeight);
        return cell;
    }

    void DrawText(const Cell& cell, HFONT font, const TextStyle& style, std::string_view text) const {
        if (!cell.canvas) return;
        HDC dc = cell.canvas->Get();
        cell.canvas->Fill(transparent_);
        win::SelectGuard select(dc, win::FontView(font));
        ::SetTextColor(dc, Resolve(style.color));
        ::SetBkColor(dc, Resolve(style.background));
        ::SetBkMode(dc, OPAQUE);
        RECT r{-cell.viewLeft, 0, cell.width - cell.viewLeft, cell.height};
        ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
    }

    // Items are drawn only when their line ends: where a line lands depends
    // on its width and alignment, and only that part is drawn.
    void AddItem(int width, int height, std::string_view href, int valign, std::function<void(int x)> draw) {
        lineHeight_ = std::max(lineHeight_, height);
        items_.push_back({x_, 0, Clamp(std::int64_t{x_} + width), height, valign, std::string(href), std::move(draw)});
        x_ = items_.back().right;
        lineEmpty_ = false;
    }

    // Copies a drawn cell, placed at client column x, onto the line's pictures.
    void PlaceCell(int x, const Cell& normal, const Cell& hover) const {
        if (!normal.canvas) return;
        const win::Rect at = win::Rect::FromSize(x + normal.viewLeft, 0, normal.canvas->width, normal.canvas->height);
        ClippedBlit(lineNormal_.Get(), at, normal.canvas->Get(), {0, 0});
        ClippedBlit(lineHover_.Get(), at, hover.canvas->Get(), {0, 0});
    }

    static int Offset(const LineItem& item, int lineHeight) {
        if (item.valign == 0) return 0;
        if (item.valign == 1) return lineHeight / 2 - item.height / 2;
        return lineHeight - item.height;
    }

    // Draws the current line onto both surfaces and records its links.
    void FlushLine(const Alignment& alignment) {
        const int lineWidth = x_;
        const int lineX = alignment.align == 0   ? 0
                          : alignment.align == 1 ? alignment.width / 2 - lineWidth / 2
                                                 : alignment.width - lineWidth;
        for (const LineItem& item : items_) {
            if (item.href.empty()) continue;
            const int offset = Offset(item, lineHeight_);
            linkRects_.push_back(win::Rect(item.left, offset, item.right, offset + item.height).Offset(lineX, y_));
            linkTargets_.push_back(item.href);
        }
        // Aligned first, then cut: only the part of the line that lands on
        // the surfaces is drawn and composed (client columns, line rows).
        const win::Rect part = win::Rect(lineX, 0, lineX + lineWidth, lineHeight_)
                                   .Intersect(win::Rect(0, 0, width_, SurfaceHeight).Offset(0, -y_))
                                   .Intersect({0, 0, width_, SurfaceHeight});
        if (part.IsEmpty()) return;
        for (const LineItem& item : items_) item.draw(lineX + item.left);
        ComposeLine(lineNormal_, normal_, part, lineX);
        ComposeLine(lineHover_, hover_, part, lineX);
    }

    void ComposeLine(const Canvas& line, const Canvas& surface, const win::Rect& part, int lineX) const {
        Canvas scratch(reference_, part.Width(), part.Height());
        scratch.Fill(transparent_);
        for (const LineItem& item : items_) {
            const int offset = Offset(item, lineHeight_);
            const win::Rect at(lineX + item.left, offset, lineX + item.right, offset + item.height);
            ClippedBlit(scratch.Get(), at.Offset(-part.left, -part.top), line.Get(), {lineX + item.left, 0});
        }
        TransparentBlit(scratch.Get(), surface.Get(), transparent_, part.Offset(0, y_), {0, 0});
    }

    void FinishLine(const Alignment& alignment) {
        FlushLine(alignment);
        y_ = Clamp(std::int64_t{y_} + lineHeight_);
        lineEmpty_ = true;
    }

    // A rule or a vertical space ends an unfinished line without a feed.
    void EndLineWithoutFeed(const Alignment& alignment) {
        if (!lineEmpty_) FinishLine(alignment);
        items_.clear();
        x_ = 0;
        lineHeight_ = 0;
    }

    HDC reference_;
    int width_;
    COLORREF transparent_;
    Canvas normal_;
    Canvas hover_;
    Canvas lineNormal_;
    Canvas lineHover_;
    win::MemoryDC measure_;

    int x_ = 0;
    int y_ = 0;
    int lineHeight_ = 0;
    bool lineEmpty_ = true;
    std::vector<LineItem> items_;
    std::vector<win::Rect> linkRects_;
    std::vector<std::string> linkTargets_;
};

}  // namespace

Layout LayOut(HDC reference, std::string_view text, int clientWidth, COLORREF transparentColor) {
    MarkupLayout layout(reference, clientWidth, transparentColor);
    Parse(text, MarkupContext{clientWidth, ::GetSysColor(COLOR_BTNSHADOW)}, layout);
    return layout.Finish();
}

}  // namespace markup
