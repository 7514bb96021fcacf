// Entry names and patterns: one table of names each pattern must and must not
// match, read both as a pattern of the command line and as the viewer's
// filter text (which takes a plain text as a part of the name).
#include "Cli.h"

#include "vpk/PackSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// No: neither matches. Yes: both. Filter: only the filter, which finds a
// plain text anywhere in the name.
enum Outcome { No, Yes, Filter };

TEST(EntryPattern, MatchesWholeNamesWithWildcardsAndFoldedCase)
{
    struct Case {
        std::string pattern;
        std::string name;
        Outcome matches;
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
        {"dlg/hollywood/isaac.dlg", "dlg/hollywood/isaac.dlg", Yes},
        {"DLG/Hollywood/ISAAC.dlg", "dlg/hollywood/isaac.dlg", Yes},
        {"isaac.dlg", "dlg/hollywood/isaac.dlg", Filter},
        {"dlg/hollywood/isaac", "dlg/hollywood/isaac.dlg", Filter},
        {"HOLLY", "dlg/hollywood/isaac.dlg", Filter},
        {"hollywood/isaac.dlg/", "dlg/hollywood/isaac.dlg", No},
        {"dlg/hollywood/isaac.dlg2", "dlg/hollywood/isaac.dlg", No},
        {"caf\xE9.txt", "caf\xE9.txt", Yes},
        {"caf\xC9.txt", "caf\xE9.txt", No},  // only ASCII letters fold
        {"", "", Yes},
        {"", "a", Filter},
        // "*" stays within one component.
        {"*.dlg", "isaac.dlg", Yes},
        {"*.dlg", "dlg/isaac.dlg", No},
        {"dlg/*/*.dlg", "dlg/hollywood/isaac.dlg", Yes},
        {"dlg/*/*.dlg", "dlg/a/b/isaac.dlg", No},
        {"dlg/*", "dlg/", Yes},
        {"*", "", Yes},
        {"a*b*c", "axxbyyc", Yes},
        {"a*b*c", "axxbyy/c", No},
        {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", No},
        // "**" crosses components; "**/" as a whole component also takes no
        // folder at all.
        {"**.dlg", "isaac.dlg", Yes},
        {"**.dlg", "dlg/main characters/regent.dlg", Yes},
        {"**/regent.dlg", "dlg/main characters/regent.dlg", Yes},
        {"**/regent.dlg", "regent.dlg", Yes},
        {"**/regent.dlg", "xregent.dlg", No},
        {"**/regent.dlg", "dlg/xregent.dlg", No},
        {"dlg/**/isaac.dlg", "dlg/isaac.dlg", Yes},
        {"dlg/**/isaac.dlg", "dlg/hollywood/isaac.dlg", Yes},
        {"dlg/**/isaac.dlg", "dlg/a/b/isaac.dlg", Yes},
        {"dlg/**/isaac.dlg", "dlgisaac.dlg", No},
        {"dlg/**/isaac.dlg", "dlg/hollywoodisaac.dlg", No},
        {"**/**/x", "x", Yes},
        {"**/*/**/x", "a/b/c/x", Yes},
        {"**/*/**/x", "x", No},
        {"dlg**/isaac.dlg", "dlgisaac.dlg", No},  // not a whole component: a run, then "/"
        {"dlg**/isaac.dlg", "dlgs/isaac.dlg", Yes},
        {"dlg/**/", "dlg/", Yes},
        {"dlg/**", "dlg/a/b/c", Yes},
        {"dlg/**", "dlgx/a", No},
        {"**", "any/thing/at/all", Yes},
        {"***.txt", "a/b.txt", Yes},  // a run of stars holding "**" crosses
        {"*/**/*.lip", "sound/a/b.lip", Yes},
        {"*/**/*.lip", "sound/b.lip", Yes},
        {"*/**/*.lip", "b.lip", No},
        // "?" takes one character, never "/".
        {"entry0000?.dlg", "entry00007.dlg", Yes},
        {"entry0000?.dlg", "entry000017.dlg", No},
        {"a?b", "a/b", No},
        {"?", "", No},
        // Patterns longer than a word of positions, and longer than any name.
        {longStars, std::string(100, 'a') + "tail", Yes},
        {longStars, std::string(99, 'a'), No},
        {"**" + longName, "x/" + longName, Yes},
        {"**/" + longName, longName, Yes},
        {std::string(62, 'a') + "/**/x", std::string(62, 'a') + "/x", Yes},  // "/" jumps across words
        {std::string(62, 'a') + "/**/x", std::string(62, 'a') + "/b/x", Yes},
        {"x/**/**/" + longName.substr(2), "x/" + longName.substr(2), Yes},
        {longName + "a*", longName, No},
        {[] {  // four tokens for each byte it takes
             std::string text;
             for (int i = 0; i < 150; ++i)
                 text += "*/**/";
             return text;
         }(),
         std::string(150, '/'), Yes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern.substr(0, 40) + " vs " + c.name.substr(0, 40));
        EXPECT_EQ(EntryPattern(c.pattern).Matches(c.name.c_str()), c.matches == Yes);
        EXPECT_EQ(vpk::EntryFilter(c.pattern).Matches(c.name.c_str()), c.matches != No);
    }
}

TEST(EntryPattern, OnlyDigitsMakeANumber)
{
    EXPECT_TRUE(cli::IsEntryNumber("7"));
    EXPECT_TRUE(cli::IsEntryNumber("0012"));
    for (const char* text : {"", "7a", "-1", "1.5", " 7", "*"})
        EXPECT_FALSE(cli::IsEntryNumber(text)) << text;
}

}  // namespace
