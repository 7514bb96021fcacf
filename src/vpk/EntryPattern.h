// Entry name patterns, as the command line and the viewer's searches read them.
//
// A pattern matches a whole entry name: "*" any run of characters within one
// "/"-separated component, "**" any run across components, "?" one character
// other than "/"; every other character stands for itself, compared without
// regard to ASCII case (the game's files live on Windows). A plain name is a
// pattern without wildcards. "**/" as a whole component (at the start or
// after a "/") stands for no folder or any number of them, as git reads it:
// "**/x.dlg" takes "x.dlg" and "a/b/x.dlg", "dlg/**/x.dlg" takes "dlg/x.dlg".
// Elsewhere "**" is any run across components: "**x.dlg" takes "ax.dlg".
//
// Matching runs the pattern as a set of positions advanced one name byte at a
// time (bit-parallel), so it costs the same for every pattern of up to 63
// tokens and never backtracks. Before that, two cheap looks turn away most
// names a search meets: the characters the pattern ends with must end the
// name, and its longest run of plain characters must occur in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The ASCII letter c in lower case; every other byte as it is.
inline unsigned char FoldAsciiCase(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// True when name holds `folded` (its ASCII letters in lower case), ASCII
// case ignored; an empty `folded` is in every name.
bool ContainsFolded(const char* name, std::string_view folded);

class EntryPattern {
public:
    explicit EntryPattern(std::string text);

    bool Matches(const char* name) const;
    const std::string& Text() const { return text; }

private:
    using Bits = std::uint64_t;
    static constexpr int kBitsPerWord = 64;

    std::string text;
    // Positions are the tokens (a character, "?", "*" or "**"), plus one for
    // "all matched". The tables hold `words` words per byte value.
    std::size_t words = 1;
    std::size_t accept = 0;      // the position after the last token
    std::vector<Bits> advance;   // [byte][word]: tokens that take the byte and move on
    std::vector<Bits> stay;      // [byte][word]: stars that take the byte and stay
    std::vector<Bits> skippable; // [word]: stars, which may also take nothing
    std::vector<Bits> jumps;     // [word]: "/" tokens before a "**/" component, which they may skip
    std::string tail;            // the plain characters that end the pattern, folded
    std::string needle;          // its longest run of plain characters before those, folded
    Bits start = 1;              // positions reached before the first byte
    bool hopeless = false;       // more characters than any name holds
};
