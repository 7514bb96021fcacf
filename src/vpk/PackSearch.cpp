#include "vpk/PackSearch.h"

#include "vpk/VpkArchive.h"

#include <cstring>
#include <vector>

namespace vpk {
namespace {

// How many entries are looked at between two looks at the stop flag.
constexpr std::uint32_t kStopCheckEvery = 4096;

}  // namespace

EntryFilter::EntryFilter(std::string filterText) : text(std::move(filterText))
{
    if (text.find_first_of("*?") != std::string::npos) {
        pattern.emplace(text);
        return;
    }
    for (char c : text)
        folded.push_back(static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c))));
}

bool EntryFilter::Matches(const char* name) const
{
    if (pattern)
        return pattern->Matches(name);
    return ContainsFolded(name, folded);
}

bool SearchPack(const char* packPath, const EntryWanted& wanted, const EntryFound& found,
                const std::atomic<bool>* stop)
{
    VpkArchive archive;
    if (!archive.Open(packPath))
        return false;
    // The directory is walked record by record, no table kept; what is
    // wanted is kept here (names in one buffer) and handed over only once
    // the whole directory has been read and found sound.
    struct Match {
        std::uint32_t index;
        std::uint32_t nameLength;  // as stored
        std::uint32_t dataOffset;
        std::uint32_t dataSize;
        std::size_t nameAt;        // in `names`, zero-terminated
    };
    std::vector<Match> matches;
    std::string names;
    const bool read = archive.ScanDirectory([&](std::uint32_t i, const VpkEntry& entry) {
        if (stop != nullptr && i % kStopCheckEvery == 0 && stop->load(std::memory_order_relaxed))
            return false;
        if (wanted(entry.name)) {
            matches.push_back({i, entry.nameLength, entry.dataOffset, entry.dataSize, names.size()});
            names.append(entry.name).push_back('\0');
        }
        return true;
    });
    if (!read)
        return false;
    VpkEntry entry{};
    for (const Match& match : matches) {
        const char* name = names.c_str() + match.nameAt;
        const std::size_t length = std::strlen(name);
        std::memcpy(entry.name, name, length);
        std::memset(entry.name + length, 0, sizeof entry.name - length);
        entry.nameLength = match.nameLength;
        entry.dataOffset = match.dataOffset;
        entry.dataSize = match.dataSize;
        found(match.index, entry);
    }
    return true;
}

}  // namespace vpk
