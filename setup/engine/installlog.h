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

#endif
