// Entry names and patterns: one table of names each pattern must and must not
// match.
#include "EntryPattern.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EntryPattern, MatchesWholeNamesWithWildcardsAndFoldedCase)
{
    struct Case {
        std::string pattern;
        std::string name;
        bool matches;
    };
    const std::string longName(259, 'a');
    const std::string longStars = [] {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "a*";
        return text;
    }();
    const Case cases[] = {
        // Plain names: whole names only, ASCII case folded, other bytes exact.
        {"dlg/hollywood/isaac.dlg", "dlg/hollywood/isaac.dlg", true},
        {"DLG/Hollywood/ISAAC.dlg", "dlg/hollywood/isaac.dlg", true},
        {"isaac.dlg", "dlg/hollywood/isaac.dlg", false},
        {"dlg/hollywood/isaac", "dlg/hollywood/isaac.dlg", false},
        {"dlg/hollywood/isaac.dlg2", "dlg/hollywood/isaac.dlg", false},
        {"caf\xE9.txt", "caf\xE9.txt", true},
        {"caf\xC9.txt", "caf\xE9.txt", false},  // only ASCII letters fold
        {"", "", true},
        {"", "a", false},
        // "*" stays within one component.
        {"*.dlg", "isaac.dlg", true},
        {"*.dlg", "dlg/isaac.dlg", false},
        {"dlg/*/*.dlg", "dlg/hollywood/isaac.dlg", true},
        {"dlg/*/*.dlg", "dlg/a/b/isaac.dlg", false},
        {"dlg/*", "dlg/", true},
        {"*", "", true},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy/c", false},
        {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", false},
        // "**" crosses components; "**/" needs a folder.
        {"**.dlg", "isaac.dlg", true},
        {"**.dlg", "dlg/main characters/regent.dlg", true},
        {"**/regent.dlg", "dlg/main characters/regent.dlg", true},
        {"**/regent.dlg", "regent.dlg", false},
        {"dlg/**", "dlg/a/b/c", true},
        {"dlg/**", "dlgx/a", false},
        {"**", "any/thing/at/all", true},
        {"***.txt", "a/b.txt", true},  // a run of stars holding "**" crosses
        {"*/**/*.lip", "sound/a/b.lip", true},
        {"*/**/*.lip", "sound/b.lip", false},
        // "?" takes one character, never "/".
        {"entry0000?.dlg", "entry00007.dlg", true},
        {"entry0000?.dlg", "entry000017.dlg", false},
        {"a?b", "a/b", false},
        {"?", "", false},
        // Patterns longer than a word of positions, and longer than any name.
        {longStars, std::string(100, 'a') + "tail", true},
        {longStars, std::string(99, 'a'), false},
        {"**" + longName, "x/" + longName, true},
        {longName + "a*", longName, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern.substr(0, 40) + " vs " + c.name.substr(0, 40));
        EXPECT_EQ(EntryPattern(c.pattern).Matches(c.name.c_str()), c.matches);
    }
}

TEST(EntryPattern, OnlyDigitsMakeANumber)
{
    EXPECT_TRUE(IsEntryNumber("7"));
    EXPECT_TRUE(IsEntryNumber("0012"));
    for (const char* text : {"", "7a", "-1", "1.5", " 7", "*"})
        EXPECT_FALSE(IsEntryNumber(text)) << text;
}

}  // namespace
