// Extracting many entries of one pack, on two threads when that is safe, with
// the archive's messages shown exactly as one thread would show them: each
// entry's messages in their order, entries in the order given.
//
// Two threads are used when a second archive open on the same pack is given
// and no two entries can touch the same file or folder: no target twice, none
// a folder of another (names compared as any platform may resolve them).
// Otherwise, and for a few entries, one thread does it all.
#pragma once

#include "vpk/VpkArchive.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// Called on the calling thread after the messages of the done-th entry were
// shown.
using ExtractionProgress = std::function<void(std::uint32_t done, std::uint32_t total)>;

// True when files of these names may be written in any order on any thread:
// no two can resolve to the same file or folder, whichever file system holds
// them ("d/x" and "d//x", "A/b" and "a/b", "x." and "x" are one file; a name
// with a byte above 127 may be one file with any other), and no folder is
// spelled two ways ("A/x" and "a/y": where case folds, the entry that makes
// the folder first would name it).
bool CanShareThreads(const std::vector<std::string_view>& names);

// Extracts each entry at indexes, in order, to its own name below the current
// directory, asking for each folder once. helper: a second archive with the
// same pack and directory loaded, or nullptr. Returns how many threads
// extracted entries (each took part, though one may have found none left).
unsigned ExtractEntries(VpkArchive& archive, VpkArchive* helper, const std::vector<std::uint32_t>& indexes,
                        const ExtractionProgress& progress);
