// tessaro-cli find FOLDER PATTERN....
#include "Commands.h"

#include "Cli.h"

#include "vpk/PackSearch.h"

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
        vpk::SearchPack(
            packPath.c_str(), [&](const char* name) { return MatchAny(patterns, name); },
            [&](std::uint32_t index, const VpkEntry& entry) {
                out.Put(packPath).Put('\t').Put(index + 1).Put('\t').Put(entry.name).Put('\t').Put(entry.dataSize);
                out.EndLine();
            });
    }
    out.Flush();
    ReportUnmatched(patterns);
    out.Finish();
    return ExitStatus();
}

}  // namespace cli
