// What the uninstaller removes and in which order, apart from how it is removed: the removal
// sequence over what the install log names. No
// windows.h here: built natively as well, under the sanitizers and the fuzzer.
#ifndef UNINSTALLRULES_H
#define UNINSTALLRULES_H

#include <stddef.h>

#include "listedfile.h"
#include "pathtext.h"
#include "setupscript.h"

// A drive path ("C:\...") or a network path ("\\server\..."): the only kind the uninstaller
// touches, so that a missing or empty folder in the log never resolves against the current
// folder.
bool IsFullPath(const char *path);

// Where the removal acts: the file system in SETUP, a recorder in tests. Each returns true
// when the item is gone.
struct RemovalTarget {
    void *context;
    bool (*deleteFile)(void *context, const char *path);
    bool (*removeFolder)(void *context, const char *path);
};

// What one installation left, as the install log names it.
struct InstalledItems {
    const char *logPath;
    const FileEntry *files;     // the file list, fileCount entries at most (FileListEnds)
    int fileCount;
    MacroFolders folders;       // "$App:" is the install folder of the uninstall command
    const char *shortCutObj;    // no shortcut when it begins with '0'
    const char *shortCutLnk;
    const char *shortcutFolder;
    const FolderSlot *createdFolders;   // parents first; an empty slot is skipped
    const FolderSlot *shortcutFolders;
    int slots;
};

// Removes, in this order: the install log; every listed file where the installation put it
// (InstalledFilePath, listedfile.h); the shortcut where the installation placed it
// (ShortcutLinkPath, installrules.h); the created folders from the last slot to
// the first, so that sub-folders go before their parents; then the shortcut's folders the
// same way. Shortcut and shortcut folders only when there is a shortcut. Every item is
// attempted whatever happened before. An item whose path cannot be built whole, or is not
// a full path, is not touched and counts as not removed. True when everything was removed.
bool RemoveItems(const InstalledItems *items, const RemovalTarget *target);

#endif
