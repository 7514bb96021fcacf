#include "Extractor.h"

#include "vpk/ExtractionRun.h"
#include "vpk/HeldMessages.h"
#include "vpk/MessageSink.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace {

// Below the threshold a second thread costs more than it brings.
constexpr std::size_t kParallelFrom = 64;

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

namespace {

void ExtractOne(VpkArchive& archive, std::uint32_t index, vpk::ExtractionRun& run)
{
    const VpkEntry* entry = archive.GetEntry(index);
    archive.Extract(index, entry != nullptr ? entry->name : "", &run);
}

void ShowAll(const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        vpk::ShowMessage(text.c_str());
}

// Entries handed out one at a time to two threads; the calling thread shows
// each entry's kept messages once every entry before it has been shown.
class SharedExtraction {
public:
    SharedExtraction(const std::vector<std::uint32_t>& chosen, const ExtractionProgress& onProgress)
        : indexes(chosen), progress(onProgress), slots(chosen.size())
    {
    }

    // Takes entries until none is left.
    void Work(VpkArchive& archive)
    {
        ++threads;
        vpk::HeldMessages held;
        for (std::size_t n; (n = next.fetch_add(1)) < slots.size();) {
            ExtractOne(archive, indexes[n], run);
            {
                const std::lock_guard<std::mutex> hold(lock);
                slots[n].texts.swap(held.texts);
                slots[n].done = true;
            }
            held.texts.clear();
            finished.notify_one();
        }
    }

    // Shows what is ready, in order; with wait, until the last entry.
    void ShowReady(bool wait)
    {
        while (shown < slots.size()) {
            std::vector<std::string> texts;
            {
                std::unique_lock<std::mutex> hold(lock);
                if (wait)
                    finished.wait(hold, [this] { return slots[shown].done; });
                else if (!slots[shown].done)
                    return;
                texts.swap(slots[shown].texts);
            }
            ShowAll(texts);
            ++shown;
            progress(static_cast<std::uint32_t>(shown), static_cast<std::uint32_t>(slots.size()));
        }
    }

    unsigned Threads() const { return threads; }

    // The calling thread's share: entries, and the showing between them.
    void WorkAndShow(VpkArchive& archive)
    {
        ++threads;
        for (;;) {
            const std::size_t n = next.fetch_add(1);
            if (n >= slots.size())
                break;
            {
                vpk::HeldMessages held;
                ExtractOne(archive, indexes[n], run);
                const std::lock_guard<std::mutex> hold(lock);
                slots[n].texts.swap(held.texts);
                slots[n].done = true;
            }
            ShowReady(false);
        }
        ShowReady(true);
    }

private:
    struct Slot {
        std::vector<std::string> texts;
        bool done = false;
    };

    const std::vector<std::uint32_t>& indexes;
    const ExtractionProgress& progress;
    std::vector<Slot> slots;
    std::atomic<std::size_t> next{0};
    std::atomic<unsigned> threads{0};
    std::size_t shown = 0;
    std::mutex lock;
    std::condition_variable finished;
    vpk::ExtractionRun run;
};

}  // namespace

unsigned ExtractEntries(VpkArchive& archive, VpkArchive* helper, const std::vector<std::uint32_t>& indexes,
                        const ExtractionProgress& progress)
{
    if (helper != nullptr && indexes.size() >= kParallelFrom && CanShareThreads(FileNames(archive, indexes))) {
        // Installed here, before the second thread starts and after it ends,
        // so the process-wide sink never changes while both threads run.
        const vpk::HoldingInstalled holding;
        SharedExtraction shared(indexes, progress);
        std::thread second;
        try {
            second = std::thread([&shared, helper] { shared.Work(*helper); });
        } catch (const std::system_error&) {
            // No second thread to be had: this one takes every entry.
        }
        shared.WorkAndShow(archive);
        if (second.joinable())
            second.join();
        return shared.Threads();
    }
    vpk::ExtractionRun run;
    for (std::size_t n = 0; n < indexes.size(); ++n) {
        ExtractOne(archive, indexes[n], run);
        progress(static_cast<std::uint32_t>(n + 1), static_cast<std::uint32_t>(indexes.size()));
    }
    return 1;
}
