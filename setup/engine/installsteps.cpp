#include "installsteps.h"

#include "installrules.h"
#include "listedfile.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "uninstallentry.h"

EngineState engineState;

bool InstallLogPath(char *path)
{
    return JoinFolderName(path, MAX_PATH_BYTES, setupContext.installDir, setupContext.scriptName);
}

bool OpenEngineInstallLog(InstallLogFile *file, char *path)
{
    if (!InstallLogPath(path))
        return false;
    OpenInstallLogFile(file, path);
    return true;
}

void ShowProgressLine(HWND dialog, int lineId, UINT stringId, const char *argument)
{
    char line[MESSAGE_BYTES];
    FormatSetupString(line, stringId, argument);
    SetDlgItemTextA(dialog, lineId, line);
}

bool RecordCreatedFolders()
{
    if (!KeepsInstallLog(&setupScript))
        return true;
    char log[MAX_PATH_BYTES];
    InstallLogFile file;
    if (OpenEngineInstallLog(&file, log))
        WriteCreatedFolderLists(&file, engineState.choices->createdFolders, shortcutFolders);
    // Without the entry the installation still stands; it only cannot be removed from the
    // platform's list.
    RegisterUninstallEntry();
    return true;
}
