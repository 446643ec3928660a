// Stands in for the host's record and default procedure until the host is built; removed
// when it arrives.
#include "saverhost.h"

SaverHostState saverHost;

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
