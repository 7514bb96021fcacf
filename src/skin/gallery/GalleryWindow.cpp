#include "gallery/GalleryWindow.h"

#include <cstdio>
#include <cstring>

namespace gallery {
namespace {

constexpr const char* kClassName = "TessaroSkinGallery";
constexpr COLORREF kPaneText = RGB(255, 20, 20);

// Where everything starts, in client coordinates; the dividers move the
// list's right and bottom edges from here.
constexpr win::Rect kListRect{10, 10, 470, 330};
constexpr int kGap = 4;

HWND CreatePane(HWND parent, const char* text, const win::Rect& r) {
    return ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, r.left, r.top,
                             r.Width(), r.Height(), parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void InsertColumn(HWND list, int index, const char* title, int width, int format) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const char* text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool GalleryWindow::Create(const win::Rect& rect, bool visible, bool quitOnClose) {
    quitOnClose_ = quitOnClose;
    static HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW), black)) {
        return false;
    }
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (visible) style |= WS_VISIBLE;
    return Window::Create(kClassName, "Skin gallery", style, 0, rect, nullptr, 0);
}

LRESULT GalleryWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_NOTIFY: return OnNotify(wp, lp);
    case WM_CTLCOLORSTATIC:
        ::SetTextColor(reinterpret_cast<HDC>(wp), kPaneText);
        ::SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
    case WM_DESTROY: return OnDestroy();
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

LRESULT GalleryWindow::OnCreate() {
    const win::Rect client = ClientRect();
    HWND listWindow = ::CreateWindowExA(
        0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
        kListRect.left, kListRect.top, kListRect.Width(), kListRect.Height(), Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), ::GetModuleHandleA(nullptr), nullptr);
    if (listWindow == nullptr || !list.Subclass(listWindow)) return -1;
    list.InitSkin();

    // Beside the list's vertical bar, a pane that gives up what the list
    // takes; under the horizontal bar, another one.
    const int barsRight = kListRect.right + skin::SkinVScrollBar::kWidth;
    const int barsBottom = kListRect.bottom + skin::SkinHScrollBar::kHeight;
    const win::Rect vertical{barsRight + kGap, kListRect.top, barsRight + kGap + SplitterBar::kThickness, barsBottom};
    const win::Rect horizontal{kListRect.left, barsBottom + kGap, client.right - 10,
                               barsBottom + kGap + SplitterBar::kThickness};
    verticalDivider.Create(WS_CHILD | WS_VISIBLE, vertical, Handle(), kVerticalDividerId);
    horizontalDivider.Create(WS_CHILD | WS_VISIBLE, horizontal, Handle(), kHorizontalDividerId);
    verticalDivider.SetDragLimits(300, 200, -1);
    horizontalDivider.SetDragLimits(250, 120, -1);
    sidePane = CreatePane(Handle(), "Side pane",
                          {vertical.right + kGap, kListRect.top, client.right - 10, barsBottom});
    bottomPane = CreatePane(Handle(), "Bottom pane",
                            {kListRect.left, horizontal.bottom + kGap, client.right - 10, client.bottom - 10});

    ::SendMessageA(listWindow, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    ::SendMessageA(listWindow, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kRowText));
    LOGFONTA font{};
    font.lfHeight = -11;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "Tahoma");
    listFont = win::Font::FromLogFont(font);
    ::SendMessageA(listWindow, WM_SETFONT, reinterpret_cast<WPARAM>(listFont.Get()), TRUE);
    InsertColumn(listWindow, 0, "#", 50, LVCFMT_LEFT);
    InsertColumn(listWindow, 1, "FILENAME", 250, LVCFMT_LEFT);
    InsertColumn(listWindow, 2, "SIZE", 120, LVCFMT_RIGHT);
    FillList();
    return 0;
}

void GalleryWindow::FillList() {
    HWND hwnd = list.Handle();
    static const char* const kFolders[] = {"scripts", "sound/ambient", "materials/models", "python", "dlg"};
    static const char* const kTypes[] = {"txt", "lip", "vmt", "py", "dlg", "wav"};
    for (int i = 0; i < kRowCount; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", i + 1);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = number;
        ::SendMessageA(hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        char name[96];
        std::snprintf(name, sizeof name, "%s/entry_%03d.%s", kFolders[i % 5], i, kTypes[i % 6]);
        SetCell(hwnd, i, 1, name);
        char size[16];
        std::snprintf(size, sizeof size, "%u", static_cast<unsigned>((i * 7919u) % 250000u + 12u));
        SetCell(hwnd, i, 2, size);
    }
    LVITEMA selected{};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(hwnd, LVM_SETITEMSTATE, kSelectedRow, reinterpret_cast<LPARAM>(&selected));
}

// A divider was dropped: the panes on both sides of it follow.
LRESULT GalleryWindow::OnNotify(WPARAM wp, LPARAM lp) {
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    if (header->code != SPLITTER_MOVED) return Window::HandleMessage(WM_NOTIFY, wp, lp);
    const int delta = reinterpret_cast<const SplitterNotify*>(lp)->delta;
    if (header->hwndFrom == verticalDivider.Handle()) {
        SplitterBar::AdjustWidth(list.Handle(), delta, EDGE_RIGHT);
        SplitterBar::AdjustWidth(sidePane, -delta, EDGE_LEFT);
    } else if (header->hwndFrom == horizontalDivider.Handle()) {
        SplitterBar::AdjustHeight(list.Handle(), delta, EDGE_BOTTOM);
        SplitterBar::AdjustHeight(verticalDivider.Handle(), delta, EDGE_BOTTOM);
        SplitterBar::AdjustHeight(sidePane, delta, EDGE_BOTTOM);
        SplitterBar::AdjustHeight(bottomPane, -delta, EDGE_TOP);
    }
    // A pane that gave room keeps the bits the system copied along with its
    // client area, which may show the list that was just painted over it.
    ::InvalidateRect(sidePane, nullptr, TRUE);
    ::InvalidateRect(bottomPane, nullptr, TRUE);
    return 0;
}

LRESULT GalleryWindow::OnDestroy() {
    if (quitOnClose_) ::PostQuitMessage(0);
    return 0;
}

}  // namespace gallery
