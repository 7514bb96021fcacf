// The viewer's list of the loaded pack's entries (control 1001): "#",
// "FILENAME" and "SIZE" per entry, sortable by a click on a column's title,
// and narrowed by the filter box above it.
//
// The list is virtual (LVS_OWNERDATA): it holds only the count of rows and
// asks for a cell's text as it paints it, so a pack of 20,000 entries is
// listed, sorted or filtered without a row going in. Row r shows the entry
// `shown[r]`; its "#" cell is that index + 1.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "viewer/BulkExtraction.h"
#include "viewer/ListRows.h"
#include "vpk/PackSearch.h"
#include "vpk/VpkArchive.h"

namespace viewer {

class EntryListPane : public skin::SkinListCtrl {
public:
    // Once, after the list is bound: its look and columns.
    void Init(win::Font& font);
    // Shows the entries of `archive` that the filter keeps, in the current
    // order; the list keeps the archive for their names.
    void Fill(std::shared_ptr<const VpkArchive> archive);
    // Shows only the entries the filter text keeps (vpk::EntryFilter), in
    // the current order; selected entries still shown stay selected.
    void SetFilter(const std::string& text);
    const std::string& FilterText() const { return filter.Text(); }
    // A click on column `column`'s title: sorts by it, reversed on the
    // second click in a row.
    void SortByColumn(int column);
    void SelectAll();
    // Selects row `row` alone, gives it the caret and scrolls it into view.
    void SelectOnly(int row);

    int RowCount() const { return static_cast<int>(shown.size()); }
    // The entries of the pack shown, filtered or not.
    std::uint32_t EntryCount() const { return pack ? pack->GetEntryCount() : 0; }
    // The entry of row `row`, or an index no pack has when there is no such row.
    std::uint32_t RowEntryIndex(int row) const;
    // The row that shows entry `index`, or -1.
    int RowOfEntry(std::uint32_t index) const;
    // The entries of the rows shown, in list order.
    const std::vector<std::uint32_t>& ShownEntries() const { return shown; }
    // The selected rows' entries and "FILENAME" cells, in list order.
    std::vector<ExtractionItem> SelectedEntries() const;
    // Below the first selected row, scrolled into view, on screen; false
    // when no row is selected.
    bool FirstSelectedRowPoint(POINT& screen);

protected:
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnGetDispInfo(NMLVDISPINFOA& info) const;
    // Puts the pack's entries in `order`, by the sort column.
    void Sort();
    // Takes from `order` the entries the filter keeps into `shown` and tells
    // the list how many rows it has now.
    void ShowRows();
    std::vector<std::uint32_t> SelectedIndexes() const;
    // Selects the rows of `indexes` that are shown, and no other.
    void SelectEntries(const std::vector<std::uint32_t>& indexes);
    // LVM_SETITEMSTATE on row `row` (-1: every row).
    void SetRowsState(int row, UINT state, UINT mask);

    std::shared_ptr<const VpkArchive> pack;
    std::vector<std::uint32_t> order;  // every entry of the pack, in the list's order
    std::vector<std::uint32_t> shown;  // those the filter keeps, row by row
    vpk::EntryFilter filter;
    int sortColumn = -1;  // the column the rows are sorted by, or -1: pack order
    bool sortAscending = true;
};

}  // namespace viewer
