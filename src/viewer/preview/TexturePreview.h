// The texture kind of preview: a .tth/.ttz pair rebuilt, its largest image
// decoded and shown in an ImageView, the status line giving its size, format
// and mips, then its name (its .tth's, whichever half was clicked), so a
// narrow pane cuts the name, not the figures:
// "2,048 × 1,024 · BGRA8888 · 1 mip  |  a.tth". A texture that is
// refused shows no image and its message on the status line, without a
// message box.
#pragma once

#include <string>

#include "texture/Vtf.h"
#include "viewer/preview/ImageView.h"
#include "viewer/preview/PreviewView.h"

namespace viewer::preview {

// "2,048 × 1,024 · BGRA8888 · 1 mip" (× and · in the ANSI code page).
std::string TextureDescription(const texture::VtfInfo& info);

class TexturePreview final : public PreviewView {
public:
    PreviewKind Kind() const override { return PreviewKind::Texture; }
    bool Create(HWND parent, int id, const win::Rect& rect) override;
    // True whenever the entry is a texture's half: a refusal is shown, not
    // boxed.
    bool Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) override;
    void Clear() override { view.Clear(); }
    HWND Window() const override { return view.Handle(); }
    std::string StatusText(const VpkEntry&) const override { return view.Status(); }

private:
    ImageView view;
};

}  // namespace viewer::preview
