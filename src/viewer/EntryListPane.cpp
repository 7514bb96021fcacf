#include "viewer/EntryListPane.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace viewer {
namespace {

constexpr ListColumn kEntryColumns[] = {{"#", 20}, {"FILENAME", 255}, {"SIZE", 60}};

unsigned Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

// "FILENAME" byte by byte with ASCII letters folded.
int CompareNames(const char* p, const char* q) {
    while (*p != '\0' && Fold(*p) == Fold(*q)) ++p, ++q;
    return static_cast<int>(Fold(*p)) - static_cast<int>(Fold(*q));
}

}  // namespace

void EntryListPane::Init(win::Font& font) {
    InitListLook(*this, font, kEntryColumns, 3);
}

void EntryListPane::Fill(std::shared_ptr<const VpkArchive> archive) {
    pack = std::move(archive);
    order.resize(pack->GetEntryCount());
    std::iota(order.begin(), order.end(), 0u);
    if (sortColumn >= 0) Sort();
    SetRowsState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ShowRows();
    Send(LVM_ENSUREVISIBLE, 0, FALSE);
}

void EntryListPane::SetFilter(const std::string& text) {
    if (text == filter.Text()) return;
    const std::vector<std::uint32_t> selected = SelectedIndexes();
    filter = vpk::EntryFilter(text);
    ShowRows();
    SelectEntries(selected);
}

std::vector<std::uint32_t> EntryListPane::SelectedIndexes() const {
    std::vector<std::uint32_t> selected;
    for (int row = NextSelected(Handle(), -1); row >= 0; row = NextSelected(Handle(), row)) {
        selected.push_back(RowEntryIndex(row));
    }
    return selected;
}

void EntryListPane::SelectEntries(const std::vector<std::uint32_t>& selected) {
    SetRowsState(-1, 0, LVIS_SELECTED);
    if (selected.empty()) return;
    std::vector<int> rowOf(EntryCount(), -1);
    for (std::size_t row = 0; row < shown.size(); ++row) rowOf[shown[row]] = static_cast<int>(row);
    for (std::uint32_t index : selected) {
        if (index < rowOf.size() && rowOf[index] >= 0) SetRowsState(rowOf[index], LVIS_SELECTED, LVIS_SELECTED);
    }
}

void EntryListPane::SetRowsState(int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void EntryListPane::ShowRows() {
    shown.clear();
    if (pack) {
        for (std::uint32_t index : order) {
            const VpkEntry* entry = pack->GetEntry(index);
            if (entry != nullptr && filter.Matches(entry->name)) shown.push_back(index);
        }
    }
    // A virtual list only learns the new count; what it shows is asked for
    // as it paints.
    // Painting brings the skinned bars in step.
    Send(LVM_SETITEMCOUNT, shown.size(), 0);
}

void EntryListPane::SortByColumn(int column) {
    if (column < 0 || column >= 3) return;
    sortAscending = column == sortColumn ? !sortAscending : true;
    sortColumn = column;
    HWND titles = Header().Handle();
    for (int i = 0; i < 3; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        ::SendMessageA(titles, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= sortAscending ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageA(titles, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    // The selection follows its entries, as it does when the filter changes.
    const std::vector<std::uint32_t> selected = SelectedIndexes();
    Sort();
    ShowRows();
    SelectEntries(selected);
    ::InvalidateRect(titles, nullptr, TRUE);
}

// "#" and "SIZE" compare as numbers, "FILENAME" byte by byte with ASCII
// letters folded; ties keep pack order, so every order is total.
void EntryListPane::Sort() {
    if (!pack) return;
    const VpkArchive& archive = *pack;
    const int column = sortColumn;
    const bool ascending = sortAscending;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const VpkEntry* x = archive.GetEntry(a);
        const VpkEntry* y = archive.GetEntry(b);
        int by = 0;
        if (x != nullptr && y != nullptr && column == 1) {
            by = CompareNames(x->name, y->name);
        } else if (x != nullptr && y != nullptr && column == 2) {
            by = x->dataSize < y->dataSize ? -1 : x->dataSize > y->dataSize ? 1 : 0;
        }
        if (by == 0) by = a < b ? -1 : a > b ? 1 : 0;
        return ascending ? by < 0 : by > 0;
    });
}

void EntryListPane::SelectAll() {
    SetRowsState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void EntryListPane::SelectOnly(int row) {
    SetRowsState(-1, 0, LVIS_SELECTED);
    SetRowsState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    SyncScrollBars();
}

std::uint32_t EntryListPane::RowEntryIndex(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < shown.size() ? shown[static_cast<std::size_t>(row)]
                                                                     : static_cast<std::uint32_t>(-1);
}

int EntryListPane::RowOfEntry(std::uint32_t index) const {
    const auto at = std::find(shown.begin(), shown.end(), index);
    return at == shown.end() ? -1 : static_cast<int>(at - shown.begin());
}

std::vector<ExtractionItem> EntryListPane::SelectedEntries() const {
    std::vector<ExtractionItem> rows;
    for (int row = NextSelected(Handle(), -1); row >= 0; row = NextSelected(Handle(), row)) {
        const VpkEntry* entry = pack ? pack->GetEntry(RowEntryIndex(row)) : nullptr;
        if (entry != nullptr) rows.push_back({RowEntryIndex(row), entry->name});
    }
    return rows;
}

bool EntryListPane::FirstSelectedRowPoint(POINT& screen) {
    const int row = NextSelected(Handle(), -1);
    if (row < 0) return false;
    Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT bounds{};
    bounds.left = LVIR_LABEL;
    Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    screen = {bounds.left, bounds.bottom};
    ::ClientToScreen(Handle(), &screen);
    return true;
}

std::optional<LRESULT> EntryListPane::HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lp)->code;
        if (code == LVN_GETDISPINFOA) {
            OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(lp));
            return 0;
        }
        // Typing in the list looks for nothing: no row is picked by it.
        if (code == LVN_ODFINDITEMA) return -1;
    }
    return SkinListCtrl::HandleReflectedMessage(msg, wp, lp);
}

void EntryListPane::OnGetDispInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const std::uint32_t index = RowEntryIndex(item.iItem);
    const VpkEntry* entry = pack ? pack->GetEntry(index) : nullptr;
    const auto room = static_cast<std::size_t>(item.cchTextMax);
    if (entry == nullptr) {
        item.pszText[0] = '\0';
    } else if (item.iSubItem == 0) {
        std::snprintf(item.pszText, room, "%d", static_cast<int>(index + 1));
    } else if (item.iSubItem == 1) {
        std::snprintf(item.pszText, room, "%s", entry->name);
    } else {
        std::snprintf(item.pszText, room, "%u", static_cast<unsigned>(entry->dataSize));
    }
}

}  // namespace viewer
