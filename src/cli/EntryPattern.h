// Entry names and patterns on the command line.
//
// A pattern matches a whole entry name: "*" any run of characters within one
// "/"-separated component, "**" any run across components, "?" one character
// other than "/"; every other character stands for itself, compared without
// regard to ASCII case (the game's files live on Windows). A plain name is a
// pattern without wildcards. "**/" stands for a run that ends with "/", so
// "**/x.dlg" needs at least one folder; "**x.dlg" takes any.
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
    bool hopeless = false;       // more characters than any name holds
};

// True when an argument is an entry NUMBER: digits only, as before names were
// accepted.
bool IsEntryNumber(const char* text);
