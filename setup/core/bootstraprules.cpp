#include "bootstraprules.h"

#include "pathtext.h"

namespace {

// value * numerator / denominator truncated toward zero, without overflow for any int
// value and the small factors used here.
int ScaleExact(int value, int numerator, int denominator)
{
    return (int)((long long)value * numerator / denominator);
}

WindowPlace Centred(int width, int height, int screenWidth, int screenHeight)
{
    WindowPlace place;
    place.width = width;
    place.height = height;
    place.x = (screenWidth - width) / 2;
    place.y = (screenHeight - height) / 2;
    return place;
}

}  // namespace

WindowPlace CenteredPlace(int screenWidth, int screenHeight)
{
    return Centred(ScaleExact(screenWidth, 2, 5), ScaleExact(screenHeight, 2, 15), screenWidth,
                   screenHeight);
}

WindowPlace UninstallPlace(int textWidth, int screenWidth, int screenHeight)
{
    return Centred(ScaleExact(textWidth, 6, 5), ScaleExact(screenHeight, 2, 15), screenWidth,
                   screenHeight);
}

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

bool UninstallEntryKey(char *dest, size_t size, const char *baseName, int n)
{
    char number[16] = "";
    AppendDecimal(number, sizeof number, n);
    return UninstallEntryKeyText(dest, size, baseName, number);
}

bool UninstallEntryKeyText(char *dest, size_t size, const char *baseName, const char *number)
{
    if (size == 0)
        return false;
    dest[0] = '\0';
    return AppendText(dest, size, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") &&
           AppendText(dest, size, baseName) && AppendText(dest, size, " Uninst ") &&
           AppendText(dest, size, number);
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
