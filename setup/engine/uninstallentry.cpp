#include "uninstallentry.h"

#include <windows.h>

#include <string.h>

#include "bootstraprules.h"
#include "installrules.h"
#include "setupcontext.h"
#include "setupscript.h"

namespace {

enum { KEY_BYTES = 512, COMMAND_BYTES = 1024, LAST_ENTRY_NUMBER = 2147483647 };

bool SetText(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1) ==
           ERROR_SUCCESS;
}

}  // namespace

bool RegisterUninstallEntry()
{
    char keyPath[KEY_BYTES];
    int n = 0;
    for (;; n++) {
        if (n == LAST_ENTRY_NUMBER ||
            !UninstallEntryKey(keyPath, sizeof keyPath, setupContext.baseName, n))
            return false;
        HKEY existing;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &existing) !=
            ERROR_SUCCESS)
            break;
        RegCloseKey(existing);
    }
    char command[COMMAND_BYTES];
    if (!UninstallCommand(command, sizeof command, setupContext.windowsDir, setupContext.exeName,
                          n, setupContext.installDir))
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
