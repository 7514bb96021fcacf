#include "vpk/Extractor.h"

#include "vpk/HeldMessages.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace vpk {
namespace {

// The file a name lands in, as every platform may resolve it: "\" a
// separator, empty and "." parts dropped, dots and spaces at the end of a part
// dropped and, with foldCase, ASCII case folded (as Windows does). Empty for
// a name holding a byte above 127, which a file system may fold in ways of
// its own ("é" and "É" are one file on Windows).
std::string TargetKey(std::string_view name, bool foldCase = true)
{
    std::string key;
    std::size_t partBegin = 0;
    for (std::size_t i = 0;; ++i) {
        const char c = i < name.size() ? name[i] : '\0';
        if (static_cast<unsigned char>(c) > 127)
            return std::string();
        if (c == '\0' || c == '/' || c == '\\') {
            while (key.size() > partBegin && (key.back() == '.' || key.back() == ' '))
                key.pop_back();
            if (key.size() == partBegin && partBegin > 0)
                key.pop_back();  // an empty part: its separator goes too
            if (c == '\0')
                return key;
            if (!key.empty())
                key.push_back('/');
            partBegin = key.size();
            continue;
        }
        key.push_back(foldCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
}

// The names of the entries at indexes; a directory pack's entries give none,
// as they only make folders, under the run's lock.
std::vector<std::string_view> FileNames(const VpkArchive& archive, const std::vector<std::uint32_t>& indexes)
{
    std::vector<std::string_view> names;
    if (archive.IsDirectoryPack())
        return names;
    names.reserve(indexes.size());
    for (const std::uint32_t index : indexes) {
        if (const VpkEntry* entry = archive.GetEntry(index))
            names.emplace_back(entry->name);
    }
    return names;
}

}  // namespace

bool CanShareThreads(const std::vector<std::string_view>& names)
{
    std::unordered_set<std::string> files;
    // Each folder's key, and the spelling it is made with: where case folds,
    // whichever entry makes the folder first names it.
    std::unordered_map<std::string, std::string> folders;
    files.reserve(names.size());
    for (const std::string_view name : names) {
        const std::string key = TargetKey(name);
        // "~" may be a Windows short name standing for another one. An empty
        // key is no file (refused the same on any thread), or a name that
        // could be any.
        if (key.empty() && !name.empty())
            return false;
        if (key.find('~') != std::string::npos || !files.insert(key).second)
            return false;
        const std::string spelled = TargetKey(name, false);
        for (std::size_t slash = key.find('/'); slash != std::string::npos; slash = key.find('/', slash + 1)) {
            const auto [found, fresh] = folders.emplace(key.substr(0, slash), spelled.substr(0, slash));
            if (!fresh && found->second != std::string_view(spelled).substr(0, slash))
                return false;
        }
    }
    for (const auto& folder : folders) {
        if (files.count(folder.first) != 0)
            return false;
    }
    return true;
}


bool SecondThreadWanted()
{
    const char* threads = std::getenv("TESSARO_EXTRACT_THREADS");
    if (threads != nullptr && std::strcmp(threads, "1") == 0)
        return false;
    if (threads != nullptr && std::strcmp(threads, "2") == 0)
        return true;
    return std::thread::hardware_concurrency() != 1;
}

void ExtractEntry(VpkArchive& archive, std::uint32_t index, ExtractionRun& run)
{
    const VpkEntry* entry = archive.GetEntry(index);
    archive.Extract(index, entry != nullptr ? entry->name : "", &run);
}

namespace {

// True when the helper reads the archive's own file and lists the chosen
// entries as it does: the same pack, not another one put in its place between
// the two openings (whose entries may be listed alike and hold other bytes).
bool SameEntries(VpkArchive& archive, VpkArchive& helper, const std::vector<std::uint32_t>& indexes)
{
    if (!archive.ReadsSameFileAs(helper))
        return false;
    if (archive.GetEntryCount() != helper.GetEntryCount() || archive.IsDirectoryPack() != helper.IsDirectoryPack())
        return false;
    for (const std::uint32_t index : indexes) {
        const VpkEntry* mine = archive.GetEntry(index);
        const VpkEntry* its = helper.GetEntry(index);
        if (mine == nullptr ? its != nullptr : (its == nullptr || std::memcmp(mine, its, sizeof *mine) != 0))
            return false;
    }
    return true;
}

// Entries handed out one at a time to the threads; each entry's messages are
// handed on once every entry before it has been.
class SharedExtraction {
public:
    SharedExtraction(const std::vector<std::uint32_t>& chosen, ExtractionRun& extractionRun,
                     const ExtractionSteps& callerSteps)
        : indexes(chosen), run(extractionRun), steps(callerSteps), slots(chosen.size())
    {
    }

    // Takes entries until none is left or the run is stopped.
    void Work(VpkArchive& archive)
    {
        ++threads;
        for (std::size_t n; (n = Take()) < slots.size();) {
            std::vector<std::string> texts;
            {
                HeldMessages held;
                if (steps.extract)
                    steps.extract(archive, n);
                else
                    ExtractEntry(archive, indexes[n], run);
                texts.swap(held.texts);
            }
            HandOn(n, std::move(texts));
        }
    }

    unsigned Threads() const { return threads; }

private:
    // The next entry's number, or the count when none is to be taken.
    std::size_t Take()
    {
        const std::lock_guard<std::mutex> hold(takeLock);
        if (taken < slots.size() && (!steps.mayTake || steps.mayTake(taken)))
            return taken++;
        taken = slots.size();  // stopped: no thread asks again
        return taken;
    }

    void HandOn(std::size_t n, std::vector<std::string> texts)
    {
        const std::lock_guard<std::mutex> hold(handLock);
        slots[n].texts = std::move(texts);
        slots[n].done = true;
        for (; handed < slots.size() && slots[handed].done; ++handed) {
            if (steps.handled)
                steps.handled(handed, slots[handed].texts);
            std::vector<std::string>().swap(slots[handed].texts);
        }
    }

    struct Slot {
        std::vector<std::string> texts;
        bool done = false;
    };

    const std::vector<std::uint32_t>& indexes;
    ExtractionRun& run;
    const ExtractionSteps& steps;
    std::vector<Slot> slots;
    std::atomic<unsigned> threads{0};
    std::mutex takeLock;
    std::size_t taken = 0;
    std::mutex handLock;
    std::size_t handed = 0;
};

}  // namespace

unsigned ExtractEntries(VpkArchive& archive, VpkArchive* helper, const std::vector<std::uint32_t>& indexes,
                        ExtractionRun& run, const ExtractionSteps& steps)
{
    const bool twoThreads = helper != nullptr && indexes.size() >= kParallelFrom &&
                            SameEntries(archive, *helper, indexes) && CanShareThreads(FileNames(archive, indexes));
    // Installed here, before the second thread starts and after it ends, so
    // the process-wide sink never changes while both threads run.
    const HoldingInstalled holding;
    SharedExtraction shared(indexes, run, steps);
    std::thread second;
    if (twoThreads) {
        try {
            second = std::thread([&shared, helper] { shared.Work(*helper); });
        } catch (const std::system_error&) {
            // No second thread to be had: this one takes every entry.
        }
    }
    shared.Work(archive);
    if (second.joinable())
        second.join();
    return shared.Threads();
}

}  // namespace vpk
