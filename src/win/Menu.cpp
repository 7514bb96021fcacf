#include "win/Menu.h"

#include "win/App.h"

namespace win {
namespace {

class SystemPopupMenu : public PopupMenuSeam {
public:
    int Track(const PopupMenuCall& call) override {
        return ::TrackPopupMenu(call.menu, call.flags, call.x, call.y, 0, call.owner, nullptr);
    }
};

SystemPopupMenu systemPopupMenu;
PopupMenuSeam* currentSeam = &systemPopupMenu;

}  // namespace

Menu Menu::Load(int id) {
    return Menu(::LoadMenuA(Instance(), MAKEINTRESOURCEA(id)));
}

PopupMenuSeam* SetPopupMenuSeam(PopupMenuSeam* seam) {
    PopupMenuSeam* previous = currentSeam;
    currentSeam = seam != nullptr ? seam : &systemPopupMenu;
    return previous == &systemPopupMenu ? nullptr : previous;
}

int ShowPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    return currentSeam->Track(PopupMenuCall{menu, flags, x, y, owner});
}

}  // namespace win
