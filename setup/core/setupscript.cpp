#include <windows.h>

#include "setupscript.h"

#include "scripterror.h"
#include "scriptrules.h"
#include "setupcontext.h"

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

bool FillDirectory(char *dest, UINT size, UINT (WINAPI *get)(LPSTR, UINT))
{
    UINT n = get(dest, size);
    if (n == 0 || n >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

int ReadSetupScript()
{
    SetupContext &ctx = setupContext;
    if (!FillDirectory(ctx.windowsDir, sizeof ctx.windowsDir, GetWindowsDirectoryA) ||
        !FillDirectory(ctx.systemDir, sizeof ctx.systemDir, GetSystemDirectoryA))
        return 0;

    EnsureTrailingBackslash(ctx.scriptPath, ctx.scriptDir);
    ProfileFile file = {ctx.scriptPath};
    // A path that does not fit is not cut: a shorter path could name another file.
    if (!AppendText(ctx.scriptPath, sizeof ctx.scriptPath, ctx.scriptName))
        file.path = NULL;

    ScriptSource source = {&file, ReadProfileKey, ReadProfileSection};
    char error[SCRIPT_ERROR_BYTES];
    if (CheckSetupScript(&source, ctx.sourceDir, &setupScript, error, sizeof error))
        return 1;

    char text[NAME_BYTES + SCRIPT_ERROR_BYTES];
    CopyText(text, sizeof text, ctx.scriptName);
    AppendText(text, sizeof text, error);
    ShowScriptError(text);
    return 0;
}
