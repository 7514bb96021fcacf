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
// Use one run for one go over a folder tree only: a folder removed behind the
// run's back is not created again.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace vpk {

class ExtractionRun {
public:
    // True the first time a folder path is named in this run.
    bool FirstRequest(std::string_view folder) { return requested.emplace(folder).second; }

private:
    std::unordered_set<std::string> requested;
};

}  // namespace vpk
