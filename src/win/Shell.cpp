#include "win/Shell.h"

namespace win {
namespace {

class SystemShell : public ShellSeam {
public:
    INT_PTR Execute(const ShellCall& call) override {
        return reinterpret_cast<INT_PTR>(
            ::ShellExecuteA(call.owner, call.verb, call.file, call.parameters, call.directory, call.show));
    }
};

SystemShell systemShell;
ShellSeam* currentSeam = &systemShell;

}  // namespace

ShellSeam* SetShellSeam(ShellSeam* seam) {
    ShellSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemShell;
    return previous == &systemShell ? nullptr : previous;
}

INT_PTR ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                     const char* directory, int show) {
    return currentSeam->Execute(ShellCall{owner, verb, file, parameters, directory, show});
}

}  // namespace win
