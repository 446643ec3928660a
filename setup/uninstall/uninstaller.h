// The uninstall start: the install log's own sections, confirmation and removal.
#ifndef UNINSTALLER_H
#define UNINSTALLER_H

#include <windows.h>

// Reads the sections the installation added to the install log.
bool ReadInstallLog();
// Confirmation, window, removal. False when the user declines or the window cannot be made
// (then nothing is removed).
bool RunUninstall(HINSTANCE instance);

LRESULT CALLBACK UninstallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Deletes the install log, the listed files, the shortcut and the created folders; true when
// everything named by the log is gone.
bool RemoveInstalledItems();
// Deletes the uninstall entry whose number the command line carries, as it is written there.
bool DeleteUninstallEntry(const char *entryNumber);

#endif
