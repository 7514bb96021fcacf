#include "viewer/ViewerKeyboard.h"

#include <algorithm>
#include <vector>

#include "resource.h"

namespace viewer {
namespace {

// The viewers of this thread and their progress windows.
std::vector<HWND>& KeyboardWindows() {
    static std::vector<HWND> windows;
    return windows;
}
HHOOK keyboardHook = nullptr;

LRESULT CALLBACK ViewerKeyboardHook(int code, WPARAM wp, LPARAM lp) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        msg->hwnd != nullptr) {
        HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
        const std::vector<HWND>& windows = KeyboardWindows();
        if (std::find(windows.begin(), windows.end(), root) != windows.end()) {
            // Shift+F10 asks for the focused control's menu. Wine's default
            // handling takes F10 for the menu bar instead, and its modal
            // menu loop would swallow the keys that follow.
            const bool shiftF10 = (msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP) &&
                                  msg->wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            // Ctrl+F to the filter box, Ctrl+Shift+F "Find in all packs...".
            const bool ctrlF = msg->message == WM_KEYDOWN && msg->wParam == 'F' &&
                               (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
            if (ctrlF) {
                const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
                ::SendMessageA(root, WM_COMMAND, shift ? ID_FIND_IN_PACKS : ID_FIND_FILTER, 0);
                msg->message = WM_NULL;
            } else if (shiftF10) {
                if (msg->message == WM_SYSKEYDOWN) ::SendMessageA(root, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg->hwnd), -1);
                msg->message = WM_NULL;
            } else if (::IsDialogMessageA(root, msg)) {
                msg->message = WM_NULL;  // handled: the loop dispatches nothing
            }
        }
    }
    return ::CallNextHookEx(keyboardHook, code, wp, lp);
}

}  // namespace

void AddKeyboardWindow(HWND window) {
    KeyboardWindows().push_back(window);
    if (keyboardHook == nullptr) {
        keyboardHook = ::SetWindowsHookExA(WH_GETMESSAGE, ViewerKeyboardHook, nullptr, ::GetCurrentThreadId());
    }
}

void RemoveKeyboardWindow(HWND window) {
    std::vector<HWND>& windows = KeyboardWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    if (windows.empty() && keyboardHook != nullptr) {
        ::UnhookWindowsHookEx(keyboardHook);
        keyboardHook = nullptr;
    }
}

}  // namespace viewer
