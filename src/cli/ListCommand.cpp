// tessaro-cli list PACK [ENTRY...].
#include "Commands.h"

#include "Cli.h"

#include "vpk/Messages.h"

#include <cstdint>
#include <vector>

namespace cli {

int List(const char* pack, std::vector<EntrySelector>& selectors)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    const std::uint32_t count = archive.GetEntryCount();
    // Without selectors every entry; with them, those any selector names.
    std::vector<bool> chosen(selectors.empty() ? 0 : count, false);
    for (const EntrySelector& selector : selectors) {
        if (selector.isNumber && selector.index >= count)
            vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
        else if (selector.isNumber)
            chosen[selector.index] = true;
    }
    for (std::uint32_t i = 0; i < count && !selectors.empty(); ++i) {
        if (MatchAny(selectors, archive.GetEntry(i)->name))
            chosen[i] = true;
    }
    ReportUnmatched(selectors);
    Output out;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!selectors.empty() && !chosen[i])
            continue;
        const VpkEntry* entry = archive.GetEntry(i);
        out.Put(i + 1).Put('\t').Put(entry->name).Put('\t').Put(entry->dataSize).Put('\t');
        out.Put(archive.GetEntryType(i));
        out.EndLine();
    }
    out.Finish();
    return ExitStatus();
}

}  // namespace cli
