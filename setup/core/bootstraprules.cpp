#include "bootstraprules.h"

#include <stdio.h>

#include "pathtext.h"

WindowPlace CenteredPlace(int screenWidth, int screenHeight)
{
    WindowPlace place;
    place.width = (int)(0.4 * screenWidth);
    place.height = (int)(0.13333333333333333 * screenHeight);
    place.x = (screenWidth - place.width) / 2;
    place.y = (screenHeight - place.height) / 2;
    return place;
}

int StagingList(const char *exeName, const char *scriptName, const char *titlemap,
                const char *bitmap, const char *list[STAGED_FILES_MAX])
{
    int count = 0;
    list[count++] = exeName;
    list[count++] = scriptName;
    if (titlemap[0] != '0')
        list[count++] = titlemap;
    if (bitmap[0] != '0')
        list[count++] = bitmap;
    return count;
}

bool UninstallEntryKey(char *dest, size_t size, const char *baseName, int n)
{
    char number[24];
    snprintf(number, sizeof number, " Uninst %d", n);
    if (size == 0)
        return false;
    dest[0] = '\0';
    return AppendText(dest, size, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") &&
           AppendText(dest, size, baseName) && AppendText(dest, size, number);
}

bool RelaunchCommand(char *dest, size_t size, const char *windowsDir, const char *baseName,
                     const char *scriptDir)
{
    char folder[MAX_PATH_BYTES];
    EnsureTrailingBackslash(folder, windowsDir);
    if (size == 0)
        return false;
    dest[0] = '\0';
    return AppendText(dest, size, folder) && AppendText(dest, size, baseName) &&
           AppendText(dest, size, ".exe /") && AppendText(dest, size, scriptDir);
}
