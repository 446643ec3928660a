// The uninstall start: the install log's own sections, confirmation and removal.
#ifndef UNINSTALLER_H
#define UNINSTALLER_H

#include <windows.h>

// Reads the sections the installation added to the install log.
bool ReadInstallLog();
// After the install log could not be read: asks whether the uninstall entry goes from the list
// of installed programs, which otherwise keeps the product installed for SETUP for ever, and
// deletes it on Yes. Nothing else is touched.
void OfferEntryRemoval();
// Confirmation, window, removal. False when the user declines or the window cannot be made
// (then nothing is removed).
bool RunUninstall(HINSTANCE instance);

#endif
