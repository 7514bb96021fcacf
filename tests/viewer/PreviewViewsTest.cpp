// The preview's text and hex views on their own, in a plain window: what
// WM_GETTEXT answers, scrolling to the end, Ctrl+A and Ctrl+C, wrapping on
// resize; and the hex rows against `hexdump -C` itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestData.h"
#include "skin/SkinHost.h"
#include "viewer/preview/HexRows.h"
#include "viewer/preview/HexView.h"
#include "viewer/preview/TextView.h"
#include "win/Pump.h"
#include "win/Window.h"

namespace {

using viewer::preview::HexRow;
using viewer::preview::HexView;
using viewer::preview::TextView;

constexpr int kViewId = 1009;

// The oracle's pattern: byte i is (7 i + i / 256) mod 256.
std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((7 * i + i / 256) % 256);
    return bytes;
}

std::string HexText(const std::vector<unsigned char>& bytes, std::size_t firstRow, std::size_t rowCount) {
    std::string text;
    for (std::size_t row = firstRow; row < firstRow + rowCount && row * 16 < bytes.size(); ++row) {
        text += HexRow(row * 16, bytes.data() + row * 16, std::min<std::size_t>(16, bytes.size() - row * 16));
        text += "\r\n";
    }
    return text;
}

std::string Clipboard() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(const char* text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(::GlobalLock(memory), text, std::strlen(text) + 1);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_TEXT, memory);
    ::CloseClipboard();
}

TEST(HexRowTest, RowsMatchHexdump) {
    for (const std::size_t length : {0, 1, 15, 16, 17, 4096 + 3}) {
        SCOPED_TRACE(length);
        std::ifstream oracle(test::HostPath(std::string(TESSARO_HEXDUMP_DIR) + "/" + std::to_string(length) + ".txt"));
        ASSERT_TRUE(oracle.is_open());
        std::vector<std::string> expected;
        for (std::string line; std::getline(oracle, line);) expected.push_back(line);
        // hexdump ends with the total length alone on a line; the view has no such line.
        if (!expected.empty() && expected.back().size() == 8) expected.pop_back();

        const std::vector<unsigned char> bytes = Pattern(length);
        std::vector<std::string> rows;
        for (std::size_t at = 0; at < bytes.size(); at += 16) {
            rows.push_back(HexRow(at, bytes.data() + at, std::min<std::size_t>(16, bytes.size() - at)));
        }
        EXPECT_EQ(rows, expected);
    }
}

class PreviewViewFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Create(win::Rect::FromSize(40, 40, 640, 480))); }

    template <class View>
    void Place(View& view, int width, int height) {
        ::MoveWindow(view.Hwnd(), 0, 0, width, height, TRUE);
        ::ShowWindow(view.Hwnd(), SW_SHOW);
        ::UpdateWindow(view.Hwnd());
        wintest::Pump();
    }

    static std::string Text(HWND hwnd) {
        const auto length = ::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const auto copied = ::SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied));
        return text;
    }

    static void CopyAll(HWND view) {
        PutOnClipboard("before");
        ::SendMessageA(view, WM_CHAR, 1, 0);  // Ctrl+A
        ::SendMessageA(view, WM_CHAR, 3, 0);  // Ctrl+C
    }

    skintest::Host host;
};

using TextViewTest = PreviewViewFixture;

// LF, CRLF and a lone CR each end a line; WM_GETTEXT, the clipboard and the
// line count all see CRLF line ends; the end key brings the last line on
// screen.
TEST_F(TextViewTest, AnswersTheWholeTextWithCrLfAndScrollsToTheEnd) {
    TextView view;
    ASSERT_TRUE(view.Create(host.Handle(), kViewId, {0, 0, 300, 200}));
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : "\r");
    text += "the last line";
    view.SetText(text);
    Place(view, 300, 200);

    std::string expected;
    for (int i = 0; i < 300; ++i) expected += "line " + std::to_string(i) + "\r\n";
    expected += "the last line";
    EXPECT_EQ(view.LineCount(), 301u);
    EXPECT_EQ(Text(view.Hwnd()), expected);
    EXPECT_FALSE(view.LastRowVisible());

    ::SendMessageA(view.Hwnd(), WM_KEYDOWN, VK_END, 0);
    EXPECT_TRUE(view.LastRowVisible());
    EXPECT_GT(view.TopLine(), 250u);
    ::SendMessageA(view.Hwnd(), WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_FALSE(view.LastRowVisible());
    ::SendMessageA(view.Hwnd(), WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA * 100)) << 16, 0);
    EXPECT_TRUE(view.LastRowVisible());

    CopyAll(view.Hwnd());
    EXPECT_EQ(Clipboard(), expected);
}

// A long line of words breaks after a blank that fits; a narrower view
// breaks it sooner. Shift+Down from the start selects exactly the first row.
TEST_F(TextViewTest, WrapsAtItsWidthAndAgainOnResize) {
    TextView view;
    ASSERT_TRUE(view.Create(host.Handle(), kViewId, {0, 0, 400, 200}));
    // A font before any text, as the viewer gives it.
    ::SendMessageA(view.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    std::string words;
    for (int i = 0; i < 200; ++i) words += "word" + std::to_string(i) + " ";
    view.SetText(words);
    Place(view, 400, 200);
    auto firstRow = [&] {
        ::SendMessageA(view.Hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
        ::SendMessageA(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        ::SetKeyboardState(keys);
        ::SendMessageA(view.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
        keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
        return view.SelectedText();
    };
    const std::string wide = firstRow();
    Place(view, 200, 200);
    const std::string narrow = firstRow();

    EXPECT_EQ(words.compare(0, wide.size(), wide), 0);
    EXPECT_EQ(words.compare(0, narrow.size(), narrow), 0);
    EXPECT_EQ(wide.back(), ' ');
    EXPECT_EQ(narrow.back(), ' ');
    EXPECT_LT(narrow.size(), wide.size());
    EXPECT_GT(narrow.size(), 5u);
}

using HexViewTest = PreviewViewFixture;

// The view reads no more than the rows on screen, answers WM_GETTEXT with
// those rows, reaches the last row by key and by bar, and copies all rows.
TEST_F(HexViewTest, ShowsTheRowsOnScreenReadingOnlyThose) {
    HexView view;
    ASSERT_TRUE(view.Create(host.Handle(), kViewId, {0, 0, 500, 200}));
    const std::vector<unsigned char> bytes = Pattern(1000 * 16 + 5);
    std::size_t largestRead = 0;
    view.SetSource(bytes.size(), [&](std::uint64_t offset, std::size_t count, unsigned char* out) {
        largestRead = std::max(largestRead, count);
        if (offset + count > bytes.size()) return false;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out);
        return true;
    });
    Place(view, 500, 200);

    const std::string screen = Text(view.Hwnd());
    const auto shown = static_cast<std::size_t>(std::count(screen.begin(), screen.end(), '\n'));
    ASSERT_GT(shown, 3u);
    EXPECT_LT(shown, 40u);
    EXPECT_EQ(screen, HexText(bytes, 0, shown));
    EXPECT_LE(largestRead, shown * 16);

    ::SendMessageA(view.Hwnd(), WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Text(view.Hwnd()).substr(0, 8), HexRow(view.TopRow() * 16, bytes.data(), 1).substr(0, 8));
    EXPECT_NE(Text(view.Hwnd()).find(HexText(bytes, 1000, 1)), std::string::npos);
    ::SendMessageA(view.Hwnd(), WM_KEYDOWN, VK_HOME, 0);
    ::SendMessageA(view.Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(view.TopRow(), 0u);

    CopyAll(view.Hwnd());
    EXPECT_EQ(Clipboard(), HexText(bytes, 0, 1001));
}

// A 100 MB source: opening reads a screen, and the end is reachable
// although the rows are more than the bar's positions.
TEST_F(HexViewTest, OpensAHundredMegabytesReadingAScreen) {
    HexView view;
    ASSERT_TRUE(view.Create(host.Handle(), kViewId, {0, 0, 500, 200}));
    constexpr std::uint64_t kSize = 100u << 20;
    std::uint64_t bytesRead = 0;
    view.SetSource(kSize, [&](std::uint64_t offset, std::size_t count, unsigned char* out) {
        bytesRead += count;
        for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(offset + i);
        return true;
    });
    Place(view, 500, 200);
    EXPECT_LT(bytesRead, 4096u);

    ::SendMessageA(view.Hwnd(), WM_KEYDOWN, VK_END, 0);
    const std::string screen = Text(view.Hwnd());
    EXPECT_NE(screen.find("063ffff0  f0 f1"), std::string::npos) << screen;
    EXPECT_EQ(view.TopRow() + static_cast<std::uint64_t>(std::count(screen.begin(), screen.end(), '\n')),
              view.RowCount());
}

}  // namespace
