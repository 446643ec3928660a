#include "setupcontext.h"

#include "scripterror.h"
#include "scriptrules.h"
#include "setupscript.h"

SetupContext setupContext;

namespace {

bool FillFolder(char *dest, UINT size, UINT(WINAPI *get)(LPSTR, UINT))
{
    UINT n = get(dest, size);
    if (n == 0 || n >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

bool FillSystemFolders(SetupContext *ctx)
{
    return FillFolder(ctx->windowsDir, sizeof ctx->windowsDir, GetWindowsDirectoryA) &&
           FillFolder(ctx->systemDir, sizeof ctx->systemDir, GetSystemDirectoryA);
}

// Here rather than beside the reader: a tool that links the reader needs neither this record
// nor ShowScriptError.
bool ReadSetupScript()
{
    SetupContext &ctx = setupContext;
    if (!FillSystemFolders(&ctx))
        return false;
    char text[NAME_BYTES + SCRIPT_ERROR_BYTES];
    if (ReadSetupScriptFile(ctx.scriptDir, ctx.scriptName, ctx.sourceDir, &setupScript,
                            ctx.scriptPath, text, sizeof text))
        return true;
    ShowScriptError(text);
    return false;
}
