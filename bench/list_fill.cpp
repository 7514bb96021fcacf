// list_fill.exe PACK: times how long the pack viewer takes from a click on a
// pack to its last entry row painted, against a plain list view filled the
// simple way (one row after the other, redrawing on), in the same run.
//
// The simple way grows quadratically under Wine, so it is timed on the first
// 1,000 entries only, and the viewer on a pack of those same 1,000 entries
// too, for a like-for-like ratio. Prints one "key milliseconds" line each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "viewer/VpkViewerDialog.h"
#include "win/App.h"

namespace {

using bench::Now;
using bench::Pump;

constexpr int kRuns = 3;
constexpr std::uint32_t kSimpleRows = 1000;

void Put(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
}

// A pack of the first `count` entries of `archive`, data left out (listing
// never reads it).
bool WriteSmallPack(const VpkArchive& archive, std::uint32_t count, const std::string& path) {
    std::string bytes;
    for (std::uint32_t i = 0; i < count; ++i) {
        const VpkEntry* entry = archive.GetEntry(i);
        Put(bytes, entry->nameLength);
        bytes.append(entry->name, entry->nameLength);
        Put(bytes, entry->dataOffset);
        Put(bytes, entry->dataSize);
    }
    Put(bytes, count);
    Put(bytes, 0);
    bytes.push_back('\0');
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

void ClickPackRow(viewer::VpkViewerDialog& viewer, int row) {
    HWND list = viewer.PackList().Handle();
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    click.hdr.code = static_cast<UINT>(NM_CLICK);
    viewer.Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// Best time of a click on `row` until the entry list is painted; the empty
// pack at row 0 is clicked in between so every run loads afresh.
double TimeViewer(viewer::VpkViewerDialog& viewer, int row) {
    double best = 1e12;
    for (int run = 0; run < kRuns; ++run) {
        ClickPackRow(viewer, 0);
        Pump();
        const double start = Now();
        ClickPackRow(viewer, row);
        ::UpdateWindow(viewer.EntryList().Handle());
        best = std::min(best, Now() - start);
        Pump();
    }
    return best;
}

// A plain report-view list filled row by row with redrawing on.
double TimeSimpleList(const VpkArchive& archive, std::uint32_t rows) {
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 20,
                                  20, 400, 500, nullptr, nullptr, nullptr, nullptr);
    const char* titles[] = {"#", "FILENAME", "SIZE"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<char*>(titles[i]);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    Pump();
    const double start = Now();
    for (std::uint32_t i = 0; i < rows; ++i) {
        char number[16], size[16];
        std::snprintf(number, sizeof number, "%d", static_cast<int>(i + 1));
        std::snprintf(size, sizeof size, "%u", static_cast<unsigned>(archive.GetEntry(i)->dataSize));
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = number;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(archive.GetEntry(i)->name);
        ::SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 2;
        item.pszText = size;
        ::SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
    }
    ::UpdateWindow(list);
    const double took = Now() - start;
    ::DestroyWindow(list);
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: list_fill PACK\n");
        return 2;
    }
    win::InitCommonControlClasses();
    const std::string pack = argv[1];
    const std::string small = pack + ".first1000.vpk";
    const std::string empty = pack + ".empty.vpk";
    VpkArchive archive;
    if (!archive.Open(pack.c_str()) || !archive.ReadDirectory() || archive.GetEntryCount() < kSimpleRows ||
        !WriteSmallPack(archive, kSimpleRows, small) || !WriteSmallPack(archive, 0, empty)) {
        std::fprintf(stderr, "list_fill: can't read %s or write its small packs\n", pack.c_str());
        return 1;
    }

    viewer::VpkViewerDialog viewer;
    viewer.Create(nullptr);
    for (const std::string& p : {empty, pack, small}) viewer.AddPack(p.c_str());
    Pump();
    std::printf("entries %u\n", static_cast<unsigned>(archive.GetEntryCount()));
    std::printf("viewer.all %.1f\n", TimeViewer(viewer, 1));
    std::printf("viewer.first %.1f\n", TimeViewer(viewer, 2));
    std::printf("simple.first %.1f\n", TimeSimpleList(archive, kSimpleRows));
    viewer.DestroyWindow();
    std::remove(small.c_str());
    std::remove(empty.c_str());
    return 0;
}
