#include "win/FileDialog.h"

#include <shlobj.h>

namespace win {
namespace {

class SystemOpenFileDialog : public OpenFileDialogSeam {
public:
    bool Show(OPENFILENAMEA& request) override { return ::GetOpenFileNameA(&request) != FALSE; }
};

SystemOpenFileDialog systemDialog;
OpenFileDialogSeam* currentSeam = &systemDialog;

class SystemSaveFileDialog : public SaveFileDialogSeam {
public:
    bool Show(OPENFILENAMEA& request) override { return ::GetSaveFileNameA(&request) != FALSE; }
};

SystemSaveFileDialog systemSaveDialog;
SaveFileDialogSeam* currentSaveSeam = &systemSaveDialog;

// Opens the chooser on the folder given, when there is one.
int CALLBACK StartInFolder(HWND dialog, UINT msg, LPARAM, LPARAM folder) {
    if (msg == BFFM_INITIALIZED && *reinterpret_cast<const char*>(folder) != '\0') {
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    }
    return 0;
}

class SystemFolderDialog : public FolderDialogSeam {
public:
    bool Show(HWND owner, const char* title, std::string& folder) override {
        // The chooser's resizable look with its "Make New Folder" button
        // needs COM on this thread.
        const HRESULT com = ::OleInitialize(nullptr);
        BROWSEINFOA request{};
        request.hwndOwner = owner;
        request.lpszTitle = title;
        request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        request.lpfn = StartInFolder;
        request.lParam = reinterpret_cast<LPARAM>(folder.c_str());
        PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&request);
        bool picked = false;
        if (chosen != nullptr) {
            char path[MAX_PATH] = {};
            picked = ::SHGetPathFromIDListA(chosen, path) != FALSE && path[0] != '\0';
            if (picked) folder = path;
            ::CoTaskMemFree(chosen);
        }
        if (SUCCEEDED(com)) ::OleUninitialize();
        return picked;
    }
};

SystemFolderDialog systemFolderDialog;
FolderDialogSeam* currentFolderSeam = &systemFolderDialog;

}  // namespace

OpenFileDialogSeam* SetOpenFileDialogSeam(OpenFileDialogSeam* seam) {
    OpenFileDialogSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemDialog;
    return previous == &systemDialog ? nullptr : previous;
}

bool ShowOpenFileDialog(OPENFILENAMEA& request) {
    return currentSeam->Show(request);
}

SaveFileDialogSeam* SetSaveFileDialogSeam(SaveFileDialogSeam* seam) {
    SaveFileDialogSeam* previous = currentSaveSeam;
    currentSaveSeam = seam != nullptr ? seam : &systemSaveDialog;
    return previous == &systemSaveDialog ? nullptr : previous;
}

bool ShowSaveFileDialog(OPENFILENAMEA& request) {
    return currentSaveSeam->Show(request);
}

FolderDialogSeam* SetFolderDialogSeam(FolderDialogSeam* seam) {
    FolderDialogSeam* previous = currentFolderSeam;
    currentFolderSeam = seam != nullptr ? seam : &systemFolderDialog;
    return previous == &systemFolderDialog ? nullptr : previous;
}

bool ShowFolderDialog(HWND owner, const char* title, std::string& folder) {
    return currentFolderSeam->Show(owner, title, folder);
}

}  // namespace win
