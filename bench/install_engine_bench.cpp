// Driver of bench/install-engine-bench.sh (never run as a test): installs the package on the
// medium in D:\ into C:\Bench through the progress dialog, started as the wizard starts it,
// and prints the time from the dialog's creation to its report beside the sum of the 100 ms
// pauses before its steps. Message boxes are answered with OK.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "installlog.h"
#include "progress.h"
#include "setupscript.h"
#include "wizard.h"

void ShowScriptError(const char *text)
{
    fprintf(stderr, "script refused: %s\n", text);
}

namespace {

UINT outcome;

BOOL CALLBACK AnswerBox(HWND window, LPARAM)
{
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(window))
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

VOID CALLBACK WatchBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

LRESULT CALLBACK WizardStandIn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != PageDone && message != PageAbort)
        return DefWindowProcA(window, message, wParam, lParam);
    outcome = message;
    PostQuitMessage(0);
    return 0;
}

}  // namespace

int main()
{
    setupContext.instance = GetModuleHandleA(NULL);
    strcpy(setupContext.baseName, "SETUP");
    strcpy(setupContext.exeName, "SETUP.exe");
    strcpy(setupContext.scriptName, "SETUP.ini");
    strcpy(setupContext.scriptDir, "D:\\");
    strcpy(setupContext.sourceDir, "D:\\");
    if (ReadSetupScript() != 1)
        return 1;
    strcpy(setupContext.installDir, "C:\\Bench");
    strcpy(setupContext.caption, setupScript.Title);
    CreateFolderTree(setupContext.installDir, installLog.createdFolders, FOLDER_LIST_SLOTS);
    strcpy(userName, "bench");
    strcpy(division, "bench");

    WNDCLASSA type = {};
    type.lpfnWndProc = WizardStandIn;
    type.hInstance = setupContext.instance;
    type.lpszClassName = "WizardStandIn";
    RegisterClassA(&type);
    setupContext.mainWindow = CreateWindowA("WizardStandIn", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                            0, 800, 600, NULL, NULL, setupContext.instance, NULL);
    DWORD start = GetTickCount();
    HWND dialog = CreateDialogParamA(setupContext.instance, "PROGR_DIALOG", setupContext.mainWindow,
                                     ProgressDialogProc, 0);
    setupContext.progressDialog = dialog;
    SetTimer(NULL, 0, 30, WatchBoxes);
    int steps = 0;
    MSG msg;
    while (dialog != NULL && GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.hwnd == dialog && msg.message >= StepCopyScript && msg.message <= StepFinish)
            steps++;
        if (setupContext.progressDialog == NULL || !IsDialogMessageA(setupContext.progressDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DWORD elapsed = GetTickCount() - start;
    int pauses = (steps + 1) * 100;   // the start timer, then one pause before every step
    printf("installation %s: %d listed files, %d steps\n", outcome == PageDone ? "complete" : "stopped",
           setupScript.fileCount, steps);
    printf("time %lu ms, of which 100 ms pauses %d ms: overhead %ld ms\n", (unsigned long)elapsed, pauses,
           (long)elapsed - pauses);
    return outcome == PageDone ? 0 : 1;
}
