// What the medium builder may replace and where it may write, decided from texts alone: a
// folder's listing against what a medium of this builder holds, a path against the folders
// it must never take, the names of its own work folders. No windows.h here.
#ifndef OUTPUTRULES_H
#define OUTPUTRULES_H

#include <stddef.h>

#include "pathtext.h"

enum {
    // Entries (files and folders) a medium folder holds at most; a folder with more is no
    // medium. A medium has at most 104 files, their folders and ten disk folders.
    OUTPUT_LISTING_ENTRIES = 1024,
};

// One entry below a folder: its path relative to the folder in medium form (Shift-JIS, '\'
// between the parts).
enum ListedKind {
    LISTED_FILE,
    LISTED_FOLDER,
    LISTED_OTHER,   // a link, a device, a name without a Shift-JIS form: never a medium's
};
struct ListedEntry {
    char path[MAX_PATH_BYTES];
    ListedKind kind;
};

// The index of the medium's script among entries: NAME.ini beside a file NAME.exe, in the
// folder itself (one folder) or in DISK1; the one first in byte order of several. -1 when
// there is none.
int FindMediumScript(const ListedEntry *entries, int count);

// The index of the first entry that a medium laid out from its script (entry scriptIndex,
// its text length bytes) does not hold, or -1 when each is the setup program, the script,
// a picture it names, or a listed file under its medium name or its own on the disk that
// lists it, a folder on the way to one, or beside a floppy's disk folders the image of a
// disk (DISKn.img, made by scripts/make-images.sh); a script SETUP would refuse counts as
// stray.
int FirstStrayEntry(const ListedEntry *entries, int count, int scriptIndex, const char *text, size_t length);

// True when path is folder or lies below it; separator is the system's, foldCase compares
// ASCII letters without case (double-byte characters exactly). folder may end in separator.
bool PathWithin(const char *path, const char *folder, char separator, bool foldCase);

// The process number in a work folder's name: prefix, then only decimal digits (at most
// nine). False for any other name.
bool WorkFolderProcess(const char *name, const char *prefix, unsigned long *process);

#endif
