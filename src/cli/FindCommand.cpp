// tessaro-cli find FOLDER PATTERN....
#include "Commands.h"

#include "Cli.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

int Find(const std::string& folder, std::vector<EntrySelector>& patterns)
{
    std::vector<std::string> packPaths;
    if (!FolderPacks(folder, packPaths))
        return ExitStatus();
    Output out;
    for (const std::string& packPath : packPaths) {
        out.Flush();  // lines before this pack's messages
        VpkArchive archive;
        if (!Load(archive, packPath.c_str()))
            continue;
        const std::uint32_t count = archive.GetEntryCount();
        for (std::uint32_t i = 0; i < count; ++i) {
            const VpkEntry* entry = archive.GetEntry(i);
            if (!MatchAny(patterns, entry->name))
                continue;
            out.Put(packPath).Put('\t').Put(i + 1).Put('\t').Put(entry->name).Put('\t').Put(entry->dataSize);
            out.EndLine();
        }
    }
    out.Flush();
    ReportUnmatched(patterns);
    out.Finish();
    return ExitStatus();
}

}  // namespace cli
