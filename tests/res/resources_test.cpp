// Tessaro's resources as the program meets them: linked into this test's own
// module and loaded through the same calls the windows use. Each check pins
// something a slip in the resource script or in tools/make_resources.py
// would break. Ids are written as numbers: they are fixed, and a wrong value
// in resource.h must not pass unnoticed.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

struct Bytes {
    const uint8_t* data = nullptr;
    DWORD size = 0;
};

Bytes ResourceBytes(LPCSTR type, int id)
{
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(Module(), found);
    if (!loaded)
        return {};
    return {static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(Module(), found)};
}

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Dword(const uint8_t* p) { return Word(p) | static_cast<uint32_t>(Word(p + 2)) << 16; }

// A 32-bit top-down surface to draw on and read back.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        uint32_t v = bits_[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Styles compare as hex text so that a mismatch names its bits readably.
std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

bool Reddish(COLORREF c) { return GetRValue(c) > 100 && GetRValue(c) > 2 * GetGValue(c) && GetRValue(c) > 2 * GetBValue(c); }

// ---------------------------------------------------------------------------
// Menus, written as text: "text=id" for a command, "text{...}" for a pop-up,
// items separated by "|", "(grey)" after a greyed item.

std::string DescribeMenu(HMENU menu)
{
    std::string out;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info))
            return out + "<unreadable>";
        if (i)
            out += "|";
        if (info.fType & MFT_SEPARATOR) {
            out += "-";
            continue;
        }
        out += text;
        if (info.fState & MFS_GRAYED)
            out += "(grey)";
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "x" + string.
        if (info.hSubMenu) {
            out += '{';
            out += DescribeMenu(info.hSubMenu);
            out += '}';
        } else {
            out += '=';
            out += std::to_string(info.wID);
        }
    }
    return out;
}

const char* const kMainMenu = "&File{&Tools{&VPK Viewer/Extracter=32772}}|&About=16";
const char* const kViewerMenu = "&File{&Open=32771}";
const char* const kEntryPopup = "POPUP{&Extract=32773|Extract &to...=32774|Extract &all to...=32775}";

TEST(Menus, HoldTheirItemsAndCommands)
{
    struct Case {
        int id;
        const char* expected;
    };
    const Case cases[] = {
        {129, kMainMenu},
        {135, kViewerMenu},
        {136, kEntryPopup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(c.id));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(DescribeMenu(menu), c.expected);
        DestroyMenu(menu);
    }
}

TEST(Strings, SystemMenuAboutText)
{
    char text[64] = {};
    EXPECT_EQ(LoadStringA(Module(), 101, text, sizeof text), 17);
    EXPECT_STREQ(text, "&About Tessaro...");
}

// ---------------------------------------------------------------------------
// Dialogs: created from the resources with a procedure that handles nothing.

INT_PTR CALLBACK HandleNothing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct ControlSpec {
    int id;
    const char* className;
    const char* text;  // nullptr: not text (an icon)
    DWORD style;       // without WS_BORDER, which bordered covers
    bool bordered;
    int x, y, cx, cy;  // dialog units
    bool sizesItself;  // an icon static takes the icon's size
};

struct DialogSpec {
    const char* name;
    int id;
    const char* title;
    DWORD style;
    DWORD exStyle;
    const char* face;
    int points;
    const char* menu;  // nullptr: no menu
    int cx, cy;        // client size in dialog units
    std::vector<ControlSpec> controls;
};

// Bits the window manager adds to every dialog, whatever its template says.
const DWORD kAddedStyle = WS_CLIPSIBLINGS | DS_3DLOOK;
const DWORD kAddedExStyle = WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kHiddenFrame = WS_CHILD | SS_BLACKFRAME;

const std::vector<DialogSpec>& Dialogs()
{
    static const std::vector<DialogSpec> dialogs = {
        {"about", 100, "About Tessaro",
         DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
         "MS Sans Serif", 8, nullptr, 235, 166,
         {
             {-1, "Static", nullptr, kChild | SS_ICON, false, 11, 17, 21, 20, true},
             {-1, "Static", "Tessaro Version 1.0", kChild | SS_LEFT | SS_NOPREFIX, false, 40, 15, 119, 8, false},
             {-1, "Static", "Copyright (C) The Tessaro developers", kChild | SS_LEFT | SS_NOPREFIX, false, 40, 30, 119, 8, false},
             {1, "Button", "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, false, 178, 7, 50, 14, false},
             {1006, "Static", "Credits thingy", kChild | SS_LEFT, true, 7, 57, 221, 102, false},
         }},
        {"main", 102, "Tessaro v0.1",
         DS_SETFONT | DS_CENTER | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
         WS_EX_CLIENTEDGE | WS_EX_APPWINDOW, "Arial", 8, kMainMenu, 456, 302, {}},
        {"viewer", 130, "VPK Viewer",
         DS_SETFONT | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0,
         "Arial", 8, kViewerMenu, 485, 317,
         {
             {1000, "SysListView32", "", kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, false, 0, 10, 212, 96, false},
             {1001, "SysListView32", "", kChild | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, false, 0, 126, 212, 106, false},
             {1002, "Static", "", kHiddenFrame, false, 0, 113, 221, 1, false},
             {1003, "Static", "", kHiddenFrame, false, 220, 0, 1, 217, false},
             {1004, "Static", "", kHiddenFrame, false, 0, 0, 220, 10, false},
             {1005, "Static", "", kHiddenFrame, false, 0, 116, 220, 10, false},
             {1007, "Static", "", kHiddenFrame, false, 276, 0, 151, 10, false},
             {1008, "Static", "", kHiddenFrame, false, 265, 105, 174, 94, false},
             {1009, "Edit", "",
              WS_CHILD | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, false, 299, 59, 40, 14, false},
         }},
        {"progress", 160, "Extracting", DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION, 0,
         "MS Sans Serif", 8, nullptr, 220, 60,
         {
             {1010, "Static", "", kChild | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, false, 7, 7, 206, 8, false},
             {1011, "Static", "", kChild | SS_OWNERDRAW, false, 7, 19, 206, 10, false},
             {2, "Button", "Cancel", kChild | WS_TABSTOP | BS_PUSHBUTTON, false, 85, 39, 50, 14, false},
         }},
    };
    return dialogs;
}

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
    }
    HWND Create(int id)
    {
        dialog_ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, HandleNothing, 0);
        return dialog_;
    }
    HWND dialog_ = nullptr;
};

// Where the dialog manager puts a control: it converts the position and the
// size separately, so the far edge can differ by a pixel from converting it.
RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy)
{
    RECT r{x, y, cx, cy};
    MapDialogRect(dialog, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

std::string Text(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST_F(DialogsTest, WindowMatchesItsTemplate)
{
    for (const DialogSpec& d : Dialogs()) {
        SCOPED_TRACE(d.name);
        HWND dialog = Create(d.id);
        ASSERT_NE(dialog, nullptr);

        EXPECT_EQ(Text(dialog), d.title);
        EXPECT_EQ(Hex(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)) & ~kAddedStyle), Hex(d.style));
        EXPECT_EQ(Hex(static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)) & ~kAddedExStyle), Hex(d.exStyle));

        RECT client;
        GetClientRect(dialog, &client);
        RECT expected = DialogUnits(dialog, 0, 0, d.cx, d.cy);
        EXPECT_EQ(client.right, expected.right);
        EXPECT_EQ(client.bottom, expected.bottom);

        HMENU menu = GetMenu(dialog);
        if (d.menu) {
            EXPECT_EQ(DescribeMenu(menu), d.menu);
        } else {
            EXPECT_EQ(menu, nullptr);
        }

        LOGFONTA font{};
        ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_STREQ(font.lfFaceName, d.face);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(d.points, GetDeviceCaps(screen, LOGPIXELSY), 72));
        ReleaseDC(nullptr, screen);

        DestroyWindow(dialog);
        dialog_ = nullptr;
    }
}

TEST_F(DialogsTest, ControlsMatchTheirTemplates)
{
    for (const DialogSpec& d : Dialogs()) {
        SCOPED_TRACE(d.name);
        HWND dialog = Create(d.id);
        ASSERT_NE(dialog, nullptr);

        // Children come in template order, which is also the tab order.
        size_t index = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
            ASSERT_LT(index, d.controls.size()) << "an extra control";
            const ControlSpec& c = d.controls[index];
            SCOPED_TRACE("control " + std::to_string(index) + " id " + std::to_string(c.id));

            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            char className[64] = {};
            GetClassNameA(child, className, sizeof className);
            EXPECT_STRCASEEQ(className, c.className);
            if (c.text) {
                EXPECT_EQ(Text(child), c.text);
            }

            DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
            DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
            EXPECT_EQ(Hex(style & ~WS_BORDER), Hex(c.style));
            // A 3-D dialog turns a control's WS_BORDER into a client edge.
            EXPECT_EQ((style & WS_BORDER) != 0 || (exStyle & WS_EX_CLIENTEDGE) != 0, c.bordered);

            RECT placed;
            GetWindowRect(child, &placed);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
            RECT expected = DialogUnits(dialog, c.x, c.y, c.cx, c.cy);
            EXPECT_EQ(placed.left, expected.left);
            EXPECT_EQ(placed.top, expected.top);
            if (c.sizesItself) {
                EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "the icon resource was not found";
            } else {
                EXPECT_EQ(placed.right, expected.right);
                EXPECT_EQ(placed.bottom, expected.bottom);
            }
        }
        EXPECT_EQ(index, d.controls.size());

        DestroyWindow(dialog);
        dialog_ = nullptr;
    }
}

TEST_F(DialogsTest, ViewerOpensOwnedByTheMainWindow)
{
    // The main window creates its viewers with itself as the parent.
    HWND main = Create(102);
    ASSERT_NE(main, nullptr);
    HWND viewer = CreateDialogParamA(Module(), MAKEINTRESOURCEA(130), main, HandleNothing, 0);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), main);
    EXPECT_TRUE(IsWindowVisible(viewer));
    DestroyWindow(viewer);
}

// ---------------------------------------------------------------------------
// Icon and cursor

// Draws an icon or cursor on black and on white: where both agree it is
// opaque, where they differ its mask lets the background through.
struct Drawn {
    Drawn(HICON icon, int size) : onBlack(size, size, RGB(0, 0, 0)), onWhite(size, size, RGB(255, 255, 255))
    {
        DrawIconEx(onBlack.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        DrawIconEx(onWhite.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    bool Opaque(int x, int y) const { return onBlack.Pixel(x, y) == onWhite.Pixel(x, y); }
    int CountOpaque() const
    {
        int n = 0;
        for (int y = 0; y < onBlack.Height(); ++y)
            for (int x = 0; x < onBlack.Width(); ++x)
                n += Opaque(x, y);
        return n;
    }
    int CountRed() const
    {
        int n = 0;
        for (int y = 0; y < onBlack.Height(); ++y)
            for (int x = 0; x < onBlack.Width(); ++x)
                n += Opaque(x, y) && Reddish(onBlack.Pixel(x, y));
        return n;
    }
    Canvas onBlack, onWhite;
};

TEST(Icon, HasA32And16PixelImageIn16Colours)
{
    Bytes group = ResourceBytes(RT_GROUP_ICON, 128);
    ASSERT_NE(group.data, nullptr);
    ASSERT_GE(group.size, 6u);
    ASSERT_EQ(Word(group.data + 2), 1);  // icons
    const int count = Word(group.data + 4);
    ASSERT_EQ(count, 2);
    ASSERT_GE(group.size, 6u + 14u * count);

    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = group.data + 6 + 14 * i;
        const int size = entry[0];
        SCOPED_TRACE(size);
        sizes.insert(size);
        EXPECT_EQ(entry[1], size);
        EXPECT_EQ(entry[2], 16);          // colours
        EXPECT_EQ(Word(entry + 6), 4);    // bits per pixel

        Bytes image = ResourceBytes(RT_ICON, Word(entry + 12));
        ASSERT_NE(image.data, nullptr);
        ASSERT_GE(image.size, 40u);
        EXPECT_EQ(static_cast<int>(Dword(image.data + 4)), size);
        EXPECT_EQ(static_cast<int>(Dword(image.data + 8)), 2 * size);  // colour and mask
        EXPECT_EQ(Word(image.data + 14), 4);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

TEST(Icon, IsARedEmblemWithTransparentCorners)
{
    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(128), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        Drawn drawn(icon, size);
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
            EXPECT_FALSE(drawn.Opaque(x, y)) << x << "," << y;
        EXPECT_TRUE(drawn.Opaque(size / 2, size / 2));
        EXPECT_GT(drawn.CountOpaque(), size * size / 2);
        EXPECT_GT(drawn.CountRed(), size * size / 10);
        DestroyIcon(icon);
    }
}

TEST(Cursor, Is32PixelsIn16ColoursWithItsHotspotOnThePointer)
{
    Bytes group = ResourceBytes(RT_GROUP_CURSOR, 133);
    ASSERT_NE(group.data, nullptr);
    ASSERT_GE(group.size, 6u + 14u);
    EXPECT_EQ(Word(group.data + 2), 2);  // cursors
    ASSERT_EQ(Word(group.data + 4), 1);
    const uint8_t* entry = group.data + 6;
    EXPECT_EQ(Word(entry), 32);
    EXPECT_EQ(Word(entry + 2), 64);      // colour and mask
    // windres writes 1 bit per pixel into every cursor's group entry, so the
    // depth is read from the image: its hotspot, then its header.
    Bytes image = ResourceBytes(RT_CURSOR, Word(entry + 12));
    ASSERT_NE(image.data, nullptr);
    ASSERT_GE(image.size, 4u + 40u);
    EXPECT_EQ(static_cast<int>(Dword(image.data + 4 + 4)), 32);
    EXPECT_EQ(Word(image.data + 4 + 14), 4);  // bits per pixel

    HCURSOR cursor = LoadCursorA(Module(), MAKEINTRESOURCEA(133));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    ASSERT_NE(info.hbmColor, nullptr) << "a colour cursor";
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    ASSERT_LT(info.xHotspot, 32u);
    ASSERT_LT(info.yHotspot, 32u);
    Drawn drawn(cursor, 32);
    EXPECT_TRUE(drawn.Opaque(info.xHotspot, info.yHotspot)) << "the hotspot lies on the pointer";
    EXPECT_FALSE(drawn.Opaque(31, 31));
    EXPECT_GT(drawn.CountRed(), 40);
}

// ---------------------------------------------------------------------------
// Skin bitmaps: exact sizes, grey levels and red shapes, pixel by pixel.

enum Edges { kTop = 1, kBottom = 2, kLeft = 4, kRight = 8, kFrame = 15 };

using Points = std::set<std::pair<int, int>>;  // (x, y)

Points Column(int x, int y0, int y1)
{
    Points p;
    for (int y = y0; y <= y1; ++y)
        p.insert({x, y});
    return p;
}

Points Row(int y, int x0, int x1)
{
    Points p;
    for (int x = x0; x <= x1; ++x)
        p.insert({x, y});
    return p;
}

Points Grid(std::initializer_list<int> xs, std::initializer_list<int> ys)
{
    Points p;
    for (int x : xs)
        for (int y : ys)
            p.insert({x, y});
    return p;
}

Points operator+(Points a, const Points& b)
{
    a.insert(b.begin(), b.end());
    return a;
}

struct SkinSpec {
    const char* name;
    int id;
    int width, height;
    bool byRow;               // the grey levels run down the rows, else across the columns
    std::vector<int> levels;  // one per row (or column)
    int edges;                // sides drawn in the light grey
    int light;
    Points red;
};

const std::vector<int> kHeaderBody = {90, 73, 73, 73, 73, 57, 41, 25, 7, 0, 0, 90};

const std::vector<SkinSpec>& Skins()
{
    static const std::vector<SkinSpec> skins = {
        {"header body", 152, 1, 12, true, kHeaderBody, 0, 0, {}},
        {"header left edge", 153, 2, 12, true, kHeaderBody, kLeft, 91, {}},
        {"header right edge", 136, 2, 12, true, kHeaderBody, kRight, 90, {}},
        {"left arrow", 140, 26, 12, true, {91, 78, 78, 78, 78, 62, 44, 26, 8, 0, 0, 91}, kFrame, 91,
         Column(11, 6, 6) + Column(12, 5, 7) + Column(13, 4, 8)},
        {"right arrow", 138, 26, 12, true, {91, 78, 78, 78, 78, 62, 44, 26, 8, 0, 0, 91}, kFrame, 91,
         Column(12, 4, 8) + Column(13, 5, 7) + Column(14, 6, 6)},
        {"horizontal track", 139, 1, 12, true, {91, 0, 0, 0, 0, 18, 44, 66, 66, 66, 66, 91}, 0, 0, {}},
        {"horizontal thumb", 137, 26, 12, true, {91, 83, 83, 83, 83, 67, 49, 31, 13, 0, 0, 91}, kFrame, 91,
         Grid({7, 9, 11, 13, 15, 17, 19}, {4, 7})},
        {"top cap", 146, 12, 11, true, {91, 74, 74, 74, 74, 58, 40, 22, 4, 0, 0}, kTop | kLeft | kRight, 91, {}},
        {"up arrow", 142, 12, 26, false, {91, 0, 0, 11, 29, 45, 61, 77, 77, 77, 77, 91}, kFrame, 91,
         Row(11, 5, 5) + Row(12, 4, 6) + Row(13, 3, 7)},
        {"down arrow", 145, 12, 26, false, {91, 0, 0, 11, 29, 45, 61, 77, 77, 77, 77, 91}, kFrame, 91,
         Row(12, 3, 7) + Row(13, 4, 6) + Row(14, 5, 5)},
        {"vertical track", 143, 12, 1, false, {90, 77, 77, 77, 77, 45, 27, 0, 0, 0, 0, 90}, 0, 0, {}},
        {"vertical thumb", 144, 12, 26, false, {91, 81, 81, 81, 81, 65, 47, 29, 11, 0, 0, 91}, kFrame, 91,
         Grid({4, 7}, {7, 9, 11, 13, 15, 17})},
        {"bottom corner", 150, 11, 11, true, {69, 69, 69, 69, 69, 53, 35, 17, 0, 0, 91}, kBottom | kRight, 91, {}},
    };
    return skins;
}

COLORREF Expected(const SkinSpec& s, int x, int y)
{
    if (s.red.count({x, y}))
        return RGB(217, 0, 0);
    bool edge = ((s.edges & kTop) && y == 0) || ((s.edges & kBottom) && y == s.height - 1) ||
                ((s.edges & kLeft) && x == 0) || ((s.edges & kRight) && x == s.width - 1);
    int level = edge ? s.light : s.levels[s.byRow ? y : x];
    return RGB(level, level, level);
}

// The bitmap as the skin gets it (LoadBitmap), read back at 24 bits, top row first.
std::vector<COLORREF> ReadBitmap(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    if (rows != height)
        return pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &bits[static_cast<size_t>(y) * stride + x * 3];
            pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    return pixels;
}

TEST(SkinBitmaps, AreStored24BitsPerPixelAtTheirSizes)
{
    for (const SkinSpec& s : Skins()) {
        SCOPED_TRACE(s.name);
        Bytes stored = ResourceBytes(RT_BITMAP, s.id);
        ASSERT_NE(stored.data, nullptr);
        ASSERT_GE(stored.size, 40u);
        EXPECT_EQ(static_cast<int>(Dword(stored.data + 4)), s.width);
        EXPECT_EQ(std::abs(static_cast<int32_t>(Dword(stored.data + 8))), s.height);
        EXPECT_EQ(Word(stored.data + 14), 24);
        EXPECT_EQ(Dword(stored.data + 16), static_cast<uint32_t>(BI_RGB));

        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(s.id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP loaded{};
        GetObjectA(bitmap, sizeof loaded, &loaded);
        EXPECT_EQ(loaded.bmWidth, s.width);
        EXPECT_EQ(loaded.bmHeight, s.height);
        DeleteObject(bitmap);
    }
}

TEST(SkinBitmaps, HoldTheirGreyLevelsAndRedShapes)
{
    for (const SkinSpec& s : Skins()) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(s.levels.size(), static_cast<size_t>(s.byRow ? s.height : s.width));
        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(s.id));
        ASSERT_NE(bitmap, nullptr);
        std::vector<COLORREF> pixels = ReadBitmap(bitmap, s.width, s.height);
        DeleteObject(bitmap);
        ASSERT_EQ(pixels.size(), static_cast<size_t>(s.width * s.height));

        int wrong = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                COLORREF want = Expected(s, x, y), got = pixels[y * s.width + x];
                if (want != got && ++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": got " << std::hex << got << ", want " << want;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// ---------------------------------------------------------------------------
// Background picture

struct JpegFrame {
    int marker = 0;
    int width = 0, height = 0;
};

// The first frame header (SOFn) before the first scan.
JpegFrame FirstFrame(Bytes jpeg)
{
    JpegFrame frame;
    size_t at = 2;
    while (at + 4 <= jpeg.size && jpeg.data[at] == 0xFF) {
        const int marker = jpeg.data[at + 1];
        const size_t length = static_cast<size_t>(jpeg.data[at + 2] << 8 | jpeg.data[at + 3]);  // big-endian
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof && at + 9 <= jpeg.size) {
            frame.marker = marker;
            frame.height = jpeg.data[at + 5] << 8 | jpeg.data[at + 6];
            frame.width = jpeg.data[at + 7] << 8 | jpeg.data[at + 8];
            return frame;
        }
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return frame;
}

TEST(Background, IsAProgressiveJpegOf1024By768)
{
    Bytes jpeg = ResourceBytes("JPG", 131);
    ASSERT_NE(jpeg.data, nullptr);
    EXPECT_GT(jpeg.size, 100000u);
    EXPECT_LT(jpeg.size, 200000u);
    ASSERT_GE(jpeg.size, 4u);
    EXPECT_EQ(jpeg.data[0], 0xFF);
    EXPECT_EQ(jpeg.data[1], 0xD8);
    JpegFrame frame = FirstFrame(jpeg);
    EXPECT_EQ(frame.marker, 0xC2) << "progressive";
    EXPECT_EQ(frame.width, 1024);
    EXPECT_EQ(frame.height, 768);
}

TEST(Background, DecodesIntoADarkRedPicture)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    Bytes jpeg = ResourceBytes("JPG", 131);
    ASSERT_NE(jpeg.data, nullptr);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, jpeg.size);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), jpeg.data, jpeg.size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
    IPicture* picture = nullptr;
    HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(jpeg.size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    stream->Release();
    ASSERT_EQ(loaded, S_OK);
    ASSERT_NE(picture, nullptr);

    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540), 1024);
    EXPECT_EQ(MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540), 768);
    ReleaseDC(nullptr, screen);

    Canvas small(128, 96, RGB(0, 255, 0));
    EXPECT_EQ(picture->Render(small.Dc(), 0, 0, small.Width(), small.Height(), 0, height, width, -height, nullptr), S_OK);
    picture->Release();
    CoUninitialize();

    double r = 0, g = 0, b = 0;
    int brightest = 0, darkest = 255;
    for (int y = 0; y < small.Height(); ++y)
        for (int x = 0; x < small.Width(); ++x) {
            COLORREF c = small.Pixel(x, y);
            r += GetRValue(c);
            g += GetGValue(c);
            b += GetBValue(c);
            brightest = std::max<int>(brightest, GetRValue(c));
            darkest = std::min<int>(darkest, GetRValue(c));
        }
    const double n = small.Width() * small.Height();
    r /= n, g /= n, b /= n;
    // Deep red throughout, neither empty nor flat: a lit moon and black shapes.
    EXPECT_GT(r, 25.0);
    EXPECT_LT(r, 160.0);
    EXPECT_GT(r, 3 * g);
    EXPECT_GT(r, 3 * b);
    EXPECT_GT(brightest, 180);
    EXPECT_LT(darkest, 20);
}

// ---------------------------------------------------------------------------
// Version block

TEST(Version, NumbersAndStrings)
{
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    struct Value {
        const char* name;
        const char* text;
    };
    const Value values[] = {
        {"FileDescription", "Tessaro Application"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "Tessaro"},
        {"OriginalFilename", "Tessaro.EXE"},
        {"ProductName", "Tessaro Application"},
        {"ProductVersion", "1, 0, 0, 1"},
    };
    auto query = [&](const char* name) -> std::string {
        char* text = nullptr;
        UINT chars = 0;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars) || !text)
            return "<missing>";
        return text;
    };
    for (const Value& v : values) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(query(v.name), v.text);
    }
    EXPECT_NE(query("LegalCopyright").find("Tessaro"), std::string::npos);
}

}  // namespace
