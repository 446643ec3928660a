// The registration file: who installed, and the system's temporary folder at that time.
#include <windows.h>

#include "installrules.h"
#include "installsteps.h"
#include "listedfile.h"
#include "setupcontext.h"
#include "setupscript.h"

bool WriteRegistrationFile()
{
    char path[MAX_PATH_BYTES];
    // Only a name in the install folder: a path, or a name that does not fit beside the
    // folder, would write some other file, such as the system's own settings.
    if (CheckFileName(setupScript.RegIni) != LISTED_PATH_OK ||
        !JoinFolderName(path, sizeof path, setupContext.installDir, setupScript.RegIni))
        return true;
    const char *section = setupScript.RegSec;
    const InstallChoices *choices = engineState.choices;
    WritePrivateProfileStringA(section, "User", choices->userName, path);
    WritePrivateProfileStringA(section, "Division", choices->division, path);
    char temp[MAX_PATH_BYTES];
    DWORD length = GetTempPathA(MAX_PATH_BYTES - 1, temp);
    if (length == 0 || length >= MAX_PATH_BYTES - 1)
        temp[0] = '\0';
    WritePrivateProfileStringA(section, "Temp", temp, path);
    return true;
}
