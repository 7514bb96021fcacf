#include "app/TessaroApp.h"

#include <objbase.h>

#include "app/ArchiveMessages.h"
#include "app/MainDialog.h"
#include "win/App.h"
#include "win/DialogColors.h"

namespace app {

void TessaroApp::Prepare() {
    // The dialogs hold list views and headers: their window classes must
    // exist before the first dialog is created.
    win::InitCommonControlClasses();
    win::SetDialogColors(kDialogBackground, kDialogText);
    ShowArchiveMessagesInMessageBoxes();
}

bool TessaroApp::InitInstance() {
    // The background picture is decoded by OLE, which wants the thread's
    // apartment set up first.
    HRESULT ole = ::OleInitialize(nullptr);
    Prepare();
    {
        MainDialog mainDialog;
        mainDialog.DoModal(nullptr);
    }
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return false;
}

}  // namespace app
