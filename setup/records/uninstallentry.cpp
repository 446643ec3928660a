// SETUP's uninstall entries in the registry, under HKEY_LOCAL_MACHINE.
#include "uninstallentry.h"

#include <windows.h>

#include <string.h>

#include "setupcontext.h"
#include "setupscript.h"

namespace {

enum { LAST_ENTRY_NUMBER = 2147483647 };

bool SetText(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1) ==
           ERROR_SUCCESS;
}

}  // namespace

bool IsAlreadyInstalled()
{
    // The scan goes on past a missing number: entries of other installations may be gone.
    for (int n = 0; n < INSTALLED_ENTRIES_SEARCHED; n++) {
        char keyName[UNINSTALL_KEY_BYTES];
        if (!UninstallEntryKey(keyName, sizeof keyName, setupContext.baseName, n))
            return false;
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            continue;
        char name[DISPLAY_NAME_BYTES];
        DWORD size = sizeof name;
        DWORD type = 0;
        LONG result = RegQueryValueExA(key, "DisplayName", NULL, &type, (BYTE *)name, &size);
        RegCloseKey(key);
        if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) &&
            DisplayNameMatches(name, size, sizeof name, setupScript.Title))
            return true;
    }
    return false;
}

bool RegisterUninstallEntry()
{
    const SetupContext &ctx = setupContext;
    char keyPath[UNINSTALL_KEY_BYTES];
    int n = 0;
    for (;; n++) {
        if (n == LAST_ENTRY_NUMBER || !UninstallEntryKey(keyPath, sizeof keyPath, ctx.baseName, n))
            return false;
        HKEY existing;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &existing) !=
            ERROR_SUCCESS)
            break;
        RegCloseKey(existing);
    }
    char command[UNINSTALL_COMMAND_BYTES];
    if (!UninstallCommand(command, sizeof command, ctx.windowsDir, ctx.exeName, n, ctx.installDir))
        return false;
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, &key) != ERROR_SUCCESS)
        return false;
    bool written = SetText(key, "DisplayName", setupScript.Title) &&
                   SetText(key, "UninstallString", command);
    RegFlushKey(key);
    RegCloseKey(key);
    return written;
}

bool DeleteUninstallEntry(const char *entryNumber)
{
    char keyName[UNINSTALL_KEY_BYTES];
    if (!UninstallEntryKeyText(keyName, sizeof keyName, setupContext.baseName, entryNumber))
        return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyName) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    RegFlushKey(key);
    RegCloseKey(key);
    return true;
}

bool ReadEntryDisplayName(const char *entryNumber, char *name)
{
    char keyName[UNINSTALL_KEY_BYTES];
    HKEY key;
    if (!UninstallEntryKeyText(keyName, sizeof keyName, setupContext.baseName, entryNumber) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = DISPLAY_NAME_BYTES;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "DisplayName", NULL, &type, (BYTE *)name, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) &&
           TerminateRegistryText(name, size, DISPLAY_NAME_BYTES) && name[0] != '\0';
}
