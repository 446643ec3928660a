#include <windows.h>

#include "bootstrap.h"
#include "commandline.h"
#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "uninstaller.h"
#include "wizard.h"

namespace {

// The program's full file name; empty when it cannot be had whole.
void GetModulePath(char *path, DWORD size)
{
    DWORD n = GetModuleFileNameA(NULL, path, size);
    if (n == 0 || n >= size)
        path[0] = '\0';
    path[size - 1] = '\0';
}

void ShowStartFailure()
{
    ShowSetupFailure(NULL, setupContext.baseName);
}

void RunUninstallStart(HINSTANCE instance)
{
    if (!ReadSetupScript() || !ReadInstallLog()) {
        ShowStartFailure();
        OfferEntryRemoval();
        return;
    }
    RunUninstall(instance);
}

}  // namespace

int SetupMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)previous;
    (void)commandLine;   // the whole line, program included, comes from GetCommandLineA
    (void)showState;
    SetupContext &ctx = setupContext;
    ctx.instance = instance;

    char modulePath[MAX_PATH_BYTES];
    GetModulePath(modulePath, sizeof modulePath);
    CommandLineParts parts;
    CommandLineStatus status = DecomposeCommandLine(GetCommandLineA(), modulePath, &parts);
    CopyText(ctx.baseName, sizeof ctx.baseName, parts.baseName);
    CopyText(ctx.exeName, sizeof ctx.exeName, parts.baseName);
    CopyText(ctx.scriptName, sizeof ctx.scriptName, parts.baseName);
    if (!AppendText(ctx.exeName, sizeof ctx.exeName, ".exe") ||
        !AppendText(ctx.scriptName, sizeof ctx.scriptName, ".ini"))
        status = CommandLineStatus::BadArgument;
    CopyText(ctx.scriptDir, sizeof ctx.scriptDir, parts.scriptDir);
    CopyText(ctx.sourceDir, sizeof ctx.sourceDir, parts.sourceDir);
    CopyText(ctx.entryNumber, sizeof ctx.entryNumber, parts.entryNumber);

    // Without the Windows and System folders SETUP can do nothing, not even stage itself:
    // it ends silently.
    if (!FillSystemFolders(&ctx))
        return 0;
    if (status != CommandLineStatus::Ok) {
        ShowStartFailure();
        return 0;
    }

    switch (parts.mode) {
    case RunMode::Bootstrap:
        if (RunBootstrap(instance))
            RelaunchStagedCopy();
        break;
    case RunMode::Wizard:
        RunWizard(instance);
        break;
    case RunMode::Uninstall:
        RunUninstallStart(instance);
        break;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    return SetupMain(instance, previous, commandLine, showState);
}
