#include "assisttext.h"

#include <string.h>

const char kProgramName[] = "PAVRELL.exe";
const char kSettingsName[] = "Pavrell.ini";
const char kInstallEntry[] = " desk.cpl,InstallScreenSaver ";

bool FindProgramDirectory(const char *commandLine, char *directory)
{
    directory[0] = '\0';
    // The whole line is searched, however long: the work text need not hold the arguments.
    const char *name = strstr(commandLine, kProgramName);
    if (name == NULL)
        return true;
    const char *start = commandLine;
    if (start < name && *start == '"')
        start++;
    size_t length = (size_t)(name - start);
    if (length > MAX_PATH_BYTES - 1)
        return false;
    memcpy(directory, start, length);
    directory[length] = '\0';
    return true;
}

bool BuildSettingsPath(const char *directory, char *path)
{
    // A directory of 260 bytes leaves no room for its backslash: the name must not follow it.
    return JoinFolderName(path, MAX_PATH_BYTES, directory, kSettingsName);
}

bool BuildLaunchParameters(const char *shortDirectory, const char *scrName, char *parameters,
                           size_t size)
{
    if (size == 0)
        return false;
    parameters[0] = '\0';
    if (AppendText(parameters, size, kInstallEntry) && AppendText(parameters, size, shortDirectory) &&
        AppendText(parameters, size, scrName))
        return true;
    parameters[0] = '\0';
    return false;
}
