// Where a listed file may lie. A listed path names a file below the medium's folder, and its
// last part (after the last byte 0x5C) is the name the file is installed and later deleted
// under. The system resolves '/', ':' and dot parts when such a path is used, so a path that
// holds them could reach any file; the installation, the uninstaller and the medium builder's
// checker all ask this one rule. No windows.h here: built natively as well.
#ifndef LISTEDFILE_H
#define LISTEDFILE_H

enum ListedPathFault {
    LISTED_PATH_OK,
    LISTED_PATH_NO_NAME,      // empty, or nothing after the last backslash
    LISTED_PATH_SLASH,        // '/': the system takes it for a backslash
    LISTED_PATH_COLON,        // ':': a drive or a stream, never part of a name
    LISTED_PATH_DOTS,         // a part of dots and blanks only: ".", ".." and their kin climb
    LISTED_PATH_EMPTY_PART,   // a leading or doubled backslash: the drive's root, another machine
    LISTED_PATH_FOLDER,       // a backslash where only a name may stand
};

// The first fault of a listed path. Parts are taken character by character, as the file
// system takes them, and also byte by byte, as the installed name is cut: a part made only
// of dots (and blanks) is refused either way.
ListedPathFault CheckListedPath(const char *path);

// The same for a name that lies directly in a folder (the registration file): a backslash,
// outside a double-byte character, is a fault as well.
ListedPathFault CheckFileName(const char *name);

#endif
