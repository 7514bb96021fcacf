// Finding entries by name: the filter rule of the viewer's filter box and of
// its "Find in all packs...", and the walk over a pack's directory that
// `tessaro-cli find` and that window share.
//
//   vpk::EntryFilter filter("isaac");        // names holding "isaac", any case
//   vpk::SearchPack(path, [&](const char* name) { return filter.Matches(name); },
//                   [&](std::uint32_t index, const VpkEntry& entry) { ... });
//
// Nothing here owns a window or a thread: a caller on another thread passes a
// stop flag and holds the archive's messages itself (HeldMessages.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "vpk/EntryPattern.h"
#include "vpk/VpkFormat.h"

namespace vpk {

// What a filter text keeps. Empty: every name. Holding "*" or "?": the names
// the pattern matches, as on the command line (whole names). Otherwise: the
// names that contain the text, ASCII letters in either case.
class EntryFilter {
public:
    explicit EntryFilter(std::string text = {});

    bool IsEmpty() const { return text.empty(); }
    const std::string& Text() const { return text; }
    bool Matches(const char* name) const;

private:
    std::string text;
    std::string folded;                  // the text, ASCII letters lower-cased
    std::optional<EntryPattern> pattern; // when the text holds a wildcard
};

using EntryWanted = std::function<bool(const char* name)>;
using EntryFound = std::function<void(std::uint32_t index, const VpkEntry& entry)>;

// Reads the directory of the pack at `packPath` and calls `found` for each
// entry `wanted` takes, in directory order. False when the pack can't be
// opened or its directory read: the archive has said why through the message
// sink, and `found` was not called. When `stop` becomes true the walk ends
// early (true: what was found is right, only not all of it).
bool SearchPack(const char* packPath, const EntryWanted& wanted, const EntryFound& found,
                const std::atomic<bool>* stop = nullptr);

}  // namespace vpk
