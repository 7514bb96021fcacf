#include "viewer/preview/PreviewView.h"

#include <algorithm>

#include "texture/TexturePair.h"
#include "viewer/preview/HexPreview.h"
#include "viewer/preview/TextPreview.h"
#include "viewer/preview/TexturePreview.h"

namespace viewer::preview {

PreviewKind PickPreviewKind(VpkArchive& archive, std::uint32_t index) {
    const bool inDirectoryPack = archive.IsDirectoryPack();
    // A texture's half by its name's ending, as the halves are paired (its
    // type is what follows the name's first dot: "a.b/x.tth" has "b/x"),
    // even an empty .ttz: its .tth may hold the whole texture.
    const VpkEntry* entry = archive.GetEntry(index);
    if (!inDirectoryPack && entry != nullptr && texture::IsTextureName(entry->name)) return PreviewKind::Texture;
    const std::string type = archive.GetEntryType(index);
    const std::uint32_t size = archive.GetEntrySize(index);
    unsigned char head[kPreviewHeadSize];
    std::uint32_t headSize = 0;
    // Only a type outside the list is decided by its bytes.
    if (!inDirectoryPack && size > 0 && !IsPreviewableType(LowerCaseType(type))) {
        headSize = std::min<std::uint32_t>(size, kPreviewHeadSize);
        if (!archive.ReadEntryRange(index, 0, headSize, head)) return PreviewKind::None;
    }
    return ChoosePreviewKind(inDirectoryPack, type, size, head, headSize);
}

std::unique_ptr<PreviewView> MakePreviewView(PreviewKind kind) {
    switch (kind) {
    case PreviewKind::Text: return std::make_unique<TextPreview>();
    case PreviewKind::Hex: return std::make_unique<HexPreview>();
    case PreviewKind::Texture: return std::make_unique<TexturePreview>();
    case PreviewKind::None: break;
    }
    return nullptr;
}

}  // namespace viewer::preview
