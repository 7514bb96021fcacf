#include "viewer/VpkViewerDialog.h"

#include <shellapi.h>

#include "resource.h"
#include "viewer/PackDrop.h"
#include "viewer/ViewerKeyboard.h"
#include "viewer/preview/PreviewStatus.h"
#include "win/FileDialog.h"
#include "win/MessageBox.h"

namespace viewer {
namespace {

constexpr int kPathSize = 260;

}  // namespace

VpkViewerDialog::VpkViewerDialog()
    : Dialog(IDD_VPK_VIEWER), archive(std::make_shared<VpkArchive>()), actions(*this, entryList, archive, packFolder) {}

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
    BindControl(IDC_ENTRY_FILTER, filterBox);

    if (owner != nullptr) {
        Send(WM_SETICON, ICON_BIG, ::SendMessageA(owner, WM_GETICON, ICON_BIG, 0));
        Send(WM_SETICON, ICON_SMALL, ::SendMessageA(owner, WM_GETICON, ICON_SMALL, 0));
    }

    packList.Init(listFont);
    entryList.Init(listFont);
    filterBox.Send(WM_SETFONT, reinterpret_cast<WPARAM>(listFont.Get()), FALSE);
    CreateDividers();
    // The first view takes the place the resource keeps for it.
    ReplacePreview(preview::PreviewKind::Text);
    laidOut = true;
    Layout();
    RestorePlacement();
    ::DragAcceptFiles(Handle(), TRUE);
    AddKeyboardWindow(Handle());
    return TRUE;
}

void VpkViewerDialog::AddPack(const char* path) {
    win::MessageBoxOwner boxes(Handle());
    VpkArchive pack;
    if (!pack.Open(path)) return;
    packList.AppendPack(path, pack.GetEntryCount(), pack.IsDirectoryPack());
    pack.Close();
    // The find window searches every pack listed (hidden, it takes the list
    // again as it opens).
    if (findWindow && findWindow->IsWindow() && findWindow->IsVisible()) findWindow->SetPacks(packList.Paths());
}

void VpkViewerDialog::LoadPackRow(int row) {
    if (row < 0 || row >= packList.RowCount()) return;
    packList.SelectRow(row);
    OnPackListClick();
}

LRESULT VpkViewerDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE: return OnClose();
    case WM_SIZE: return OnSize(wp, LOWORD(lp), HIWORD(lp));
    case WM_PAINT: return OnPaint();
    case WM_DRAWITEM:
        if (wp != IDC_PREVIEW_STATUS) return Dialog::HandleMessage(msg, wp, lp);
        preview::PaintPreviewStatus(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_NOTIFY: return OnNotify(wp, lp);
    case WM_COMMAND: return OnCommand(wp, lp);
    case WM_DROPFILES: return OnDropFiles(wp);
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wp), lp);
    case WM_TIMER:
        if (wp == kExtractionTimer) actions.OnTimer();
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
    actions.End(false);
    DefaultProc(WM_CLOSE, 0, 0);
    HidePreview();
    archive->Close();
    if (owner != nullptr && !closeNoticeSent) {
        closeNoticeSent = ::PostMessageA(owner, WM_DESTROY, reinterpret_cast<WPARAM>(this), 0) != FALSE;
    }
    return 0;
}

LRESULT VpkViewerDialog::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case ID_FILE_OPEN: OnFileOpen(); return 0;
    case IDC_ENTRY_FILTER:
        if (HIWORD(wp) == EN_CHANGE) OnFilterChanged();
        return 0;
    case ID_FIND_IN_PACKS: OnFindInPacks(); return 0;
    case ID_FIND_FILTER:
        ::SetFocus(filterBox.Handle());
        filterBox.Send(EM_SETSEL, 0, -1);
        return 0;
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
            if (code == static_cast<UINT>(NM_CLICK)) return OnEntryListClick();
            if (code == static_cast<UINT>(NM_DBLCLK)) {
                OnEntryListClick();
                actions.Open();
                return 0;
            }
            if (code == LVN_BEGINDRAG) {
                actions.Drag();
                return 0;
            }
            if (code == LVN_COLUMNCLICK) {
                entryList.SortByColumn(reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
                return 0;
            }
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
    if (path.empty() || path == archive->GetPath()) return 0;
    if (archive.use_count() > 1) {
        // The preview still reads the pack it shows.
        archive = std::make_shared<VpkArchive>();
    } else {
        archive->Close();
    }
    if (!archive->Open(path.c_str())) return 0;
    if (archive->ReadDirectory()) {
        entryList.Fill(archive);
        RepaintContentsStrip();
    } else {
        // The rows still listed are the previous pack's: with the failed
        // pack's partial table behind them, a click or an extraction would
        // reach an entry of one pack under another's name. Closed, the
        // archive previews nothing and refuses to extract.
        archive->Close();
    }
    return 0;
}

void VpkViewerDialog::OnFindInPacks() {
    if (!findWindow) {
        findWindow = std::make_unique<FindInPacksDialog>(
            [this](const std::string& path, std::uint32_t index, const std::string& name) {
                ShowEntry(path, index, name);
            });
        if (!findWindow->Create(Handle())) {
            findWindow.reset();
            return;
        }
    }
    findWindow->SetPacks(packList.Paths());
    findWindow->Open();
}

void VpkViewerDialog::OnFilterChanged() {
    entryList.SetFilter(win::WindowText(filterBox.Handle()));
    RepaintContentsStrip();
}

bool VpkViewerDialog::ShowEntry(const std::string& path, std::uint32_t index, const std::string& name) {
    // Disabled, the viewer waits on a box, a chooser or an extraction run
    // that reads its pack and rows: they stay as they are until it is back.
    if (!::IsWindowEnabled(Handle())) return false;
    int row = 0;
    while (row < packList.RowCount() && CellText(packList.Handle(), row, 0) != path) ++row;
    if (row == packList.RowCount()) return false;
    LoadPackRow(row);
    if (!IsWindow() || path != archive->GetPath()) return false;
    // A pack written again since it was searched may have another entry
    // under that number now.
    const VpkEntry* entry = archive->GetEntry(index);
    if (entry == nullptr || name != entry->name) return false;
    if (entryList.RowOfEntry(index) < 0) ::SetWindowTextA(filterBox.Handle(), "");
    const int shownAt = entryList.RowOfEntry(index);
    if (shownAt < 0) return false;
    entryList.SelectOnly(shownAt);
    ShowPreview(index);
    return true;
}

LRESULT VpkViewerDialog::OnEntryListClick() {
    const int row = NextSelected(entryList.Handle(), -1);
    if (row >= 0) ShowPreview(entryList.RowEntryIndex(row));
    return 0;
}

void VpkViewerDialog::HidePreview() {
    ::ShowWindow(Item(IDC_PREVIEW_STATUS), SW_HIDE);
    ::SetWindowTextA(Item(IDC_PREVIEW_STATUS), "");
    if (!preview) return;
    ::ShowWindow(preview->Window(), SW_HIDE);
    preview->Clear();
}

void VpkViewerDialog::ShowPreview(std::uint32_t index) {
    win::MessageBoxOwner boxes(Handle());
    HidePreview();
    const preview::PreviewKind kind = preview::PickPreviewKind(*archive, index);
    if (kind == preview::PreviewKind::None) return;
    if ((!preview || preview->Kind() != kind) && !ReplacePreview(kind)) return;
    if (!preview->Show(archive, index)) return;
    ::SetWindowTextA(Item(IDC_PREVIEW_STATUS), preview->StatusText(*archive->GetEntry(index)).c_str());
    ::ShowWindow(Item(IDC_PREVIEW_STATUS), SW_SHOW);
    ::ShowWindow(preview->Window(), SW_SHOW);
}

bool VpkViewerDialog::ReplacePreview(preview::PreviewKind kind) {
    HWND old = Item(IDC_PREVIEW_TEXT);
    std::unique_ptr<preview::PreviewView> next = preview::MakePreviewView(kind);
    if (!next || !next->Create(Handle(), IDC_PREVIEW_TEXT, win::RectInParent(old))) return false;
    ::SendMessageA(next->Window(), WM_SETFONT, Send(WM_GETFONT), FALSE);
    ::SetWindowPos(next->Window(), old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The resource's placeholder has no view object: it goes by itself.
    if (!preview) ::DestroyWindow(old);
    preview = std::move(next);
    return true;
}

void VpkViewerDialog::OnDestroyWindow() {
    actions.End(false);
    SavePlacement();
    RemoveKeyboardWindow(Handle());
}

LRESULT VpkViewerDialog::OnDropFiles(WPARAM wp) {
    const DroppedFiles dropped = SortDroppedFiles(reinterpret_cast<HDROP>(wp));
    // A refused pack's message lets the viewer be closed (its window goes,
    // its object stays until its handlers have returned): the drop stops then.
    for (const std::string& pack : dropped.packs) {
        if (IsWindow()) AddPack(pack.c_str());
    }
    if (!dropped.refused.empty() && IsWindow()) {
        win::MessageBox(RefusedDropText(dropped.refused), MB_OK | MB_ICONEXCLAMATION, nullptr, Handle());
    }
    return 0;
}

void VpkViewerDialog::OnEnter() {
    HWND focus = ::GetFocus();
    if (focus == packList.Handle()) {
        OnPackListClick();
    } else if (focus == filterBox.Handle() && entryList.RowCount() > 0) {
        // From the filter to the first row shown.
        ::SetFocus(entryList.Handle());
        if (NextSelected(entryList.Handle(), -1) < 0) entryList.SelectOnly(0);
        OnEntryListClick();
    } else if (focus == entryList.Handle()) {
        OnEntryListClick();
        actions.Open();
    }
}

LRESULT VpkViewerDialog::OnEntryListKeyDown(const NMLVKEYDOWN& key) {
    const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (key.wVKey == 'A' && control) entryList.SelectAll();
    if (key.wVKey == 'C' && control) actions.Copy();
    return 0;
}

LRESULT VpkViewerDialog::OnContextMenu(HWND window, LPARAM point) {
    if (window != entryList.Handle() || point != -1) return 0;
    // Under the first selected row, scrolled into view.
    POINT at{};
    if (entryList.FirstSelectedRowPoint(at)) actions.ShowMenu(at);
    return 0;
}

LRESULT VpkViewerDialog::OnEntryListRightClick() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    actions.ShowMenu(cursor);
    return 0;
}

void VpkViewerDialog::OnFileOpen() {
    char file[kPathSize] = {};
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

}  // namespace viewer
