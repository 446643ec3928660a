// The uninstall start: the install log's own sections, confirmation and removal.
#ifndef UNINSTALLER_H
#define UNINSTALLER_H

#include <windows.h>

// Reads the sections the installation added to the install log.
BOOL ReadInstallLog();
// Confirmation, window, removal; returns the quit code, or 0 when the user declines.
int RunUninstall(HINSTANCE instance);

#endif
