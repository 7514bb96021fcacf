// tessaro-cli extract PACK [ENTRY...] [-C DIR].
#include "Commands.h"

#include "Cli.h"

#include "vpk/Extractor.h"
#include "vpk/HeldMessages.h"
#include "vpk/MessageSink.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace cli {

int Extract(const char* pack, std::vector<EntrySelector>& selectors, const char* folder)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    std::vector<std::uint32_t> chosen = Resolve(archive, selectors);
    if (!selectors.empty() && chosen.empty())
        return ExitStatus();  // nothing matched: nothing to do
    if (selectors.empty()) {
        chosen.resize(archive.GetEntryCount());
        for (std::uint32_t i = 0; i < chosen.size(); ++i)
            chosen[i] = i;
    }
    // A second archive on the same pack lets a second thread extract; it is
    // opened while the pack's path still holds, and quietly: without it the
    // work is done on one thread all the same.
    VpkArchive helper;
    bool haveHelper = false;
    if (chosen.size() >= vpk::kParallelFrom && SecondThreadWanted()) {
        vpk::HeldMessages quiet;
        haveHelper = Load(helper, pack);
    }
    // The pack is open, so its own path no longer matters.
    if (folder != nullptr && !ChangeDirectory(folder)) {
        messages.Complain(std::string("can't enter folder ") + folder);
        return ExitStatus();
    }
    const bool progress = chosen.size() > 1 && IsTerminal(stderr);
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextUpdate = Clock::now();
    // Each entry's messages, then the progress, in the order of the entries.
    vpk::ExtractionRun run;
    vpk::ExtractionSteps steps;
    steps.handled = [&](std::size_t n, const std::vector<std::string>& texts) {
        for (const std::string& text : texts)
            vpk::ShowMessage(text.c_str());
        if (progress && Clock::now() >= nextUpdate) {
            char line[64];
            std::snprintf(line, sizeof line, "Extracting %u of %u entries", static_cast<unsigned>(n + 1),
                          static_cast<unsigned>(chosen.size()));
            messages.ShowProgress(line);
            nextUpdate = Clock::now() + std::chrono::milliseconds(100);
        }
    };
    vpk::ExtractEntries(archive, haveHelper ? &helper : nullptr, chosen, run, steps);
    messages.ClearProgress();
    return ExitStatus();
}

}  // namespace cli
