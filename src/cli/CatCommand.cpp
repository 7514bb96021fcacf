// tessaro-cli cat PACK ENTRY.
#include "Commands.h"

#include "Cli.h"

#include "vpk/Messages.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace cli {
namespace {

void CatEntry(VpkArchive& archive, std::uint32_t index)
{
    if (archive.GetEntry(index) == nullptr) {
        // Reading shows nothing for an index out of range; extraction's text
        // says what went wrong.
        vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
        return;
    }
    if (!archive.CheckEntryData(index))
        return;
    const std::uint32_t size = archive.GetEntrySize(index);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
    if (!data) {
        vpk::ShowMessage(vpk::messages::kAllocationFailed);
        return;
    }
    const int before = messages.Shown();
    archive.ReadEntry(index, data.get());
    if (messages.Shown() != before)
        return;  // the read failed: write nothing
    if (std::fwrite(data.get(), 1, size, stdout) != size || std::fflush(stdout) != 0)
        messages.Complain("can't write to standard output");
}

}  // namespace

int Cat(const char* pack, std::vector<EntrySelector>& selectors)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    for (const std::uint32_t index : Resolve(archive, selectors))
        CatEntry(archive, index);
    return ExitStatus();
}

}  // namespace cli
