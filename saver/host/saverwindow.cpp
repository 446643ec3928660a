// The saver window's procedures over the close rules, and the platform operations the rules use.
#include "saverhost.h"

static_assert(MSG_CREATE == WM_CREATE && MSG_DESTROY == WM_DESTROY && MSG_SETTEXT == WM_SETTEXT &&
                  MSG_PAINT == WM_PAINT && MSG_CLOSE == WM_CLOSE && MSG_SHOWWINDOW == WM_SHOWWINDOW &&
                  MSG_ACTIVATEAPP == WM_ACTIVATEAPP && MSG_SETCURSOR == WM_SETCURSOR &&
                  MSG_HELP == WM_HELP && MSG_CONTEXTMENU == WM_CONTEXTMENU &&
                  MSG_KEYDOWN == WM_KEYDOWN && MSG_SYSKEYDOWN == WM_SYSKEYDOWN &&
                  MSG_SYSCOMMAND == WM_SYSCOMMAND && MSG_TIMER == WM_TIMER &&
                  MSG_MOUSEMOVE == WM_MOUSEMOVE && MSG_LBUTTONDOWN == WM_LBUTTONDOWN &&
                  MSG_RBUTTONDOWN == WM_RBUTTONDOWN && MSG_MBUTTONDOWN == WM_MBUTTONDOWN,
              "the rules' message numbers are the platform's");
static_assert(COMMAND_NEXTWINDOW == SC_NEXTWINDOW && COMMAND_PREVWINDOW == SC_PREVWINDOW &&
                  COMMAND_SCREENSAVE == SC_SCREENSAVE && VerifyPasswordMessage == WM_APP,
              "the rules' command numbers are the platform's");

SaverHostState saverHost;

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverClassRule(saverHost, window, message, wParam, lParam);
}

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HostDefaultRule(saverHost, window, message, wParam, lParam);
}

BOOL ConfirmClose(HWND window)
{
    return ConfirmCloseRule(saverHost, window);
}

intptr_t PlatformDefaultProc(void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return DefWindowProcA((HWND)window, message, wParam, lParam);
}

intptr_t PlatformPassOn(void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return SaverWindowProc((HWND)window, message, wParam, lParam);
}

void PlatformPostClose(void *window)
{
    PostMessageA((HWND)window, WM_CLOSE, 0, 0);
}

void PlatformHideCursor()
{
    SetCursor(NULL);
}

RulePoint PlatformCursorPosition()
{
    POINT point = {0, 0};
    GetCursorPos(&point);
    RulePoint result = {(int32_t)point.x, (int32_t)point.y};
    return result;
}

uint32_t PlatformTickCount()
{
    return GetTickCount();
}

void PlatformDropPendingTicks(void *window)
{
    MSG message;
    PeekMessageA(&message, (HWND)window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&message, (HWND)window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

intptr_t PlatformSendVerifyRequest(void *window)
{
    return SendMessageA((HWND)window, VerifyPasswordMessage, 0, 0);
}

bool PlatformVerifierLoaded()
{
    return saverHost.verifyPassword != NULL;
}

intptr_t PlatformCallVerifier(void *window)
{
    return saverHost.verifyPassword((HWND)window);
}

void PlatformYield()
{
    Sleep(0);
}

// The saver never loads the input-method module itself; it only keeps an already loaded one
// from showing its window over the saver.
void PlatformDetachInputMethod(void *window)
{
    saverHost.imeModule = GetModuleHandleA("IMM32.DLL");
    if (saverHost.imeModule == NULL)
        return;
    saverHost.associateContext =
        (AssociateContextFunction)(void (*)())GetProcAddress(saverHost.imeModule, "ImmAssociateContext");
    if (saverHost.associateContext != NULL)
        saverHost.savedImeContext = saverHost.associateContext((HWND)window, NULL);
}

void PlatformRestoreInputMethod(void *window)
{
    if (saverHost.imeModule != NULL && saverHost.associateContext != NULL && saverHost.savedImeContext != NULL)
        saverHost.associateContext((HWND)window, saverHost.savedImeContext);
}

void PlatformPostQuit()
{
    PostQuitMessage(0);
}

void PlatformForwardToParent(void *window, unsigned message, intptr_t lParam)
{
    HWND parent = GetParent((HWND)window);
    if (parent != NULL && IsWindow(parent))
        PostMessageA(parent, message, (WPARAM)parent, lParam);
}
