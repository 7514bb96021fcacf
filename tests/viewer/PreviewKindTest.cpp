// Which view shows an entry: text types by their name, everything else by
// its first 4 KiB.
#include <gtest/gtest.h>

#include <string>

#include "viewer/preview/PreviewKind.h"

namespace {

using viewer::preview::ChoosePreviewKind;
using viewer::preview::PreviewKind;

TEST(PreviewKind, TextTypesByNameOthersByTheirFirstBytes) {
    const std::string head(4096, 'a');
    const struct {
        const char* name;
        bool inDirectoryPack;
        const char* type;
        std::string bytes;
        PreviewKind kind;
    } cases[] = {
        {"listed type, any bytes", false, "dlg", std::string("\0\x01\x02", 3), PreviewKind::Text},
        {"listed type in capitals", false, "VMT", std::string("\x1b", 1), PreviewKind::Text},
        {"gam~ is listed", false, "gam~", std::string("\0", 1), PreviewKind::Text},
        {"gam is not", false, "gam", std::string("\0", 1), PreviewKind::Hex},
        {"no type, plain text", false, "", "key\tvalue\r\nnext\n\fpage", PreviewKind::Text},
        {"unlisted, ANSI letters", false, "cfg", "R\xe9glages \xe0 la carte\x80", PreviewKind::Text},
        {"unlisted, a zero byte", false, "mdl", std::string("IDST\0", 5), PreviewKind::Hex},
        {"unlisted, a control byte", false, "cfg", "bind \x01 x", PreviewKind::Hex},
        {"unlisted, escape", false, "txt2", "\x1b[0m", PreviewKind::Hex},
        {"unlisted, delete", false, "ini", "a\x7f", PreviewKind::Hex},
        {"zero as the head's last byte", false, "bin", head.substr(0, 4095) + '\0', PreviewKind::Hex},
        {"zero past the head", false, "bin", head + '\0', PreviewKind::Text},
        {"empty entry of a listed type", false, "txt", "", PreviewKind::None},
        {"empty entry of another type", false, "bin", "", PreviewKind::None},
        {"row of a directory pack", true, "DIR", "", PreviewKind::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_EQ(ChoosePreviewKind(c.inDirectoryPack, c.type, static_cast<std::uint32_t>(c.bytes.size()), bytes,
                                    c.bytes.size()),
                  c.kind);
    }
}

}  // namespace
