// The host's process-wide record and the hooks through which the clock plugs in.
#ifndef SAVERHOST_H
#define SAVERHOST_H

#include <windows.h>

typedef BOOL(WINAPI *VerifyPasswordFunction)(HWND);
typedef HIMC(WINAPI *AssociateContextFunction)(HWND, HIMC);

struct SaverHostState {
    HINSTANCE instance;
    HWND saverWindow;
    bool isPreview;
    bool closePermitted;
    bool verifying;
    HMODULE passwordModule;
    VerifyPasswordFunction verifyPassword;
    HMODULE imeModule;
    AssociateContextFunction associateContext;
    HIMC savedImeContext;
    bool isWin9x;
    DWORD mouseThreshold;
    DWORD lastVerifyTick;
    POINT referencePoint;
};

extern SaverHostState saverHost;

// Everything the host leaves unhandled ends here, then in DefWindowProcA.
LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hooks implemented by the clock.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL RegisterConfigClasses(HINSTANCE instance);
INT_PTR CALLBACK SaverConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
