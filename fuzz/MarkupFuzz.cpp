// Fuzz target: one input is a markup text. The parser makes one pass over it
// into a sink that checks what every call carries: styles, colours and
// alignments within their ranges (the stacks it reads them from are never
// empty), runs that hold text and no line feed, and line ends that match the
// text. The input is passed in a buffer of exactly its size, so a read past
// the text is a finding of the address sanitizer.
#include "FuzzCheck.h"
#include "markup/MarkupParser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::int32_t kWidth = 300;

bool IsColor(markup::Color c) { return c == markup::NoColor || c <= 0xFFFFFFu; }
bool IsFlag(std::int32_t f) { return f == 0 || f == 1; }

void CheckStyle(const markup::TextStyle& s)
{
    FUZZ_CHECK(s.face.size() <= markup::MaxFaceLength);
    FUZZ_CHECK(s.size >= 1 && s.size <= 1999);
    FUZZ_CHECK(IsFlag(s.bold) && IsFlag(s.italic) && IsFlag(s.underline) && IsFlag(s.strikeout));
    FUZZ_CHECK(IsColor(s.color) && IsColor(s.background));
}

// The hover look: every field may also hold its inherit marker.
void CheckLinkStyle(const markup::TextStyle& s)
{
    auto flag = [](std::int32_t f) { return IsFlag(f) || f == markup::InheritFlag; };
    auto color = [](markup::Color c) { return IsColor(c) || c == markup::InheritColor; };
    FUZZ_CHECK(s.face.size() <= markup::MaxFaceLength);
    FUZZ_CHECK(s.size >= 0 && s.size <= 1999);
    FUZZ_CHECK(flag(s.bold) && flag(s.italic) && flag(s.underline) && flag(s.strikeout));
    FUZZ_CHECK(color(s.color) && color(s.background));
}

void CheckAlignment(const markup::Alignment& a)
{
    FUZZ_CHECK(a.align >= 0 && a.align <= 2);
    FUZZ_CHECK(a.valign >= 0 && a.valign <= 2);
    FUZZ_CHECK(a.width == kWidth && a.height == markup::SurfaceHeight);
}

class CheckingSink final : public markup::MarkupSink {
public:
    std::string flow;  // the runs' text and a line feed per line end

    void AddTextRun(std::string_view text, const markup::TextStyle& style, const markup::Alignment& alignment,
                    std::string_view, const markup::TextStyle& linkStyle) override
    {
        FUZZ_CHECK(!text.empty());
        FUZZ_CHECK(text.find('\n') == std::string_view::npos);
        CheckStyle(style);
        CheckAlignment(alignment);
        CheckLinkStyle(linkStyle);
        flow.append(text);
    }
    void AddImage(std::uint16_t, markup::Color fillColor, std::int32_t, const markup::Alignment& alignment,
                  std::string_view, const markup::TextStyle& linkStyle) override
    {
        FUZZ_CHECK(IsColor(fillColor));
        CheckAlignment(alignment);
        CheckLinkStyle(linkStyle);
    }
    void EndLine(const markup::TextStyle& style, const markup::Alignment& alignment) override
    {
        CheckStyle(style);
        CheckAlignment(alignment);
        flow.push_back('\n');
    }
    void AddRule(markup::Color color, std::int32_t, std::int32_t, std::int32_t align,
                 const markup::Alignment& lineAlignment) override
    {
        FUZZ_CHECK(IsColor(color));
        FUZZ_CHECK(align >= 0 && align <= 2);
        CheckAlignment(lineAlignment);
    }
    void AddVerticalSpace(std::int32_t, const markup::Alignment& lineAlignment) override
    {
        CheckAlignment(lineAlignment);
    }
    void AddHorizontalSpace(std::int32_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckingSink sink;
    markup::Parse(text, {kWidth, markup::Rgb(128, 128, 128)}, sink);
    // Text without tags comes back whole: every byte is in a run or is a
    // line end, the line feed appended to the text among them. (A text that
    // ends inside a tag takes that line feed into the tag.)
    if (text.find('<') == std::string_view::npos)
        FUZZ_CHECK(sink.flow == std::string(text) + "\n");
    return 0;
}
