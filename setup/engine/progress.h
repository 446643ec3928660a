// The installation engine: the modeless progress dialog and its chain of install steps.
#ifndef PROGRESS_H
#define PROGRESS_H

#include <windows.h>

#include "pathtext.h"

// The progress dialog's private step messages.
enum InstallStep {
    StepArmed = WM_USER + 30,   // 1054, not a message: the start timer has fired
    StepCopyScript,             // 1055, the script becomes the install log
    StepIdle,                   // 1056
    StepCopyFile,               // 1057, one file-list entry; repeats
    StepWriteRegistration,      // 1058
    StepShortcut,               // 1059
    StepRecordFolders,          // 1060, created folders and the uninstall entry
    StepFinish                  // 1061
};

// What the wizard's pages collected for the installation, and how the dialog answers the
// wizard: handed to the dialog as CreateDialogParamA's last argument. The record and what it
// points to must outlive the dialog. The install folder is setupContext's installDir.
struct InstallChoices {
    const char *userName;               // the registration page's two values
    const char *division;
    const FolderSlot *createdFolders;   // FOLDER_LIST_SLOTS folders made for the install folder
    int *pageResult;                    // set to PROGRESS_CANCELLED when the user cancels
    UINT doneMessage;                   // posted to mainWindow when every step is done
    UINT abortMessage;                  // posted to mainWindow when the installation stops
};
enum { PROGRESS_CANCELLED = 1 };

// Dialog procedure of PROGR_DIALOG, which the wizard creates modeless as a child of
// mainWindow and keeps in progressDialog; lParam of WM_INITDIALOG is the InstallChoices.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step; nonzero to go on, 0 when the installation must stop.
int RunInstallStep(HWND dialog, int step);

#endif
