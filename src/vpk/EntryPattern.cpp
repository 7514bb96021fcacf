#include "vpk/EntryPattern.h"

#include "vpk/VpkFormat.h"

#include <array>
#include <cstring>

namespace {

enum class Token { Character, AnyOne, Star, DoubleStar };

}  // namespace

bool ContainsFolded(const char* name, std::string_view folded)
{
    if (folded.empty())
        return true;
    const auto first = static_cast<unsigned char>(folded[0]);
    const std::size_t length = folded.size();
    for (const char* p = name; *p != '\0'; ++p) {
        if (FoldAsciiCase(static_cast<unsigned char>(*p)) != first)
            continue;
        std::size_t i = 1;
        while (i < length && p[i] != '\0' &&
               FoldAsciiCase(static_cast<unsigned char>(p[i])) == static_cast<unsigned char>(folded[i]))
            ++i;
        if (i == length)
            return true;
        if (p[i] == '\0')
            return false;  // what is left of the name is shorter than the text
    }
    return false;
}

EntryPattern::EntryPattern(std::string pattern) : text(std::move(pattern))
{
    // Tokens, with runs of stars merged: a run holding "**" crosses "/".
    std::vector<Token> tokens;
    std::vector<unsigned char> characters;
    // The "/" tokens that end a component followed by a "**/" component:
    // consuming the "/" may also step over the "**/".
    std::vector<bool> beforeFolders;
    bool leadingFolders = false;  // the pattern starts with "**/"
    std::vector<std::size_t> skippedSlashes;  // the "/" tokens of "**/" components
    std::size_t fixed = 0;        // tokens that take exactly one byte
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '*') {
            const std::size_t run = i;
            while (i < text.size() && text[i] == '*')
                ++i;
            const bool doubled = i - run >= 2;
            const bool component = run == 0 || text[run - 1] == '/';
            if (doubled && component && i < text.size() && text[i] == '/') {
                // "**/" as a whole component: no folder or any number of them.
                const bool repeated = tokens.size() >= 2 && tokens[tokens.size() - 2] == Token::DoubleStar &&
                                      (tokens.size() == 2 ? leadingFolders : beforeFolders[tokens.size() - 3]);
                ++i;
                if (repeated)
                    continue;  // "**/**/" takes what "**/" takes
                if (tokens.empty())
                    leadingFolders = true;
                else
                    beforeFolders.back() = true;
                tokens.push_back(Token::DoubleStar);
                characters.push_back(0);
                beforeFolders.push_back(false);
                tokens.push_back(Token::Character);
                characters.push_back('/');
                beforeFolders.push_back(false);
                skippedSlashes.push_back(tokens.size() - 1);
                continue;  // its "/" may be skipped: not a fixed byte
            }
            tokens.push_back(doubled ? Token::DoubleStar : Token::Star);
            characters.push_back(0);
            beforeFolders.push_back(false);
            continue;
        }
        tokens.push_back(text[i] == '?' ? Token::AnyOne : Token::Character);
        characters.push_back(FoldAsciiCase(static_cast<unsigned char>(text[i])));
        beforeFolders.push_back(false);
        ++fixed;
        ++i;
    }
    if (fixed > kVpkMaxNameLength) {
        hopeless = true;
        return;
    }
    // Runs of characters that every name matched holds as they are: no
    // wildcard within, and no "/" of a "**/", which may take nothing.
    std::string run;
    std::size_t skipped = 0;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const bool optional = skipped < skippedSlashes.size() && skippedSlashes[skipped] == t;
        skipped += optional ? 1 : 0;
        if (tokens[t] == Token::Character && !optional) {
            run.push_back(static_cast<char>(characters[t]));
            continue;
        }
        if (run.size() > needle.size())
            needle = run;
        run.clear();
    }
    tail = run;
    accept = tokens.size();
    words = accept / kBitsPerWord + 1;
    advance.assign(256 * words, 0);
    stay.assign(256 * words, 0);
    skippable.assign(words, 0);
    jumps.assign(words, 0);
    start = leadingFolders ? 0b101 : 0b1;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const std::size_t word = t / kBitsPerWord;
        const Bits bit = Bits{1} << (t % kBitsPerWord);
        for (int c = 1; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            switch (tokens[t]) {
            case Token::Character:
                if (FoldAsciiCase(byte) == characters[t])
                    advance[c * words + word] |= bit;
                break;
            case Token::AnyOne:
                if (byte != '/')
                    advance[c * words + word] |= bit;
                break;
            case Token::Star:
                if (byte != '/')
                    stay[c * words + word] |= bit;
                break;
            case Token::DoubleStar:
                stay[c * words + word] |= bit;
                break;
            }
        }
        if (tokens[t] == Token::Star || tokens[t] == Token::DoubleStar)
            skippable[word] |= bit;
        if (beforeFolders[t])
            jumps[word] |= bit;
    }
}

bool EntryPattern::Matches(const char* name) const
{
    if (hopeless)
        return false;
    if (!tail.empty()) {
        const std::size_t length = std::strlen(name);
        if (length < tail.size())
            return false;
        const char* end = name + length - tail.size();
        for (std::size_t i = 0; i < tail.size(); ++i) {
            if (FoldAsciiCase(static_cast<unsigned char>(end[i])) != static_cast<unsigned char>(tail[i]))
                return false;
        }
    }
    if (!ContainsFolded(name, needle))
        return false;
    // A "/" before a "**/" component moves one position on, or three: past
    // the "**/" that took no folder. Stars are never adjacent, and "**/"
    // components never follow each other, so one step of each is enough.
    if (words == 1) {
        // Most patterns: every position in one word, kept in a register.
        const Bits skip = skippable[0];
        const Bits jump = jumps[0];
        Bits reached = start;
        reached |= (reached & skip) << 1;
        for (const char* p = name; *p != '\0'; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            const Bits moving = reached & advance[c];
            reached = moving << 1 | (moving & jump) << 3 | (reached & stay[c]);
            if (reached == 0)
                return false;
            reached |= (reached & skip) << 1;
        }
        return (reached >> accept & 1) != 0;
    }
    // Positions reached so far. A pattern keeps at most 259 bytes that take
    // one byte each (more can't match); before each of them come at most a
    // "**/" (two tokens) and a star, and as many may end the pattern, so it
    // has at most 4 * 259 + 3 tokens ("*/**/" over and over) and 17 words.
    constexpr std::size_t kMaxWords = (4 * kVpkMaxNameLength + 3) / kBitsPerWord + 1;
    std::array<Bits, kMaxWords> reached{};
    // A star may take nothing: reaching it also reaches the token after it.
    auto skipStars = [this](std::array<Bits, kMaxWords>& set) {
        Bits carry = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const Bits moving = set[w] & skippable[w];
            const Bits shifted = moving << 1 | carry;
            carry = moving >> (kBitsPerWord - 1);
            set[w] |= shifted;
        }
    };
    reached[0] = start;
    skipStars(reached);
    for (const char* p = name; *p != '\0'; ++p) {
        const std::size_t row = static_cast<unsigned char>(*p) * words;
        Bits carry = 0;
        Bits carryJump = 0;
        Bits any = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const Bits moving = reached[w] & advance[row + w];
            const Bits jumping = moving & jumps[w];
            const Bits next =
                (moving << 1 | carry) | (jumping << 3 | carryJump) | (reached[w] & stay[row + w]);
            carry = moving >> (kBitsPerWord - 1);
            carryJump = jumping >> (kBitsPerWord - 3);
            reached[w] = next;
            any |= next;
        }
        if (any == 0)
            return false;
        skipStars(reached);
    }
    return (reached[accept / kBitsPerWord] >> (accept % kBitsPerWord) & 1) != 0;
}
