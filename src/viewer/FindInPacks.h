// "Find in all packs...": the viewer's search of every pack it lists.
//
// FindInPacksDialog (dialog 170) is a small modeless window owned by a
// viewer: a pattern box, the entries found (PACK, #, FILENAME, SIZE) and a
// status line. Each change of the pattern starts a search afresh on a worker
// thread (PackSearchRun), which reads the packs one after the other and hands
// over what it found after each pack, so results appear while packs are read.
// Escape stops a running search (closes the window when none runs); closing
// stops it too. Enter or a double-click on a result hands the result's pack
// and entry to the viewer. Packs that can't be read are only counted on the
// status line: their messages are held, never shown in boxes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "viewer/FilterBox.h"
#include "viewer/ListRows.h"
#include "vpk/HeldMessages.h"
#include "win/Dialog.h"

namespace viewer {

struct FoundEntry {
    std::size_t pack;  // in the list of packs searched
    std::uint32_t index;
    std::string name;
    std::uint32_t size;
};

// One search of a list of packs on a thread of its own. The worker posts
// `message` to `notify` after a pack when no notice is waiting already; the
// window then takes what is new. (A second worker was measured, see
// bench/README.md: the search is a small part of the window's time, and on
// shared cores no gain showed.)
class PackSearchRun {
public:
    PackSearchRun(std::vector<std::string> packs, const std::string& filterText, HWND notify, UINT message);
    // Stops the worker and waits for it.
    ~PackSearchRun();
    PackSearchRun(const PackSearchRun&) = delete;
    PackSearchRun& operator=(const PackSearchRun&) = delete;

    void Stop();
    // Moves the entries found since the last call to the end of `into`.
    void TakeFound(std::vector<FoundEntry>& into);
    std::size_t PacksRead() const { return packsRead; }
    std::size_t Unreadable() const { return unreadable; }
    bool Finished() const { return finished; }
    bool Stopped() const { return stop; }
    const std::vector<std::string>& Packs() const { return packs; }

private:
    void Work(const std::string& filterText, HWND notify, UINT message);

    const std::vector<std::string> packs;
    vpk::HoldingInstalled holding;  // installed before the worker starts, dropped after it ends
    std::mutex lock;
    std::vector<FoundEntry> found;  // under `lock`
    std::atomic<bool> noticeWaiting{false};
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> packsRead{0};
    std::atomic<std::size_t> unreadable{0};
    std::atomic<bool> finished{false};
    std::thread worker;
};

// The list of results: a virtual skinned list over the window's results.
class FoundEntriesList : public skin::SkinListCtrl {
public:
    FoundEntriesList(const std::vector<FoundEntry>& found, const std::vector<std::string>& packs)
        : results(found), packPaths(packs) {}
    void Init(win::Font& font);

protected:
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    const std::vector<FoundEntry>& results;
    const std::vector<std::string>& packPaths;
};

class FindInPacksDialog : public win::Dialog {
public:
    // Called with a result's pack path, entry index and name when it is chosen.
    using ShowResult = std::function<void(const std::string& pack, std::uint32_t index, const std::string& name)>;

    explicit FindInPacksDialog(ShowResult show);
    ~FindInPacksDialog() override;

    // The packs the next search reads, in order; a search running for the
    // pattern starts again over them.
    void SetPacks(std::vector<std::string> paths);
    // Shows the window with the focus in the pattern box, its text selected.
    void Open();

    FilterBox& Pattern() { return pattern; }
    FoundEntriesList& ResultList() { return list; }
    const std::vector<FoundEntry>& Results() const { return results; }
    // Until the last of a search's results is listed.
    bool IsSearching() const { return searching; }
    std::string StatusText() const;
    // Hands the selected result (or the first) to the viewer.
    void ShowSelected();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

private:
    void StartSearch();
    void OnFound();
    void Layout();
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnNotify(const NMHDR& header);
    void OnCancel();

    ShowResult show;
    FilterBox pattern;
    std::vector<FoundEntry> results;
    std::vector<std::string> packs;        // the packs of the last search started
    std::vector<std::string> nextPacks;    // the packs the next search reads
    FoundEntriesList list{results, packs};
    win::Font listFont;
    std::unique_ptr<PackSearchRun> run;
    bool searching = false;
};

}  // namespace viewer
