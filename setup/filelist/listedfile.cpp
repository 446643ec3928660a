#include "listedfile.h"

#include <string.h>

#include "pathtext.h"

const char *const kPathMacros[PATH_MACROS] = {"$App:", "$Win:", "$Sys:"};

namespace {

// The system drops trailing dots and blanks from a part, so "..." or ". ." may act as "..".
bool OnlyDotsAndBlanks(const char *part, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        if (part[i] != '.' && part[i] != ' ')
            return false;
    }
    return length > 0;
}

// A part the system opens as a device: its text before the first dot, trailing blanks
// dropped, is a device name in any letter case.
bool IsDeviceName(const char *part, size_t length)
{
    static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    size_t end = 0;
    while (end < length && part[end] != '.')
        end++;
    while (end > 0 && part[end - 1] == ' ')
        end--;
    char base[8];   // the longest device name and its terminator
    if (end >= sizeof base)
        return false;
    for (size_t i = 0; i < end; i++)
        base[i] = AsciiUpper(part[i]);
    base[end] = '\0';
    if (end == 4 && (strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0))
        return base[3] >= '1' && base[3] <= '9';
    for (const char *device : kDevices) {
        if (strcmp(base, device) == 0)
            return true;
    }
    return false;
}

// Walks the parts split at single-byte backslash characters (charWise) or at every byte 0x5C.
// Character by character, an empty part is a fault; byte by byte it is not, since a
// double-byte character may end in 0x5C right before a separator, but the last part is the
// installed name and must not be empty. With names, a part is also judged as a name: a device
// or one ending in a dot or a blank.
ListedPathFault CheckParts(const char *path, bool charWise, bool names)
{
    const char *part = path;
    for (const char *p = path;; p += charWise ? CharBytes(p) : 1) {
        if (*p != '\0' && *p != '\\')
            continue;
        size_t length = (size_t)(p - part);
        if (length == 0 && *p == '\0')
            return LISTED_PATH_NO_NAME;
        if (length == 0 && charWise)
            return LISTED_PATH_EMPTY_PART;
        if (OnlyDotsAndBlanks(part, length))
            return LISTED_PATH_DOTS;
        if (names && IsDeviceName(part, length))
            return LISTED_PATH_DEVICE;
        // Neither byte is ever the second byte of a double-byte character.
        if (names && length > 0 && (part[length - 1] == '.' || part[length - 1] == ' '))
            return LISTED_PATH_TRAILING;
        if (*p == '\0')
            return LISTED_PATH_OK;
        part = p + 1;
    }
}

}  // namespace

ListedPathFault CheckListedPath(const char *path)
{
    if (path[0] == '\0')
        return LISTED_PATH_NO_NAME;
    // Neither byte is ever the second byte of a double-byte character.
    if (strchr(path, '/') != NULL)
        return LISTED_PATH_SLASH;
    if (strchr(path, ':') != NULL)
        return LISTED_PATH_COLON;
    // The way out of the folder first, whichever way the parts are cut; then the names.
    ListedPathFault fault = LISTED_PATH_OK;
    for (int pass = 0; pass < 4 && fault == LISTED_PATH_OK; pass++)
        fault = CheckParts(path, pass % 2 == 0, pass >= 2);
    return fault;
}

ListedPathFault CheckFileName(const char *name)
{
    ListedPathFault fault = CheckListedPath(name);
    if (fault != LISTED_PATH_OK)
        return fault;
    for (const char *p = name; *p != '\0'; p += CharBytes(p)) {
        if (*p == '\\')
            return LISTED_PATH_FOLDER;
    }
    return LISTED_PATH_OK;
}

const char *MacroFolder(const char *macro, const MacroFolders *folders)
{
    const char *const byMacro[PATH_MACROS] = {folders->app, folders->windows, folders->system};
    for (int m = 0; m < PATH_MACROS; m++) {
        if (SameTextIgnoringCase(macro, kPathMacros[m]))
            return byMacro[m];
    }
    return NULL;
}

bool MediumSourcePath(char *dest, size_t size, const char *sourceDir, const char *listedPath)
{
    if (CheckListedPath(listedPath) != LISTED_PATH_OK) {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    if (!JoinFolderName(dest, size, sourceDir, listedPath))
        return false;
    dest[strlen(dest) - 1] = '_';
    return true;
}

bool InstalledFilePath(char *dest, size_t size, const MacroFolders *folders, const char *macro,
                       const char *listedPath)
{
    const char *folder = MacroFolder(macro, folders);
    // An edited install log or a hostile medium must not name a file anywhere else.
    if (folder == NULL || CheckListedPath(listedPath) != LISTED_PATH_OK) {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    return JoinFolderName(dest, size, folder, LastPathComponent(listedPath));
}
