#include "viewer/FindInPacks.h"

#include <cstdio>

#include "resource.h"
#include "viewer/BulkExtraction.h"
#include "viewer/preview/PreviewStatus.h"
#include "viewer/ViewerKeyboard.h"
#include "vpk/PackSearch.h"
#include "win/Gdi.h"

namespace viewer {
namespace {

// Posted by the worker after each pack it has read.
constexpr UINT kFoundMessage = WM_APP + 20;
constexpr ListColumn kFoundColumns[] = {{"PACK", 90}, {"#", 40}, {"FILENAME", 255}, {"SIZE", 60}};
// The skinned bars sit beside the list: 12 pixels, and a pixel's gap below.
constexpr int kBarRoom = 13;

std::string FileNameOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return WithThousands(n) + (n == 1 ? one : many);
}

}  // namespace

PackSearchRun::PackSearchRun(std::vector<std::string> packPaths, const std::string& filterText, HWND notify,
                             UINT message)
    : packs(std::move(packPaths)) {
    worker = std::thread([this, filterText, notify, message] { Work(filterText, notify, message); });
}

PackSearchRun::~PackSearchRun() {
    Stop();
}

void PackSearchRun::Stop() {
    stop = true;
    if (worker.joinable()) worker.join();
}

void PackSearchRun::TakeFound(std::vector<FoundEntry>& into) {
    // A pack read from here on posts a notice of its own.
    noticeWaiting = false;
    const std::lock_guard<std::mutex> hold(lock);
    into.insert(into.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    found.clear();
}

void PackSearchRun::Work(const std::string& filterText, HWND notify, UINT message) {
    // A pack that can't be read is counted; its messages stay here.
    vpk::HeldMessages held;
    const vpk::EntryFilter filter(filterText);
    std::vector<FoundEntry> batch;
    for (std::size_t p = 0; p < packs.size() && !stop; ++p) {
        const bool read = vpk::SearchPack(
            packs[p].c_str(), [&](const char* name) { return filter.Matches(name); },
            [&](std::uint32_t index, const VpkEntry& entry) { batch.push_back({p, index, entry.name, entry.dataSize}); },
            &stop);
        held.texts.clear();
        {
            const std::lock_guard<std::mutex> hold(lock);
            found.insert(found.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
        }
        batch.clear();
        if (!read) ++unreadable;
        if (!stop) ++packsRead;
        if (!noticeWaiting.exchange(true)) ::PostMessageA(notify, message, 0, 0);
    }
    // The last notice goes whatever notice is waiting: the window may have
    // looked at Finished() before this.
    finished = !stop;
    ::PostMessageA(notify, message, 0, 0);
}

void FoundEntriesList::Init(win::Font& font) {
    InitListLook(*this, font, kFoundColumns, 4);
}

std::optional<LRESULT> FoundEntriesList::HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lp)->code;
        if (code == LVN_ODFINDITEMA) return -1;
        if (code == LVN_GETDISPINFOA) {
            LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(lp)->item;
            if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return 0;
            const auto room = static_cast<std::size_t>(item.cchTextMax);
            item.pszText[0] = '\0';
            if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= results.size()) return 0;
            const FoundEntry& found = results[static_cast<std::size_t>(item.iItem)];
            switch (item.iSubItem) {
            case 0:
                if (found.pack < packPaths.size()) {
                    std::snprintf(item.pszText, room, "%s", FileNameOf(packPaths[found.pack]).c_str());
                }
                break;
            case 1: std::snprintf(item.pszText, room, "%u", static_cast<unsigned>(found.index + 1)); break;
            case 2: std::snprintf(item.pszText, room, "%s", found.name.c_str()); break;
            default: std::snprintf(item.pszText, room, "%u", static_cast<unsigned>(found.size)); break;
            }
            return 0;
        }
    }
    return SkinListCtrl::HandleReflectedMessage(msg, wp, lp);
}

FindInPacksDialog::FindInPacksDialog(ShowResult showResult) : Dialog(IDD_FIND_IN_PACKS), show(std::move(showResult)) {}

FindInPacksDialog::~FindInPacksDialog() {
    run.reset();
    if (IsWindow()) DestroyWindow();
}

BOOL FindInPacksDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    BindControl(IDC_FIND_PATTERN, pattern);
    BindControl(IDC_FIND_RESULTS, list);
    list.Init(listFont);
    pattern.Send(WM_SETFONT, reinterpret_cast<WPARAM>(listFont.Get()), FALSE);
    AddKeyboardWindow(Handle());
    Layout();
    return TRUE;
}

void FindInPacksDialog::SetPacks(std::vector<std::string> paths) {
    nextPacks = std::move(paths);
    if (IsSearching() || (run && run->Stopped() && !win::WindowText(pattern.Handle()).empty())) StartSearch();
}

void FindInPacksDialog::Open() {
    Show(SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(pattern.Handle());
    pattern.Send(EM_SETSEL, 0, -1);
}

LRESULT FindInPacksDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kFoundMessage: OnFound(); return 0;
    case WM_SIZE: Layout(); return 0;
    case WM_DRAWITEM:
        if (wp == IDC_FIND_STATUS) return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return Dialog::HandleMessage(msg, wp, lp);
    case WM_NOTIFY:
        if (lp != 0) return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        return Dialog::HandleMessage(msg, wp, lp);
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_FIND_PATTERN:
            if (HIWORD(wp) == EN_CHANGE) StartSearch();
            return 0;
        case IDOK: ShowSelected(); return 0;
        case IDCANCEL: OnCancel(); return 0;
        default: return Dialog::HandleMessage(msg, wp, lp);
        }
    case WM_CLOSE:
        if (IsSearching()) OnCancel();
        Show(SW_HIDE);
        return 0;
    case WM_DESTROY:
        run.reset();
        searching = false;
        RemoveKeyboardWindow(Handle());
        return Dialog::HandleMessage(msg, wp, lp);
    default: return Dialog::HandleMessage(msg, wp, lp);
    }
}

// Escape: stops a search that runs, else closes the window.
void FindInPacksDialog::OnCancel() {
    if (IsSearching()) {
        run->Stop();
        OnFound();
    } else if (::IsWindowVisible(Handle())) {
        Send(WM_CLOSE);
    }
}

void FindInPacksDialog::StartSearch() {
    run.reset();
    results.clear();
    list.Send(LVM_SETITEMCOUNT, 0, 0);  // every row goes, and is painted again
    packs = nextPacks;
    const std::string text = win::WindowText(pattern.Handle());
    if (!text.empty()) run = std::make_unique<PackSearchRun>(packs, text, Handle(), kFoundMessage);
    searching = run != nullptr;
    OnFound();
}

void FindInPacksDialog::OnFound() {
    const std::size_t listed = results.size();
    if (run) {
        // Over only once what the worker found before it ended is taken.
        const bool over = run->Finished() || run->Stopped();
        run->TakeFound(results);
        if (over) searching = false;
    }
    // Only the rows that came into view are painted: a search that has
    // filled the window costs the list nothing more per pack, and packs
    // without results cost it nothing at all.
    if (results.size() != listed || results.empty()) {
        list.Send(LVM_SETITEMCOUNT, results.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
        if (listed == 0 && !results.empty() && NextSelected(list.Handle(), -1) < 0) {
            LVITEMA state{};
            state.stateMask = LVIS_FOCUSED;
            state.state = LVIS_FOCUSED;
            list.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        }
        list.SyncScrollBars();
    }
    ::SetWindowTextA(Item(IDC_FIND_STATUS), StatusText().c_str());
    ::InvalidateRect(Item(IDC_FIND_STATUS), nullptr, FALSE);
}

std::string FindInPacksDialog::StatusText() const {
    if (!run) return "Type a part of a name, or a pattern (* ? **)";
    const std::string found = Count(results.size(), " entry found", " entries found");
    std::string text;
    if (run->Finished()) {
        text = found + " in " + Count(packs.size(), " pack", " packs");
    } else if (run->Stopped()) {
        text = "Stopped: " + found + " in " + WithThousands(run->PacksRead()) + " of " +
               Count(packs.size(), " pack", " packs");
    } else {
        text = "Searching: " + WithThousands(run->PacksRead()) + " of " + Count(packs.size(), " pack", " packs") +
               " read, " + found;
    }
    if (run->Unreadable() > 0) {
        text += "; " + Count(run->Unreadable(), " pack could not be read", " packs could not be read");
    }
    return text;
}

void FindInPacksDialog::ShowSelected() {
    int row = NextSelected(list.Handle(), -1);
    if (row < 0) row = 0;
    if (static_cast<std::size_t>(row) >= results.size()) return;
    // Copies: the viewer's boxes let this window start another search.
    const FoundEntry found = results[static_cast<std::size_t>(row)];
    if (found.pack < packs.size()) show(std::string(packs[found.pack]), found.index, found.name);
}

LRESULT FindInPacksDialog::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_FIND_RESULTS && header.code == static_cast<UINT>(NM_DBLCLK)) {
        ShowSelected();
        return 0;
    }
    return Dialog::HandleMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// The pattern box along the top, the status line along the bottom, the
// results between them with their bars inside the window.
void FindInPacksDialog::Layout() {
    if (!list.IsWindow()) return;
    const win::Rect client = ClientRect();
    const int boxHeight = ItemRect(IDC_FIND_PATTERN).Height();
    const int statusHeight = ItemRect(IDC_FIND_STATUS).Height();
    const int statusTop = client.bottom - statusHeight;
    ::MoveWindow(pattern.Handle(), 0, 0, client.Width(), boxHeight, TRUE);
    ::MoveWindow(list.Handle(), 0, boxHeight + 1, std::max(client.Width() - kBarRoom, 0),
                 std::max(statusTop - kBarRoom - boxHeight - 1, 0), TRUE);
    ::MoveWindow(Item(IDC_FIND_STATUS), 0, statusTop, client.Width(), statusHeight, TRUE);
    Invalidate(true);
}

LRESULT FindInPacksDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    preview::PaintPreviewStatus(item);
    return TRUE;
}

}  // namespace viewer
