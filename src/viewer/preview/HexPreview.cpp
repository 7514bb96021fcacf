#include "viewer/preview/HexPreview.h"

#include <cstdint>

#include "vpk/HeldMessages.h"

namespace viewer::preview {

bool HexPreview::Create(HWND parent, int id, const win::Rect& rect) {
    return view.Create(parent, id, rect.ToRECT());
}

bool HexPreview::Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) {
    view.Clear();
    if (!archive->CheckEntryData(index)) return false;
    // The view reads while it paints. Of reads that keep failing (a pack cut
    // short under us) only the first is reported: its message box pumps more
    // paints, which read again.
    auto reported = std::make_shared<bool>(false);
    view.SetSource(archive->GetEntrySize(index),
                   [archive, index, reported](std::uint64_t offset, std::size_t count, unsigned char* out) {
                       if (offset > UINT32_MAX || count > UINT32_MAX) return false;
                       const auto at = static_cast<std::uint32_t>(offset);
                       const auto n = static_cast<std::uint32_t>(count);
                       if (*reported) {
                           vpk::HeldMessages quiet;
                           return archive->ReadEntryRange(index, at, n, out);
                       }
                       *reported = true;
                       const bool read = archive->ReadEntryRange(index, at, n, out);
                       *reported = !read;
                       return read;
                   });
    return true;
}

}  // namespace viewer::preview
