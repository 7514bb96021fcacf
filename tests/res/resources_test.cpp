// Tessaro's resources as the program meets them: linked into this test's own
// module and loaded through the same calls the windows use. Every resource
// loads and every id the code names is there; the menus' and dialogs' texts
// are the program's own, their ids written as numbers: they are fixed, and a
// wrong value in resource.h must not pass unnoticed. The skin's bitmaps are
// checked where they are drawn (the skin's tests).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

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
const char* const kViewerMenu = "&File{&Open=32771|&Find in all packs...\tCtrl+Shift+F=32777}";
const char* const kEntryPopup =
    "POPUP{&Open=32780|&Copy=32781|-|&Extract=32773|Extract &to...=32774|Extract &all to...=32775|-|Save as PNG...=32778|Save as VTF...=32779}";

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
          {1013, "Edit", ""},
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
        {170, "Find in all packs", {{1014, "Edit", ""}, {1015, "SysListView32", ""}, {1016, "Static", ""}}},
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
         {IDC_PACK_LIST, IDC_ENTRY_FILTER, IDC_ENTRY_LIST, IDC_HORIZONTAL_DIVIDER, IDC_VERTICAL_DIVIDER, IDC_PACKS_CAPTION,
          IDC_CONTENTS_CAPTION, IDC_PREVIEW_CAPTION, IDC_PREVIEW_FRAME, IDC_PREVIEW_STATUS, IDC_PREVIEW_TEXT}},
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

}  // namespace
