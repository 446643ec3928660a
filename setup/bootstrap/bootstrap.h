// The start from the medium: check the script and the installed products, stage SETUP into
// the Windows directory behind a small preparation window.
#ifndef BOOTSTRAP_H
#define BOOTSTRAP_H

#include <windows.h>

// Runs up to the end of the preparation window's message loop. True when the files were
// staged and the staged copy can be started; false after the failure has been shown.
bool RunBootstrap(HINSTANCE instance);

// Starts the staged copy with "/" and the medium directory.
void RelaunchStagedCopy();

#endif
