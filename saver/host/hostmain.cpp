#include <windows.h>

// The screensaver's entry; the host modes and the clock arrive with their own work.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;
    return 0;
}
