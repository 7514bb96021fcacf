#include "viewer/preview/ImageView.h"

#include <algorithm>
#include <new>

#include "viewer/preview/ViewSupport.h"

namespace viewer::preview {
namespace {

constexpr const char* kClassName = "TessaroImageView";

// The image pixels [begin, end) under each of `drawn` screen pixels across
// `size` image pixels: at least one each, so enlarging repeats pixels.
struct Span {
    std::uint32_t begin;
    std::uint32_t end;
};
std::vector<Span> Spans(std::uint32_t size, int drawn) {
    std::vector<Span> spans(static_cast<std::size_t>(drawn));
    for (int i = 0; i < drawn; ++i) {
        const auto begin = static_cast<std::uint32_t>(std::uint64_t{size} * static_cast<std::uint64_t>(i) /
                                                      static_cast<std::uint64_t>(drawn));
        const auto end = static_cast<std::uint32_t>(std::uint64_t{size} * static_cast<std::uint64_t>(i + 1) /
                                                    static_cast<std::uint64_t>(drawn));
        spans[static_cast<std::size_t>(i)] = {begin, std::max(end, begin + 1)};
    }
    return spans;
}

}  // namespace

DrawnSize FitImage(std::uint32_t width, std::uint32_t height, int paneWidth, int paneHeight) {
    if (width == 0 || height == 0 || paneWidth <= 0 || paneHeight <= 0) return {};
    const std::uint64_t w = width;
    const std::uint64_t h = height;
    const auto pw = static_cast<std::uint64_t>(paneWidth);
    const auto ph = static_cast<std::uint64_t>(paneHeight);
    const bool small = 2 * w <= pw && 2 * h <= ph;
    const bool fits = w <= pw && h <= ph;
    if (fits && !small) return {static_cast<int>(w), static_cast<int>(h)};
    // Fitted: the side that limits fills the pane, the other follows.
    if (w * ph >= h * pw) return {paneWidth, static_cast<int>(std::max<std::uint64_t>(1, h * pw / w))};
    return {static_cast<int>(std::max<std::uint64_t>(1, w * ph / h)), paneHeight};
}

bool ImageView::Create(HWND parent, int id, const RECT& rect) {
    if (!RegisterViewClass(kClassName, IDC_ARROW)) return false;
    return Window::Create(kClassName, "", WS_CHILD, 0, rect, parent, id);
}

void ImageView::SetImage(std::vector<unsigned char> pixels, std::uint32_t width, std::uint32_t height,
                         std::string text) {
    rgba = std::move(pixels);
    imageWidth = rgba.empty() ? 0 : width;
    imageHeight = rgba.empty() ? 0 : height;
    status = std::move(text);
    composed.clear();
    composed.shrink_to_fit();
    composedSize = {};
    if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, FALSE);
}

win::Rect ImageView::ImageRect() const {
    if (Handle() == nullptr) return {};
    const win::Rect client = ClientRect();
    const DrawnSize size = FitImage(imageWidth, imageHeight, client.Width(), client.Height());
    const int left = (client.Width() - size.width) / 2;
    const int top = (client.Height() - size.height) / 2;
    return {left, top, left + size.width, top + size.height};
}

void ImageView::Compose(DrawnSize size) {
    if (size == composedSize && !composed.empty()) return;
    composed.assign(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height), 0);
    composedSize = size;
    const std::vector<Span> columns = Spans(imageWidth, size.width);
    const std::vector<Span> rows = Spans(imageHeight, size.height);
    const std::size_t stride = std::size_t{imageWidth} * 4;
    for (int y = 0; y < size.height; ++y) {
        const Span row = rows[static_cast<std::size_t>(y)];
        std::uint32_t* out = composed.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width);
        for (int x = 0; x < size.width; ++x) {
            const Span column = columns[static_cast<std::size_t>(x)];
            // Sums of colour times alpha, and of alpha, over the pixels under
            // this one; 64 bits hold any texture's worth.
            std::uint64_t r = 0, g = 0, b = 0, a = 0;
            for (std::uint32_t sy = row.begin; sy < row.end; ++sy) {
                const unsigned char* p = rgba.data() + sy * stride + std::size_t{column.begin} * 4;
                for (std::uint32_t sx = column.begin; sx < column.end; ++sx, p += 4) {
                    r += std::uint64_t{p[0]} * p[3];
                    g += std::uint64_t{p[1]} * p[3];
                    b += std::uint64_t{p[2]} * p[3];
                    a += p[3];
                }
            }
            const std::uint64_t full = std::uint64_t{255} * (row.end - row.begin) * (column.end - column.begin);
            const bool light = ((x / kCheckerSide) + (y / kCheckerSide)) % 2 != 0;
            const COLORREF under = light ? kCheckerLight : kCheckerDark;
            const std::uint64_t rest = full - a;  // how much of the checkerboard shows
            const auto blend = [&](std::uint64_t sum, unsigned back) {
                return static_cast<std::uint32_t>((sum + back * rest + full / 2) / full);
            };
            out[x] = blend(b, GetBValue(under)) | blend(g, GetGValue(under)) << 8 | blend(r, GetRValue(under)) << 16;
        }
    }
}

void ImageView::Paint(HDC dc) {
    const win::Rect client = ClientRect();
    const win::Rect image = ImageRect();
    const int saved = ::SaveDC(dc);
    if (!image.IsEmpty()) ::ExcludeClipRect(dc, image.left, image.top, image.right, image.bottom);
    HBRUSH background = ParentColors(Handle(), dc);
    RECT all = client.ToRECT();
    ::FillRect(dc, &all, background);
    ::RestoreDC(dc, saved);
    if (image.IsEmpty()) return;
    try {
        Compose({image.Width(), image.Height()});
    } catch (const std::bad_alloc&) {
        return;  // nothing drawn over the background
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width();
    info.bmiHeader.biHeight = -image.Height();  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, image.left, image.top, static_cast<DWORD>(image.Width()),
                        static_cast<DWORD>(image.Height()), 0, 0, 0, static_cast<UINT>(image.Height()),
                        composed.data(), &info, DIB_RGB_COLORS);
}

LRESULT ImageView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        Paint(dc);
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: ::InvalidateRect(Handle(), nullptr, FALSE); return 0;
    case WM_GETTEXT: return AnswerGetText(status, wp, lp);
    case WM_GETTEXTLENGTH: return AnswerGetText(status, 0, 0);
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

}  // namespace viewer::preview
