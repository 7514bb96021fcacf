// Tessaro's entry point: the one application object runs the main window.
#include "app/TessaroApp.h"

namespace {
app::TessaroApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return 0;
}
