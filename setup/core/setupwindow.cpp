#include "setupwindow.h"

#include <string.h>

#include "bootstrap.h"
#include "setupcontext.h"

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

bool RunCentredSetupWindow(HINSTANCE instance, WNDPROC procedure)
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
