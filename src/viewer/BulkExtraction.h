// Extracting many entries of one pack below a chosen folder, on a thread of
// its own, for the viewer's "Extract to..." and "Extract all to...".
//
// The thread opens the pack afresh, so the viewer's own archive stays free
// for the window, and runs the entries as the command-line tool's "extract"
// does: on two threads where that is safe (a second archive on the pack for
// the second one), handled in the order given. Each entry's messages are
// collected instead of shown and become one failure per entry, in that
// order. Cancel stops the run after the entries being written, which are
// always finished or removed, never left half-written.
//
//     BulkExtraction run(pack, {{0, "a/b.txt"}, {7, "c.dlg"}}, "C:\\out\\");
//     while (!run.Finished()) { show run.Done() of run.Total(); }
//     std::string summary = ExtractionSummary(run);   // empty: all written
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "vpk/HeldMessages.h"

namespace viewer {

// One entry to write: its number in the pack and its name as listed.
struct ExtractionItem {
    std::uint32_t index;
    std::string name;
};

struct ExtractionFailure {
    std::string name;
    std::string reason;
};

class BulkExtraction {
public:
    // For tests: called before each entry after the first is taken, with the
    // count taken so far (every one of them handled) and the run's cancel
    // request, before the request is looked at and while no entry can be
    // taken, so a test can hold the run at a known entry. Taken by each run
    // when it starts; none unless set.
    using WorkerHold = std::function<void(std::size_t done, const std::atomic<bool>& cancelRequested)>;
    static void SetWorkerHold(WorkerHold hold);

    // Starts at once. `folder` exists and ends in a separator.
    BulkExtraction(std::string packPath, std::vector<ExtractionItem> items, std::string folder);
    // Cancels and waits for the entry being written.
    ~BulkExtraction();
    BulkExtraction(const BulkExtraction&) = delete;
    BulkExtraction& operator=(const BulkExtraction&) = delete;

    void Cancel() { cancelRequested = true; }
    // Returns once the run has finished (at once after Cancel, but for the
    // entries being written).
    void Wait();
    // Entries handled so far, written or failed: the first Done() of them.
    std::size_t Done() const { return done.load(); }
    std::size_t Total() const { return items.size(); }
    bool Finished() const { return finished.load(); }

    // Once Finished: whether it stopped before the last entry, and what failed.
    bool Cancelled() const { return Done() < Total(); }
    const std::vector<ExtractionFailure>& Failures() const { return failures; }
    const std::string& Folder() const { return folder; }
    // How many threads wrote entries (1 or 2).
    unsigned Threads() const { return threads; }

private:
    void Run();

    const std::string packPath;
    const std::vector<ExtractionItem> items;
    const std::string folder;
    std::vector<ExtractionFailure> failures;  // the worker's until Finished
    unsigned threads = 0;                     // likewise
    std::atomic<std::size_t> done{0};
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelRequested{false};
    const WorkerHold hold;
    // Put in place before the thread starts, taken away after it ends.
    vpk::HoldingInstalled holding;
    std::thread worker;
};

// "1,204": a count with thousands separated as the summaries write them.
std::string WithThousands(std::size_t count);
// "3 of 1,204 entries" ("0 of 1 entry"), as the progress and the summary
// count.
std::string CountOfEntries(std::size_t count, std::size_t total);

// What a finished run tells the user: how far a cancelled run got, and how
// many entries could not be written, with the first few names and reasons.
// Empty when every entry was written.
std::string ExtractionSummary(const BulkExtraction& run);

}  // namespace viewer
