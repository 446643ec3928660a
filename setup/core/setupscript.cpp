#include <windows.h>

#include "setupscript.h"

#include "scriptrules.h"

SetupScript setupScript;

namespace {

struct ProfileFile {
    const char *path;   // NULL when the script's path does not fit a path buffer
};

size_t ReadProfileKey(void *context, const char *key, const char *def, char *value, size_t size)
{
    const ProfileFile *file = (const ProfileFile *)context;
    if (file->path == NULL) {
        value[0] = '\0';
        return 0;
    }
    return GetPrivateProfileStringA("Setup", key, def, value, (DWORD)size, file->path);
}

size_t ReadProfileSection(void *context, const char *section, char *data, size_t size)
{
    const ProfileFile *file = (const ProfileFile *)context;
    if (file->path == NULL) {
        data[0] = '\0';
        data[1] = '\0';
        return 0;
    }
    return GetPrivateProfileSectionA(section, data, (DWORD)size, file->path);
}

}  // namespace

bool ReadSetupScriptFile(const char *scriptDir, const char *scriptName, const char *sourceDir,
                         SetupScript *script, char (&scriptPath)[MAX_PATH_BYTES], char *errorText,
                         size_t errorSize)
{
    ProfileFile file = {scriptPath};
    // A path that does not fit is not cut: a shorter path could name another file.
    if (!JoinFolderName(scriptPath, sizeof scriptPath, scriptDir, scriptName))
        file.path = NULL;

    ScriptSource source = {&file, ReadProfileKey, ReadProfileSection};
    char error[SCRIPT_ERROR_BYTES];
    if (CheckSetupScript(&source, sourceDir, script, error, sizeof error))
        return true;
    CopyText(errorText, errorSize, scriptName);
    AppendText(errorText, errorSize, error);
    return false;
}
