#include "installsteps.h"

#include "listedfile.h"
#include "setupcontext.h"

// wsprintfA writes at most 1024 bytes; the argument is one path.
enum { LINE_BYTES = 1024 };

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
    char format[LINE_BYTES / 2];
    if (LoadStringA(setupContext.instance, stringId, format, sizeof format) <= 0)
        format[0] = '\0';
    char line[LINE_BYTES];
    wsprintfA(line, format, argument);
    SetDlgItemTextA(dialog, lineId, line);
}

