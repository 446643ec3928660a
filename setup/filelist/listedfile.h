// Where a listed file may lie. A listed path names a file below the medium's folder, and its
// last part (after the last byte 0x5C) is the name the file is installed and later deleted
// under. The system resolves '/', ':' and dot parts when such a path is used, so a path that
// holds them could reach any file; the installation, the uninstaller and the medium builder's
// checker all ask this one rule, and take the file's places on the medium and on the disk
// from here. No windows.h here: built natively as well.
#ifndef LISTEDFILE_H
#define LISTEDFILE_H

#include <stddef.h>

enum ListedPathFault {
    LISTED_PATH_OK,
    LISTED_PATH_NO_NAME,      // empty, or nothing after the last backslash
    LISTED_PATH_SLASH,        // '/': the system takes it for a backslash
    LISTED_PATH_COLON,        // ':': a drive or a stream, never part of a name
    LISTED_PATH_DOTS,         // a part of dots and blanks only: ".", ".." and their kin climb
    LISTED_PATH_EMPTY_PART,   // a leading or doubled backslash: the drive's root, another machine
    LISTED_PATH_FOLDER,       // a backslash where only a name may stand
    LISTED_PATH_DEVICE,       // a part the system opens as a device: CON, AUX.txt, com1.log ...
    LISTED_PATH_TRAILING,     // a part ending in a dot or a blank, which the system drops
};

// The first fault of a listed path. Parts are taken character by character, as the file
// system takes them, and also byte by byte, as the installed name is cut: a part made only
// of dots (and blanks), a device name and a part ending in a dot or a blank are refused either
// way. A device name is CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CLOCK$, CONIN$ or
// CONOUT$ in any letter case, alone or before a dot and any extension: opening one on the
// medium may block for ever (AUX reads the serial port). The name on the medium, its last byte
// replaced by '_', is then no device either: before the first dot that byte becomes a '_',
// which no device name holds, and after it the part before the dot stays as it was.
ListedPathFault CheckListedPath(const char *path);

// The same for a name that lies directly in a folder (the registration file): a backslash,
// outside a double-byte character, is a fault as well.
ListedPathFault CheckFileName(const char *name);

// The path macros that name a listed file's folder, letter case ignored, in the order of
// MacroFolders: "$App:", "$Win:", "$Sys:".
enum { MACRO_APP, MACRO_WIN, MACRO_SYS, PATH_MACROS };
extern const char *const kPathMacros[PATH_MACROS];

// The folders the path macros stand for.
struct MacroFolders {
    const char *app;       // the install folder
    const char *windows;
    const char *system;
};

// The folder macro names, or NULL for any other text.
const char *MacroFolder(const char *macro, const MacroFolders *folders);

// Where a listed file lies on the medium: sourceDir joined with the listed path, its last
// byte replaced by '_'. Also the probe path after a disk change. False, dest empty, for a
// path the rule above refuses.
bool MediumSourcePath(char *dest, size_t size, const char *sourceDir, const char *listedPath);

// Where a listed file is installed, and so where the uninstaller deletes it: its macro's
// folder joined with the listed path's last part (after the last byte 0x5C, a trail byte
// included), so that sub-folders on the medium only locate the file. False, dest empty, for
// a macro of none of the three, a path the rule above refuses, or a result that does not fit.
bool InstalledFilePath(char *dest, size_t size, const MacroFolders *folders, const char *macro,
                       const char *listedPath);

#endif
