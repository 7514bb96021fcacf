// The viewer's list of pack files (control 1000): one row per pack added,
// with its path, entry count and kind. Only the viewer's clicks load a pack;
// this list just holds the rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/ListRows.h"

namespace viewer {

class PackListPane : public skin::SkinListCtrl {
public:
    // Once, after the list is bound: its look and columns.
    void Init(win::Font& font);
    // Appends a row: the path as given, the entry count, "Directory pack" or
    // "File pack".
    void AppendPack(const char* path, std::uint32_t entryCount, bool directoryPack);
    int RowCount() const;
    // Selects row `row` alone and gives it the caret.
    void SelectRow(int row);
    // The "VPK FILE" cells of every row, in list order.
    std::vector<std::string> Paths() const;
    // The "VPK FILE" cell of the first selected row, or empty.
    std::string SelectedPath() const;
};

}  // namespace viewer
