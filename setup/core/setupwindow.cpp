#include "setupwindow.h"

#include <string.h>

#include "setupcontext.h"
#include "windowplace.h"

void GetCenteredWindowRect(int *x, int *y, int *width, int *height)
{
    WindowPlace place = CenteredPlace(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    *x = place.x;
    *y = place.y;
    *width = place.width;
    *height = place.height;
}

bool RegisterSetupClass(HINSTANCE instance, WNDPROC procedure, bool smallIcon)
{
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "SETUP");
    if (smallIcon)
        windowClass.hIconSm = (HICON)LoadImageA(instance, "SETUP", IMAGE_ICON, 16, 16, 0);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = setupContext.baseName;
    return RegisterClassExA(&windowClass) != 0;
}

bool RunCenteredSetupWindow(HINSTANCE instance, WNDPROC procedure)
{
    const SetupContext &ctx = setupContext;
    int x, y, width, height;
    GetCenteredWindowRect(&x, &y, &width, &height);
    HWND window = NULL;
    if (RegisterSetupClass(instance, procedure, false))
        window = CreateWindowExA(0, ctx.baseName, ctx.caption, WS_OVERLAPPED, x, y, width,
                                 height, NULL, NULL, instance, NULL);
    if (window == NULL)
        return false;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0;
}

void PaintCenteredLine(HWND window, const char *text)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EndPaint(window, &paint);
}
