// The registration file: who installed, and the system's temporary folder at that time.
#include <windows.h>

#include "installrules.h"
#include "installsteps.h"
#include "setupcontext.h"
#include "setupscript.h"
#include "wizard.h"

bool WriteRegistrationFile()
{
    char path[MAX_PATH_BYTES];
    // A name that does not fit beside the install folder would write some other file.
    if (!JoinFolderName(path, sizeof path, setupContext.installDir, setupScript.RegIni))
        return true;
    const char *section = setupScript.RegSec;
    WritePrivateProfileStringA(section, "User", userName, path);
    WritePrivateProfileStringA(section, "Division", division, path);
    char temp[MAX_PATH_BYTES];
    DWORD length = GetTempPathA(MAX_PATH_BYTES - 1, temp);
    if (length == 0 || length >= MAX_PATH_BYTES - 1)
        temp[0] = '\0';
    WritePrivateProfileStringA(section, "Temp", temp, path);
    return true;
}
