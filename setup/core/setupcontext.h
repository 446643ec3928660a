// The one process-wide record of a SETUP run, filled from the command line and read by
// every part of the installer.
#ifndef SETUPCONTEXT_H
#define SETUPCONTEXT_H

#include <windows.h>

#include "commandline.h"
#include "pathtext.h"

struct SetupContext {
    HINSTANCE instance;
    char baseName[NAME_BYTES];
    char exeName[NAME_BYTES];
    char scriptName[NAME_BYTES];
    char scriptDir[MAX_PATH_BYTES];
    char sourceDir[MAX_PATH_BYTES];
    char windowsDir[MAX_PATH_BYTES];
    char systemDir[MAX_PATH_BYTES];
    char scriptPath[MAX_PATH_BYTES];
    char installDir[MAX_PATH_BYTES];
    char entryNumber[ENTRY_NUMBER_BYTES];
    char caption[NAME_BYTES];
    BOOL bootstrapFailed;
    HWND mainWindow;
    HWND progressDialog;
};

extern SetupContext setupContext;

// Fills windowsDir and systemDir from the platform; false (that folder left empty) when one
// of them is not available or does not fit.
bool FillSystemFolders(SetupContext *ctx);

#endif
