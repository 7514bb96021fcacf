// What the viewer's lists share: their look (skin, colours, font, columns)
// and reading and writing their rows' cells.
#pragma once

#include <cstdint>
#include <string>

#include "skin/SkinListCtrl.h"
#include "win/Gdi.h"

namespace viewer {

// One column of a list: title and width in pixels.
struct ListColumn {
    const char* title;
    int width;
};

// The skin, full-row selection, the rows' colour, `font` (created on the
// first call: Verdana, 12 pixels; both lists share it) and the columns.
void InitListLook(skin::SkinListCtrl& list, win::Font& font, const ListColumn* columns, int count);

// The row after `after` (-1: from the start) that is selected, or -1.
int NextSelected(HWND list, int after);
std::string CellText(HWND list, int row, int column);
void SetCell(HWND list, int row, int column, const char* text);

}  // namespace viewer
