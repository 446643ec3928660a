// The installation engine: the modeless progress dialog and its chain of install steps.
#ifndef PROGRESS_H
#define PROGRESS_H

#include <windows.h>

#include "installrules.h"
#include "pathtext.h"

// What the wizard's pages collected for the installation, and how the dialog answers the
// wizard: handed to the dialog as CreateDialogParamA's last argument. The record and what it
// points to must outlive the dialog. The install folder is setupContext's installDir.
struct InstallChoices {
    const char *userName;               // the registration page's two values
    const char *division;
    const FolderSlot *createdFolders;   // FOLDER_LIST_SLOTS folders made for the install folder
    int *pageResult;                    // set to RESULT_CANCEL when the user cancels
    UINT doneMessage;                   // posted to mainWindow when every step is done
    UINT abortMessage;                  // posted to mainWindow when the installation stops
};

// Dialog procedure of PROGR_DIALOG, which the wizard creates modeless as a child of
// mainWindow and keeps in progressDialog; lParam of WM_INITDIALOG is the InstallChoices.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step; nonzero to go on, 0 when the installation must stop.
int RunInstallStep(HWND dialog, int step);

#endif
