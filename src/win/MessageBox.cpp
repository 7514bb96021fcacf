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
thread_local HWND defaultOwner = nullptr;

}  // namespace

MessageBoxSeam* SetMessageBoxSeam(MessageBoxSeam* seam) {
    MessageBoxSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemMessageBox;
    return previous == &systemMessageBox ? nullptr : previous;
}

int MessageBox(const std::string& text, UINT type, const char* caption, HWND owner) {
    // A window closed while an earlier box of the same work was up owns nothing.
    if (owner == nullptr && ::IsWindow(defaultOwner)) owner = defaultOwner;
    MessageBoxCall call{owner, text.c_str(), caption != nullptr ? caption : AppTitle().c_str(), type};
    // The box's loop may run other windows' handlers: their boxes are theirs.
    const MessageBoxOwner none(nullptr);
    return currentSeam->Show(call);
}

MessageBoxOwner::MessageBoxOwner(HWND window) : previous_(defaultOwner) {
    defaultOwner = window;
}

MessageBoxOwner::~MessageBoxOwner() {
    defaultOwner = previous_;
}

}  // namespace win
