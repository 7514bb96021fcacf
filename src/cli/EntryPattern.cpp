#include "EntryPattern.h"

#include "vpk/VpkFormat.h"

#include <array>

namespace {

unsigned char FoldCase(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

enum class Token { Character, AnyOne, Star, DoubleStar };

}  // namespace

EntryPattern::EntryPattern(std::string pattern) : text(std::move(pattern))
{
    // Tokens, with runs of stars merged: a run holding "**" crosses "/".
    std::vector<Token> tokens;
    std::vector<unsigned char> characters;
    std::size_t fixed = 0;  // tokens that take exactly one byte
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '*') {
            std::size_t run = 0;
            while (i < text.size() && text[i] == '*') {
                ++run;
                ++i;
            }
            const Token star = run >= 2 ? Token::DoubleStar : Token::Star;
            if (!tokens.empty() && (tokens.back() == Token::Star || tokens.back() == Token::DoubleStar)) {
                if (star == Token::DoubleStar)
                    tokens.back() = Token::DoubleStar;
            } else {
                tokens.push_back(star);
                characters.push_back(0);
            }
            continue;
        }
        tokens.push_back(text[i] == '?' ? Token::AnyOne : Token::Character);
        characters.push_back(FoldCase(static_cast<unsigned char>(text[i])));
        ++fixed;
        ++i;
    }
    if (fixed > kVpkMaxNameLength) {
        hopeless = true;
        return;
    }
    accept = tokens.size();
    words = accept / kBitsPerWord + 1;
    advance.assign(256 * words, 0);
    stay.assign(256 * words, 0);
    skippable.assign(words, 0);
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const std::size_t word = t / kBitsPerWord;
        const Bits bit = Bits{1} << (t % kBitsPerWord);
        for (int c = 1; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            switch (tokens[t]) {
            case Token::Character:
                if (FoldCase(byte) == characters[t])
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
    }
}

bool EntryPattern::Matches(const char* name) const
{
    if (hopeless)
        return false;
    if (words == 1) {
        // Most patterns: every position in one word, kept in a register.
        const Bits skip = skippable[0];
        Bits reached = 1;
        reached |= (reached & skip) << 1;
        for (const char* p = name; *p != '\0'; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            reached = (reached & advance[c]) << 1 | (reached & stay[c]);
            if (reached == 0)
                return false;
            reached |= (reached & skip) << 1;
        }
        return (reached >> accept & 1) != 0;
    }
    // Positions reached so far; a name holds at most 259 bytes, so the
    // pattern has at most 2 * 259 + 1 tokens and 9 words of positions.
    constexpr std::size_t kMaxWords = (2 * kVpkMaxNameLength + 2) / kBitsPerWord + 1;
    std::array<Bits, kMaxWords> reached{};
    // A star may take nothing: reaching it also reaches the token after it.
    // Stars are never adjacent, so one step of that is enough.
    auto skipStars = [this](std::array<Bits, kMaxWords>& set) {
        Bits carry = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const Bits moving = set[w] & skippable[w];
            const Bits shifted = moving << 1 | carry;
            carry = moving >> (kBitsPerWord - 1);
            set[w] |= shifted;
        }
    };
    reached[0] = 1;
    skipStars(reached);
    for (const char* p = name; *p != '\0'; ++p) {
        const std::size_t row = static_cast<unsigned char>(*p) * words;
        Bits carry = 0;
        Bits any = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const Bits moving = reached[w] & advance[row + w];
            const Bits next = (moving << 1 | carry) | (reached[w] & stay[row + w]);
            carry = moving >> (kBitsPerWord - 1);
            reached[w] = next;
            any |= next;
        }
        if (any == 0)
            return false;
        skipStars(reached);
    }
    return (reached[accept / kBitsPerWord] >> (accept % kBitsPerWord) & 1) != 0;
}

bool IsEntryNumber(const char* text)
{
    if (*text == '\0')
        return false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}
