// Shell links to the installed program through the platform's shell link object.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "installrules.h"
#include "installsteps.h"
#include "pathfs.h"
#include "scriptrules.h"
#include "setupcontext.h"
#include "setupscript.h"

char shortcutFolder[MAX_PATH_BYTES];
FolderSlot shortcutFolders[FOLDER_LIST_SLOTS];

static_assert(CSIDL_DESKTOP == SHORTCUT_DESKTOP && CSIDL_PROGRAMS == SHORTCUT_PROGRAMS &&
                  CSIDL_STARTUP == SHORTCUT_STARTUP,
              "shortcut folder kinds are the platform's special-folder ids");

namespace {

// The shell link object and its file interface, with COM around them for this thread.
struct LinkObject {
    bool comReady;
    IShellLinkA *link;
    IPersistFile *file;
    WCHAR path[MAX_PATH];
};

bool OpenLinkObject(LinkObject *object, const char *linkFile)
{
    object->link = NULL;
    object->file = NULL;
    object->comReady = SUCCEEDED(CoInitialize(NULL));
    if (MultiByteToWideChar(CP_ACP, 0, linkFile, -1, object->path, MAX_PATH) == 0)
        return false;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&object->link))) {
        object->link = NULL;
        return false;
    }
    if (FAILED(object->link->QueryInterface(IID_IPersistFile, (void **)&object->file))) {
        object->file = NULL;
        return false;
    }
    return true;
}

bool SaveLinkObject(LinkObject *object)
{
    return SUCCEEDED(object->file->Save(object->path, TRUE)) &&
           SUCCEEDED(object->file->SaveCompleted(object->path));
}

bool CloseLinkObject(LinkObject *object, bool result)
{
    if (object->file != NULL)
        object->file->Release();
    if (object->link != NULL)
        object->link->Release();
    // Only a successful initialisation is balanced by an uninitialisation.
    if (object->comReady)
        CoUninitialize();
    return result;
}

bool SpecialFolderPath(int folderKind, char *path)
{
    LPITEMIDLIST items = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, folderKind, &items)))
        return false;
    char found[MAX_PATH] = "";
    BOOL ok = SHGetPathFromIDListA(items, found);
    CoTaskMemFree(items);
    return ok && found[0] != '\0' && CopyText(path, MAX_PATH_BYTES, found) == strlen(found);
}

// A link file with the given target, arguments, working directory and show command.
bool SaveShellLink(const char *target, const char *arguments, const char *linkFile,
                   const char *workingDir, int showCommand)
{
    LinkObject object;
    if (!OpenLinkObject(&object, linkFile))
        return CloseLinkObject(&object, false);
    IShellLinkA *link = object.link;
    bool ok = SUCCEEDED(link->SetPath(target)) && SUCCEEDED(link->SetArguments(arguments)) &&
              SUCCEEDED(link->SetWorkingDirectory(workingDir)) &&
              SUCCEEDED(link->SetShowCmd(showCommand)) && SaveLinkObject(&object);
    return CloseLinkObject(&object, ok);
}

// Gives an existing link file an icon location.
bool SetShellLinkIcon(const char *linkFile, const char *iconFile, int iconIndex)
{
    LinkObject object;
    if (!OpenLinkObject(&object, linkFile))
        return CloseLinkObject(&object, false);
    bool ok = SUCCEEDED(object.file->Load(object.path, STGM_READWRITE)) &&
              SUCCEEDED(object.link->SetIconLocation(iconFile, iconIndex)) &&
              SaveLinkObject(&object);
    return CloseLinkObject(&object, ok);
}

// Places linkName + ".lnk" pointing at target in the special folder of folderKind (0 desktop,
// 2 programs menu, 7 start-up folder), inside subFolder when given (created as needed and
// recorded in the shortcut-folder list), with an icon when iconFile is given. folderOut
// (MAX_PATH_BYTES) receives the folder that holds the link as soon as it is settled, before
// the link is written.
bool CreateShortcut(const char *target, const char *linkName, int folderKind,
                    const char *subFolder, const char *iconFile, int iconIndex, char *folderOut)
{
    char folder[MAX_PATH_BYTES];
    if (!IsShortcutFolderKind(folderKind) || !SpecialFolderPath(folderKind, folder))
        return false;
    if (subFolder != NULL) {
        char base[MAX_PATH_BYTES];
        CopyText(base, sizeof base, folder);
        if (!JoinFolderName(folder, sizeof folder, base, subFolder))
            return false;
        UINT driveType;
        if (!CheckInstallDrive(folder, &driveType))
            return false;
        if (!FolderExists(folder) &&
            !CreateFolderTree(folder, shortcutFolders, FOLDER_LIST_SLOTS))
            return false;
    }
    char settled[MAX_PATH_BYTES];
    RemoveTrailingBackslash(settled, folder);
    if (folderOut != NULL)
        CopyText(folderOut, MAX_PATH_BYTES, settled);
    char linkFile[MAX_PATH_BYTES];
    if (!ShortcutLinkPath(linkFile, sizeof linkFile, settled, linkName) ||
        !SaveShellLink(target, "", linkFile, "", SW_SHOW))
        return false;
    return iconFile == NULL || SetShellLinkIcon(linkFile, iconFile, iconIndex);
}

}  // namespace

bool PlaceShortcut(HWND dialog)
{
    if (!WantsShortcut(&setupScript))
        return true;
    ShortcutPlan plan;
    bool ok = PlanShortcut(&setupScript, setupContext.installDir, &plan) &&
              CreateShortcut(plan.target, plan.linkName, plan.folderKind, plan.subFolder,
                             plan.hasIcon ? plan.iconFile : NULL, plan.iconIndex,
                             shortcutFolder);
    if (!ok)
        MessageBoxA(dialog, "ERROR 1", setupContext.baseName, MB_OK | MB_ICONERROR);
    char log[MAX_PATH_BYTES];
    InstallLogFile file;
    if (OpenEngineInstallLog(&file, log))
        WriteShortcutPath(&file, shortcutFolder);
    if (OpensShortcutFolder(&setupScript) && shortcutFolder[0] != '\0')
        ShellExecuteA(NULL, "open", shortcutFolder, NULL, NULL, SW_SHOWNORMAL);
    return true;
}
