#include "viewer/preview/PreviewStatus.h"

#include "skin/SkinColors.h"
#include "viewer/BulkExtraction.h"
#include "win/Gdi.h"
#include "win/Window.h"

namespace viewer::preview {
namespace {

using skin::kCaptionBackground;
using skin::kCaptionText;
constexpr int kTextInset = 4;

}  // namespace

std::string PreviewStatusText(const VpkEntry& entry, PreviewKind kind) {
    return std::string(entry.name) + "  |  " + WithThousands(entry.dataSize) +
           (entry.dataSize == 1 ? " byte" : " bytes") + "  |  " + PreviewKindName(kind);
}

void PaintPreviewStatus(const DRAWITEMSTRUCT& item) {
    const win::Rect r = item.rcItem;
    win::FillSolidRect(item.hDC, r, kCaptionBackground);
    win::Draw3dRect(item.hDC, r, kCaptionText, kCaptionText);
    ::SetTextColor(item.hDC, kCaptionText);
    ::SetBkMode(item.hDC, TRANSPARENT);
    const std::string text = win::WindowText(item.hwndItem);
    RECT box = r.Inflate(-kTextInset, 0).ToRECT();
    ::DrawTextA(item.hDC, text.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

}  // namespace viewer::preview
