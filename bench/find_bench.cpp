// find_bench.exe PACK FOLDER: times finding entries in the pack viewer.
//
//  - The filter box: PACK loaded in the viewer, each keystroke of a filter
//    typed into the box, from the key to the entry list painted again; against
//    the same rows put into a plain list view the fast way (redrawing off,
//    LVM_SETITEMCOUNT first), which is what a list holding its rows would pay
//    per keystroke, in the same run.
//  - "Find in all packs...": the packs of FOLDER listed in the viewer, a
//    pattern set in the window, until the search has read every pack and its
//    results are listed; against the pack library's search of the same packs
//    on this thread, no window (the baseline), in the same run, and against
//    reading each pack's whole entry table and matching its names.
// Prints one "key value" line each; times in milliseconds, best of 3.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "viewer/VpkViewerDialog.h"
#include "vpk/PackSearch.h"
#include "win/App.h"

namespace {

using bench::Now;
using bench::Pump;

constexpr int kRuns = 3;

// Each keystroke of `text` typed into the filter box: the slowest and the
// mean, from the key to the list painted; the rows shown at the end.
void TimeTyping(viewer::VpkViewerDialog& viewer, const std::string& text, double& slowest, double& mean, int& rows) {
    HWND box = viewer.Filter().Handle();
    slowest = 0;
    mean = 0;
    for (int run = 0; run < kRuns; ++run) {
        ::SetWindowTextA(box, "");
        Pump();
        double worst = 0, sum = 0;
        for (char c : text) {
            const double start = Now();
            ::SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
            ::UpdateWindow(viewer.EntryList().Handle());
            const double took = Now() - start;
            worst = std::max(worst, took);
            sum += took;
            Pump();
        }
        if (run == 0 || worst < slowest) slowest = worst;
        if (run == 0 || sum / static_cast<double>(text.size()) < mean) mean = sum / static_cast<double>(text.size());
    }
    rows = viewer.EntryList().RowCount();
}

// The rows a filter keeps, put in a plain list view with redrawing off and
// the count given first, then painted.
double TimePlainList(const VpkArchive& archive, const vpk::EntryFilter& filter) {
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 20,
                                  20, 400, 500, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<char*>("#");
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    Pump();
    double best = 1e12;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        std::vector<std::uint32_t> rows;
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
            if (filter.Matches(archive.GetEntry(i)->name)) rows.push_back(i);
        }
        ::SendMessageA(list, LVM_SETITEMCOUNT, rows.size(), LVSICF_NOINVALIDATEALL);
        int at = 0;
        for (std::uint32_t i : rows) {
            char number[16], size[16];
            std::snprintf(number, sizeof number, "%d", static_cast<int>(i + 1));
            std::snprintf(size, sizeof size, "%u", static_cast<unsigned>(archive.GetEntry(i)->dataSize));
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = at;
            item.pszText = number;
            const int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            item.iSubItem = 1;
            item.pszText = const_cast<char*>(archive.GetEntry(i)->name);
            ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 2;
            item.pszText = size;
            ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            ++at;
        }
        ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list, nullptr, TRUE);
        ::UpdateWindow(list);
        best = std::min(best, Now() - start);
        Pump();
    }
    ::DestroyWindow(list);
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: find_bench PACK FOLDER\n");
        return 2;
    }
    win::InitCommonControlClasses();
    const std::string pack = argv[1];
    std::string folder = argv[2];
    if (folder.back() != '\\') folder += '\\';
    VpkArchive archive;
    if (!archive.Open(pack.c_str()) || !archive.ReadDirectory()) {
        std::fprintf(stderr, "find_bench: can't read %s\n", pack.c_str());
        return 1;
    }
    viewer::VpkViewerDialog viewer;
    viewer.Create(nullptr);
    viewer.AddPack(pack.c_str());
    viewer.LoadPackRow(0);
    Pump();

    // A filter narrowing letter by letter to ten rows, and one that keeps
    // every row at each keystroke.
    const struct {
        const char* key;
        const char* text;
    } filters[] = {{"narrow", "entry0000"}, {"broad", "materials/"}};
    std::printf("entries %u\n", static_cast<unsigned>(archive.GetEntryCount()));
    for (const auto& f : filters) {
        double slowest = 0, mean = 0;
        int rows = 0;
        TimeTyping(viewer, f.text, slowest, mean, rows);
        std::printf("filter.%s.rows %d\nfilter.%s.slowest %.1f\nfilter.%s.mean %.1f\n", f.key, rows, f.key, slowest, f.key,
                    mean);
        std::printf("filter.%s.plain %.1f\n", f.key, TimePlainList(archive, vpk::EntryFilter(f.text)));
    }
    ::SetWindowTextA(viewer.Filter().Handle(), "");

    // Every pack of the folder, by name.
    std::vector<std::string> packs;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "*.vpk").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do packs.push_back(folder + found.cFileName);
        while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    std::sort(packs.begin(), packs.end());
    // A second viewer listing the ten packs only.
    viewer::VpkViewerDialog searcher;
    searcher.Create(nullptr);
    for (const std::string& p : packs) searcher.AddPack(p.c_str());
    const std::string pattern = "**/entry0000?.*";
    const vpk::EntryFilter filter(pattern);
    double alone = 1e12, table = 1e12, window = 1e12;
    std::size_t matches = 0, tableMatches = 0, shown = 0;
    searcher.OnFindInPacks();
    viewer::FindInPacksDialog* find = searcher.FindWindow();
    for (int run = 0; run < kRuns; ++run) {
        double start = Now();
        matches = 0;
        for (std::size_t p = 1; p < packs.size() + 1; ++p) {
            vpk::SearchPack(packs[p - 1].c_str(), [&](const char* name) { return filter.Matches(name); },
                            [&](std::uint32_t, const VpkEntry&) { ++matches; });
        }
        alone = std::min(alone, Now() - start);

        // Each pack's directory read whole into the archive's entry table,
        // then each name matched: how the search read a pack before it
        // walked the records without keeping them.
        start = Now();
        tableMatches = 0;
        for (const std::string& p : packs) {
            VpkArchive whole;
            if (!whole.Open(p.c_str()) || !whole.ReadDirectory()) continue;
            for (std::uint32_t i = 0; i < whole.GetEntryCount(); ++i) {
                if (filter.Matches(whole.GetEntry(i)->name)) ++tableMatches;
            }
        }
        table = std::min(table, Now() - start);

        ::SetWindowTextA(find->Pattern().Handle(), "");
        Pump();
        start = Now();
        ::SetWindowTextA(find->Pattern().Handle(), pattern.c_str());
        while (find->IsSearching()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            Pump();
        }
        Pump();
        ::UpdateWindow(find->ResultList().Handle());
        window = std::min(window, Now() - start);
        shown = find->Results().size();
    }
    std::printf("search.packs %u\nsearch.matches %u\nsearch.shown %u\n", static_cast<unsigned>(packs.size()),
                static_cast<unsigned>(matches), static_cast<unsigned>(shown));
    std::printf("search.table.matches %u\n", static_cast<unsigned>(tableMatches));
    std::printf("search.alone %.1f\nsearch.table %.1f\nsearch.window %.1f\n", alone, table, window);
    searcher.DestroyWindow();
    viewer.DestroyWindow();
    return 0;
}
