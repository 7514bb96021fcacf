#include "viewer/ListRows.h"

#include <cstring>

namespace viewer {
namespace {

constexpr COLORREF kListText = RGB(220, 150, 150);
// Full-row selection and header drag-and-drop, the whole extended style.
constexpr LPARAM kListExStyle = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
constexpr int kFontHeight = 12;
constexpr const char* kFontFace = "Verdana";
constexpr int kCellSize = 260;
constexpr COLORREF kStatusText = RGB(229, 0, 0);  // the caption strips' red

}  // namespace

void InitListLook(skin::SkinListCtrl& list, win::Font& font, const ListColumn* columns, int count) {
    if (!list.IsWindow()) return;
    list.InitSkin();
    list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyle);
    list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kListText));
    if (!font) {
        LOGFONTA description{};
        description.lfHeight = kFontHeight;
        std::strcpy(description.lfFaceName, kFontFace);
        font = win::Font::FromLogFont(description);
    }
    list.SetFont(font.Get(), true);
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        list.Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

int NextSelected(HWND list, int after) {
    return static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

std::string CellText(HWND list, int row, int column) {
    char text[kCellSize] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kCellSize;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

void SetCell(HWND list, int row, int column, const char* text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void DrawStatusLine(const DRAWITEMSTRUCT& item) {
    const win::Rect r = item.rcItem;
    win::FillSolidRect(item.hDC, r, RGB(0, 0, 0));
    win::Draw3dRect(item.hDC, r, kStatusText, kStatusText);
    ::SetTextColor(item.hDC, kStatusText);
    ::SetBkMode(item.hDC, TRANSPARENT);
    const std::string text = win::WindowText(item.hwndItem);
    RECT box = r.Inflate(-4, 0).ToRECT();
    ::DrawTextA(item.hDC, text.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

}  // namespace viewer
