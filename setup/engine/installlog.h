// The in-memory side of the install log: what the installation created besides the listed
// files. The engine fills and writes it; the uninstaller reads it back.
#ifndef INSTALLLOG_H
#define INSTALLLOG_H

#include "pathfs.h"

struct InstallLog {
    char shortcutFolder[MAX_PATH_BYTES];          // "Install" / "ShortCutPath"
    FolderSlot createdFolders[FOLDER_LIST_SLOTS];  // "CreatedDir": the install folder's tree
    FolderSlot shortcutFolders[FOLDER_LIST_SLOTS]; // "CreatedScDir": the shortcut's sub-folders
};

extern InstallLog installLog;

// The install log's path: the script's name in the install folder. False when it does not fit.
bool InstallLogPath(char *path);

// "Install" / "ShortCutPath" = the shortcut folder. Write failures are not reported.
void WriteShortcutPath();

// "CreatedDir" and "CreatedScDir": Dir0, Dir1 ... for each folder of the two lists, up to
// the first empty slot.
void WriteCreatedFolderLists();

#endif
