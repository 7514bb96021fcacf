// Window: the base of every window object of the program.
//
// One dispatch path serves three kinds of window:
//  - windows of our own classes (Create, after RegisterWindowClass): the
//    class procedure finds the object in GWLP_USERDATA, set at WM_NCCREATE;
//  - existing windows taken over (Subclass, CreateAndSubclass, and dialog
//    controls bound by id): the window procedure is replaced, the original
//    one is kept and receives everything the object does not handle;
//  - dialogs (see Dialog.h), which are taken over the same way the moment
//    they are created.
// Every message then goes to the one virtual HandleMessage. A class handles
// messages with one switch, one line per message that unpacks the parameters
// and calls a typed handler, and hands the rest to its base class:
//
//     LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
//         switch (msg) {
//         case WM_PAINT: return OnPaint();
//         case WM_SIZE: return OnSize(wp, LOWORD(lp), HIWORD(lp));
//         default: return Window::HandleMessage(msg, wp, lp);
//         }
//     }
//
// Window::HandleMessage passes the message on to DefaultProc: the original
// procedure of a taken-over window, DefWindowProcA for our own classes, the
// dialog manager's procedure for a dialog. A handler that wants default
// processing first or last calls DefaultProc itself.
//
// Reflection: before a window handles WM_NOTIFY, WM_CTLCOLOR*, WM_HSCROLL,
// WM_VSCROLL (from a control) or WM_DRAWITEM, it offers the message to the
// object of the control that sent it, through HandleReflectedMessage. When
// that object returns a value, the value is the parent's answer and the
// parent's HandleMessage does not see the message. So a control owns its own
// drawing (custom draw, colours) wherever it is placed.
//
// Lifetime: the object lets go of its window at WM_NCDESTROY (restoring the
// original procedure of a taken-over window). A window the object created
// itself (Create, CreateAndSubclass, a modeless dialog) is destroyed by the
// object's destructor if it still exists; a window it only took over is
// handed back untouched.
#pragma once

#include <optional>
#include <string>

#include "win/Geometry.h"
#include "win/Win32.h"

namespace win {

// Geometry of any window, by handle.
Rect ClientRect(HWND hwnd);
// In screen coordinates.
Rect WindowRect(HWND hwnd);
// The window rectangle in its parent's client coordinates (screen
// coordinates for a window without a parent).
Rect RectInParent(HWND hwnd);
// The window's text (WM_GETTEXT), any length.
std::string WindowText(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // The object that handles hwnd's messages, or null.
    static Window* FromHandle(HWND hwnd);

    // --- Windows of our own classes

    // Registers a window class whose messages go to the Window created on it.
    // Registering a name twice is harmless: the first registration stays for
    // the life of the process. Returns false when the name belongs to a class
    // that is not ours or registration fails.
    static bool RegisterWindowClass(const char* className, UINT classStyle,
                                    HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                    HICON icon = nullptr);
    // Creates a window of a class registered with RegisterWindowClass; its
    // messages, from WM_NCCREATE on, go to this object. For a child, id is
    // the control id; for a top-level window it must be 0. rect is in the
    // parent's client coordinates (screen for a top-level window).
    bool Create(const char* className, const char* text, DWORD style, DWORD exStyle,
                const Rect& rect, HWND parent, int id);

    // --- Existing windows

    // Takes over an existing window: calls PreSubclassWindow (with Handle()
    // already set), then replaces the window procedure; the original one gets
    // every message this object leaves to DefaultProc. Fails when this object
    // already has a window or hwnd already belongs to an object.
    bool Subclass(HWND hwnd);
    // Hands the window back: restores the original procedure when nobody has
    // subclassed on top of ours (otherwise our procedure stays in the chain
    // and just passes everything on). Returns the window.
    HWND Unsubclass();
    // Creates a window of an existing class ("STATIC", "EDIT", ...) and
    // takes it over as Subclass does. The object owns the window.
    bool CreateAndSubclass(const char* systemClass, const char* text, DWORD style,
                           DWORD exStyle, const Rect& rect, HWND parent, int id);

    // Destroys the window now. Overridable so a class can release what its
    // window holds; an override calls the base. Returns false when there is
    // no window.
    virtual bool DestroyWindow();

    // --- Thin helpers over the window's handle

    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }
    HWND Parent() const { return ::GetParent(hwnd_); }
    int Id() const { return ::GetDlgCtrlID(hwnd_); }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    DWORD Style() const { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE)); }
    DWORD ExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)); }

    Rect ClientRect() const { return win::ClientRect(hwnd_); }
    Rect WindowRect() const { return win::WindowRect(hwnd_); }
    Rect RectInParent() const { return win::RectInParent(hwnd_); }
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;

    // MoveWindow: rect in the parent's client coordinates; keeps the z-order.
    bool Move(const Rect& rect, bool repaint = true);
    // SetWindowPos without a z-order change or activation unless flags say so.
    bool SetPosition(const Rect& rect, UINT flags = SWP_NOZORDER | SWP_NOACTIVATE);
    bool Show(int command) { return ::ShowWindow(hwnd_, command) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

    void Invalidate(bool erase = true) { ::InvalidateRect(hwnd_, nullptr, erase); }
    void InvalidateRect(const Rect& rect, bool erase = true);
    void Update() { ::UpdateWindow(hwnd_); }

    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(hwnd_, id, milliseconds, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(hwnd_, id) != FALSE; }

    void SetCapture() { ::SetCapture(hwnd_); }
    bool HasCapture() const { return hwnd_ != nullptr && ::GetCapture() == hwnd_; }
    static void ReleaseCapture() { ::ReleaseCapture(); }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(hwnd_, msg, wp, lp); }
    bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(hwnd_, msg, wp, lp) != FALSE; }

    std::string Text() const { return WindowText(hwnd_); }
    bool SetText(const char* text) { return ::SetWindowTextA(hwnd_, text) != FALSE; }
    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) {
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw ? TRUE : FALSE, 0));
    }

protected:
    // Every message of the window, after reflection. The base hands the
    // message to DefaultProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The window's default processing: the original procedure of a taken-over
    // window (dialogs included), else DefWindowProcA. Overridable to watch
    // what reaches default processing; an override calls the base.
    virtual LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // A notification this window sent to its parent, handed back (see the top
    // of this file). Return a value to make it the parent's answer, or
    // nullopt to let the parent handle the message. Runs on the parent's
    // stack, before the parent's HandleMessage.
    virtual std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called by Subclass and CreateAndSubclass just before the window
    // procedure is replaced; Handle() is already valid.
    virtual void PreSubclassWindow() {}

    // Replaces the window procedure without calling PreSubclassWindow (used
    // for dialogs, which are taken over while they are being created).
    bool InstallSubclass(HWND hwnd, bool ownsWindow);

private:
    enum class Binding { None, OwnClass, Subclassed };

    static LRESULT CALLBACK ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND hwnd, Binding binding, bool ownsWindow);
    void Unbind();

    HWND hwnd_ = nullptr;
    Binding binding_ = Binding::None;
    WNDPROC originalProc_ = nullptr;
    bool ownsWindow_ = false;
};

}  // namespace win
