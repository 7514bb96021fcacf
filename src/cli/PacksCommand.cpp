// tessaro-cli packs FOLDER.
#include "Commands.h"

#include "Cli.h"

#include <string>
#include <vector>

namespace cli {

int Packs(const std::string& folder)
{
    std::vector<std::string> packPaths;
    if (!FolderPacks(folder, packPaths))
        return ExitStatus();
    Output out;
    for (const std::string& packPath : packPaths) {
        VpkArchive archive;
        if (!archive.Open(packPath.c_str())) {
            out.Flush();  // lines before this pack's messages
            continue;
        }
        out.Put(packPath).Put('\t').Put(archive.GetEntryCount()).Put('\t');
        out.Put(archive.IsDirectoryPack() ? "Directory pack" : "File pack");
        out.EndLine();
        archive.Close();
    }
    out.Finish();
    return ExitStatus();
}

}  // namespace cli
