// The saver window's procedures over the close rules, and the platform table the rules are handed.
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

namespace {

SaverHostState &Host(void *context)
{
    return *(SaverHostState *)context;
}

intptr_t DefaultProc(void *, void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return DefWindowProcA((HWND)window, message, wParam, lParam);
}

intptr_t PassOn(void *, void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return SaverWindowProc((HWND)window, message, wParam, lParam);
}

void PostClose(void *, void *window)
{
    PostMessageA((HWND)window, WM_CLOSE, 0, 0);
}

void HideCursor(void *)
{
    SetCursor(NULL);
}

RulePoint CursorPosition(void *)
{
    POINT point = {0, 0};
    GetCursorPos(&point);
    RulePoint result = {(int32_t)point.x, (int32_t)point.y};
    return result;
}

uint32_t TickCount(void *)
{
    return GetTickCount();
}

void DropPendingTicks(void *, void *window)
{
    MSG message;
    PeekMessageA(&message, (HWND)window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&message, (HWND)window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

intptr_t SendVerifyRequest(void *, void *window)
{
    return SendMessageA((HWND)window, VerifyPasswordMessage, 0, 0);
}

bool VerifierLoaded(void *context)
{
    return Host(context).verifyPassword != NULL;
}

intptr_t CallVerifier(void *context, void *window)
{
    return Host(context).verifyPassword((HWND)window);
}

void GiveUpTimeSlice(void *)
{
    Sleep(0);
}

// The saver never loads the input-method module itself; it only keeps an already loaded one
// from showing its window over the saver.
void DetachInputMethod(void *context, void *window)
{
    SaverHostState &host = Host(context);
    host.imeModule = GetModuleHandleA("IMM32.DLL");
    if (host.imeModule == NULL)
        return;
    host.associateContext =
        (AssociateContextFunction)(void (*)())GetProcAddress(host.imeModule, "ImmAssociateContext");
    if (host.associateContext != NULL)
        host.savedImeContext = host.associateContext((HWND)window, NULL);
}

void RestoreInputMethod(void *context, void *window)
{
    SaverHostState &host = Host(context);
    if (host.imeModule != NULL && host.associateContext != NULL && host.savedImeContext != NULL)
        host.associateContext((HWND)window, host.savedImeContext);
}

void PostQuit(void *)
{
    PostQuitMessage(0);
}

void ForwardToParent(void *, void *window, unsigned message, intptr_t lParam)
{
    HWND parent = GetParent((HWND)window);
    if (parent != NULL && IsWindow(parent))
        PostMessageA(parent, message, (WPARAM)parent, lParam);
}

const RulePlatform windowSystem = {&saverHost, DefaultProc, PassOn, PostClose, HideCursor, CursorPosition,
                                   TickCount, DropPendingTicks, SendVerifyRequest, VerifierLoaded,
                                   CallVerifier, GiveUpTimeSlice, DetachInputMethod, RestoreInputMethod,
                                   PostQuit, ForwardToParent};

}  // namespace

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverClassRule(saverHost, windowSystem, window, message, wParam, lParam);
}

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HostDefaultRule(saverHost, windowSystem, window, message, wParam, lParam);
}

bool ConfirmClose(HWND window)
{
    return ConfirmCloseRule(saverHost, windowSystem, window);
}
