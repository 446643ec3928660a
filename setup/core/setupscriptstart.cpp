// The script reader over SETUP's own record, apart from the reader itself so that a tool
// that links the reader needs neither the record's folders nor ShowScriptError.
#include "setupscript.h"

#include "scripterror.h"
#include "scriptrules.h"
#include "setupcontext.h"

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
