// Folder and drive checks on the real file system.
#ifndef PATHFS_H
#define PATHFS_H

#include <windows.h>

#include "pathtext.h"

BOOL PathExists(const char *path);
BOOL CheckInstallDrive(const char *path, UINT *driveType);
BOOL FolderExists(const char *path);
// Creates every missing folder of path, recording each new one in the list (slots entries)
// from its first slot, outermost first; slots beyond those it fills keep their content.
BOOL CreateFolderTree(const char *path, FolderSlot *list, int slots);
// Creates one folder unless it exists, recording it in the next slot of the list that the
// last CreateFolderTree began.
BOOL CreateFolderRecorded(const char *path, FolderSlot *list, int slots);
// Deletes the files that search (a folder, then a pattern) finds and whose found name isOurs
// takes for one of its own; a name the pattern finds by its short form alone is not looked at.
void DeleteOwnFiles(const char *search, bool (*isOurs)(const char *name));

#endif
