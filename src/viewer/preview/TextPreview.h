// The text kind of preview: the entry read whole, cut at its first zero
// byte, bare line feeds shown as line breaks, in a TextView.
#pragma once

#include "viewer/preview/PreviewView.h"
#include "viewer/preview/TextView.h"

namespace viewer::preview {

class TextPreview final : public PreviewView {
public:
    PreviewKind Kind() const override { return PreviewKind::Text; }
    bool Create(HWND parent, int id, const win::Rect& rect) override;
    bool Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) override;
    void Clear() override { view.Clear(); }
    HWND Window() const override { return view.Hwnd(); }

private:
    TextView view;
};

}  // namespace viewer::preview
