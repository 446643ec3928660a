// What the uninstaller removes and in which order, apart from how it is removed: installed
// paths of listed files, the folder lists of the install log, the removal sequence. No
// windows.h here: built natively as well, under the sanitizers and the fuzzer.
#ifndef UNINSTALLRULES_H
#define UNINSTALLRULES_H

#include <stddef.h>

#include "pathtext.h"
#include "setupscript.h"

// The folders the path macros stand for.
struct MacroFolders {
    const char *app;        // "$App:": the install folder
    const char *windows;    // "$Win:"
    const char *system;     // "$Sys:"
};

// Where a listed file is installed: its macro's folder (letter case ignored) with a trailing
// backslash, then the last component of the listed path (searched byte by byte). False when
// the macro is none of the three, the listed-path rule refuses the path (listedfile.h), or
// the path does not fit size bytes; dest is then empty.
bool InstalledPath(char *dest, size_t size, const FileEntry *entry, const MacroFolders *folders);

// A drive path ("C:\...") or a network path ("\\server\..."): the only kind the uninstaller
// touches, so that a missing or empty folder in the log never resolves against the current
// folder.
bool IsFullPath(const char *path);

// Fills list (slots entries, all cleared first) with the folders of a "CreatedDir" or
// "CreatedScDir" section as the profile functions return it: length bytes of key=value
// lines, each ended by a zero byte. A slot takes the text after a line's first '='; key names
// are not looked at. mayBeCut says the section filled the read buffer, so that its last line
// may have lost its end. Returns false when a line was left out: one without '=', a folder
// longer than a path, a possibly cut last line, or lines beyond the slots.
bool FillFolderList(const char *data, size_t length, bool mayBeCut, FolderSlot *list, int slots);

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
    const FileEntry *files;     // the file list; ends at fileCount or at an empty entry
    int fileCount;
    MacroFolders folders;
    const char *shortCutObj;    // no shortcut when it begins with '0'
    const char *shortCutLnk;
    const char *shortcutFolder;
    const FolderSlot *createdFolders;   // parents first; an empty slot is skipped
    const FolderSlot *shortcutFolders;
    int slots;
};

// Removes, in this order: the install log; every listed file at its installed path; the
// shortcut (shortcut folder, link name, ".lnk"); the created folders from the last slot to
// the first, so that sub-folders go before their parents; then the shortcut's folders the
// same way. Shortcut and shortcut folders only when there is a shortcut. Every item is
// attempted whatever happened before. An item whose path cannot be built whole, or is not
// a full path, is not touched and counts as not removed. True when everything was removed.
bool RemoveItems(const InstalledItems *items, const RemovalTarget *target);

#endif
