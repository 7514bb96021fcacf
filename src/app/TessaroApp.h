// The application object: sets the look every dialog shares and runs the
// main window; when the main window closes, the program ends.
#pragma once

#include <string>
#include <vector>

#include "win/Win32.h"

namespace app {

// Every dialog and message box of the program: red text on black.
inline constexpr COLORREF kDialogBackground = RGB(0, 0, 0);
inline constexpr COLORREF kDialogText = RGB(255, 20, 20);

// The program's arguments after its own name: the packs to open at start-up
// ("Open with" and a file association pass one path each).
std::vector<std::string> CommandLinePacks(int argc, char** argv);

class TessaroApp {
public:
    // Runs the program: returns false once the main window has closed, so
    // the program ends instead of entering a message loop of its own.
    bool InitInstance();

    // The start-up half of InitInstance, before the main window runs: the
    // system's controls, the shared dialog colours, and the pack archive's
    // messages shown in message boxes.
    static void Prepare();
};

}  // namespace app
