#include "pathfs.h"

#include <string.h>

// Next free slot of the list that CreateFolderTree fills; shared by both lists.
static int createdFolderCount = 0;

// Paths that do not fit a path buffer are never looked up or created: acting on a cut
// path would touch a different folder than the one meant.
static BOOL FitsPathBuffer(const char *path)
{
    return strlen(path) < MAX_PATH_BYTES;
}

BOOL PathExists(const char *path)
{
    if (!FitsPathBuffer(path))
        return FALSE;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(search);
    return TRUE;
}

BOOL CheckInstallDrive(const char *path, UINT *driveType)
{
    char root[4];
    CopyText(root, sizeof root, path);
    *driveType = GetDriveTypeA(root);
    return *driveType == DRIVE_FIXED || *driveType == DRIVE_REMOTE;
}

BOOL FolderExists(const char *path)
{
    if (path[0] == '\0' || !FitsPathBuffer(path))
        return FALSE;
    char folder[MAX_PATH_BYTES];
    RemoveTrailingBackslash(folder, path);
    if (strlen(folder) < 3)
        return TRUE;
    return PathExists(folder);
}

BOOL CreateFolderRecorded(const char *path, FolderSlot *list, int slots)
{
    if (PathExists(path))
        return TRUE;
    if (!FitsPathBuffer(path) || !CreateDirectoryA(path, NULL))
        return FALSE;
    if (createdFolderCount < slots) {
        CopyText(list[createdFolderCount], MAX_PATH_BYTES, path);
        createdFolderCount++;
    }
    return TRUE;
}

BOOL CreateFolderTree(const char *path, FolderSlot *list, int slots)
{
    createdFolderCount = 0;
    if (path[0] == '\0' || !FitsPathBuffer(path))
        return FALSE;
    char p[MAX_PATH_BYTES];
    RemoveTrailingBackslash(p, path);
    size_t i = 3;
    for (; i < MAX_PATH_BYTES && i <= strlen(p) && p[i] != '\0'; i++) {
        if (IsSingleByteCharAt(p, i, '\\')) {
            char folder[MAX_PATH_BYTES];
            CopyText(folder, i + 1, p);
            if (!CreateFolderRecorded(folder, list, slots))
                return FALSE;
        }
    }
    if (IsSingleByteCharAt(p, i - 1, '\\'))
        return TRUE;
    return CreateFolderRecorded(p, list, slots);
}

void DeleteOwnFiles(const char *search, bool (*isOurs)(const char *name))
{
    if (!FitsPathBuffer(search))
        return;
    char folder[MAX_PATH_BYTES];
    size_t length = (size_t)(LastPathComponent(search) - search);
    memcpy(folder, search, length);
    folder[length] = '\0';
    WIN32_FIND_DATAA found;
    HANDLE list = FindFirstFileA(search, &found);
    if (list == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[MAX_PATH_BYTES];
        const char *parts[] = {folder, found.cFileName};
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isOurs(found.cFileName) &&
            ConcatTexts(path, sizeof path, parts, 2))
            DeleteFileA(path);
    } while (FindNextFileA(list, &found));
    FindClose(list);
}
