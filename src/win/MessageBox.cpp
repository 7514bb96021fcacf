#include "win/MessageBox.h"

#include "win/App.h"

namespace win {
namespace {

class SystemMessageBox : public MessageBoxSeam {
public:
    int Show(const MessageBoxCall& call) override {
        HWND owner = call.owner != nullptr ? call.owner : ::GetActiveWindow();
        return ::MessageBoxA(owner, call.text, call.caption, call.type);
    }
};

SystemMessageBox systemMessageBox;
MessageBoxSeam* currentSeam = &systemMessageBox;

}  // namespace

MessageBoxSeam* SetMessageBoxSeam(MessageBoxSeam* seam) {
    MessageBoxSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemMessageBox;
    return previous == &systemMessageBox ? nullptr : previous;
}

int MessageBox(const std::string& text, UINT type, const char* caption, HWND owner) {
    MessageBoxCall call{owner, text.c_str(), caption != nullptr ? caption : AppTitle().c_str(), type};
    return currentSeam->Show(call);
}

}  // namespace win
