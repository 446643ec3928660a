// Stands in for the clock's hooks until the clock is built; removed when it arrives.
#include "saverhost.h"

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HostDefaultProc(window, message, wParam, lParam);
}

BOOL RegisterConfigClasses(HINSTANCE instance)
{
    (void)instance;
    return TRUE;
}

INT_PTR CALLBACK SaverConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
