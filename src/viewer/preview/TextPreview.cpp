#include "viewer/preview/TextPreview.h"

#include <cstdint>
#include <new>
#include <string>

#include "vpk/Memory.h"
#include "win/MessageBox.h"

namespace viewer::preview {
namespace {

constexpr const char* kPreviewTooLarge = "Not enough memory to preview this entry";

}  // namespace

bool TextPreview::Create(HWND parent, int id, const win::Rect& rect) {
    return view.Create(parent, id, rect.ToRECT());
}

bool TextPreview::Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) {
    view.Clear();
    const std::uint32_t size = archive->GetEntrySize(index);
    // Sized by the entry: one that claims more than the pack holds is refused
    // (and reported) before anything is allocated for it.
    if (!archive->CheckEntryData(index)) return false;
    const std::uint64_t bufferSize = std::uint64_t{size} + 1;
    std::unique_ptr<char[], vpk::FreeMemory> buffer;
    if (bufferSize <= SIZE_MAX) {
        buffer.reset(static_cast<char*>(vpk::AllocateZeroed(static_cast<std::size_t>(bufferSize), 1)));
    }
    if (!buffer) {
        win::MessageBox(kPreviewTooLarge);
        return false;
    }
    // A read that fails has said so: nothing is shown for it.
    if (!archive->ReadEntry(index, buffer.get())) return false;
    try {
        std::string text = PreviewText(buffer.get(), size);
        buffer.reset();
        view.SetText(std::move(text));
    } catch (const std::bad_alloc&) {
        view.Clear();
        win::MessageBox(kPreviewTooLarge);
        return false;
    }
    return true;
}

}  // namespace viewer::preview
