#include <windows.h>

// The installer's entry; its starts arrive with the setup core.
int SetupMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    return SetupMain(instance, previous, commandLine, showState);
}
