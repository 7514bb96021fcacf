// One extraction run: many entries written one after the other, as the
// command-line tool's "extract" does. The run remembers each folder it has
// asked the platform to create, so a folder shared by thousands of entries is
// created once, not once per entry. Whether that creation succeeded does not
// matter, just as it doesn't when every entry asks again: a folder that could
// not be made then cannot be made a moment later either, and no message is
// shown for folders in any case.
//
//   vpk::ExtractionRun run;
//   for (...) archive.Extract(index, name, &run);
//
// The run also keeps what it found where each folder should be: a link there
// (which extraction never writes through) stays refused for the whole run.
//
// Archives on several threads may share one run: a folder is created under
// the run's lock, so an entry that finds its folder asked for finds it made.
// Use one run for one go over a folder tree only: a folder removed behind the
// run's back is not created again.
//
// A run may extract below a folder of its own instead of the current
// directory: entry names are checked as always, then written below it.
//
//   vpk::ExtractionRun run("C:\\mods\\out\\");   // ends in a separator
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace vpk {

class ExtractionRun {
public:
    ExtractionRun() = default;
    // Entries land below `folder`, which exists and ends in a separator.
    explicit ExtractionRun(std::string folder) : base(std::move(folder)) {}

    // Put in front of every target of the run; empty for the current directory.
    const std::string& Base() const { return base; }

    // Calls make() the first time a folder path is named in this run, and
    // keeps what it returned (whether the folder may be written into): the
    // answer for this folder, now and later.
    template <typename Make>
    bool MakeOnce(std::string_view folder, Make make)
    {
        const std::lock_guard<std::mutex> hold(lock);
        const auto found = requested.find(std::string(folder));
        if (found != requested.end())
            return found->second;
        const bool usable = make();
        requested.emplace(folder, usable);
        return usable;
    }

    // True when the folder path was named before and found usable; then so
    // were the folders above it, which were named on the way down.
    bool NamedAndUsable(std::string_view folder)
    {
        const std::lock_guard<std::mutex> hold(lock);
        const auto found = requested.find(std::string(folder));
        return found != requested.end() && found->second;
    }

private:
    const std::string base;
    std::mutex lock;
    std::unordered_map<std::string, bool> requested;
};

}  // namespace vpk
