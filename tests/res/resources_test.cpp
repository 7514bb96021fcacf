// Tessaro's resources as the program meets them: linked into this test's own
// module and loaded through the same calls the windows use. Every resource
// loads and every id the code names is there; the menus' and dialogs' texts
// are the program's own, their ids written as numbers: they are fixed, and a
// wrong value in resource.h must not pass unnoticed. The skin's bitmaps are
// checked where they are drawn (the skin's tests).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"

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
const char* const kEntryPopup =
    "POPUP{&Extract=32773|Extract &to...=32774|Extract &all to...=32775|-|Save as PNG...=32776|Save as VTF...=32777}";

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

std::string Text(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The dialogs' titles and their controls in template (and tab) order: id,
// class and text (nullptr: not text, an icon).
struct ControlText {
    int id;
    const char* className;
    const char* text;
};

struct DialogText {
    int id;
    const char* title;
    std::vector<ControlText> controls;
};

const std::vector<DialogText>& DialogTexts()
{
    static const std::vector<DialogText> dialogs = {
        {100, "About Tessaro",
         {{-1, "Static", nullptr},
          {-1, "Static", "Tessaro Version 1.0"},
          {-1, "Static", "Copyright (C) The Tessaro developers"},
          {1, "Button", "OK"},
          {1006, "Static", "Credits thingy"}}},
        {102, "Tessaro v0.1", {}},
        {130, "VPK Viewer",
         {{1000, "SysListView32", ""},
          {1001, "SysListView32", ""},
          {1002, "Static", ""},
          {1003, "Static", ""},
          {1004, "Static", ""},
          {1005, "Static", ""},
          {1007, "Static", ""},
          {1008, "Static", ""},
          {1012, "Static", ""},
          {1009, "Static", ""}}},
        {160, "Extracting", {{1010, "Static", ""}, {1011, "Static", ""}, {2, "Button", "Cancel"}}},
    };
    return dialogs;
}

class Dialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
    }
};

TEST_F(Dialogs, ShowTheirTitlesAndControls)
{
    for (const DialogText& d : DialogTexts()) {
        SCOPED_TRACE(d.title);
        HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(d.id), nullptr, HandleNothing, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Text(dialog), d.title);
        size_t index = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
            ASSERT_LT(index, d.controls.size()) << "an extra control";
            const ControlText& c = d.controls[index];
            SCOPED_TRACE(c.id);
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            char className[64] = {};
            GetClassNameA(child, className, sizeof className);
            EXPECT_STRCASEEQ(className, c.className);
            if (c.text) {
                EXPECT_EQ(Text(child), c.text);
            }
        }
        EXPECT_EQ(index, d.controls.size());
        DestroyWindow(dialog);
    }
}

// Loads one resource through the call the program uses for its type.
bool LoadsAsItsType(LPCSTR type, LPCSTR name)
{
    if (type == RT_DIALOG) {
        HWND dialog = CreateDialogParamA(Module(), name, nullptr, HandleNothing, 0);
        return dialog != nullptr && DestroyWindow(dialog);
    }
    if (type == RT_MENU)
        return DestroyMenu(LoadMenuA(Module(), name)) != FALSE;
    if (type == RT_GROUP_ICON)
        return LoadIconA(Module(), name) != nullptr;
    if (type == RT_GROUP_CURSOR)
        return LoadCursorA(Module(), name) != nullptr;
    if (type == RT_BITMAP)
        return DeleteObject(LoadBitmapA(Module(), name)) != FALSE;
    HRSRC found = FindResourceA(Module(), name, type);
    return found != nullptr && LoadResource(Module(), found) != nullptr && SizeofResource(Module(), found) > 0;
}

// (type, id) of each resource; a type named by text ("JPG") by its name's hash.
using ResourceIds = std::set<std::pair<ULONG_PTR, ULONG_PTR>>;

BOOL CALLBACK NoteName(HMODULE, LPCSTR type, LPSTR name, LONG_PTR found)
{
    EXPECT_TRUE(IS_INTRESOURCE(name)) << "a resource named by text";
    reinterpret_cast<ResourceIds*>(found)->insert(
        {IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : std::hash<std::string>{}(type),
         reinterpret_cast<ULONG_PTR>(name)});
    EXPECT_TRUE(LoadsAsItsType(type, name)) << "type " << reinterpret_cast<ULONG_PTR>(type) << " id "
                                            << reinterpret_cast<ULONG_PTR>(name);
    return TRUE;
}

BOOL CALLBACK NoteType(HMODULE module, LPSTR type, LONG_PTR found)
{
    EnumResourceNamesA(module, type, NoteName, found);
    return TRUE;
}

// Every resource of the module loads as the program loads it, and every id
// the code names is among them: each dialog, menu, picture and string, and
// each control the code binds in the dialog it binds it in.
TEST_F(Dialogs, EveryResourceLoadsAndEveryIdTheCodeBindsIsThere)
{
    ResourceIds found;
    EnumResourceTypesA(Module(), NoteType, reinterpret_cast<LONG_PTR>(&found));
    auto id = [](LPCSTR type, int number) {
        return std::pair{reinterpret_cast<ULONG_PTR>(type), static_cast<ULONG_PTR>(number)};
    };
    const std::pair<ULONG_PTR, ULONG_PTR> named[] = {
        id(RT_DIALOG, IDD_ABOUTBOX), id(RT_DIALOG, IDD_MAIN), id(RT_DIALOG, IDD_VPK_VIEWER),
        id(RT_DIALOG, IDD_EXTRACT_PROGRESS), id(RT_MENU, IDR_MAIN_MENU), id(RT_MENU, IDR_VIEWER_MENU),
        id(RT_MENU, IDR_ENTRY_POPUP), id(RT_GROUP_ICON, IDI_TESSARO), id(RT_GROUP_CURSOR, IDCUR_TESSARO),
        id(RT_STRING, IDS_ABOUTBOX / 16 + 1), id(RT_VERSION, 1), {std::hash<std::string>{}("JPG"), IDR_BACKGROUND_JPG},
        id(RT_BITMAP, IDB_HEADER_RIGHT), id(RT_BITMAP, IDB_HEADER_BODY), id(RT_BITMAP, IDB_HEADER_LEFT),
        id(RT_BITMAP, IDB_HSCROLL_THUMB), id(RT_BITMAP, IDB_HSCROLL_RIGHT), id(RT_BITMAP, IDB_HSCROLL_TRACK),
        id(RT_BITMAP, IDB_HSCROLL_LEFT), id(RT_BITMAP, IDB_VSCROLL_UP), id(RT_BITMAP, IDB_VSCROLL_TRACK),
        id(RT_BITMAP, IDB_VSCROLL_THUMB), id(RT_BITMAP, IDB_VSCROLL_DOWN), id(RT_BITMAP, IDB_VSCROLL_TOP),
        id(RT_BITMAP, IDB_VSCROLL_CORNER),
    };
    for (const auto& resource : named)
        EXPECT_EQ(found.count(resource), 1u) << "type " << resource.first << " id " << resource.second;

    const struct {
        int dialog;
        std::vector<int> controls;
    } bound[] = {
        {IDD_ABOUTBOX, {IDOK, IDC_CREDITS}},
        {IDD_VPK_VIEWER,
         {IDC_PACK_LIST, IDC_ENTRY_LIST, IDC_HORIZONTAL_DIVIDER, IDC_VERTICAL_DIVIDER, IDC_PACKS_CAPTION,
          IDC_CONTENTS_CAPTION, IDC_PREVIEW_CAPTION, IDC_PREVIEW_FRAME, IDC_PREVIEW_TEXT}},
        {IDD_EXTRACT_PROGRESS, {IDC_EXTRACT_TEXT, IDC_EXTRACT_BAR, IDCANCEL}},
    };
    for (const auto& b : bound) {
        SCOPED_TRACE(b.dialog);
        HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(b.dialog), nullptr, HandleNothing, 0);
        ASSERT_NE(dialog, nullptr);
        for (int control : b.controls)
            EXPECT_NE(GetDlgItem(dialog, control), nullptr) << control;
        DestroyWindow(dialog);
    }
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

}  // namespace
