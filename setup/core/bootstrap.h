// The start from the medium: check the script and the installed products, stage SETUP into
// the Windows directory behind a small preparation window.
#ifndef BOOTSTRAP_H
#define BOOTSTRAP_H

#include <windows.h>

// Runs up to the end of the preparation window's message loop. True when the files were
// staged and the staged copy can be started; false after the failure has been shown.
bool RunBootstrap(HINSTANCE instance);

LRESULT CALLBACK PreparationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// 0.4 x 2/15 of the screen, centred. Also places the uninstall window.
void GetCenteredWindowRect(int *x, int *y, int *width, int *height);

// Copies the program, its script and its pictures into the Windows directory and lists all
// but the program in WININIT.INI for deletion at the next restart. False after its own message.
bool StageSetupFiles(HWND owner);

// True when an uninstall entry of this product (DisplayName equal to Title) exists.
bool IsAlreadyInstalled();

// Starts the staged copy with "/" and the medium directory.
void RelaunchStagedCopy();

#endif
