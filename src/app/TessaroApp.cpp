#include "app/TessaroApp.h"

#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/ArchiveMessages.h"
#include "app/MainDialog.h"
#include "viewer/RunFolder.h"
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

// The runtime splits the command line as Windows programs do: quoted
// arguments keep their spaces, and the quotes go.
std::vector<std::string> CommandLinePacks(int argc, char** argv) {
    std::vector<std::string> packs;
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        if (argv[i] != nullptr && argv[i][0] != '\0') packs.emplace_back(argv[i]);
    }
    return packs;
}

bool TessaroApp::InitInstance() {
    // The background picture is decoded by OLE, which wants the thread's
    // apartment set up first.
    HRESULT ole = ::OleInitialize(nullptr);
    Prepare();
    // What runs that ended without tidying left in the temporary folder.
    viewer::ProgramRunFolders().RemoveLeftovers();
    {
        MainDialog mainDialog;
        mainDialog.SetStartupPacks(CommandLinePacks(__argc, __argv));
        mainDialog.DoModal(nullptr);
    }
    // The entries dragged, copied or opened: a file another program still
    // has open stays.
    viewer::ProgramRunFolders().RemoveOwn();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return false;
}

}  // namespace app
