// RAII for GDI: device contexts, GDI objects and selections.
//
// Each DC and GDI object is owned by exactly one object here; the owners are
// move-only, and handles are handed out with Get() for the API calls. Views
// name handles we only borrow (stock objects, a window's font).
//
// Teardown order matters: DeleteObject on an object still selected into a DC
// fails silently and leaks it. Declare an off-screen surface's parts in this
// order, so they die in reverse: the selection is undone, then the bitmap is
// deleted, then the DC:
//
//     win::MemoryDC dc(target);
//     win::Bitmap bitmap = win::Bitmap::Compatible(target, w, h);
//     win::SelectGuard selection(dc.Get(), bitmap);
//
// The same holds for pens, brushes and fonts: create the object before the
// guard that selects it.
#pragma once

#include <type_traits>
#include <utility>

#include "win/Geometry.h"
#include "win/Win32.h"

namespace win {

// A GDI object handle that is deleted exactly once, when its owner dies or is
// reset. Move-only.
template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without deleting it.
    Handle Release() { return std::exchange(handle_, nullptr); }
    // Deletes the current handle (if any) and takes `handle`.
    void Reset(Handle handle = nullptr) {
        Handle old = std::exchange(handle_, handle);
        if (old != nullptr) ::DeleteObject(old);
    }

private:
    Handle handle_ = nullptr;
};

class Pen : public GdiObject<HPEN> {
public:
    using GdiObject::GdiObject;
    static Pen Create(int style, int width, COLORREF color) { return Pen(::CreatePen(style, width, color)); }
    static Pen Solid(int width, COLORREF color) { return Create(PS_SOLID, width, color); }
};

class Brush : public GdiObject<HBRUSH> {
public:
    using GdiObject::GdiObject;
    static Brush Solid(COLORREF color) { return Brush(::CreateSolidBrush(color)); }
    // style: HS_CROSS, HS_DIAGCROSS, ...
    static Brush Hatch(int style, COLORREF color) { return Brush(::CreateHatchBrush(style, color)); }
};

class Font : public GdiObject<HFONT> {
public:
    using GdiObject::GdiObject;
    static Font FromLogFont(const LOGFONTA& description) { return Font(::CreateFontIndirectA(&description)); }
};

class Bitmap : public GdiObject<HBITMAP> {
public:
    using GdiObject::GdiObject;
    // A bitmap in the format of `dc`, width x height pixels.
    static Bitmap Compatible(HDC dc, int width, int height) {
        return Bitmap(::CreateCompatibleBitmap(dc, width, height));
    }
    // Bitmap resource `id` of the program's module; empty when missing.
    static Bitmap Load(int id);
    // Width and height in pixels (0, 0 when empty).
    Point Size() const;
};

class Region : public GdiObject<HRGN> {
public:
    using GdiObject::GdiObject;
    static Region FromRect(const Rect& r) { return Region(::CreateRectRgn(r.left, r.top, r.right, r.bottom)); }
};

// A GDI handle we only borrow: never deleted through this view.
template <class Handle>
class GdiView {
public:
    GdiView() = default;
    explicit GdiView(Handle handle) : handle_(handle) {}
    template <class Owner, class = std::enable_if_t<std::is_base_of_v<GdiObject<Handle>, Owner>>>
    GdiView(const Owner& owner) : handle_(owner.Get()) {}  // NOLINT: borrowing is implicit
    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

using PenView = GdiView<HPEN>;
using BrushView = GdiView<HBRUSH>;
using FontView = GdiView<HFONT>;
using BitmapView = GdiView<HBITMAP>;

// Selects an object into a DC and puts the previous one back when it dies (or
// at Restore). Not for regions: selecting a region copies it into the clip
// region and returns no previous object.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    template <class Handle>
    SelectGuard(HDC dc, const GdiObject<Handle>& object) : SelectGuard(dc, static_cast<HGDIOBJ>(object.Get())) {
        static_assert(!std::is_same_v<Handle, HRGN>, "use SelectClipRgn for regions");
    }
    template <class Handle>
    SelectGuard(HDC dc, GdiView<Handle> object) : SelectGuard(dc, static_cast<HGDIOBJ>(object.Get())) {}
    ~SelectGuard() { Restore(); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

    // Puts the previous object back now; later calls do nothing.
    void Restore() {
        if (previous_ != nullptr) ::SelectObject(dc_, std::exchange(previous_, nullptr));
    }
    HGDIOBJ Previous() const { return previous_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint ... EndPaint. Only inside WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &paint_); }
    ~PaintDC() { ::EndPaint(hwnd_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return paint_; }
    Rect Dirty() const { return paint_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// GetDC ... ReleaseDC: the client area of a window, or the whole screen for
// a null window.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_ != nullptr) ::ReleaseDC(hwnd_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The whole screen (GetDC(NULL)).
class ScreenDC : public ClientDC {
public:
    ScreenDC() : ClientDC(nullptr) {}
};

// GetWindowDC ... ReleaseDC: the whole window, frame included.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetWindowDC(hwnd)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// CreateCompatibleDC ... DeleteDC. Holds a 1x1 monochrome bitmap until one is
// selected into it.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) ::DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// SaveDC ... RestoreDC: every attribute set in between (colours, modes,
// selections, clipping) is undone when the guard dies.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SavedDC() {
        if (saved_ != 0) ::RestoreDC(dc_, saved_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Fills `rect` with a solid colour (the DC's brush and colours stay).
void FillSolidRect(HDC dc, const Rect& rect, COLORREF color);
// A one-pixel frame inside `rect`: top and left edges in `topLeft`, bottom
// and right edges in `bottomRight`.
void Draw3dRect(HDC dc, const Rect& rect, COLORREF topLeft, COLORREF bottomRight);

}  // namespace win
