// The uninstall entry: the key under the system's list of removable programs whose command
// starts SETUP again to remove one installation. The bootstrap looks for one of its product,
// the engine writes it, the uninstaller deletes it; all three take its key and values from
// here. The texts (uninstallentrytext.cpp) need no windows.h and are built natively as well.
#ifndef UNINSTALLENTRY_H
#define UNINSTALLENTRY_H

#include <stddef.h>

enum {
    UNINSTALL_KEY_BYTES = 512,       // the key of an entry
    UNINSTALL_COMMAND_BYTES = 1024,  // its "UninstallString"
    DISPLAY_NAME_BYTES = 255,        // its "DisplayName" as the bootstrap reads it
    INSTALLED_ENTRIES_SEARCHED = 100 // the bootstrap looks at the entries 0 to 99
};

// The key of entry n (under HKEY_LOCAL_MACHINE):
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + baseName + " Uninst " + n.
// False when it does not fit in size bytes.
bool UninstallEntryKey(char *dest, size_t size, const char *baseName, int n);
// The same with the number as text, taken as it is (the uninstall start's entry number).
bool UninstallEntryKeyText(char *dest, size_t size, const char *baseName, const char *number);

// windowsDir + "\" + exeName + " /Uninst-" + entry number + "-" + installDir, the install
// folder exactly as entered.
bool UninstallCommand(char *dest, size_t size, const char *windowsDir, const char *exeName,
                      int entryNumber, const char *installDir);

// A text value as the registry returned it, length bytes in a buffer of capacity bytes,
// terminated in place. A value stored without its terminator is terminated here when there is
// room; false, value empty, for one that fills the buffer: it may have been cut.
bool TerminateRegistryText(char *value, size_t length, size_t capacity);

// A "DisplayName" so terminated, against title, byte for byte.
bool DisplayNameMatches(char *value, size_t length, size_t capacity, const char *title);

// SETUP's entries in the registry (uninstallentry.cpp), for the program baseName of
// setupContext.

// True when one of the entries 0 to 99 has the script's Title as its DisplayName.
bool IsAlreadyInstalled();

// Writes "DisplayName" (Title) and "UninstallString" under the lowest entry number whose key
// does not exist. True when the entry was written; the installation goes on either way.
bool RegisterUninstallEntry();

// Deletes the entry whose number the uninstall command carries, as it is written there.
bool DeleteUninstallEntry(const char *entryNumber);

// The "DisplayName" of that entry (DISPLAY_NAME_BYTES); false when there is none to be read.
bool ReadEntryDisplayName(const char *entryNumber, char *name);

#endif
