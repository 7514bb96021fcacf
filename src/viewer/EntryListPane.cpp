#include "viewer/EntryListPane.h"

#include <cstdio>
#include <cstdlib>

namespace viewer {
namespace {

constexpr ListColumn kEntryColumns[] = {{"#", 20}, {"FILENAME", 255}, {"SIZE", 60}};

// What CompareEntries is handed: the rows' pack and the order asked for.
struct SortOrder {
    const VpkArchive& archive;
    int column;
    bool ascending;
};

}  // namespace

void EntryListPane::Init(win::Font& font) {
    InitListLook(*this, font, kEntryColumns, 3);
}

void EntryListPane::Fill(const VpkArchive& archive) {
    HWND list = Handle();
    const std::uint32_t count = archive.GetEntryCount();
    // Under Wine a list that redraws while rows go in takes time quadratic in
    // the rows (minutes for 20,000); told the count first, it also allocates once.
    Send(WM_SETREDRAW, FALSE);
    Send(LVM_DELETEALLITEMS);
    Send(LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
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
        const int row = static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0) break;
        SetCell(list, row, 1, entry->name);
        std::snprintf(size, sizeof size, "%u", static_cast<unsigned>(entry->dataSize));
        SetCell(list, row, 2, size);
    }
    if (sortColumn >= 0) Sort(archive);
    Send(WM_SETREDRAW, TRUE);
    ::InvalidateRect(list, nullptr, TRUE);
    SyncScrollBars();
}

void EntryListPane::SortByColumn(int column, const VpkArchive& archive) {
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
    Sort(archive);
    ::InvalidateRect(titles, nullptr, TRUE);
}

void EntryListPane::Sort(const VpkArchive& archive) {
    SortOrder order{archive, sortColumn, sortAscending};
    Send(LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order), reinterpret_cast<LPARAM>(&CompareEntries));
}

// "#" and "SIZE" compare as numbers, "FILENAME" byte by byte with ASCII
// letters folded; ties keep pack order, so every order is total.
int CALLBACK EntryListPane::CompareEntries(LPARAM first, LPARAM second, LPARAM sortOrder) {
    const auto& sort = *reinterpret_cast<const SortOrder*>(sortOrder);
    const auto a = static_cast<std::uint32_t>(first), b = static_cast<std::uint32_t>(second);
    const VpkEntry* x = sort.archive.GetEntry(a);
    const VpkEntry* y = sort.archive.GetEntry(b);
    int order = 0;
    if (x != nullptr && y != nullptr && sort.column == 1) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
        };
        const char* p = x->name;
        const char* q = y->name;
        while (*p != '\0' && fold(*p) == fold(*q)) ++p, ++q;
        order = static_cast<int>(fold(*p)) - static_cast<int>(fold(*q));
    } else if (x != nullptr && y != nullptr && sort.column == 2) {
        order = x->dataSize < y->dataSize ? -1 : x->dataSize > y->dataSize ? 1 : 0;
    }
    if (order == 0) order = a < b ? -1 : a > b ? 1 : 0;
    return sort.ascending ? order : -order;
}

void EntryListPane::SelectAll() {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

std::uint32_t EntryListPane::RowEntryIndex(int row) const {
    const std::string number = CellText(Handle(), row, 0);
    return static_cast<std::uint32_t>(std::strtoul(number.c_str(), nullptr, 10)) - 1u;
}

std::vector<ExtractionItem> EntryListPane::SelectedEntries() const {
    std::vector<ExtractionItem> rows;
    for (int row = NextSelected(Handle(), -1); row >= 0; row = NextSelected(Handle(), row)) {
        rows.push_back({RowEntryIndex(row), CellText(Handle(), row, 1)});
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

}  // namespace viewer
