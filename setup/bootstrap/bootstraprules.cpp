#include "bootstraprules.h"

#include "pathtext.h"

int StagingList(const char *exeName, const char *scriptName, const char *titlemap,
                const char *bitmap, StagedFile list[STAGED_FILES_MAX])
{
    int count = 0;
    list[count++] = StagedFile{exeName, exeName};
    list[count++] = StagedFile{scriptName, scriptName};
    if (titlemap[0] != '0')
        list[count++] = StagedFile{titlemap, LastPathComponent(titlemap)};
    if (bitmap[0] != '0')
        list[count++] = StagedFile{bitmap, LastPathComponent(bitmap)};
    return count;
}

bool RelaunchCommand(char *dest, size_t size, const char *windowsDir, const char *baseName,
                     const char *scriptDir)
{
    return JoinFolderName(dest, size, windowsDir, baseName) && AppendText(dest, size, ".exe /") &&
           AppendText(dest, size, scriptDir);
}

const char *WininitOpening(bool existed, int lastByte)
{
    if (!existed)
        return "[rename]\r\n";
    if (lastByte != NO_LAST_BYTE && lastByte != '\n' && lastByte != '\r')
        return "\r\n";
    return "";
}

bool WininitDeletionLine(char *dest, size_t size, const char *shortName)
{
    if (size == 0)
        return false;
    dest[0] = '\0';
    return AppendText(dest, size, "NUL=") && AppendText(dest, size, shortName) &&
           AppendText(dest, size, "\r\n");
}
