// ImageView: a picture in the preview pane, fitted to the window with its
// aspect kept and drawn over a dark checkerboard where it is not opaque.
//
// The owner hands it RGBA8 pixels and a status line; the view scales them
// to its size with a box filter (each screen pixel the average of the image
// pixels under it, weighted by their alpha), blends them over the
// checkerboard once per size, and paints the result. WM_GETTEXT answers the
// status line.
//
//     ImageView view;
//     view.Create(parent, 1009, rect);
//     view.SetImage(std::move(rgba), width, height, "a.tth  |  ...");
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win/Geometry.h"
#include "win/Window.h"

namespace viewer::preview {

// The checkerboard's squares (side in pixels) and colours.
constexpr int kCheckerSide = 8;
constexpr COLORREF kCheckerDark = RGB(32, 32, 32);
constexpr COLORREF kCheckerLight = RGB(64, 64, 64);

struct DrawnSize {
    int width = 0;
    int height = 0;
    bool operator==(const DrawnSize&) const = default;
};

// The size an image is drawn at in a pane: scaled down to fit with its
// aspect kept, never enlarged past 1:1 unless it fits in a quarter of the
// pane (both sides at most half the pane's), in which case it is enlarged to
// fit. At least 1x1 while the pane and the image have any size.
DrawnSize FitImage(std::uint32_t width, std::uint32_t height, int paneWidth, int paneHeight);

class ImageView : public win::Window {
public:
    // A child window (hidden until shown) at rect in the parent's client
    // coordinates.
    bool Create(HWND parent, int id, const RECT& rect);
    // Shows width*height RGBA8 pixels (rows top to bottom) and the status
    // line; empty pixels show no image.
    void SetImage(std::vector<unsigned char> pixels, std::uint32_t width, std::uint32_t height, std::string status);
    void Clear() { SetImage({}, 0, 0, {}); }
    const std::string& Status() const { return status; }
    // Where the image is drawn in the client area; empty without one.
    win::Rect ImageRect() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint(HDC dc);
    // Scales and blends the image for the drawn size, when that changed.
    void Compose(DrawnSize size);

    std::vector<unsigned char> rgba;
    std::uint32_t imageWidth = 0;
    std::uint32_t imageHeight = 0;
    std::string status;
    // The image as painted: BGRX rows, top to bottom, of composedSize.
    std::vector<std::uint32_t> composed;
    DrawnSize composedSize;
};

}  // namespace viewer::preview
