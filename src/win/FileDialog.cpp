#include "win/FileDialog.h"

namespace win {
namespace {

class SystemOpenFileDialog : public OpenFileDialogSeam {
public:
    bool Show(OPENFILENAMEA& request) override { return ::GetOpenFileNameA(&request) != FALSE; }
};

SystemOpenFileDialog systemDialog;
OpenFileDialogSeam* currentSeam = &systemDialog;

}  // namespace

OpenFileDialogSeam* SetOpenFileDialogSeam(OpenFileDialogSeam* seam) {
    OpenFileDialogSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemDialog;
    return previous == &systemDialog ? nullptr : previous;
}

bool ShowOpenFileDialog(OPENFILENAMEA& request) {
    return currentSeam->Show(request);
}

}  // namespace win
