#include "vpk/PackSearch.h"

#include "vpk/VpkArchive.h"

namespace vpk {
namespace {

unsigned char Fold(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

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
        folded.push_back(static_cast<char>(Fold(c)));
}

bool EntryFilter::Matches(const char* name) const
{
    if (pattern)
        return pattern->Matches(name);
    if (folded.empty())
        return true;
    const char first = folded[0];
    const std::size_t length = folded.size();
    for (const char* p = name; *p != '\0'; ++p) {
        if (static_cast<char>(Fold(*p)) != first)
            continue;
        std::size_t i = 1;
        while (i < length && p[i] != '\0' && static_cast<char>(Fold(p[i])) == folded[i])
            ++i;
        if (i == length)
            return true;
        if (p[i] == '\0')
            return false;  // what is left of the name is shorter than the text
    }
    return false;
}

bool SearchPack(const char* packPath, const EntryWanted& wanted, const EntryFound& found,
                const std::atomic<bool>* stop)
{
    VpkArchive archive;
    if (!archive.Open(packPath) || !archive.ReadDirectory())
        return false;
    const std::uint32_t count = archive.GetEntryCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (stop != nullptr && i % kStopCheckEvery == 0 && stop->load(std::memory_order_relaxed))
            break;
        const VpkEntry* entry = archive.GetEntry(i);
        if (wanted(entry->name))
            found(i, *entry);
    }
    return true;
}

}  // namespace vpk
