// Folder and drive checks on the real file system.
#ifndef PATHFS_H
#define PATHFS_H

#include <windows.h>

#include "pathtext.h"

// Next free slot of the list that CreateFolderTree fills; shared by both lists.
extern int createdFolderCount;

BOOL PathExists(const char *path);
BOOL CheckInstallDrive(const char *path, UINT *driveType);
BOOL FolderExists(const char *path);
BOOL CreateFolderTree(const char *path, FolderSlot *list, int slots);
BOOL CreateFolderRecorded(const char *path, FolderSlot *list, int slots);

#endif
