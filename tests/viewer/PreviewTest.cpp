// The preview end to end: the game's largest dialogue file as text, then a
// binary entry in hex, then text of a type outside the list, each with its
// status line, and a hex view that keeps its pack when another is loaded.
#include <gtest/gtest.h>

#include <string>

#include "TestData.h"
#include "ViewerSupport.h"
#include "viewer/preview/HexRows.h"
#include "viewer/preview/TextView.h"
#include "vpk/PackBuilder.h"

namespace {

using viewertest::Click;
using viewertest::Rows;

class Preview : public viewertest::ViewerOnScreen {
protected:
    int Row(const std::string& name) {
        const std::vector<viewertest::Row> rows = Rows(entries());
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i][1] == name) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(Preview, TextThenHexThenTextByContentEachWithItsStatusLine) {
    TESSARO_REQUIRE_TESTDATA();
    std::string binary;
    for (int i = 0; i < 300; ++i) binary += static_cast<char>(i);
    std::string rows;  // the whole entry as hex rows
    for (size_t at = 0; at < binary.size(); at += 16) {
        rows += viewer::preview::HexRow(at, reinterpret_cast<const unsigned char*>(binary.data()) + at,
                                        std::min<size_t>(16, binary.size() - at)) + "\r\n";
    }
    viewer.AddPack(Pack("mixed.vpk", test::PackBuilder()
                                         .Add("models/x.mdl", binary)
                                         .Add("cfg/autoexec.cfg", "bind F5 quicksave\nbind F9 quickload\n")
                                         .Build())
                       .c_str());
    Load(test::TestDataPath("wesp_official_pack103.vpk"));

    Click(viewer, entries(), {Row("dlg/main characters/regent.dlg")});
    ASSERT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(Status(), "dlg/main characters/regent.dlg  |  129,781 bytes  |  text");
    EXPECT_EQ(::GetWindowTextLengthA(preview()), 129781);  // CRLF already: nothing added
    auto* text = dynamic_cast<viewer::preview::TextView*>(win::Window::FromHandle(preview()));
    ASSERT_NE(text, nullptr);
    ::SendMessageA(preview(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_TRUE(text->LastRowVisible());
    EXPECT_GT(text->TopLine(), 100u);

    Click(viewer, packs(), {0});
    Click(viewer, entries(), {0});
    ASSERT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(::GetDlgCtrlID(preview()), IDC_PREVIEW_TEXT);
    EXPECT_EQ(Status(), "models/x.mdl  |  300 bytes  |  hex");
    const std::string screen = win::WindowText(preview());
    ASSERT_GE(screen.size(), rows.find("\r\n") + 2);  // at least the first row
    EXPECT_EQ(rows.substr(0, screen.size()), screen);

    Click(viewer, entries(), {1});
    EXPECT_EQ(Status(), "cfg/autoexec.cfg  |  36 bytes  |  text");
    EXPECT_EQ(win::WindowText(preview()), "bind F5 quicksave\r\nbind F9 quickload\r\n");

    // The hex view reads its entry as it paints: loading another pack must
    // not put that pack's bytes under the shown entry's name.
    Click(viewer, entries(), {0});
    Click(viewer, packs(), {1});
    ::RedrawWindow(preview(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(win::WindowText(preview()), screen);
    EXPECT_EQ(Status(), "models/x.mdl  |  300 bytes  |  hex");
    EXPECT_TRUE(messages.Take().empty());
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
