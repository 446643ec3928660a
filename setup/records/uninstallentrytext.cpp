#include "uninstallentry.h"

#include <string.h>

#include "pathtext.h"

bool UninstallEntryKey(char *dest, size_t size, const char *baseName, int n)
{
    char number[16] = "";
    AppendDecimal(number, sizeof number, n);
    return UninstallEntryKeyText(dest, size, baseName, number);
}

bool UninstallEntryKeyText(char *dest, size_t size, const char *baseName, const char *number)
{
    const char *parts[] = {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", baseName,
                           " Uninst ", number};
    return ConcatTexts(dest, size, parts, sizeof parts / sizeof parts[0]);
}

bool UninstallCommand(char *dest, size_t size, const char *windowsDir, const char *exeName,
                      int entryNumber, const char *installDir)
{
    char number[16] = "";
    AppendDecimal(number, sizeof number, entryNumber);
    const char *parts[] = {windowsDir, "\\", exeName, " /Uninst-", number, "-", installDir};
    return ConcatTexts(dest, size, parts, sizeof parts / sizeof parts[0]);
}

bool TerminateRegistryText(char *value, size_t length, size_t capacity)
{
    if (length == 0) {
        value[0] = '\0';
    } else if (value[length - 1] != '\0') {
        if (length >= capacity) {
            value[0] = '\0';
            return false;
        }
        value[length] = '\0';
    }
    return true;
}

bool DisplayNameMatches(char *value, size_t length, size_t capacity, const char *title)
{
    return TerminateRegistryText(value, length, capacity) && strcmp(value, title) == 0;
}
