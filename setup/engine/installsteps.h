// The install steps behind the progress dialog and the state they share. Internal to the
// engine; the wizard sees only progress.h.
#ifndef INSTALLSTEPS_H
#define INSTALLSTEPS_H

#include <windows.h>

#include "installlog.h"
#include "pathtext.h"
#include "progress.h"

// One set per process, reset when the dialog opens.
struct EngineState {
    const InstallChoices *choices;   // from the wizard, for the whole run of the dialog
    int fileIndex;      // next file-list entry to copy
    int diskNumber;     // the disk the user was last asked for
    bool copyFinished;  // the file list is exhausted
    int currentStep;    // the step most recently started (an InstallStep value)
};

extern EngineState engineState;

// The shortcut step's part of the install log: the folder that holds the link and the folders
// made for it. Empty at process start; the dialog does not reset them.
extern char shortcutFolder[MAX_PATH_BYTES];
extern FolderSlot shortcutFolders[FOLDER_LIST_SLOTS];

// Each returns false when the installation must stop, after its own message if it has one.
bool CopyScriptToInstallFolder(HWND dialog);   // StepCopyScript
bool CopyListedFile(HWND dialog);              // StepCopyFile
bool WriteRegistrationFile();                  // StepWriteRegistration
bool PlaceShortcut(HWND dialog);               // StepShortcut
bool RecordCreatedFolders();                   // StepRecordFolders

// The install log's path (MAX_PATH_BYTES): the script's name in the install folder. False
// when it does not fit.
bool InstallLogPath(char *path);
// The install log at that path, which path holds for as long as file is used.
bool OpenEngineInstallLog(InstallLogFile *file, char *path);

// Line id of the dialog = string stringId formatted with argument.
void ShowProgressLine(HWND dialog, int lineId, UINT stringId, const char *argument);

#endif
