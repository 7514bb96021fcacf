// Extracting many entries of one pack, on two threads when that is safe, with
// the archive's messages shown exactly as one thread would show them: each
// entry's messages in their order, entries in the order given.
//
// Two threads are used when a second archive open on the same pack is given
// and no two entries can touch the same file or folder: no target twice, none
// a folder of another (names compared as Windows compares them). Otherwise,
// and for a few entries, one thread does it all.
#pragma once

#include "vpk/VpkArchive.h"

#include <cstdint>
#include <functional>
#include <vector>

// Called on the calling thread after the messages of the done-th entry were
// shown.
using ExtractionProgress = std::function<void(std::uint32_t done, std::uint32_t total)>;

// Extracts each entry at indexes, in order, to its own name below the current
// directory, asking for each folder once. helper: a second archive with the
// same pack and directory loaded, or nullptr.
void ExtractEntries(VpkArchive& archive, VpkArchive* helper, const std::vector<std::uint32_t>& indexes,
                    const ExtractionProgress& progress);
