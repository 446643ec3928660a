#include "installsteps.h"

#include "listedfile.h"
#include "setupcontext.h"
#include "setupmessage.h"

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

