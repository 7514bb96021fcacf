// The markup's layout: turns the text into two finished pictures of the
// whole content, each the client width wide and SurfaceHeight tall — the
// normal surface the control shows, and the hover surface that holds every
// link's hover look — plus the content height and the link table.
//
// The layout is the parser's sink: runs and images are placed side by side
// on the current line, each finished line is aligned and drawn onto both
// surfaces at once. Lines are never wrapped. Content below SurfaceHeight and
// beyond the client width is lost, a line being cut only once it is aligned
// (a wide centred line shows its middle, a right-aligned one its end); the
// content height still counts it.
//
//     markup::Layout layout = markup::LayOut(windowDC, text, width, magenta);
//
// All drawing is done here, once per text or size change; painting then only
// copies from the surfaces.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "markup/MarkupParser.h"
#include "win/Gdi.h"

namespace markup {

struct Layout {
    win::Bitmap normalSurface;  // client width x SurfaceHeight
    win::Bitmap hoverSurface;
    int contentHeight = 0;
    // One rectangle (content coordinates) and one target per linked item, in
    // the order the items were placed: lines from the top, items from the left.
    std::vector<win::Rect> linkRects;
    std::vector<std::string> linkTargets;
};

// Lays `text` out for `clientWidth`; every bitmap is compatible with
// `reference` (a window's DC). Surfaces start filled with `transparentColor`.
// Bitmaps of "#" images come from the program's resources.
Layout LayOut(HDC reference, std::string_view text, int clientWidth, COLORREF transparentColor);

}  // namespace markup
