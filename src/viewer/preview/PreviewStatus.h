// The preview's status line under the "Preview Area" strip: which entry the
// view shows, how large it is and in which kind of view, in the strip's
// colours. The line is an owner-drawn static; the viewer hands its
// WM_DRAWITEM here.
#pragma once

#include <string>

#include "viewer/preview/PreviewKind.h"
#include "vpk/VpkFormat.h"
#include "win/Win32.h"

namespace viewer::preview {

// "dlg/a.dlg  |  129,781 bytes  |  text".
std::string PreviewStatusText(const VpkEntry& entry, PreviewKind kind);

// Paints the line's text on black in the caption red, with a border like the
// strip's, cut short with an ellipsis when the pane is narrow.
void PaintPreviewStatus(const DRAWITEMSTRUCT& item);

}  // namespace viewer::preview
