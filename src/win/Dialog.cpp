#include "win/Dialog.h"

#include <cstring>

#include "win/App.h"
#include "win/Internal.h"

namespace win {

// The thread's window-creation hook. A Dialog about to be created registers
// itself as pending; the first dialog-class window created after that is its
// dialog (Windows may create an IME window first on a thread), and the hook
// takes it over before the window's first message (WM_NCCREATE), so
// the object sees everything from then on.
struct DialogCreation {
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);

    // Registers `dialog` for the next window created on this thread and
    // withdraws it when the creation call returns, whatever happened.
    explicit DialogCreation(Dialog* dialog) : previous(pending) {
        detail::EnsureCreationHook();
        pending = dialog;
    }
    ~DialogCreation() { pending = previous; }
    DialogCreation(const DialogCreation&) = delete;
    DialogCreation& operator=(const DialogCreation&) = delete;

    Dialog* previous;
    static thread_local Dialog* pending;
    static thread_local HHOOK hook;
};

thread_local Dialog* DialogCreation::pending = nullptr;
thread_local HHOOK DialogCreation::hook = nullptr;

LRESULT CALLBACK DialogCreation::Hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        auto hwnd = reinterpret_cast<HWND>(wp);
        char className[16] = {};
        ::GetClassNameA(hwnd, className, sizeof className);
        // Colours first: their procedure ends up under the Dialog's, so a
        // dialog's own handlers and its controls' reflected handlers answer
        // WM_CTLCOLOR* before the application-wide colours do.
        const bool isDialog = std::strcmp(className, "#32770") == 0;
        if (isDialog) detail::ApplyDialogColors(hwnd);
        if (Dialog* dialog = pending; dialog != nullptr && isDialog) {
            pending = nullptr;
            dialog->InstallSubclass(hwnd, !dialog->modal_);
        }
    }
    return ::CallNextHookEx(hook, code, wp, lp);
}

void detail::EnsureCreationHook() {
    if (DialogCreation::hook == nullptr) {
        DialogCreation::hook = ::SetWindowsHookExA(WH_CBT, &DialogCreation::Hook, nullptr, ::GetCurrentThreadId());
    }
}

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::Dialog(const DLGTEMPLATE* dialogTemplate) : template_(dialogTemplate) {}

INT_PTR Dialog::DoModal(HWND parent) {
    if (Handle() != nullptr) return -1;
    modal_ = true;
    INT_PTR result;
    {
        DialogCreation creation(this);
        result = template_ != nullptr
                     ? ::DialogBoxIndirectParamA(Instance(), template_, parent, &Dialog::IdleDialogProc, 0)
                     : ::DialogBoxParamA(Instance(), MAKEINTRESOURCEA(templateId_), parent,
                                         &Dialog::IdleDialogProc, 0);
    }
    modal_ = false;
    DestroyWindow();
    return result;
}

bool Dialog::Create(HWND parent) {
    if (Handle() != nullptr) return false;
    HWND hwnd;
    {
        DialogCreation creation(this);
        hwnd = template_ != nullptr
                   ? ::CreateDialogIndirectParamA(Instance(), template_, parent, &Dialog::IdleDialogProc, 0)
                   : ::CreateDialogParamA(Instance(), MAKEINTRESOURCEA(templateId_), parent,
                                          &Dialog::IdleDialogProc, 0);
    }
    if (hwnd == nullptr) return false;
    if (Handle() != hwnd) {
        // Not taken over (it cannot happen with the hook in place): no object
        // would ever see its messages.
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

void Dialog::EndModal(INT_PTR result) {
    if (Handle() != nullptr) ::EndDialog(Handle(), result);
}

bool Dialog::BindControl(int id, Window& control) {
    HWND item = Item(id);
    return item != nullptr && control.Subclass(item);
}

Rect Dialog::ItemRect(int id) const {
    HWND item = Item(id);
    return item != nullptr ? win::RectInParent(item) : Rect{};
}

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), DefaultProc(msg, wp, lp));
    default: return DefaultProc(msg, wp, lp);
    }
}

// The dialog manager's own WM_COMMAND processing has run; in a modal run the
// OK and cancel commands then end it.
LRESULT Dialog::OnCommand(int id, LRESULT defaultResult) {
    if (modal_ && (id == IDOK || id == IDCANCEL)) EndModal(id);
    return defaultResult;
}

// Dialogs are taken over at creation; the dialog manager still wants a
// dialog procedure, and this one leaves every message to it.
INT_PTR CALLBACK Dialog::IdleDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace win
