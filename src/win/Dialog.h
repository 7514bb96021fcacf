// Dialog: modal and modeless dialogs built from dialog resources.
//
// The dialog window is taken over the moment the system creates it, so its
// messages go through the same HandleMessage as any Window (WM_INITDIALOG
// included) and a handler's return value is the message's answer directly;
// DefaultProc is the dialog manager's own processing. The dialog procedure
// given to the system does nothing, so results never travel through
// DWLP_MSGRESULT.
//
// Typical use:
//
//     class AboutBox : public win::Dialog {
//     public:
//         AboutBox() : Dialog(100) {}
//     protected:
//         BOOL OnInitDialog() override { ...; return TRUE; }
//     };
//     AboutBox box;
//     box.DoModal(owner);
//
// Default command handling: in a modal run, WM_COMMAND IDOK and IDCANCEL end
// the run with that id. The dialog manager turns Enter and Escape into those
// commands and WM_CLOSE into IDCANCEL, so a window without its own handling
// ends its run on Enter, Escape and the close box. A modeless dialog leaves
// IDOK and IDCANCEL to default processing, which does nothing: it is closed
// by whoever owns it.
#pragma once

#include "win/Window.h"

namespace win {

class Dialog : public Window {
public:
    // From the dialog resource with this id in the program's module.
    explicit Dialog(int templateId);
    // From a template in memory (tests build theirs); the template must
    // outlive the creation call.
    explicit Dialog(const DLGTEMPLATE* dialogTemplate);

    // Runs the dialog modally (DialogBoxParamA) and returns the result given
    // to EndModal, or -1 when the dialog could not be created. Once the run
    // has ended the system has destroyed the window; DoModal then calls
    // DestroyWindow() so an override can release what the window held.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (CreateDialogParamA). The object owns the
    // window: DestroyWindow() or the destructor destroys it.
    bool Create(HWND parent);

    // Ends the modal run with this result (EndDialog).
    void EndModal(INT_PTR result);
    bool IsModal() const { return modal_; }

    // Binds the dialog's control `id` to `control`: takes the control's window
    // over (Window::Subclass, which calls control.PreSubclassWindow). False
    // when the dialog has no such control or it is already bound.
    bool BindControl(int id, Window& control);

    // The rectangle of the dialog's control `id` in the dialog's client
    // coordinates (for creating a control over a placeholder); an all-zero
    // rectangle when there is no such control.
    Rect ItemRect(int id) const;

protected:
    // WM_INITDIALOG and WM_COMMAND; everything else goes to DefaultProc.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Runs when the dialog's controls exist, before it is first shown.
    // Return TRUE to let the system give the focus to the first control.
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    friend struct DialogCreation;
    LRESULT OnCommand(int id, LRESULT defaultResult);

    static INT_PTR CALLBACK IdleDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    int templateId_ = 0;
    const DLGTEMPLATE* template_ = nullptr;
    bool modal_ = false;
};

}  // namespace win
