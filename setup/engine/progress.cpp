#include "progress.h"

#include <commctrl.h>

#include "installrules.h"
#include "installsteps.h"
#include "resource.h"
#include "setupcontext.h"
#include "setupscript.h"

static_assert(StepArmed == WM_USER + 30, "the steps are the dialog's private messages");

namespace {

enum { START_TIMER = 1, STEP_TIMER = 2, STEP_PAUSE_MS = 100 };

UINT_PTR startTimer;
UINT_PTR stepTimer;

void KillStepTimer(HWND dialog)
{
    if (stepTimer != 0)
        KillTimer(dialog, STEP_TIMER);
    stepTimer = 0;
}

// The dialog's three ways out: it always lets go of progressDialog before the wizard hears.
void EndProgress(HWND dialog, UINT pageMessage)
{
    KillStepTimer(dialog);
    setupContext.progressDialog = NULL;
    DestroyWindow(dialog);
    PostMessageA(setupContext.mainWindow, pageMessage, 0, 0);
}

void OnInitDialog(HWND dialog, const InstallChoices *choices)
{
    engineState.choices = choices;
    // Importing it is what matters: the control library registers the progress bar when it
    // loads with the program, before any dialog is made.
    InitCommonControls();
    startTimer = 0;
    stepTimer = 0;
    SetWindowTextA(dialog, setupContext.caption);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                        MAKELPARAM(0, setupScript.stepCount));
    engineState.copyFinished = false;
    engineState.diskNumber = 1;
    engineState.fileIndex = 0;
    startTimer = SetTimer(dialog, START_TIMER, STEP_PAUSE_MS, NULL);
}

void OnTimer(HWND dialog, WPARAM id)
{
    if (id == START_TIMER) {
        KillTimer(dialog, START_TIMER);
        startTimer = 0;
        engineState.currentStep = StepArmed;
        stepTimer = SetTimer(dialog, STEP_TIMER, STEP_PAUSE_MS, NULL);
    } else if (id == STEP_TIMER) {
        KillStepTimer(dialog);
        PostMessageA(dialog, NextInstallStep(engineState.currentStep, engineState.copyFinished),
                     0, 0);
    }
}

void OnStep(HWND dialog, int step)
{
    engineState.currentStep = step;
    if (RunInstallStep(dialog, step))
        stepTimer = SetTimer(dialog, STEP_TIMER, STEP_PAUSE_MS, NULL);
    else
        EndProgress(dialog, engineState.choices->abortMessage);
}

void OnCancel(HWND dialog)
{
    if (startTimer != 0)
        KillTimer(dialog, START_TIMER);
    startTimer = 0;
    *engineState.choices->pageResult = RESULT_CANCEL;
    EndProgress(dialog, engineState.choices->abortMessage);
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, (const InstallChoices *)lParam);
        return TRUE;
    case WM_TIMER:
        OnTimer(dialog, wParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        OnCancel(dialog);
        return TRUE;
    case StepCopyScript:
    case StepIdle:
    case StepCopyFile:
    case StepWriteRegistration:
    case StepShortcut:
    case StepRecordFolders:
        OnStep(dialog, (int)message);
        return TRUE;
    case StepFinish:
        EndProgress(dialog, engineState.choices->doneMessage);
        return TRUE;
    default:
        return FALSE;
    }
}

int RunInstallStep(HWND dialog, int step)
{
    switch (step) {
    case StepCopyScript:
        return CopyScriptToInstallFolder(dialog);
    case StepIdle:
        return 1;
    case StepCopyFile:
        return CopyListedFile(dialog);
    case StepWriteRegistration:
        return WriteRegistrationFile();
    case StepShortcut:
        return PlaceShortcut(dialog);
    case StepRecordFolders:
        return RecordCreatedFolders();
    default:
        return 0;
    }
}
