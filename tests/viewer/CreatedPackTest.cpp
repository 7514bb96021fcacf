// A pack written by tessaro-cli's `pack` loads in the viewer, lists what the
// folder held and previews it.
#include <gtest/gtest.h>

#include <string>

#include "ViewerSupport.h"
#include "cli/PackWriter.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace {

TEST(CreatedPack, LoadsAndPreviewsInTheViewer) {
    win::InitCommonControlClasses();
    test::TempDir dir;
    test::MessageRecorder messages;
    wintest::MessageBoxRecorder boxes;
    std::filesystem::create_directories(dir.Path() / "src" / "dlg");
    test::WriteFile(dir.Path() / "src" / "dlg" / "mod.dlg", "line one\r\nline two");
    test::WriteFile(dir.Path() / "src" / "readme.txt", "hello");
    const std::string out = dir / "mod.vpk";
    std::string problems;
    ASSERT_TRUE(WritePack((dir / "src"), out, [&](const std::string& p) { problems += p + "\n"; })) << problems;

    viewer::VpkViewerDialog viewer;
    ASSERT_TRUE(viewer.Create(nullptr));
    viewer.AddPack(out.c_str());
    ASSERT_EQ(viewertest::Rows(viewer.PackList().Handle()).size(), 1u);
    viewertest::Click(viewer, viewer.PackList().Handle(), {0});
    EXPECT_EQ(viewertest::Rows(viewer.EntryList().Handle()),
              (std::vector<viewertest::Row>{{"1", "dlg/mod.dlg", "18"}, {"2", "readme.txt", "5"}}));
    viewertest::Click(viewer, viewer.EntryList().Handle(), {0});
    HWND preview = viewertest::Preview(viewer);
    EXPECT_TRUE(::IsWindowVisible(preview));
    char text[64] = {};
    ::GetWindowTextA(preview, text, sizeof text);
    EXPECT_STREQ(text, "line one\r\nline two");
    EXPECT_EQ(messages.Take(), test::Messages{});
    EXPECT_TRUE(boxes.calls.empty());
    viewer.DestroyWindow();
}

}  // namespace
