// Menus loaded from the resources, and pop-up menus behind a seam that tests
// replace (a pop-up menu runs its own modal loop).
#pragma once

#include <utility>

#include "win/Win32.h"

namespace win {

// A menu that is destroyed with its owner. Move-only.
class Menu {
public:
    Menu() = default;
    explicit Menu(HMENU menu) : menu_(menu) {}
    // Menu resource `id` of the program's module; empty when missing.
    static Menu Load(int id);
    ~Menu() { Reset(); }
    Menu(Menu&& other) noexcept : menu_(other.Release()) {}
    Menu& operator=(Menu&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU Get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    // The pop-up at `index`, or null. Borrowed: it is destroyed with this menu.
    HMENU SubMenu(int index) const { return menu_ != nullptr ? ::GetSubMenu(menu_, index) : nullptr; }
    HMENU Release() { return std::exchange(menu_, nullptr); }
    void Reset(HMENU menu = nullptr) {
        HMENU old = std::exchange(menu_, menu);
        if (old != nullptr) ::DestroyMenu(old);
    }

private:
    HMENU menu_ = nullptr;
};

// One pop-up menu as it is about to be shown.
struct PopupMenuCall {
    HMENU menu;
    UINT flags;  // TPM_RIGHTBUTTON | TPM_RETURNCMD, ...
    int x;       // screen coordinates
    int y;
    HWND owner;
};

// Whatever shows pop-up menus. Tests install a recorder that reads the
// menu's items and returns a scripted command.
class PopupMenuSeam {
public:
    virtual ~PopupMenuSeam() = default;
    // As TrackPopupMenu: with TPM_RETURNCMD, the chosen command or 0.
    virtual int Track(const PopupMenuCall& call) = 0;
};

// Routes ShowPopupMenu to `seam` (null: the real menu) and returns the seam
// that was in place before.
PopupMenuSeam* SetPopupMenuSeam(PopupMenuSeam* seam);

// TrackPopupMenu through the seam.
int ShowPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);

}  // namespace win
