// tessaro-cli: the pack archive from the command line.
//
//   tessaro-cli packs FOLDER                          PATH<TAB>COUNT<TAB>KIND per pack
//   tessaro-cli list PACK [ENTRY...]                  NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE per entry
//   tessaro-cli cat PACK ENTRY                        the entry's bytes on stdout
//   tessaro-cli extract PACK [ENTRY...] [-C DIR]      entries to files below DIR
//   tessaro-cli find FOLDER PATTERN...                PACK<TAB>NUMBER<TAB>NAME<TAB>SIZE per match
//   tessaro-cli pack SOURCE_DIR OUT.vpk               a file pack of a folder tree
//   tessaro-cli texture PACK ENTRY... [-C DIR] [--format png|tga|vtf]
//                                                     textures to image or VTF files below DIR
//   tessaro-cli texture --info PACK ENTRY...          NAME<TAB>WxH<TAB>FORMAT<TAB>MIPS<TAB>FRAMES
//
// An ENTRY is a NUMBER (digits only, counted from 1), a NAME or a PATTERN
// (vpk/EntryPattern.h). The archive's messages go to stderr, one line each. Exit
// status: 0 when no message was shown, 1 when any was, 2 for wrong usage.
#include "Commands.h"
#include "Version.h"

#include "vpk/MessageSink.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {
namespace {

constexpr char kUsage[] =
    "usage: tessaro-cli packs FOLDER\n"
    "       tessaro-cli list PACK [ENTRY...]\n"
    "       tessaro-cli cat PACK ENTRY\n"
    "       tessaro-cli extract PACK [ENTRY...] [-C DIR]\n"
    "       tessaro-cli find FOLDER PATTERN...\n"
    "       tessaro-cli pack SOURCE_DIR OUT.vpk\n"
    "       tessaro-cli texture PACK ENTRY... [-C DIR] [--format png|tga|vtf]\n"
    "       tessaro-cli texture --info PACK ENTRY...\n"
    "       tessaro-cli --help | --version\n";

constexpr char kHelp[] =
    "\n"
    "  packs    one line per *.vpk file of FOLDER, by file name:\n"
    "           PATH<TAB>ENTRY COUNT<TAB>File pack|Directory pack\n"
    "             tessaro-cli packs Vampire\n"
    "  list     one line per entry of PACK (or per entry matching an ENTRY),\n"
    "           in directory order: NUMBER<TAB>NAME<TAB>SIZE<TAB>TYPE\n"
    "             tessaro-cli list Vampire/pack103.vpk \"dlg/**\"\n"
    "  cat      the bytes of the ENTRY on stdout (of each match, in order)\n"
    "             tessaro-cli cat Vampire/pack103.vpk dlg/hollywood/isaac.dlg\n"
    "  extract  the given entries, or all of them, to files named after the\n"
    "           entries, below DIR (default: the current directory)\n"
    "             tessaro-cli extract Vampire/pack103.vpk \"*.txt\" 7 -C work\n"
    "  find     every entry matching a PATTERN in every *.vpk file of FOLDER:\n"
    "           PACK<TAB>NUMBER<TAB>NAME<TAB>SIZE\n"
    "             tessaro-cli find Vampire \"**regent*.dlg\"\n"
    "  pack     a file pack OUT.vpk of every file below SOURCE_DIR, named by\n"
    "           its path below it with \"/\"; OUT.vpk must lie outside it\n"
    "             tessaro-cli pack work mymod.vpk\n"
    "  texture  each texture named (by its .tth or .ttz entry, or a pattern\n"
    "           matching either half) as a file below DIR (default: the\n"
    "           current directory) named after its .tth entry: a PNG (8-bit\n"
    "           RGBA, the default), a TGA (32-bit) or the VTF file it holds;\n"
    "           with --info one line per texture instead:\n"
    "           NAME<TAB>WIDTHxHEIGHT<TAB>FORMAT<TAB>MIPS<TAB>FRAMES\n"
    "             tessaro-cli texture Vampire/pack010.vpk \"materials/**\" -C png\n"
    "             tessaro-cli texture --info Vampire/pack010.vpk \"**.tth\"\n"
    "\n"
    "An ENTRY is a NUMBER (digits only, counted from 1), a NAME, or a PATTERN\n"
    "matching whole names: * any run within one folder name, ** any run\n"
    "across folders, ? one character; letters match in either case. A whole\n"
    "folder name **/ is also no folder: **/isaac.dlg finds it at the top too,\n"
    "dlg/**/isaac.dlg also dlg/isaac.dlg. Quote\n"
    "patterns so the shell leaves them alone. A NAME or PATTERN that matches\n"
    "nothing is reported.\n"
    "\n"
    "A modder's round: find the file, extract it, change it, pack the folder.\n"
    "  tessaro-cli find Vampire \"**isaac.dlg\"\n"
    "  tessaro-cli extract Vampire/pack103.vpk dlg/hollywood/isaac.dlg -C mod\n"
    "  (edit mod/dlg/hollywood/isaac.dlg)\n"
    "  tessaro-cli pack mod Vampire/pack104.vpk\n"
    "\n"
    "Problems are written to stderr. Exit status: 0 when there were none,\n"
    "1 when there were, 2 for wrong usage.\n";

// The version texts are spelled out for the resource compiler; they must
// agree with the numbers.
#define TESSARO_TEXT_OF_(x) #x
#define TESSARO_TEXT_OF(x) TESSARO_TEXT_OF_(x)
constexpr bool SameText(const char* a, const char* b)
{
    for (; *b != '\0'; ++a, ++b) {
        if (*a != *b)
            return false;
    }
    return *a == '\0';
}
static_assert(SameText(TESSARO_VERSION_TEXT,
                       TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) "." TESSARO_TEXT_OF(TESSARO_VERSION_MINOR) "." TESSARO_TEXT_OF(
                           TESSARO_VERSION_PATCH) "." TESSARO_TEXT_OF(TESSARO_VERSION_BUILD)));
static_assert(SameText(TESSARO_VERSION_BLOCK_TEXT,
                       TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) ", " TESSARO_TEXT_OF(TESSARO_VERSION_MINOR) ", " TESSARO_TEXT_OF(
                           TESSARO_VERSION_PATCH) ", " TESSARO_TEXT_OF(TESSARO_VERSION_BUILD)));
static_assert(SameText(TESSARO_ABOUT_VERSION_TEXT,
                       "Tessaro Version " TESSARO_TEXT_OF(TESSARO_VERSION_MAJOR) "." TESSARO_TEXT_OF(TESSARO_VERSION_MINOR)));
int Usage()
{
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
// texture [--info] PACK ENTRY... [-C DIR] [--format png|tga|vtf], options
// anywhere after the command; --info takes neither -C nor --format.
int TextureCommand(int argc, char** argv, std::vector<EntrySelector>& selectors)
{
    const char* pack = nullptr;
    const char* folder = nullptr;
    const char* format = nullptr;
    bool info = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "-C") == 0 || std::strcmp(argv[i], "--format") == 0) {
            const char*& value = argv[i][1] == 'C' ? folder : format;
            if (i + 1 >= argc || value != nullptr)
                return Usage();
            value = argv[++i];
        } else if (std::strcmp(argv[i], "--info") == 0 && !info) {
            info = true;
        } else if (pack == nullptr && argv[i][0] != '-') {
            pack = argv[i];
        } else {
            selectors.emplace_back();
            if (pack == nullptr || !ParseSelector(argv[i], selectors.back()))
                return Usage();
        }
    }
    if (pack == nullptr || selectors.empty() || (info && (folder != nullptr || format != nullptr)))
        return Usage();
    TextureOutput output = info ? TextureOutput::kInfo : TextureOutput::kPng;
    if (format != nullptr && std::strcmp(format, "tga") == 0)
        output = TextureOutput::kTga;
    else if (format != nullptr && std::strcmp(format, "vtf") == 0)
        output = TextureOutput::kVtf;
    else if (format != nullptr && std::strcmp(format, "png") != 0)
        return Usage();
    return Texture(pack, selectors, folder, output);
}

int Run(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (command == "--version" && argc == 2) {
        std::fputs("tessaro-cli " TESSARO_VERSION_TEXT "\n", stdout);
        return kExitOk;
    }
    std::vector<EntrySelector> selectors;
    if (command == "packs" && argc == 3)
        return Packs(argv[2]);
    if (command == "list" && argc >= 3)
        return ParseSelectors(argc, argv, 3, selectors) ? List(argv[2], selectors) : Usage();
    if (command == "cat" && argc == 4)
        return ParseSelectors(argc, argv, 3, selectors) ? Cat(argv[2], selectors) : Usage();
    if (command == "find" && argc >= 4) {
        // Every argument is a pattern here, digits too: there is no one pack
        // for a number to count in.
        for (int i = 3; i < argc; ++i) {
            if (*argv[i] == '\0' || *argv[i] == '-')
                return Usage();
            selectors.emplace_back();
            selectors.back().text = argv[i];
            selectors.back().pattern = std::make_unique<EntryPattern>(argv[i]);
        }
        return Find(argv[2], selectors);
    }
    if (command == "pack" && argc == 4)
        return Pack(argv[2], argv[3]);
    if (command == "texture")
        return TextureCommand(argc, argv, selectors);
    if (command == "extract") {
        const char* pack = nullptr;
        const char* folder = nullptr;
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "-C") == 0) {
                if (i + 1 >= argc || folder != nullptr)
                    return Usage();
                folder = argv[++i];
            } else if (pack == nullptr) {
                pack = argv[i];
            } else {
                selectors.emplace_back();
                if (!ParseSelector(argv[i], selectors.back()))
                    return Usage();
            }
        }
        if (pack == nullptr)
            return Usage();
        return Extract(pack, selectors, folder);
    }
    return Usage();
}
}  // namespace
}  // namespace cli

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Binary output: cat's bytes pass unchanged, and listings and messages
    // end their lines with "\n" as on other systems, not "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    vpk::SetMessageSink(&cli::messages);
    const int status = cli::Run(argc, argv);
    vpk::SetMessageSink(nullptr);
    return status;
}
