// Extracting many entries of one pack, on two threads when that is safe, with
// each entry's messages handed back exactly as one thread would give them:
// each entry's messages in their order, entries in the order given. The
// command-line tool's "extract" and the viewer's "Extract to..." both run
// their entries through it.
//
// Two threads are used when a second archive open on the same pack is given
// and no two entries can touch the same file or folder: no target twice, none
// a folder of another (names compared as any platform may resolve them).
// Otherwise, and for a few entries, one thread does it all.
//
//   vpk::ExtractionRun run;
//   vpk::ExtractionSteps steps;
//   steps.handled = [](std::size_t n, std::vector<std::string>& messages) { show them };
//   vpk::ExtractEntries(archive, &helper, indexes, run, steps);
#pragma once

#include "vpk/ExtractionRun.h"
#include "vpk/VpkArchive.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

// Below this many entries a second thread costs more than it brings.
constexpr std::size_t kParallelFrom = 64;

// TESSARO_EXTRACT_THREADS=1 keeps extraction on one thread (for measuring
// what the second one brings); =2 allows a second one even on a host of one
// CPU. Otherwise a second thread is used where a second CPU is.
bool SecondThreadWanted();

// True when files of these names may be written in any order on any thread:
// no two can resolve to the same file or folder, whichever file system holds
// them ("d/x" and "d//x", "A/b" and "a/b", "x." and "x" are one file; a name
// with a byte above 127 may be one file with any other), and no folder is
// spelled two ways ("A/x" and "a/y": where case folds, the entry that makes
// the folder first would name it).
bool CanShareThreads(const std::vector<std::string_view>& names);

// Writes the entry at index to its own name within the run.
void ExtractEntry(VpkArchive& archive, std::uint32_t index, ExtractionRun& run);

// What a caller may change in a run of ExtractEntries; each may be left empty.
struct ExtractionSteps {
    // Handles the n-th entry (indexes[n]) with `archive`, the caller's or the
    // helper; its messages are kept for `handled`. Empty: ExtractEntry.
    std::function<void(VpkArchive& archive, std::size_t n)> extract;
    // Asked before the n-th entry is taken, while no other entry can be;
    // false stops the run: no entry is taken after. Empty: every one is.
    std::function<bool(std::size_t n)> mayTake;
    // Called once per entry taken, in the order of the entries, with the
    // messages it showed, as soon as it and every entry before it are done.
    // Never two at once; on either thread, where messages go as they would
    // there without the run.
    std::function<void(std::size_t n, std::vector<std::string>& messages)> handled;
};

// Extracts the entries at indexes in `run`. helper: a second archive with the
// same pack and directory loaded, or nullptr (one whose entries differ is not
// used). Returns once every entry taken is handled, with how many threads
// extracted entries (each took part, though one may have found none left).
unsigned ExtractEntries(VpkArchive& archive, VpkArchive* helper, const std::vector<std::uint32_t>& indexes,
                        ExtractionRun& run, const ExtractionSteps& steps);

}  // namespace vpk
