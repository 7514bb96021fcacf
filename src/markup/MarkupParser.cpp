#include "markup/MarkupParser.h"

#include <cstdint>
#include <string>
#include <vector>

namespace markup {

namespace {

// Byte-wise, whatever the locale: only A-Z change.
std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool Contains(std::string_view s, std::string_view what) { return s.find(what) != std::string_view::npos; }

void ApplyLetter(std::string_view value, char lower, std::int32_t& flag) {
    const char upper = static_cast<char>(lower - 'a' + 'A');
    const char off[] = {'-', lower, '\0'};
    const char offUpper[] = {'-', upper, '\0'};
    if (Contains(value, off) || Contains(value, offUpper)) {
        flag = 0;
    } else if (value.find_first_of(std::string{lower, upper}) != std::string_view::npos) {
        flag = 1;
    }
}

// A size attribute counts only from 1 to 1999.
void ApplySize(std::string_view value, std::int32_t& size) {
    std::int32_t n = ReadInteger(value);
    if (n > 0 && n < 2000) size = n;
}

std::string Face(std::string_view value) { return std::string(value.substr(0, MaxFaceLength)); }

// The scanner and the state of one pass.
class Parser {
public:
    Parser(std::string_view text, const MarkupContext& context, MarkupSink& sink)
        : copy_(text), context_(context), sink_(sink) {
        copy_.push_back('\n');
        Alignment base;
        base.width = context.clientWidth;
        styleStack_.push_back(TextStyle{});
        alignStack_.push_back(base);
        pendingStyle_ = styleStack_.back();
        pendingAlign_ = alignStack_.back();
    }

    void Run() {
        // The copy's length never changes; `br` and `p` rewrite bytes of it
        // and step the scan back onto the line feeds they wrote.
        for (std::size_t n = 0; n < copy_.size(); ++n) {
            const char c = copy_[n];
            if (!inTag_) {
                Outside(c);
            } else if (c == '>') {
                if (EndOfTag(n)) --n;  // read the rewritten byte at the new n next
            } else {
                Inside(c, n);
            }
        }
    }

private:
    const TextStyle& Style() const { return styleStack_.back(); }
    const Alignment& Align() const { return alignStack_.back(); }

    void FlushText() {
        if (!token_.empty()) sink_.AddTextRun(token_, Style(), Align(), href_, linkStyle_);
    }

    void Outside(char c) {
        if (c == '<') {
            FlushText();
            tagName_.clear();
            token_.clear();
            inTag_ = true;
        } else if (c == '\n') {
            FlushText();
            sink_.EndLine(Style(), Align());
            token_.clear();
        } else {
            token_.push_back(c);
        }
    }

    void Inside(char c, std::size_t n) {
        if (c == ' ' && !inQuote_) {
            if (!token_.empty() && tagName_.empty()) {
                tagName_ = Lower(token_);
                OpenTag();
            }
            token_.clear();
        } else if (c == '"' || c == '\'') {
            if (inQuote_ && c == quoteChar_) {
                Attribute(token_);
                token_.clear();
                inQuote_ = false;
            } else if (copy_[n - 1] == '=') {  // n > 0: the tag's "<" came before
                std::string_view name(token_);  // holds the "=" at n - 1
                if (!name.empty()) name.remove_suffix(1);
                while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
                attrName_ = Lower(name);
                token_.clear();
                inQuote_ = true;
                quoteChar_ = c;
            }
            // Any other quote is dropped.
        } else {
            token_.push_back(c);
        }
    }

    void ResetRule(std::int32_t narrowerBy) {
        ruleColor_ = context_.ruleColor;
        ruleSize_ = 2;
        ruleWidth_ = context_.clientWidth - narrowerBy;
        ruleAlign_ = 1;
    }

    // The first space after a tag's name.
    void OpenTag() {
        if (tagName_ == "font") {
            pendingStyle_ = Style();
            pendingAlign_ = Align();
        } else if (tagName_ == "hr") {
            ResetRule(10);
        } else if (tagName_ == "a") {
            linkStyle_ = TextStyle::AllInherit();
        } else if (tagName_ == "img") {
            imageBorder_ = 2;
            imageColor_ = NoColor;
            imageSrc_.clear();
        }
    }

    // A closing quote: `value` for attribute attrName_ of tag tagName_.
    void Attribute(const std::string& value) {
        const std::string& a = attrName_;
        if (tagName_ == "font") {
            if (a == "size") ApplySize(value, pendingStyle_.size);
            else if (a == "face") pendingStyle_.face = Face(value);
            else if (a == "style") ApplyStyleLetters(value, pendingStyle_);
            else if (a == "color") ParseColor(value, pendingStyle_.color);
            else if (a == "background") ParseColor(value, pendingStyle_.background);
            else if (a == "align") Keyword(value, {"left", "center", "right"}, pendingAlign_.align);
            else if (a == "valign") Keyword(value, {"top", "middle", "bottom"}, pendingAlign_.valign);
        } else if (tagName_ == "a") {
            if (a == "href") href_ = value;
            else if (a == "size") ApplySize(value, linkStyle_.size);
            else if (a == "face") linkStyle_.face = Face(value);
            else if (a == "style") ApplyStyleLetters(value, linkStyle_);
            else if (a == "color") ParseColor(value, linkStyle_.color);
            else if (a == "background") ParseColor(value, linkStyle_.background);
        } else if (tagName_ == "img") {
            if (a == "src" && !value.empty()) imageSrc_ = value;
            else if (a == "color") ParseColor(value, imageColor_);
            else if (a == "border" && !value.empty()) imageBorder_ = ReadInteger(value);
        } else if (tagName_ == "hr") {
            if (value.empty()) return;
            if (a == "color") ParseColor(value, ruleColor_);
            else if (a == "width") ruleWidth_ = ReadInteger(value);
            else if (a == "size") ruleSize_ = ReadInteger(value);
            else if (a == "align") {
                std::string v = Lower(value);
                ruleAlign_ = v == "left" ? 0 : v == "right" ? 2 : 1;
            }
        } else if (tagName_ == "vspace") {
            if (a == "size") sink_.AddVerticalSpace(ReadInteger(value), Align());
        } else if (tagName_ == "hspace") {
            if (a == "size") sink_.AddHorizontalSpace(ReadInteger(value));
        }
    }

    static void Keyword(const std::string& value, const char* const (&words)[3], std::int32_t& target) {
        std::string v = Lower(value);
        for (std::int32_t i = 0; i < 3; ++i)
            if (v == words[i]) target = i;
    }

    // The ">" at n. Returns true when the scan must read position n (after
    // decrementing, the loop's step lands there) — false to go on after n.
    bool EndOfTag(std::size_t& n) {
        const bool bare = tagName_.empty();
        if (tagName_ == "font") {
            styleStack_.push_back(pendingStyle_);
            alignStack_.push_back(pendingAlign_);
        } else if (bare && token_ == "/font") {
            if (styleStack_.size() > 1) styleStack_.pop_back();
            if (alignStack_.size() > 1) alignStack_.pop_back();
        } else if (bare && token_ == "hr") {
            ResetRule(100);
            tagName_ = "hr";
        }

        bool rescan = false;
        if (tagName_ == "hr") {
            sink_.AddRule(ruleColor_, ruleSize_, ruleWidth_, ruleAlign_, Align());
        } else if (bare && token_ == "/a") {
            href_.clear();
        } else if (tagName_ == "img") {
            if (!imageSrc_.empty() && imageSrc_[0] == '#') {
                auto id = static_cast<std::uint16_t>(static_cast<std::uint32_t>(ReadInteger(std::string_view(imageSrc_).substr(1))));
                sink_.AddImage(id, imageColor_, imageBorder_, Align(), href_, linkStyle_);
            }
            imageColor_ = NoColor;
            imageBorder_ = 0;
            imageSrc_.clear();
        } else if (tagName_ == "br" || (bare && token_ == "br")) {
            copy_[n] = '\n';  // one line end, read next
            rescan = true;
        } else if (tagName_ == "p" || (bare && token_ == "p")) {
            copy_[n] = '\n';  // two line ends, read from n - 1
            copy_[n - 1] = '\n';
            --n;
            rescan = true;
        }
        token_.clear();
        inTag_ = false;  // inQuote_ carries over into the next tag
        return rescan;
    }

    std::string copy_;
    const MarkupContext& context_;
    MarkupSink& sink_;

    std::vector<TextStyle> styleStack_;
    std::vector<Alignment> alignStack_;
    TextStyle pendingStyle_;
    Alignment pendingAlign_;
    TextStyle linkStyle_ = TextStyle::AllInherit();
    std::string href_;

    std::string imageSrc_;
    Color imageColor_ = NoColor;
    std::int32_t imageBorder_ = 0;

    Color ruleColor_ = 0;
    std::int32_t ruleSize_ = 2;
    std::int32_t ruleWidth_ = 0;
    std::int32_t ruleAlign_ = 1;

    bool inTag_ = false;
    bool inQuote_ = false;
    char quoteChar_ = '\0';
    std::string tagName_;
    std::string attrName_;
    std::string token_;
};

}  // namespace

TextStyle TextStyle::ResolvedAgainst(const TextStyle& run) const {
    TextStyle r = *this;
    if (r.face.empty()) r.face = run.face;
    if (r.size == 0) r.size = run.size;
    if (r.bold == InheritFlag) r.bold = run.bold;
    if (r.italic == InheritFlag) r.italic = run.italic;
    if (r.underline == InheritFlag) r.underline = run.underline;
    if (r.strikeout == InheritFlag) r.strikeout = run.strikeout;
    if (r.color == InheritColor) r.color = run.color;
    if (r.background == InheritColor) r.background = run.background;
    return r;
}

std::int32_t ReadInteger(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    std::int64_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > INT32_MAX + std::int64_t{1}) n = INT32_MAX + std::int64_t{1};  // saturate, keep reading
    }
    if (negative) n = -n;
    if (n > INT32_MAX) n = INT32_MAX;
    return static_cast<std::int32_t>(n);
}

void ParseColor(std::string_view value, Color& target) {
    if (value.empty()) return;
    if (value == "none" || value == "transparant") {
        target = NoColor;
        return;
    }
    std::size_t first = value.find(',');
    if (first == std::string_view::npos) return;
    std::size_t second = value.find(',', first + 1);
    if (second == std::string_view::npos) return;
    target = Rgb(ReadInteger(value.substr(0, first)), ReadInteger(value.substr(first + 1, second - first - 1)),
                 ReadInteger(value.substr(second + 1)));
}

void ApplyStyleLetters(std::string_view value, TextStyle& style) {
    ApplyLetter(value, 'b', style.bold);
    ApplyLetter(value, 'i', style.italic);
    ApplyLetter(value, 'u', style.underline);
    ApplyLetter(value, 's', style.strikeout);
}

void Parse(std::string_view text, const MarkupContext& context, MarkupSink& sink) {
    Parser(text, context, sink).Run();
}

}  // namespace markup
