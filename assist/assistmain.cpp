#include <windows.h>

// The install assistant's entry; its work arrives with the assistant itself.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;
    return 0;
}
