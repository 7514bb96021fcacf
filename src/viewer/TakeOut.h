// Writing entries to a temporary folder for the shell to take (a drag, a
// copy, an open), on the extraction engine's thread while the caller waits.
// A run that takes more than half a second shows the progress window, whose
// Cancel stops it; names are checked as every extraction checks them, so
// nothing lands outside the folder.
//
//     TakenOut out = ExtractAndWait(viewer, packPath, items, "C:\\temp\\run\\3\\");
//     offer(out.offered);        // "C:\\temp\\run\\3\\models", "...\\3\\a.txt"
//     if (!out.summary.empty()) tell(out.summary);
#pragma once

#include <string>
#include <vector>

#include "viewer/BulkExtraction.h"
#include "win/Win32.h"

namespace viewer {

struct TakenOut {
    // Below the folder, the first component of each entry written, once, in
    // list order: what keeps the entries' folders when it is copied.
    std::vector<std::string> offered;
    // Each entry written, as a full path, in list order.
    std::vector<std::string> written;
    // What went wrong, as "Extract to..." says it; empty when all was written.
    std::string summary;
};

// `folder` exists and ends in "\". `owner` and the windows owning it are
// disabled while the progress window shows.
TakenOut ExtractAndWait(HWND owner, const std::string& packPath, std::vector<ExtractionItem> items,
                        const std::string& folder);

}  // namespace viewer
