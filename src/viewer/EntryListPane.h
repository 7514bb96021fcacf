// The viewer's list of the loaded pack's entries (control 1001): "#",
// "FILENAME" and "SIZE" per entry, sortable by a click on a column's title.
// Each row's parameter is its entry's index, and its "#" cell the index + 1.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/BulkExtraction.h"
#include "viewer/ListRows.h"
#include "vpk/VpkArchive.h"

namespace viewer {

class EntryListPane : public skin::SkinListCtrl {
public:
    // Once, after the list is bound: its look and columns.
    void Init(win::Font& font);
    // Replaces the rows with the entries of `archive`, in the current order.
    void Fill(const VpkArchive& archive);
    // A click on column `column`'s title: sorts by it, reversed on the
    // second click in a row. `archive` is the pack the rows came from.
    void SortByColumn(int column, const VpkArchive& archive);
    void SelectAll();

    // The entry of row `row`: its "#" cell (the digits it starts with) less one.
    std::uint32_t RowEntryIndex(int row) const;
    // The selected rows' entries and "FILENAME" cells, in list order.
    std::vector<ExtractionItem> SelectedEntries() const;
    // Below the first selected row, scrolled into view, on screen; false
    // when no row is selected.
    bool FirstSelectedRowPoint(POINT& screen);

private:
    void Sort(const VpkArchive& archive);
    static int CALLBACK CompareEntries(LPARAM first, LPARAM second, LPARAM sortOrder);

    int sortColumn = -1;  // the column the rows are sorted by, or -1: pack order
    bool sortAscending = true;
};

}  // namespace viewer
