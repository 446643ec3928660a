// The install steps behind the progress dialog and the state they share. Internal to the
// engine; the wizard sees only progress.h.
#ifndef INSTALLSTEPS_H
#define INSTALLSTEPS_H

#include <windows.h>

// One set per process, reset when the dialog opens.
struct EngineState {
    int fileIndex;      // next file-list entry to copy
    int diskNumber;     // the disk the user was last asked for
    bool copyFinished;  // the file list is exhausted
    int currentStep;    // the step most recently started (an InstallStep value)
};

extern EngineState engineState;

// Each returns false when the installation must stop, after its own message if it has one.
bool CopyScriptToInstallFolder(HWND dialog);   // StepCopyScript
bool CopyListedFile(HWND dialog);              // StepCopyFile
bool WriteRegistrationFile();                  // StepWriteRegistration
bool PlaceShortcut(HWND dialog);               // StepShortcut
bool RecordCreatedFolders();                   // StepRecordFolders

// Line id of the dialog = string stringId formatted with argument.
void ShowProgressLine(HWND dialog, int lineId, UINT stringId, const char *argument);

#endif
