// The host's process-wide record and the hooks through which the clock plugs in.
#ifndef SAVERHOST_H
#define SAVERHOST_H

#include <windows.h>

#include "closerules.h"

typedef BOOL(WINAPI *VerifyPasswordFunction)(HWND);
typedef HIMC(WINAPI *AssociateContextFunction)(HWND, HIMC);

// The close rules' fields (isPreview, isWin9x, closePermitted, verifying, mouseThreshold,
// lastVerifyTick, referencePoint) come from SaverRuleState, so that the rules can be built
// without the platform.
struct SaverHostState : SaverRuleState {
    HINSTANCE instance = NULL;
    HWND saverWindow = NULL;
    HMODULE passwordModule = NULL;
    VerifyPasswordFunction verifyPassword = NULL;
    HMODULE imeModule = NULL;
    AssociateContextFunction associateContext = NULL;
    HIMC savedImeContext = NULL;
};

extern SaverHostState saverHost;

// Exit codes the platform does not define.
enum {
    EXIT_INVALID = -1,
    EXIT_NO_SAVER_WINDOW = 1,
    EXIT_AFTER_EXCEPTION = 2,
    EXIT_MESSAGE_LOOP_FAILED = 3
};

int HostMain(HINSTANCE instance, const char *argumentText);
int RunSaverWindow(HWND parent);
INT_PTR ShowConfigDialog(HWND owner);

// The window class's procedure; and everything the clock leaves unhandled ends in
// HostDefaultProc, then in DefWindowProcA.
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool ConfirmClose(HWND window);

// Platform password features of the Windows 95 family.
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(bool on);
void RequestPasswordChange(HWND window);

// Hooks implemented by the clock.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL RegisterConfigClasses(HINSTANCE instance);
INT_PTR CALLBACK SaverConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
