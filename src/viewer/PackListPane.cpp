#include "viewer/PackListPane.h"

#include "win/Format.h"

namespace viewer {
namespace {

constexpr ListColumn kPackColumns[] = {{"VPK FILE", 250}, {"# ENTRIES", 50}, {"TYPE", 100}};

}  // namespace

void PackListPane::Init(win::Font& font) {
    InitListLook(*this, font, kPackColumns, 3);
}

void PackListPane::AppendPack(const char* path, std::uint32_t entryCount, bool directoryPack) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(path);
    const int row = static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    SetCell(Handle(), row, 1, win::Format("%u", static_cast<unsigned>(entryCount)).c_str());
    SetCell(Handle(), row, 2, directoryPack ? "Directory pack" : "File pack");
}

int PackListPane::RowCount() const {
    return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

void PackListPane::SelectRow(int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

std::vector<std::string> PackListPane::Paths() const {
    std::vector<std::string> paths;
    for (int row = 0; row < RowCount(); ++row) paths.push_back(CellText(Handle(), row, 0));
    return paths;
}

std::string PackListPane::SelectedPath() const {
    const int row = NextSelected(Handle(), -1);
    return row >= 0 ? CellText(Handle(), row, 0) : std::string();
}

}  // namespace viewer
