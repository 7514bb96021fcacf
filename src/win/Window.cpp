#include "win/Window.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace win {
namespace {

// The window property of a taken-over window that holds the procedure to
// pass messages on to. It outlives the object when someone else subclassed
// on top of us and we could not unhook.
constexpr const char* kOriginalProcProp = "tessaro.win.OriginalProc";

// Each bound window's object. Looked up for every message a taken-over window
// receives and for every reflected notification: a window property would
// cost a round trip to the Wine server each time (filling a list of 20,000
// rows spent most of its time there).
class ObjectTable {
public:
    void Set(HWND hwnd, Window* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        objects_[hwnd] = object;
    }
    void Remove(HWND hwnd, const Window* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = objects_.find(hwnd);
        if (found != objects_.end() && found->second == object) objects_.erase(found);
    }
    Window* Find(HWND hwnd) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = objects_.find(hwnd);
        return found != objects_.end() ? found->second : nullptr;
    }

private:
    std::mutex mutex_;
    std::unordered_map<HWND, Window*> objects_;
};

ObjectTable& Objects() {
    static ObjectTable table;
    return table;
}

// The object whose own-class window is being created on this thread; the
// class procedure takes it at WM_NCCREATE. Checked against lpCreateParams so
// a window of our class created by someone else gets no object.
thread_local Window* creatingWindow = nullptr;

// Which sender a reflected message came from, or null when it is not one.
HWND ReflectionSource(HWND self, UINT msg, LPARAM lp) {
    HWND source = nullptr;
    switch (msg) {
    case WM_NOTIFY:
        if (lp != 0) source = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        source = reinterpret_cast<HWND>(lp);
        break;
    case WM_DRAWITEM:
        if (lp != 0) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            // For menus hwndItem is a menu handle, not a window.
            if (item->CtlType != ODT_MENU) source = item->hwndItem;
        }
        break;
    default:
        break;
    }
    return source == self ? nullptr : source;
}

}  // namespace

Rect ClientRect(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    return r;
}

Rect WindowRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

Rect RectInParent(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    if (HWND parent = ::GetParent(hwnd); parent != nullptr && (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
        // Two points, so a mirrored parent still yields a proper rectangle.
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

std::string WindowText(HWND hwnd) {
    int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = ::GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

Window::~Window() {
    HWND hwnd = hwnd_;
    bool owns = ownsWindow_;
    // Let go first: no message may reach a half-destroyed object.
    if (binding_ == Binding::Subclassed) {
        Unsubclass();
    } else if (binding_ == Binding::OwnClass) {
        Unbind();
    }
    if (owns && hwnd != nullptr && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

Window* Window::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    Window* object = Objects().Find(hwnd);
    return object != nullptr && object->hwnd_ == hwnd ? object : nullptr;
}

bool Window::RegisterWindowClass(const char* className, UINT classStyle, HCURSOR cursor,
                                 HBRUSH background, HICON icon) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(instance, className, &existing)) return existing.lpfnWndProc == &Window::ClassProc;

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::ClassProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

bool Window::Create(const char* className, const char* text, DWORD style, DWORD exStyle,
                    const Rect& rect, HWND parent, int id) {
    if (hwnd_ != nullptr) return false;
    Window* previous = creatingWindow;
    creatingWindow = this;
    HWND hwnd = ::CreateWindowExA(exStyle, className, text, style, rect.left, rect.top, rect.Width(),
                                  rect.Height(), parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleA(nullptr), this);
    creatingWindow = previous;
    if (hwnd == nullptr) return false;
    if (hwnd_ != hwnd) {
        // Not one of our classes: nothing would ever reach this object.
        if (hwnd_ == nullptr) ::DestroyWindow(hwnd);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

bool Window::Subclass(HWND hwnd) {
    if (hwnd_ != nullptr || hwnd == nullptr || FromHandle(hwnd) != nullptr) return false;
    hwnd_ = hwnd;
    PreSubclassWindow();
    hwnd_ = nullptr;
    return InstallSubclass(hwnd, false);
}

bool Window::InstallSubclass(HWND hwnd, bool ownsWindow) {
    if (hwnd_ != nullptr || hwnd == nullptr || !::IsWindow(hwnd)) return false;
    auto original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (original == nullptr) return false;
    originalProc_ = original;
    ::SetPropA(hwnd, kOriginalProcProp, reinterpret_cast<HANDLE>(original));
    Bind(hwnd, Binding::Subclassed, ownsWindow);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc));
    return true;
}

HWND Window::Unsubclass() {
    if (binding_ != Binding::Subclassed) return nullptr;
    HWND hwnd = hwnd_;
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (current == &Window::SubclassProc) {
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        ::RemovePropA(hwnd, kOriginalProcProp);
    }
    // Otherwise someone subclassed on top of us: our procedure stays in their
    // chain and forwards through kOriginalProcProp.
    Unbind();
    return hwnd;
}

bool Window::CreateAndSubclass(const char* systemClass, const char* text, DWORD style,
                               DWORD exStyle, const Rect& rect, HWND parent, int id) {
    if (hwnd_ != nullptr) return false;
    HWND hwnd = ::CreateWindowExA(exStyle, systemClass, text, style, rect.left, rect.top,
                                  rect.Width(), rect.Height(), parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) return false;
    if (!Subclass(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

bool Window::DestroyWindow() {
    if (hwnd_ == nullptr) return false;
    // WM_NCDESTROY lets go of the window on the way.
    return ::DestroyWindow(hwnd_) != FALSE;
}

Point Window::ClientToScreen(Point p) const {
    POINT pt = p.ToPOINT();
    ::ClientToScreen(hwnd_, &pt);
    return pt;
}

Point Window::ScreenToClient(Point p) const {
    POINT pt = p.ToPOINT();
    ::ScreenToClient(hwnd_, &pt);
    return pt;
}

bool Window::Move(const Rect& rect, bool repaint) {
    return ::MoveWindow(hwnd_, rect.left, rect.top, rect.Width(), rect.Height(), repaint) != FALSE;
}

bool Window::SetPosition(const Rect& rect, UINT flags) {
    return ::SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), flags) != FALSE;
}

void Window::InvalidateRect(const Rect& rect, bool erase) {
    RECT r = rect.ToRECT();
    ::InvalidateRect(hwnd_, &r, erase);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return DefaultProc(msg, wp, lp);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd_ == nullptr) return 0;
    if (binding_ == Binding::Subclassed) return ::CallWindowProcA(originalProc_, hwnd_, msg, wp, lp);
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

std::optional<LRESULT> Window::HandleReflectedMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void Window::Bind(HWND hwnd, Binding binding, bool ownsWindow) {
    hwnd_ = hwnd;
    binding_ = binding;
    ownsWindow_ = ownsWindow;
    Objects().Set(hwnd, this);
    if (binding == Binding::OwnClass) ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Unbind() {
    if (hwnd_ == nullptr) return;
    Objects().Remove(hwnd_, this);
    if (binding_ == Binding::OwnClass &&
        ::GetWindowLongPtrA(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
    binding_ = Binding::None;
    ownsWindow_ = false;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (HWND source = ReflectionSource(hwnd_, msg, lp)) {
        if (Window* child = FromHandle(source)) {
            if (std::optional<LRESULT> answer = child->HandleReflectedMessage(msg, wp, lp)) return *answer;
        }
    }
    HWND hwnd = hwnd_;
    LRESULT result = HandleMessage(msg, wp, lp);
    // The window is gone after this message: hand it back (restoring the
    // original procedure) unless a handler already did.
    if (msg == WM_NCDESTROY && hwnd_ == hwnd) {
        if (binding_ == Binding::Subclassed) {
            Unsubclass();
            ::RemovePropA(hwnd, kOriginalProcProp);
        } else {
            Unbind();
        }
    }
    return result;
}

LRESULT CALLBACK Window::ClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr && msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
        if (creatingWindow != nullptr && create->lpCreateParams == creatingWindow) {
            self = creatingWindow;
            creatingWindow = nullptr;
            self->Bind(hwnd, Binding::OwnClass, false);
        }
    }
    if (self == nullptr || self->hwnd_ != hwnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (Window* self = FromHandle(hwnd)) return self->Dispatch(msg, wp, lp);
    // The object let go while our procedure is still in someone's chain.
    auto original = reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kOriginalProcProp));
    if (original == nullptr) return ::DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) ::RemovePropA(hwnd, kOriginalProcProp);
    return ::CallWindowProcA(original, hwnd, msg, wp, lp);
}

}  // namespace win
