#include "viewer/preview/TexturePreview.h"

#include <new>
#include <vector>

#include "texture/TexturePair.h"
#include "viewer/BulkExtraction.h"

namespace viewer::preview {

std::string TextureDescription(const texture::VtfInfo& info) {
    return WithThousands(info.width) + " \xD7 " + WithThousands(info.height) + " \xB7 " +
           (info.format != nullptr ? info.format->name : "?") + " \xB7 " + std::to_string(info.mipCount) +
           (info.mipCount == 1 ? " mip" : " mips");
}

bool TexturePreview::Create(HWND parent, int id, const win::Rect& rect) {
    return view.Create(parent, id, rect.ToRECT());
}

bool TexturePreview::Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) {
    view.Clear();
    const texture::TexturePair pair = texture::TexturePairs(*archive).PairOf(index);
    if (!pair.IsTexture()) return false;
    std::string why;
    try {
        texture::LoadedTexture loaded;
        std::vector<unsigned char> rgba;
        if (!texture::LoadTexture(*archive, pair, loaded, why)) {
            view.SetImage({}, 0, 0, why);
            return true;
        }
        if (!texture::DecodeLargestImage(loaded.vtf.data(), loaded.info, rgba, why)) {
            view.SetImage({}, 0, 0, texture::TextureName(*archive, pair) + ": " + why);
            return true;
        }
        loaded.vtf = {};
        view.SetImage(std::move(rgba), loaded.info.width, loaded.info.height,
                      TextureDescription(loaded.info) + "  |  " + texture::TextureName(*archive, pair));
    } catch (const std::bad_alloc&) {
        view.SetImage({}, 0, 0, texture::TextureName(*archive, pair) + ": not enough memory to show it");
    }
    return true;
}

}  // namespace viewer::preview
