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
// tokens and never backtracks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    Bits start = 1;              // positions reached before the first byte
    bool hopeless = false;       // more characters than any name holds
};
