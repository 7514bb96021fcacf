// The hex kind of preview: the entry's bytes as `hexdump -C` rows in a
// HexView, read from the pack a screenful at a time. The view keeps the
// archive it was shown from, so a pack loaded meanwhile changes nothing.
#pragma once

#include "viewer/preview/HexView.h"
#include "viewer/preview/PreviewView.h"

namespace viewer::preview {

class HexPreview final : public PreviewView {
public:
    PreviewKind Kind() const override { return PreviewKind::Hex; }
    bool Create(HWND parent, int id, const win::Rect& rect) override;
    bool Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) override;
    void Clear() override { view.Clear(); }
    HWND Window() const override { return view.Hwnd(); }

private:
    HexView view;
};

}  // namespace viewer::preview
