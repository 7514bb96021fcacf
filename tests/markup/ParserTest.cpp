// The markup parser against a recording sink, grouped by construct: lines,
// font scopes, attribute scanning, links, images, rules and spaces, and the
// value readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/MarkupParser.h"

namespace {

using markup::Alignment;
using markup::Color;
using markup::NoColor;
using markup::TextStyle;

constexpr int kWidth = 300;
constexpr Color kShadow = markup::Rgb(1, 2, 3);

struct Event {
    char kind = 0;  // T text, I image, E end of line, R rule, V / H space
    std::string text = {};
    TextStyle style = {};
    Alignment align = {};
    std::string href = {};
    TextStyle link = {};
    Color color = 0;
    int a = 0;  // image id, rule size, space
    int b = 0;  // image border, rule width
    int c = 0;  // rule align
};

class Recorder : public markup::MarkupSink {
public:
    void AddTextRun(std::string_view text, const TextStyle& style, const Alignment& alignment, std::string_view href,
                    const TextStyle& linkStyle) override {
        Event& e = Add('T', alignment);
        e.text = text;
        e.style = style;
        e.href = href;
        e.link = linkStyle;
    }
    void AddImage(std::uint16_t id, Color fill, std::int32_t border, const Alignment& alignment, std::string_view href,
                  const TextStyle& linkStyle) override {
        Event& e = Add('I', alignment);
        e.href = href;
        e.link = linkStyle;
        e.color = fill;
        e.a = id;
        e.b = border;
    }
    void EndLine(const TextStyle& style, const Alignment& alignment) override { Add('E', alignment).style = style; }
    void AddRule(Color color, std::int32_t size, std::int32_t width, std::int32_t align,
                 const Alignment& lineAlignment) override {
        Event& e = Add('R', lineAlignment);
        e.color = color;
        e.a = size;
        e.b = width;
        e.c = align;
    }
    void AddVerticalSpace(std::int32_t n, const Alignment& lineAlignment) override { Add('V', lineAlignment).a = n; }
    void AddHorizontalSpace(std::int32_t n) override { Add('H', {}).a = n; }

    std::vector<Event> events;

private:
    Event& Add(char kind, const Alignment& alignment) {
        Event& e = events.emplace_back();
        e.kind = kind;
        e.align = alignment;
        return e;
    }
};

std::vector<Event> Events(const std::string& text) {
    Recorder r;
    markup::Parse(text, {kWidth, kShadow}, r);
    return r.events;
}

// The shape of a pass: "T(text)" per run, "E" per line end, "R", "I<id>",
// "V<n>", "H<n>".
std::string Shape(const std::string& text) {
    std::string s;
    for (const Event& e : Events(text)) {
        if (!s.empty()) s += ' ';
        s += e.kind;
        if (e.kind == 'T') s += "(" + e.text + ")";
        if (e.kind == 'I' || e.kind == 'V' || e.kind == 'H') s += std::to_string(e.a);
    }
    return s;
}

// The first run whose text is `text`.
Event RunOf(const std::string& markupText, const std::string& text) {
    for (const Event& e : Events(markupText))
        if (e.kind == 'T' && e.text == text) return e;
    ADD_FAILURE() << "no run '" << text << "' in " << markupText;
    return {};
}

TEST(MarkupLines, ShapeOfAPass) {
    struct Case {
        const char* text;
        const char* shape;
    } cases[] = {
        {"", "E"},
        {"a\nb", "T(a) E T(b) E"},
        {"a\r\tb & c", "T(a\r\tb & c) E"},
        {"  two  spaces ", "T(  two  spaces ) E"},
        {"a<br>b", "T(a) E T(b) E"},
        {"a<p>b", "T(a) E E T(b) E"},
        {"a<br >b<p >c", "T(a) E T(b) E E T(c) E"},
        {"a<BR>b<P>c", "T(a) T(b) T(c) E"},
        {"<unknown x='1'>text</unknown>", "T(text) E"},
        {"a<>b", "T(a) T(b) E"},
        {"x<br", "T(x)"},  // an unclosed tag swallows the last line feed
    };
    for (const Case& c : cases) EXPECT_EQ(Shape(c.text), c.shape) << c.text;
}

TEST(MarkupFont, AttributesOfTheRunAfterTheTag) {
    const TextStyle base;
    struct Case {
        const char* text;
        TextStyle expected;
    };
    auto with = [&](auto change) {
        TextStyle s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"<font size='1'>X", with([](TextStyle& s) { s.size = 1; })},
        {"<font size='1999'>X", with([](TextStyle& s) { s.size = 1999; })},
        {"<font size='0'>X", base},
        {"<font size='2000'>X", base},
        {"<font size='-5'>X", base},
        {"<font size=20>X", base},
        {"<FONT SIZE='20'>X", with([](TextStyle& s) { s.size = 20; })},
        {"<font face=''>X", with([](TextStyle& s) { s.face = ""; })},
        {"<font style='strike'>X", with([](TextStyle& s) { s.strikeout = s.italic = 1; })},
        {"<font style='BU'><font style='-b'>X", with([](TextStyle& s) { s.underline = 1; })},
        {"<font style='b-b'>X", base},
        {"<font color='255, 0, 0'>X", with([](TextStyle& s) { s.color = markup::Rgb(255, 0, 0); })},
        {"<font color='256,-1,7'>X", with([](TextStyle& s) { s.color = markup::Rgb(0, 255, 7); })},
        {"<font color='#ff0000'>X", base},
        {"<font color='255,0'>X", base},
        {"<font background='None'>X", base},
        {"<font color='none'>X", with([](TextStyle& s) { s.color = NoColor; })},
        {"<font background='1,2,3'>X", with([](TextStyle& s) { s.background = markup::Rgb(1, 2, 3); })},
        {"<font size = '20'>X", base},    // a space before "=" loses the attribute
        {"<font size= '20'>X", base},     // ... and one after it too
        {"<font x='1'size='20'>X", with([](TextStyle& s) { s.size = 20; })},
        {"<font size='20'>a</font>X", base},
        {"<font size='20'>a</font >X", with([](TextStyle& s) { s.size = 20; })},
        {"<font size='20'>a</FONT>X", with([](TextStyle& s) { s.size = 20; })},
        {"<font size='20'><font>a</font>X", base},  // "<font>" pushes nothing, its close pops
        {"</font></font>X", base},
    };
    for (const Case& c : cases) EXPECT_EQ(RunOf(c.text, "X").style, c.expected) << c.text;

    std::string longFace(300, 'f');
    EXPECT_EQ(RunOf("<font face='" + longFace + "'>X", "X").style.face, longFace.substr(0, 259));
}

TEST(MarkupFont, AlignmentIsTakenWhereTheLineEnds) {
    auto events = Events("a<font style='bu' align='left' valign='TOP'>Heading<br></font>b");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].align.align, 1);
    EXPECT_EQ(events[1].style.bold, 1);
    EXPECT_EQ(events[1].align.valign, 0);
    EXPECT_EQ(events[2].kind, 'E');
    EXPECT_EQ(events[2].align.align, 0);
    EXPECT_EQ(events[2].style.underline, 1);
    EXPECT_EQ(events[4].kind, 'E');
    EXPECT_EQ(events[4].align, (Alignment{1, 1, kWidth, markup::SurfaceHeight}));
    EXPECT_EQ(RunOf("<font align='middle' valign='center'>X", "X").align, events[0].align);
}

TEST(MarkupFont, HundredDeepNestingReturnsToTheDefault) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "<font size='" + std::to_string(i + 1) + "' style='bis' color='" + std::to_string(i) +
                ",0,0' align='right'>";
    text += "deep";
    for (int i = 0; i < 100; ++i) text += "</font>";
    text += "X";
    EXPECT_EQ(RunOf(text, "deep").style.size, 100);
    Event x = RunOf(text, "X");
    EXPECT_EQ(x.style, TextStyle{});
    EXPECT_EQ(x.align, (Alignment{1, 1, kWidth, markup::SurfaceHeight}));
}

TEST(MarkupScanning, QuotesAndTagEnds) {
    // A quote of the other kind inside a value is lost.
    EXPECT_EQ(RunOf("<a href='say \"hi\"'>X", "X").href, "say hi");
    EXPECT_EQ(RunOf("<a href=\"it's\">X", "X").href, "its");
    // A quote not straight after "=" opens nothing; the word is dropped.
    EXPECT_EQ(RunOf("<a 'href='t'>X", "X").href, "t");

    // ">" inside a value ends the tag; the open quote carries into the next
    // tag, where the space no longer splits words until a quote closes it.
    auto events = Events("<font face='x>Y<font size='20'>Z");
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].text, "Y");
    EXPECT_EQ(events[0].style, TextStyle{});  // the font tag pushed an unchanged copy
    EXPECT_EQ(RunOf("<font face='x>Y<font size='20'>Z", "Z").style, TextStyle{});
}

TEST(MarkupLinks, TargetAndHoverLook) {
    auto events = Events("<a href='http://x' size='20' style='-u' color='1,2,3' face='F'>one\ntwo</a>three</A>");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].href, "http://x");
    EXPECT_EQ(events[2].href, "http://x");  // across line ends
    EXPECT_EQ(events[3].text, "three");
    EXPECT_EQ(events[3].href, "");
    TextStyle link = TextStyle::AllInherit();
    link.size = 20;
    link.underline = 0;
    link.color = markup::Rgb(1, 2, 3);
    link.face = "F";
    EXPECT_EQ(events[0].link, link);
    EXPECT_EQ(events[3].link, link);  // kept after </a> until the next "a "
    EXPECT_EQ(RunOf("<a href='1' size='5'>a</a><a href='2'>X", "X").link, TextStyle::AllInherit());
    EXPECT_EQ(RunOf("<a href='1' size='5'>a</a><a>X", "X").link.size, 5);

    TextStyle run;
    run.bold = 1;
    TextStyle resolved = link.ResolvedAgainst(run);
    EXPECT_EQ(resolved.bold, 1);
    EXPECT_EQ(resolved.size, 20);
    EXPECT_EQ(resolved.background, NoColor);
    EXPECT_EQ(TextStyle::AllInherit().ResolvedAgainst(run), run);
}

TEST(MarkupImages, ResourceNumbersBordersAndFill) {
    auto events = Events("<a href='h'><img src='#150' border='1' color='1,2,3'></a><img src='#70000'>"
                      "<img src='pic.bmp'><img src='#'><img border='-3' src='#7'>");
    ASSERT_EQ(events.size(), 5u);  // four images and the line end
    EXPECT_EQ(events[0].a, 150);
    EXPECT_EQ(events[0].b, 1);
    EXPECT_EQ(events[0].color, markup::Rgb(1, 2, 3));
    EXPECT_EQ(events[0].href, "h");
    EXPECT_EQ(events[1].a, 70000 & 0xFFFF);
    EXPECT_EQ(events[1].b, 2);
    EXPECT_EQ(events[1].color, NoColor);
    EXPECT_EQ(events[2].a, 0);  // "#" alone: number 0, left to the layout
    EXPECT_EQ(events[3].b, -3);
    EXPECT_EQ(Shape("<img src='#150'>"), "I150 E");
    EXPECT_EQ(Shape("<img>"), "E");
}

TEST(MarkupRules, DefaultsAndAttributes) {
    struct Case {
        const char* text;
        Color color;
        int size, width, align;
    } cases[] = {
        {"<hr>", kShadow, 2, kWidth - 100, 1},
        {"<hr size='3'>", kShadow, 3, kWidth - 10, 1},
        {"<hr color='9,9,9' width='50' align='LEFT'>", markup::Rgb(9, 9, 9), 2, 50, 0},
        {"<hr align='right' size=''>", kShadow, 2, kWidth - 10, 2},
        {"<hr align='middle' color='none'>", NoColor, 2, kWidth - 10, 1},
    };
    for (const Case& c : cases) {
        auto events = Events(c.text);
        ASSERT_EQ(events.size(), 2u) << c.text;
        const Event& r = events[0];
        EXPECT_EQ(r.kind, 'R') << c.text;
        EXPECT_EQ(r.color, c.color) << c.text;
        EXPECT_EQ(r.a, c.size) << c.text;
        EXPECT_EQ(r.b, c.width) << c.text;
        EXPECT_EQ(r.c, c.align) << c.text;
    }
    EXPECT_EQ(Shape("<HR>x"), "T(x) E");
}

TEST(MarkupSpaces, AtTheClosingQuote) {
    EXPECT_EQ(Shape("a<vspace size='10'>b<hspace size='-5'>c"), "T(a) V10 T(b) H-5 T(c) E");
    EXPECT_EQ(Shape("<vspace size='4' size='6'>"), "V4 V6 E");
    auto events = Events("<font align='right'><vspace size='1'>");
    EXPECT_EQ(events[0].align.align, 2);
}

TEST(MarkupValues, IntegersAndColours) {
    struct IntCase {
        const char* text;
        int value;
    } ints[] = {{"", 0},        {"  42x", 42},          {"+7", 7},          {"-12", -12},
                {"\t-0", 0},    {"x1", 0},              {"99999999999", INT32_MAX},
                {"-99999999999", INT32_MIN}, {"2147483647", INT32_MAX}, {"- 1", 0}};
    for (const IntCase& c : ints) EXPECT_EQ(markup::ReadInteger(c.text), c.value) << c.text;

    struct ColorCase {
        const char* text;
        Color value;
    } colours[] = {{"", 5},        {"none", NoColor},        {"transparant", NoColor},
                   {"NONE", 5},    {"1,2,3", markup::Rgb(1, 2, 3)}, {" 1 , 2 , 3 ", markup::Rgb(1, 2, 3)},
                   {",,", 0},      {"1,2", 5},               {"1,2,3,4", markup::Rgb(1, 2, 3)}};
    for (const ColorCase& c : colours) {
        Color target = 5;
        markup::ParseColor(c.text, target);
        EXPECT_EQ(target, c.value) << c.text;
    }
}

}  // namespace
