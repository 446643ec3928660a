#include "progress.h"

#include "setupcontext.h"
#include "wizard.h"

// Until the engine exists the progress page installs nothing: the dialog reports failure
// at once, so the wizard shows its abort message rather than a success it did not have.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message != WM_INITDIALOG)
        return FALSE;
    setupContext.progressDialog = NULL;
    PostMessageA(setupContext.mainWindow, PageAbort, 0, 0);
    DestroyWindow(dialog);
    return TRUE;
}

int RunInstallStep(HWND dialog, int step)
{
    (void)dialog;
    (void)step;
    return 0;
}
