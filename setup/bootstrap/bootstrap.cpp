#include "bootstrap.h"

#include <string.h>

#include "bootstraprules.h"
#include "pathfs.h"
#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "setupwindow.h"
#include "uninstallentry.h"

namespace {

enum { PREPARATION_TIMER = 1, PREPARATION_DELAY_MS = 1000 };
// GetShortPathNameA's buffer for the WININIT.INI lines, and a line with "NUL=" and CR LF.
enum { SHORT_NAME_BYTES = 515, WININIT_LINE_BYTES = 4 + SHORT_NAME_BYTES + 2 };

void PaintPreparation(HWND window)
{
    char text[MESSAGE_BYTES];
    FormatSetupString(text, IDS_PREPARING);
    PaintCenteredLine(window, text);
}

// Writes the whole text at the file's current position.
bool WriteText(HANDLE file, const char *text)
{
    DWORD length = (DWORD)strlen(text);
    DWORD written = 0;
    return WriteFile(file, text, length, &written, NULL) && written == length;
}

// Moves to distance bytes from the end of the file. The high part lets a file of any size
// through; the last error tells a refusal from a position whose low part is all ones.
bool SeekFromEnd(HANDLE file, LONG distance)
{
    LONG high = distance < 0 ? -1 : 0;
    SetLastError(NO_ERROR);
    return SetFilePointer(file, distance, &high, FILE_END) != INVALID_SET_FILE_POINTER ||
           GetLastError() == NO_ERROR;
}

// The file's last byte, or NO_LAST_BYTE when it is empty or cannot be read.
int LastByteOf(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NO_LAST_BYTE;
    int last = NO_LAST_BYTE;
    unsigned char byte = 0;
    DWORD read = 0;
    if (SeekFromEnd(file, -1) && ReadFile(file, &byte, 1, &read, NULL) && read == 1)
        last = byte;
    CloseHandle(file);
    return last;
}

// WININIT.INI opened at its end, created when missing, with what goes before SETUP's lines
// written; INVALID_HANDLE_VALUE when any of that fails. A read-only file is refused here.
HANDLE OpenWininit(const char *path)
{
    bool existed = PathExists(path) != FALSE;
    const char *opening = WininitOpening(existed, existed ? LastByteOf(path) : NO_LAST_BYTE);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    if (SeekFromEnd(file, 0) && WriteText(file, opening))
        return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

// One staged file: copy it, and for all but the program itself list its short name.
bool StageOneFile(HANDLE wininit, const StagedFile &file, bool listForDeletion)
{
    const SetupContext &ctx = setupContext;
    char source[MAX_PATH_BYTES];
    char destination[MAX_PATH_BYTES];
    if (!JoinFolderName(source, sizeof source, ctx.scriptDir, file.entry) ||
        !JoinFolderName(destination, sizeof destination, ctx.windowsDir, file.stagedName))
        return false;
    if (!CopyFileA(source, destination, FALSE))
        return false;
    if (!listForDeletion)
        return true;
    // The restart that reads WININIT.INI runs before long names exist.
    char shortName[SHORT_NAME_BYTES];
    DWORD n = GetShortPathNameA(destination, shortName, sizeof shortName);
    if (n == 0 || n >= sizeof shortName)
        return false;
    char line[WININIT_LINE_BYTES];
    return WininitDeletionLine(line, sizeof line, shortName) && WriteText(wininit, line);
}

// Copies the program, its script and its pictures into the Windows directory and lists all
// but the program in WININIT.INI for deletion at the next restart. False after its own message.
bool StageSetupFiles(HWND owner)
{
    const SetupContext &ctx = setupContext;
    StagedFile list[STAGED_FILES_MAX];
    int count = StagingList(ctx.exeName, ctx.scriptName, setupScript.Titlemap,
                            setupScript.Bitmap, list);

    char wininitPath[MAX_PATH_BYTES];
    HANDLE wininit = INVALID_HANDLE_VALUE;
    if (JoinFolderName(wininitPath, sizeof wininitPath, ctx.windowsDir, "WININIT.INI"))
        wininit = OpenWininit(wininitPath);
    bool ok = wininit != INVALID_HANDLE_VALUE;
    for (int i = 0; ok && i < count; i++)
        ok = StageOneFile(wininit, list[i], i > 0);
    if (wininit != INVALID_HANDLE_VALUE && !CloseHandle(wininit))
        ok = false;
    if (ok)
        return true;
    ShowSetupFailure(owner, ctx.caption);
    return false;
}

LRESULT CALLBACK PreparationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetTimer(window, PREPARATION_TIMER, PREPARATION_DELAY_MS, NULL);
        return 0;
    case WM_PAINT:
        PaintPreparation(window);
        return 0;
    case WM_TIMER:
        if (wParam != PREPARATION_TIMER)
            break;
        KillTimer(window, PREPARATION_TIMER);
        if (!StageSetupFiles(window))
            setupContext.bootstrapFailed = TRUE;
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, PREPARATION_TIMER);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RunBootstrap(HINSTANCE instance)
{
    SetupContext &ctx = setupContext;
    if (!ReadSetupScript()) {
        ShowSetupFailure(NULL, ctx.baseName);
        ctx.bootstrapFailed = TRUE;
        return false;
    }
    if (IsAlreadyInstalled()) {
        ShowSetupMessage(NULL, IDS_ALREADY_SET_UP, setupScript.Title, ctx.baseName,
                         MB_OK | MB_ICONERROR);
        ctx.bootstrapFailed = TRUE;
        return false;
    }

    BuildCaption(IDS_CAPTION_SETUP);
    // A caption without system menu: the user cannot close it while the files are staged.
    if (!RunCenteredSetupWindow(instance, PreparationWindowProc)) {
        ShowSetupFailure(NULL, ctx.baseName);
        ctx.bootstrapFailed = TRUE;
        return false;
    }
    return !ctx.bootstrapFailed;
}

void RelaunchStagedCopy()
{
    const SetupContext &ctx = setupContext;
    char command[COMMAND_LINE_BYTES];
    if (!RelaunchCommand(command, sizeof command, ctx.windowsDir, ctx.baseName, ctx.scriptDir)) {
        ShowSetupFailure(NULL, ctx.baseName);
        return;
    }
    // 31 and below: the platform did not start it, and nothing else would tell the user.
    if (WinExec(command, SW_SHOWNORMAL) <= 31)
        ShowSetupFailure(NULL, ctx.baseName);
}
