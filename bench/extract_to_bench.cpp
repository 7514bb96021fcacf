// extract_to_bench.exe PACK FOLDER: times the pack viewer's "Extract all
// to..." writing every entry of PACK below FOLDER (which exists and is empty),
// from the command chosen in the entry pop-up to the progress window gone, in
// the real viewer window. The pop-up and the folder chooser answer through
// their seams; TESSARO_EXTRACT_THREADS, set by the caller, picks one thread
// or two. Prints "ms TIME" and, when the run ended with a box (something
// could not be written), "box TEXT".
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>

#include "BenchClock.h"
#include "resource.h"
#include "viewer/VpkViewerDialog.h"
#include "win/App.h"
#include "win/FileDialog.h"
#include "win/Menu.h"
#include "win/MessageBox.h"

namespace {

using bench::Now;
using bench::Pump;

// "Extract all to..." picked in the pop-up, `folder` in the chooser, and the
// text of any box noted.
class Answers final : public win::PopupMenuSeam, public win::FolderDialogSeam, public win::MessageBoxSeam {
public:
    explicit Answers(std::string target) : folder(std::move(target)) {}
    int Track(const win::PopupMenuCall&) override { return ID_EXTRACT_ALL_TO; }
    bool Show(HWND, const char*, std::string& chosen) override {
        chosen = folder;
        return true;
    }
    int Show(const win::MessageBoxCall& call) override {
        box = call.text;
        return IDOK;
    }
    std::string box;

private:
    const std::string folder;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: extract_to_bench PACK FOLDER\n");
        return 2;
    }
    win::InitCommonControlClasses();
    Answers answers(argv[2]);
    win::SetPopupMenuSeam(&answers);
    win::SetFolderDialogSeam(&answers);
    win::SetMessageBoxSeam(&answers);
    viewer::VpkViewerDialog viewer;
    viewer.Create(nullptr);
    viewer.AddPack(argv[1]);
    viewer.LoadPackRow(0);
    Pump();
    HWND list = viewer.EntryList().Handle();
    if (::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0) {
        std::fprintf(stderr, "extract_to_bench: no entries in %s\n", argv[1]);
        return 1;
    }
    LVITEMA selected{};
    selected.stateMask = selected.state = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));

    // A right click on the row, as the list view reports it.
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    click.hdr.code = static_cast<UINT>(NM_RCLICK);
    const double start = Now();
    viewer.Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    while (viewer.IsExtracting()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    std::printf("ms %.1f\n", Now() - start);
    if (!answers.box.empty()) std::printf("box %s\n", answers.box.c_str());
    viewer.DestroyWindow();
    return 0;
}
