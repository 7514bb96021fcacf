#include "viewer/VpkViewerDialog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <shellapi.h>

#include "resource.h"
#include "vpk/Memory.h"
#include "win/FileDialog.h"
#include "win/Format.h"
#include "win/Menu.h"
#include "win/MessageBox.h"
#include "win/Placement.h"

namespace viewer {
namespace {

constexpr COLORREF kListText = RGB(220, 150, 150);
constexpr COLORREF kCaptionText = RGB(229, 0, 0);
constexpr COLORREF kCaptionBackground = RGB(0, 0, 0);
// Full-row selection and header drag-and-drop, the whole extended style.
constexpr LPARAM kListExStyle = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
constexpr int kFontHeight = 12;
constexpr const char* kFontFace = "Verdana";
// How far each divider may be dragged from where it starts, in pixels.
constexpr int kDragBefore = 450;
constexpr int kDragAfter = 600;
// The entry list ends this far above the client bottom: the skinned
// horizontal bar (12 pixels) sits right under it.
constexpr int kEntryListBottomGap = 13;
constexpr int kCellSize = 260;
constexpr const char* kPlacementValue = "ViewerPlacement";
// The timer that brings the progress window up to date, every 50 ms.
constexpr UINT_PTR kExtractionTimer = 1;
constexpr UINT kExtractionTick = 50;
constexpr const char* kChooseFolderTitle = "Extract the entries below this folder:";

constexpr ListColumn kPackColumns[] = {{"VPK FILE", 250}, {"# ENTRIES", 50}, {"TYPE", 100}};
constexpr ListColumn kEntryColumns[] = {{"#", 20}, {"FILENAME", 255}, {"SIZE", 60}};

constexpr const char* kPlaceholder =
    "\r\n\r\n\r\n\r\nA preview of the files\r\n will be shown here\r\n(currently only ASCII files)";
constexpr const char* kPreviewTooLarge = "Not enough memory to preview this entry";

constexpr const char* kPreviewableTypes[] = {"txt", "dlg", "lip", "scr", "py",  "psh",  "vmt",
                                             "vcd", "lst", "rad", "ain", "res", "gam~"};

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

// Appends a row whose first cell is `first` and returns its index.
int AppendRow(HWND list, int row, const char* first) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(first);
    return static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

// The entry a row stands for: its "#" cell (the digits it starts with) less one.
std::uint32_t RowEntryIndex(HWND list, int row) {
    const std::string number = CellText(list, row, 0);
    return static_cast<std::uint32_t>(std::strtoul(number.c_str(), nullptr, 10)) - 1u;
}

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
    auto fold = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return fold(x) < fold(y); });
}

bool HasPackExtension(const std::string& path) {
    return path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".vpk") == 0;
}

// The "*.vpk" files directly inside `folder`, by name.
std::vector<std::string> PacksInFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*.vpk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        // The pattern also matches longer extensions ("a.vpkx") by their short names.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && HasPackExtension(found.cFileName)) {
            names.emplace_back(found.cFileName);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(), LessIgnoringAsciiCase);
    for (std::string& name : names) name = folder + "\\" + name;
    return names;
}

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void MoveItem(HWND item, const win::Rect& r) {
    ::MoveWindow(item, r.left, r.top, r.Width(), std::max(r.Height(), 0), TRUE);
}

// The folder the last "Extract to..." of this run of the program wrote below.
std::string& LastExtractionFolder() {
    static std::string folder;
    return folder;
}

// The viewers of this thread and their progress windows. A viewer is
// modeless inside someone else's message loop (the main window's modal one),
// which knows nothing of it: a message hook gives each viewer the dialog
// manager's keyboard handling (Tab between the panes, Enter as IDOK, Escape
// in a progress window) all the same.
std::vector<HWND>& LiveViewers() {
    static std::vector<HWND> viewers;
    return viewers;
}
HHOOK keyboardHook = nullptr;

LRESULT CALLBACK ViewerKeyboardHook(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        msg->hwnd != nullptr) {
        HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
        const std::vector<HWND>& viewers = LiveViewers();
        if (std::find(viewers.begin(), viewers.end(), root) != viewers.end()) {
            // Shift+F10 asks for the focused control's menu. Wine's default
            // handling takes F10 for the menu bar instead, and its modal
            // menu loop would swallow the keys that follow.
            const bool shiftF10 = (msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP) &&
                                  msg->wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (shiftF10) {
                if (msg->message == WM_SYSKEYDOWN) ::SendMessageA(root, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg->hwnd), -1);
                msg->message = WM_NULL;
            } else if (::IsDialogMessageA(root, msg)) {
                msg->message = WM_NULL;  // handled: the loop dispatches nothing
            }
        }
    }
    return ::CallNextHookEx(keyboardHook, code, wp, lp);
}

void PaintStrip(HDC dc, const win::Rect& r, const char* text, UINT format) {
    win::FillSolidRect(dc, r, kCaptionBackground);
    win::Draw3dRect(dc, r, kCaptionText, kCaptionText);
    RECT box = r.ToRECT();
    ::DrawTextA(dc, text, -1, &box, format);
}

}  // namespace

bool IsPreviewableType(const std::string& lowerCaseType) {
    return std::find_if(std::begin(kPreviewableTypes), std::end(kPreviewableTypes), [&](const char* type) {
               return lowerCaseType == type;
           }) != std::end(kPreviewableTypes);
}

std::string PreviewText(const char* bytes, std::size_t size) {
    const void* zero = std::memchr(bytes, 0, size);
    const std::size_t length = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : size;
    std::string text;
    text.reserve(length + static_cast<std::size_t>(std::count(bytes, bytes + length, '\n')));
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text.push_back('\r');
        text.push_back(bytes[i]);
    }
    return text;
}

VpkViewerDialog::VpkViewerDialog() : Dialog(IDD_VPK_VIEWER) {}

// The owner destroys the window before deleting the object; a viewer deleted
// with its window still up takes the window down first, while its controls'
// objects still exist.
VpkViewerDialog::~VpkViewerDialog() {
    if (IsWindow()) DestroyWindow();
}

BOOL VpkViewerDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    BindControl(IDC_ENTRY_LIST, entryList);
    BindControl(IDC_PACK_LIST, packList);

    if (owner != nullptr) {
        Send(WM_SETICON, ICON_BIG, ::SendMessageA(owner, WM_GETICON, ICON_BIG, 0));
        Send(WM_SETICON, ICON_SMALL, ::SendMessageA(owner, WM_GETICON, ICON_SMALL, 0));
    }

    InitPackList();
    InitEntryList();
    CreateDividers();
    laidOut = true;
    RestorePlacement();
    ::DragAcceptFiles(Handle(), TRUE);
    LiveViewers().push_back(Handle());
    if (keyboardHook == nullptr) {
        keyboardHook = ::SetWindowsHookExA(WH_GETMESSAGE, ViewerKeyboardHook, nullptr, ::GetCurrentThreadId());
    }
    return TRUE;
}

void VpkViewerDialog::InitPackList() {
    InitList(packList, kPackColumns, 3);
}

void VpkViewerDialog::InitEntryList() {
    InitList(entryList, kEntryColumns, 3);
}

void VpkViewerDialog::InitList(skin::SkinListCtrl& list, const ListColumn* columns, int count) {
    if (!list.IsWindow()) return;
    list.InitSkin();
    list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyle);
    list.Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(kListText));
    if (!listFont) {
        LOGFONTA description{};
        description.lfHeight = kFontHeight;
        std::strcpy(description.lfFaceName, kFontFace);
        listFont = win::Font::FromLogFont(description);
    }
    list.SetFont(listFont.Get(), true);
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        list.Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void VpkViewerDialog::CreateDividers() {
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE;
    horizontalDivider.Create(kStyle, ItemRect(IDC_HORIZONTAL_DIVIDER), Handle(), IDC_HORIZONTAL_DIVIDER);
    horizontalDivider.SetDragLimits(kDragBefore, kDragAfter, -1);
    verticalDivider.Create(kStyle, ItemRect(IDC_VERTICAL_DIVIDER), Handle(), IDC_VERTICAL_DIVIDER);
    verticalDivider.SetDragLimits(kDragBefore, kDragAfter, -1);
}

void VpkViewerDialog::AddPack(const char* path) {
    win::MessageBoxOwner boxes(Handle());
    VpkArchive pack;
    if (!pack.Open(path)) return;
    HWND list = packList.Handle();
    const int row = AppendRow(list, static_cast<int>(packList.Send(LVM_GETITEMCOUNT)), path);
    if (row >= 0) {
        SetCell(list, row, 1, win::Format("%u", static_cast<unsigned>(pack.GetEntryCount())).c_str());
        SetCell(list, row, 2, pack.IsDirectoryPack() ? "Directory pack" : "File pack");
    }
    pack.Close();
}

void VpkViewerDialog::LoadPackRow(int row) {
    if (row < 0 || row >= static_cast<int>(packList.Send(LVM_GETITEMCOUNT))) return;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    packList.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    OnPackListClick();
}

std::string VpkViewerDialog::GetSelectedPackPath() const {
    const int row = NextSelected(packList.Handle(), -1);
    return row >= 0 ? CellText(packList.Handle(), row, 0) : std::string();
}

LRESULT VpkViewerDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE: return OnClose();
    case WM_SIZE: return OnSize(wp, LOWORD(lp), HIWORD(lp));
    case WM_PAINT: return OnPaint();
    case WM_NOTIFY: return OnNotify(wp, lp);
    case WM_COMMAND: return OnCommand(wp, lp);
    case WM_DROPFILES: return OnDropFiles(wp);
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wp), lp);
    case WM_TIMER:
        if (wp == kExtractionTimer) OnExtractionTimer();
        return 0;
    case WM_DESTROY: OnDestroyWindow(); return Dialog::HandleMessage(msg, wp, lp);
    default: return Dialog::HandleMessage(msg, wp, lp);
    }
}

LRESULT VpkViewerDialog::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY && lp != 0 && (wp == IDC_HORIZONTAL_DIVIDER || wp == IDC_VERTICAL_DIVIDER)) {
        // Only a divider's own record carries a delta; anything else sent
        // with these ids is not read past its header.
        const auto* notify = reinterpret_cast<const SplitterNotify*>(lp);
        if (notify->hdr.code == SPLITTER_MOVED) {
            if (wp == IDC_HORIZONTAL_DIVIDER && notify->hdr.hwndFrom == horizontalDivider.Handle()) {
                OnHorizontalDividerMoved(notify->delta);
            } else if (wp == IDC_VERTICAL_DIVIDER && notify->hdr.hwndFrom == verticalDivider.Handle()) {
                OnVerticalDividerMoved(notify->delta);
            }
        }
    }
    return Dialog::DefaultProc(msg, wp, lp);
}

// The close box or the system menu: the owner is told once, and destroys and
// deletes the viewer when it reads the notice.
LRESULT VpkViewerDialog::OnClose() {
    EndExtraction(false);
    DefaultProc(WM_CLOSE, 0, 0);
    archive.Close();
    if (owner != nullptr && !closeNoticeSent) {
        closeNoticeSent = ::PostMessageA(owner, WM_DESTROY, reinterpret_cast<WPARAM>(this), 0) != FALSE;
    }
    return 0;
}

LRESULT VpkViewerDialog::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case ID_FILE_OPEN: OnFileOpen(); return 0;
    // Enter and Escape as the dialog manager turns them into commands (and
    // the cancel command it posts on WM_CLOSE): a viewer is closed only
    // through WM_CLOSE, so it never ends up hidden yet alive with its pack open.
    case IDOK: OnEnter(); return 0;
    case IDCANCEL: return 0;
    default: return Dialog::HandleMessage(WM_COMMAND, wp, lp);
    }
}

LRESULT VpkViewerDialog::OnNotify(WPARAM wp, LPARAM lp) {
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    if (header != nullptr) {
        const UINT code = header->code;
        if (header->idFrom == IDC_PACK_LIST) {
            if (code == LVN_ITEMCHANGED) return OnPackListItemChanged();
            if (code == static_cast<UINT>(NM_CLICK) || code == static_cast<UINT>(NM_DBLCLK)) return OnPackListClick();
        } else if (header->idFrom == IDC_ENTRY_LIST) {
            if (code == static_cast<UINT>(NM_RCLICK)) return OnEntryListRightClick();
            if (code == static_cast<UINT>(NM_CLICK) || code == static_cast<UINT>(NM_DBLCLK)) return OnEntryListClick();
            if (code == LVN_COLUMNCLICK) return OnEntryColumnClick(reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
            if (code == LVN_KEYDOWN) return OnEntryListKeyDown(*reinterpret_cast<const NMLVKEYDOWN*>(lp));
        }
    }
    return Dialog::HandleMessage(WM_NOTIFY, wp, lp);
}

// The selection moved, by keyboard or by the list's own painting: only a
// click loads a pack.
LRESULT VpkViewerDialog::OnPackListItemChanged() {
    return 0;
}

LRESULT VpkViewerDialog::OnPackListClick() {
    win::MessageBoxOwner boxes(Handle());
    const std::string path = GetSelectedPackPath();
    if (path.empty() || path == archive.GetPath()) return 0;
    archive.Close();
    if (!archive.Open(path.c_str())) return 0;
    if (archive.ReadDirectory()) {
        FillEntryList();
    } else {
        // The rows still listed are the previous pack's: with the failed
        // pack's partial table behind them, a click or an extraction would
        // reach an entry of one pack under another's name. Closed, the
        // archive previews nothing and refuses to extract.
        archive.Close();
    }
    return 0;
}

void VpkViewerDialog::FillEntryList() {
    HWND list = entryList.Handle();
    const std::uint32_t count = archive.GetEntryCount();
    // Under Wine a list that redraws while rows go in takes time quadratic in
    // the rows (minutes for 20,000); told the count first, it also allocates once.
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    ::SendMessageA(list, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
    char number[16];
    char size[16];
    for (std::uint32_t i = 0; i < count; ++i) {
        const VpkEntry* entry = archive.GetEntry(i);
        if (entry == nullptr) break;
        std::snprintf(number, sizeof number, "%d", static_cast<int>(i + 1));
        // The row's parameter is its entry, for sorting.
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = number;
        item.lParam = static_cast<LPARAM>(i);
        const int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) break;
        SetCell(list, row, 1, entry->name);
        std::snprintf(size, sizeof size, "%u", static_cast<unsigned>(entry->dataSize));
        SetCell(list, row, 2, size);
    }
    if (sortColumn >= 0) SortEntries();
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    entryList.SyncScrollBars();
}

LRESULT VpkViewerDialog::OnEntryColumnClick(int column) {
    if (column < 0 || column >= 3) return 0;
    sortAscending = column == sortColumn ? !sortAscending : true;
    sortColumn = column;
    HWND header = entryList.Header().Handle();
    for (int i = 0; i < 3; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= sortAscending ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SortEntries();
    ::InvalidateRect(header, nullptr, TRUE);
    return 0;
}

void VpkViewerDialog::SortEntries() {
    entryList.Send(LVM_SORTITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&CompareEntries));
}

// "#" and "SIZE" compare as numbers, "FILENAME" byte by byte with ASCII
// letters folded; ties keep pack order, so every order is total.
int CALLBACK VpkViewerDialog::CompareEntries(LPARAM first, LPARAM second, LPARAM viewer) {
    const auto* self = reinterpret_cast<const VpkViewerDialog*>(viewer);
    const auto a = static_cast<std::uint32_t>(first), b = static_cast<std::uint32_t>(second);
    const VpkEntry* x = self->archive.GetEntry(a);
    const VpkEntry* y = self->archive.GetEntry(b);
    int order = 0;
    if (x != nullptr && y != nullptr && self->sortColumn == 1) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
        };
        const char* p = x->name;
        const char* q = y->name;
        while (*p != '\0' && fold(*p) == fold(*q)) ++p, ++q;
        order = static_cast<int>(fold(*p)) - static_cast<int>(fold(*q));
    } else if (x != nullptr && y != nullptr && self->sortColumn == 2) {
        order = x->dataSize < y->dataSize ? -1 : x->dataSize > y->dataSize ? 1 : 0;
    }
    if (order == 0) order = a < b ? -1 : a > b ? 1 : 0;
    return self->sortAscending ? order : -order;
}

LRESULT VpkViewerDialog::OnEntryListClick() {
    const int row = NextSelected(entryList.Handle(), -1);
    if (row >= 0) ShowPreview(RowEntryIndex(entryList.Handle(), row));
    return 0;
}

void VpkViewerDialog::ShowPreview(std::uint32_t index) {
    win::MessageBoxOwner boxes(Handle());
    HWND preview = Item(IDC_PREVIEW_TEXT);
    ::ShowWindow(preview, SW_HIDE);
    if (!IsPreviewableType(LowerCase(archive.GetEntryType(index)))) return;
    const std::uint32_t size = archive.GetEntrySize(index);
    if (size == 0) return;
    // Sized by the entry: one that claims more than the pack holds is refused
    // (and reported) before anything is allocated for it.
    if (!archive.CheckEntryData(index)) return;

    const std::uint64_t bufferSize = std::uint64_t{size} + 1;
    std::unique_ptr<char[], vpk::FreeMemory> buffer;
    if (bufferSize <= SIZE_MAX) {
        buffer.reset(static_cast<char*>(vpk::AllocateZeroed(static_cast<std::size_t>(bufferSize), 1)));
    }
    if (!buffer) {
        win::MessageBox(kPreviewTooLarge);
        return;
    }
    archive.ReadEntry(index, buffer.get());
    std::string text;
    try {
        text = PreviewText(buffer.get(), size);
    } catch (const std::bad_alloc&) {
        win::MessageBox(kPreviewTooLarge);
        return;
    }
    buffer.reset();

    // The edit control's own limit (30,000 characters under Wine) would cut
    // long texts short.
    ::SendMessageA(preview, EM_SETLIMITTEXT, std::max<WPARAM>(text.size(), 1), 0);
    if (!::SetWindowTextA(preview, text.c_str())) {
        win::MessageBox(kPreviewTooLarge);
        return;
    }
    ::ShowWindow(preview, SW_SHOW);
}

void VpkViewerDialog::RestorePlacement() {
    std::vector<int> dividers;
    const std::optional<win::Rect> placed = win::LoadPlacement(kPlacementValue, 2, dividers);
    if (!placed) return;
    ::SetWindowPos(Handle(), nullptr, placed->left, placed->top, placed->Width(), placed->Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // Each divider as far as it may be dragged: within the client area.
    const win::Rect client = ClientRect();
    const win::Rect lying = horizontalDivider.RectInParent();
    const win::Rect upright = verticalDivider.RectInParent();
    if (dividers[0] > 0 && dividers[0] < client.bottom - kEntryListBottomGap && dividers[0] != lying.top) {
        const int delta = dividers[0] - lying.top;
        MoveItem(horizontalDivider.Handle(), lying.Offset(0, delta));
        OnHorizontalDividerMoved(delta);
    }
    if (dividers[1] > 0 && dividers[1] < client.right - SplitterBar::kThickness && dividers[1] != upright.left) {
        const int delta = dividers[1] - upright.left;
        MoveItem(verticalDivider.Handle(), upright.Offset(delta, 0));
        OnVerticalDividerMoved(delta);
    }
}

void VpkViewerDialog::OnDestroyWindow() {
    EndExtraction(false);
    win::SavePlacement(kPlacementValue, Handle(),
                       {horizontalDivider.RectInParent().top, verticalDivider.RectInParent().left});
    std::vector<HWND>& viewers = LiveViewers();
    viewers.erase(std::remove(viewers.begin(), viewers.end(), Handle()), viewers.end());
    if (viewers.empty() && keyboardHook != nullptr) {
        ::UnhookWindowsHookEx(keyboardHook);
        keyboardHook = nullptr;
    }
}

LRESULT VpkViewerDialog::OnDropFiles(WPARAM wp) {
    HDROP drop = reinterpret_cast<HDROP>(wp);
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(::DragQueryFileA(drop, i, nullptr, 0), '\0');
        ::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(path);
    }
    ::DragFinish(drop);
    std::vector<std::string> refused;
    // A refused pack's message lets the viewer be closed (its window goes,
    // its object stays until its handlers have returned): the drop stops then.
    for (std::string& path : paths) {
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
            for (const std::string& pack : PacksInFolder(path)) {
                if (IsWindow()) AddPack(pack.c_str());
            }
        } else if (attributes != INVALID_FILE_ATTRIBUTES && HasPackExtension(path)) {
            if (IsWindow()) AddPack(path.c_str());
        } else {
            refused.push_back(path);
        }
    }
    if (!refused.empty() && IsWindow()) {
        std::string text = "Only pack files (*.vpk) and folders can be dropped here, not:\n";
        for (const std::string& path : refused) text += "\n" + path;
        win::MessageBox(text, MB_OK | MB_ICONEXCLAMATION, nullptr, Handle());
    }
    return 0;
}

void VpkViewerDialog::OnEnter() {
    HWND focus = ::GetFocus();
    if (focus == packList.Handle()) {
        OnPackListClick();
    } else if (focus == entryList.Handle()) {
        OnEntryListClick();
    }
}

LRESULT VpkViewerDialog::OnEntryListKeyDown(const NMLVKEYDOWN& key) {
    if (key.wVKey == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        entryList.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    }
    return 0;
}

LRESULT VpkViewerDialog::OnContextMenu(HWND window, LPARAM point) {
    if (window != entryList.Handle() || point != -1) return 0;
    HWND list = entryList.Handle();
    const int row = NextSelected(list, -1);
    if (row < 0) return 0;
    // Under the first selected row, scrolled into view.
    entryList.Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT bounds{};
    bounds.left = LVIR_LABEL;
    entryList.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    POINT at{bounds.left, bounds.bottom};
    ::ClientToScreen(list, &at);
    ShowEntryMenu(at);
    return 0;
}

LRESULT VpkViewerDialog::OnEntryListRightClick() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ShowEntryMenu(cursor);
    return 0;
}

void VpkViewerDialog::ShowEntryMenu(POINT screen) {
    HWND list = entryList.Handle();
    if (NextSelected(list, -1) < 0) return;
    win::Menu menu = win::Menu::Load(IDR_ENTRY_POPUP);
    HMENU popup = menu.SubMenu(0);
    if (popup == nullptr) return;
    // Without the installation the current directory is not the game's.
    const bool canExtract = !packFolder.empty();
    if (!canExtract) ::EnableMenuItem(popup, ID_EXTRACT, MF_BYCOMMAND | MF_GRAYED);
    const int command = win::ShowPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, Handle());
    menu.Reset();
    if (command == ID_EXTRACT_TO || command == ID_EXTRACT_ALL_TO) {
        ExtractTo(command == ID_EXTRACT_ALL_TO);
        return;
    }
    if (command != ID_EXTRACT || !canExtract) return;
    // Each failure shows its message and the walk goes on, unless the window
    // was closed while a message was up.
    win::MessageBoxOwner boxes(Handle());
    for (int row = NextSelected(list, -1); row >= 0 && IsWindow(); row = NextSelected(list, row)) {
        archive.Extract(RowEntryIndex(list, row), CellText(list, row, 1).c_str());
    }
}

void VpkViewerDialog::ExtractTo(bool all) {
    if (extraction) return;
    std::vector<ExtractionItem> items;
    auto add = [&](std::uint32_t index) {
        if (const VpkEntry* entry = archive.GetEntry(index)) items.push_back({index, entry->name});
    };
    if (all) {
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) add(i);
    } else {
        HWND list = entryList.Handle();
        for (int row = NextSelected(list, -1); row >= 0; row = NextSelected(list, row)) add(RowEntryIndex(list, row));
    }
    if (items.empty()) return;
    std::string folder = LastExtractionFolder();
    if (!win::ShowFolderDialog(Handle(), kChooseFolderTitle, folder) || folder.empty() || !IsWindow()) return;
    LastExtractionFolder() = folder;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';

    progress = std::make_unique<ExtractProgressDialog>([this] {
        if (extraction) extraction->Cancel();
    });
    progress->SetProgress(0, items.size());
    // The viewer waits for the run as it would for a modal box; the main
    // window and other viewers stay usable.
    ::EnableWindow(Handle(), FALSE);
    if (progress->Create(Handle())) {
        progressWindow = progress->Handle();
        LiveViewers().push_back(progressWindow);
        progress->Show(SW_SHOW);
    }
    extraction = std::make_unique<BulkExtraction>(archive.GetPath(), std::move(items), folder);
    SetTimer(kExtractionTimer, kExtractionTick);
    OnExtractionTimer();
}

void VpkViewerDialog::OnExtractionTimer() {
    if (!extraction) return;
    if (progress) progress->SetProgress(extraction->Done(), extraction->Total());
    if (extraction->Finished()) EndExtraction(true);
}

void VpkViewerDialog::EndExtraction(bool report) {
    if (!extraction) return;
    KillTimer(kExtractionTimer);
    extraction->Cancel();  // nothing left to stop when it has finished
    extraction->Wait();
    const std::string summary = ExtractionSummary(*extraction);
    extraction.reset();
    // Enabled before its box goes, so the activation comes back here.
    ::EnableWindow(Handle(), TRUE);
    std::vector<HWND>& dialogs = LiveViewers();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), progressWindow), dialogs.end());
    progressWindow = nullptr;
    progress.reset();
    if (report && !summary.empty()) win::MessageBox(summary, MB_OK | MB_ICONEXCLAMATION, nullptr, Handle());
}

void VpkViewerDialog::OnFileOpen() {
    char file[kCellSize] = {};
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = Handle();
    request.lpstrFilter = "Vampire pack files (*.vpk)\0*.vpk\0";
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.lpstrDefExt = "vpk";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (win::ShowOpenFileDialog(request)) AddPack(file);
}

// The horizontal divider was dropped: the "Contents" strip and the border
// between the two lists follow it.
void VpkViewerDialog::OnHorizontalDividerMoved(int delta) {
    HWND contents = Item(IDC_CONTENTS_CAPTION);
    MoveItem(contents, win::RectInParent(contents).Offset(0, delta));
    SplitterBar::AdjustHeight(packList.Handle(), delta, EDGE_BOTTOM);
    SplitterBar::AdjustHeight(entryList.Handle(), -delta, EDGE_TOP);
    Invalidate(true);
    Update();
}

// The vertical divider was dropped: the left panes widen by what the preview
// pane gives up.
void VpkViewerDialog::OnVerticalDividerMoved(int delta) {
    for (HWND pane : {packList.Handle(), entryList.Handle(), Item(IDC_PACKS_CAPTION), Item(IDC_CONTENTS_CAPTION),
                      horizontalDivider.Handle()}) {
        SplitterBar::AdjustWidth(pane, delta, EDGE_RIGHT);
    }
    SplitterBar::AdjustWidth(Item(IDC_PREVIEW_CAPTION), -delta, EDGE_LEFT);
    SplitterBar::AdjustWidth(Item(IDC_PREVIEW_TEXT), -delta, EDGE_LEFT);
    HWND frame = Item(IDC_PREVIEW_FRAME);
    MoveItem(frame, win::RectInParent(frame).Offset(delta, 0));
    Invalidate(true);
    Update();
}

LRESULT VpkViewerDialog::OnSize(WPARAM type, int cx, int cy) {
    const LRESULT result = DefaultProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    // The system may size the window before WM_INITDIALOG, when the lists
    // and dividers are not there yet.
    if (!laidOut) return result;
    const win::Rect client = ClientRect();

    HWND packs = Item(IDC_PACKS_CAPTION);
    const win::Rect packsRect = win::RectInParent(packs);
    MoveItem(packs, packsRect.Offset(-packsRect.left, -packsRect.top));

    win::Rect entries = entryList.RectInParent();
    entries.bottom = client.bottom - kEntryListBottomGap;
    MoveItem(entryList.Handle(), entries);

    win::Rect divider = verticalDivider.RectInParent();
    divider.bottom = client.bottom;
    MoveItem(verticalDivider.Handle(), divider);

    const int x = divider.right;
    const int captionHeight = ItemRect(IDC_PREVIEW_CAPTION).Height();
    MoveItem(Item(IDC_PREVIEW_CAPTION), {x, 0, client.right - 1, captionHeight});
    MoveItem(Item(IDC_PREVIEW_TEXT), {x, captionHeight + 1, client.right - 1, client.bottom - 1});
    Invalidate(true);
    return result;
}

LRESULT VpkViewerDialog::OnPaint() {
    win::PaintDC paint(Handle());
    HDC dc = paint.Get();
    ::SetTextColor(dc, kCaptionText);
    ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    PaintStrip(dc, ItemRect(IDC_PACKS_CAPTION), "VPK Files", kCaptionFormat);
    PaintStrip(dc, ItemRect(IDC_CONTENTS_CAPTION), "Contents", kCaptionFormat);
    PaintStrip(dc, ItemRect(IDC_PREVIEW_CAPTION), "Preview Area", kCaptionFormat);
    PaintStrip(dc, ItemRect(IDC_PREVIEW_FRAME), kPlaceholder, DT_CENTER | DT_TOP);
    return 0;
}

}  // namespace viewer
