// skin-gallery.exe: one window showing the skinned list and the pane
// dividers, for screenshots and for reviewing the look.
#include "gallery/GalleryWindow.h"
#include "win/App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win::InitCommonControlClasses();
    gallery::GalleryWindow window;
    if (!window.Create(win::Rect::FromSize(40, 40, 820, 600), true, true)) return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
