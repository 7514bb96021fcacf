/* Keeps one user32 process alive in the test prefix for the whole test run,
 * so each test program starts in a fraction of a second instead of ~2.5 s.
 * It waits for messages until the harness kills it. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int show)
{
    (void)instance; (void)previous; (void)cmdLine; (void)show;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
