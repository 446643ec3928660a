#include "uninstaller.h"

#include <string.h>

#include "installlog.h"
#include "installrules.h"
#include "pathfs.h"
#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "setupwindow.h"
#include "uninstallentry.h"
#include "uninstallrules.h"
#include "windowplace.h"

namespace {

enum { UNINSTALL_TIMER = 1, UNINSTALL_DELAY_MS = 1000 };

InstallLog installLog;  // what the installation added to the script's copy
bool logLinesLeftOut;   // a folder line of the install log could not be taken
bool incomplete;        // something the log names was not removed
bool timerRunning;

bool DeleteOneFile(void *, const char *path)
{
    return DeleteFileA(path) != FALSE;
}

bool RemoveOneFolder(void *, const char *path)
{
    return RemoveDirectoryA(path) != FALSE;
}

// Deletes the install log, the listed files, the shortcut and the created folders; true when
// everything named by the log is gone.
bool RemoveInstalledItems()
{
    const SetupContext &ctx = setupContext;
    InstalledItems items;
    items.logPath = ctx.scriptPath;
    items.files = setupScript.fileList;
    items.fileCount = setupScript.fileCount;
    items.folders.app = ctx.scriptDir;
    items.folders.windows = ctx.windowsDir;
    items.folders.system = ctx.systemDir;
    items.shortCutObj = setupScript.ShortCutObj;
    items.shortCutLnk = setupScript.ShortCutLnk;
    items.shortcutFolder = installLog.shortcutFolder;
    items.createdFolders = installLog.createdFolders;
    items.shortcutFolders = installLog.shortcutFolders;
    items.slots = FOLDER_LIST_SLOTS;
    // A copy killed midway left its temporary in the install folder, which would then stay.
    char temps[MAX_PATH_BYTES];
    if (CopyTempSearch(temps, sizeof temps, ctx.scriptPath))
        DeleteOwnFiles(temps, IsCopyTempName);
    RemovalTarget target = {NULL, DeleteOneFile, RemoveOneFolder};
    bool all = RemoveItems(&items, &target);
    return all && !logLinesLeftOut;
}

// The window is as wide as its text and a fifth, measured in its own device context.
void OnCreate(HWND window)
{
    char text[MESSAGE_BYTES];
    FormatSetupString(text, IDS_UNINSTALLING, setupScript.Title);
    SIZE extent = {0, 0};
    HDC dc = GetDC(window);
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    ReleaseDC(window, dc);
    WindowPlace place = UninstallPlace(extent.cx, GetSystemMetrics(SM_CXSCREEN),
                                       GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(window, NULL, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    timerRunning = SetTimer(window, UNINSTALL_TIMER, UNINSTALL_DELAY_MS, NULL) != 0;
}

void OnPaint(HWND window)
{
    char text[MESSAGE_BYTES];
    FormatSetupString(text, IDS_UNINSTALLING, setupScript.Title);
    PaintCenteredLine(window, text);
}
// The whole removal, once; there is no retry and no cancel.
void OnRemovalTimer(HWND window)
{
    KillTimer(window, UNINSTALL_TIMER);
    timerRunning = false;
    bool removed = RemoveInstalledItems();
    bool entryDeleted = DeleteUninstallEntry(setupContext.entryNumber);
    if (!removed || !entryDeleted)
        incomplete = true;
    DestroyWindow(window);
}

void OnDestroy(HWND window)
{
    if (timerRunning)
        KillTimer(window, UNINSTALL_TIMER);
    timerRunning = false;
    if (incomplete)
        ShowSetupMessage(NULL, IDS_UNINSTALL_PARTIAL, setupScript.Title, setupContext.caption,
                         MB_OK | MB_ICONEXCLAMATION);
    else
        ShowSetupMessage(NULL, IDS_UNINSTALL_DONE, setupScript.Title, setupContext.caption,
                         MB_OK | MB_ICONINFORMATION);
    PostQuitMessage(0);
}

LRESULT CALLBACK UninstallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_TIMER:
        if (wParam != UNINSTALL_TIMER)
            break;
        OnRemovalTimer(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool ReadInstallLog()
{
    // The script reader has just read the install log as the script, from scriptDir joined
    // with scriptName; a path that did not fit would have stopped it.
    InstallLogFile file;
    OpenInstallLogFile(&file, setupContext.scriptPath);
    logLinesLeftOut = !ReadInstallLogSections(&file, &installLog);
    return true;
}

void OfferEntryRemoval()
{
    const SetupContext &ctx = setupContext;
    char name[DISPLAY_NAME_BYTES];
    if (!ReadEntryDisplayName(ctx.entryNumber, name))
        return;
    if (ShowSetupMessage(NULL, IDS_FORGET_ENTRY, name, ctx.baseName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!DeleteUninstallEntry(ctx.entryNumber))
        ShowSetupFailure(NULL, ctx.baseName);
}

bool RunUninstall(HINSTANCE instance)
{
    SetupContext &ctx = setupContext;
    BuildCaption(IDS_CAPTION_UNINSTALL);
    if (ShowSetupMessage(NULL, IDS_UNINSTALL_CONFIRM, setupScript.Title, ctx.caption,
                         MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;

    // A caption without system menu: the removal cannot be interrupted once confirmed.
    if (!RunCenteredSetupWindow(instance, UninstallWindowProc)) {
        ShowSetupFailure(NULL, ctx.caption);
        return false;
    }
    return true;
}
