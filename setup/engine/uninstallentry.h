// The uninstall entry: the key under the system's list of removable programs whose command
// starts SETUP again to remove this installation.
#ifndef UNINSTALLENTRY_H
#define UNINSTALLENTRY_H

// Writes "DisplayName" (Title) and "UninstallString" under the lowest free entry number of
// baseName. True when the entry was written; the installation goes on either way.
bool RegisterUninstallEntry();

#endif
