// The credits markup: a small HTML-like language read in one left-to-right
// pass that drives a layout sink directly; there is no document tree.
//
// Portable: no Windows headers. What the parser needs of the platform (the
// client width lines are placed within, the system's button-shadow colour
// for rules) comes in a MarkupContext; bitmaps are named to the sink by
// resource number and loaded there.
//
//     MyLayout layout;                       // implements MarkupSink
//     markup::Parse(text, {clientWidth, shadow}, layout);
//
// Nothing in the language is an error: unknown tags and attributes, unquoted
// values and stray quotes are read and ignored. A "%" has already been
// expanded by the control's formatting before the text gets here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace markup {

// 0x00BBGGRR, as the platform's COLORREF.
using Color = std::uint32_t;

// Painted in the control's transparent colour, i.e. not at all.
inline constexpr Color NoColor = 0xFFFFFFFFu;
// In the link style only: take the run's own value.
inline constexpr Color InheritColor = 0xEEFFFFFFu;
// The four flags of a link style that take the run's own value.
inline constexpr int InheritFlag = -10;

inline constexpr int SurfaceHeight = 5000;
inline constexpr std::size_t MaxFaceLength = 259;

constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 | static_cast<Color>(b & 0xFF) << 16;
}

// One font and colour setting: the entries of the style stack, and the link
// style (where every field may also hold its inherit marker).
struct TextStyle {
    std::string face = "Arial";  // at most MaxFaceLength bytes
    std::int32_t size = 12;      // character height in pixels
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t strikeout = 0;
    Color color = 0;
    Color background = NoColor;

    // The hover look that changes nothing: every field inherits.
    static TextStyle AllInherit() {
        return {"", 0, InheritFlag, InheritFlag, InheritFlag, InheritFlag, InheritColor, InheritColor};
    }
    // A link style resolved against the style of the run it applies to.
    TextStyle ResolvedAgainst(const TextStyle& run) const;

    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// Horizontal: 0 left, 1 center, 2 right. Vertical: 0 top, 1 middle, 2 bottom.
struct Alignment {
    std::int32_t align = 1;
    std::int32_t valign = 1;
    std::int32_t width = 0;  // the client width
    std::int32_t height = SurfaceHeight;

    friend bool operator==(const Alignment&, const Alignment&) = default;
};

// What the parser needs from the window it lays out for.
struct MarkupContext {
    std::int32_t clientWidth = 0;
    Color ruleColor = Rgb(128, 128, 128);  // the system's button-shadow colour
};

// The layout's side of a pass. Each call carries the state current at that
// moment; references are valid only during the call.
class MarkupSink {
public:
    virtual ~MarkupSink() = default;
    // One run of text, never split or wrapped.
    virtual void AddTextRun(std::string_view text, const TextStyle& style, const Alignment& alignment,
                            std::string_view href, const TextStyle& linkStyle) = 0;
    // Bitmap resource `bitmapId` inside a border of `border` pixels filled
    // with `fillColor`; a number that names no bitmap is the sink's to skip.
    virtual void AddImage(std::uint16_t bitmapId, Color fillColor, std::int32_t border, const Alignment& alignment,
                          std::string_view href, const TextStyle& linkStyle) = 0;
    // A line feed; the tops of both stacks.
    virtual void EndLine(const TextStyle& style, const Alignment& alignment) = 0;
    // A horizontal rule. `lineAlignment` (the top of the alignment stack)
    // places the unfinished line the rule ends.
    virtual void AddRule(Color color, std::int32_t size, std::int32_t width, std::int32_t align,
                         const Alignment& lineAlignment) = 0;
    // Down by n pixels, ending an unfinished line placed by `lineAlignment`.
    virtual void AddVerticalSpace(std::int32_t n, const Alignment& lineAlignment) = 0;
    // Right by n pixels on the current line.
    virtual void AddHorizontalSpace(std::int32_t n) = 0;
};

// One pass over `text` (plus the line feed the parser appends) into `sink`.
void Parse(std::string_view text, const MarkupContext& context, MarkupSink& sink);

// Decimal integer as the C library's atoi reads one: leading blanks, an
// optional sign, digits up to the first other byte, 0 without digits. Values
// beyond 32 bits saturate.
std::int32_t ReadInteger(std::string_view value);

// "r,g,b" (each part read as ReadInteger, cut to 8 bits), or "none" /
// "transparant" for NoColor; anything else leaves `target` unchanged.
void ParseColor(std::string_view value, Color& target);

// Style letters: "-b" clears bold, else a "b" or "B" sets it; likewise i, u,
// s for italic, underline, strikeout. Letters absent leave a flag alone.
void ApplyStyleLetters(std::string_view value, TextStyle& style);

}  // namespace markup
