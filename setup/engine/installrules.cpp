#include "installrules.h"

#include <string.h>

namespace {

// Starts dest with the texts in order; false, leaving dest empty, when they do not fit.
bool BuildText(char *dest, size_t size, const char *const *parts, size_t count)
{
    if (size == 0)
        return false;
    dest[0] = '\0';
    for (size_t i = 0; i < count; i++) {
        if (!AppendText(dest, size, parts[i])) {
            dest[0] = '\0';
            return false;
        }
    }
    return true;
}

// The folder with a trailing backslash, or false when there was no room for it: the name
// would then be glued to the folder's last component.
bool FolderWithBackslash(char *dest, const char *folder)
{
    if (strlen(folder) >= MAX_PATH_BYTES)
        return false;
    EnsureTrailingBackslash(dest, folder);
    size_t length = strlen(dest);
    return length == 0 || IsSingleByteCharAt(dest, length - 1, '\\');
}

}  // namespace

int NextInstallStep(int current, bool copyFinished)
{
    if (current == STEP_COPY_FILE && !copyFinished)
        return STEP_COPY_FILE;
    return current + 1;
}

bool JoinFolderName(char *dest, size_t size, const char *folder, const char *name)
{
    char base[MAX_PATH_BYTES];
    if (!FolderWithBackslash(base, folder)) {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    const char *parts[] = {base, name};
    return BuildText(dest, size, parts, 2);
}

bool FileListEnds(const SetupScript *script, int index)
{
    return index < 0 || index >= FILE_LIST_ENTRIES || script->fileList[index].macro[0] == '\0';
}

bool AsksForNextDisk(const SetupScript *script, int index)
{
    return index > 0 && !FileListEnds(script, index) && script->diskStart[index];
}

bool MediumSourcePath(char *dest, size_t size, const char *sourceDir, const char *listedPath)
{
    if (listedPath[0] == '\0') {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    if (!JoinFolderName(dest, size, sourceDir, listedPath))
        return false;
    dest[strlen(dest) - 1] = '_';
    return true;
}

const char *MacroFolder(const char *macro, const char *appDir, const char *windowsDir,
                        const char *systemDir)
{
    if (SameTextIgnoringCase(macro, "$App:"))
        return appDir;
    if (SameTextIgnoringCase(macro, "$Win:"))
        return windowsDir;
    if (SameTextIgnoringCase(macro, "$Sys:"))
        return systemDir;
    return NULL;
}

bool InstalledFilePath(char *dest, size_t size, const char *folder, const char *listedPath)
{
    // The name after the last backslash of the medium path is the listed path's own last
    // component: the medium folder always ends in a backslash before the listed path.
    const char *name = LastPathComponent(listedPath);
    if (name[0] == '\0') {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    return JoinFolderName(dest, size, folder, name);
}

bool FolderLogKey(char *dest, size_t size, int index)
{
    char key[16] = "Dir";
    AppendDecimal(key, sizeof key, index);
    const char *parts[] = {key};
    return BuildText(dest, size, parts, 1);
}

bool UninstallCommand(char *dest, size_t size, const char *windowsDir, const char *exeName,
                      int entryNumber, const char *installDir)
{
    char number[16] = "";
    AppendDecimal(number, sizeof number, entryNumber);
    const char *parts[] = {windowsDir, "\\", exeName, " /Uninst-", number, "-", installDir};
    return BuildText(dest, size, parts, sizeof parts / sizeof parts[0]);
}

bool ShortcutLinkPath(char *dest, size_t size, const char *folder, const char *linkName)
{
    char base[MAX_PATH_BYTES];
    if (!FolderWithBackslash(base, folder)) {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    const char *parts[] = {base, linkName, ".lnk"};
    return BuildText(dest, size, parts, 3);
}

bool IsShortcutFolderKind(int kind)
{
    return kind == 0 || kind == 2 || kind == 7;
}

bool KeepsInstallLog(const SetupScript *script)
{
    return strcmp(script->Uninstall, "1") == 0;
}

bool WantsShortcut(const SetupScript *script)
{
    return script->ShortCutObj[0] != '0';
}

bool OpensShortcutFolder(const SetupScript *script)
{
    return strcmp(script->ShortCutFldOpn, "1") == 0;
}

bool PlanShortcut(const SetupScript *script, const char *installDir, ShortcutPlan *plan)
{
    plan->linkName = script->ShortCutLnk;
    plan->folderKind = script->shortCutFolderId;
    plan->subFolder = strcmp(script->ShortCutFld, "0") == 0 ? NULL : script->ShortCutFld;
    plan->hasIcon = strcmp(script->ShortCutIco, "0") != 0;
    plan->iconIndex = plan->hasIcon ? script->shortCutIconIndex : 0;
    plan->iconFile[0] = '\0';
    if (!JoinFolderName(plan->target, sizeof plan->target, installDir, script->ShortCutObj))
        return false;
    return !plan->hasIcon ||
           JoinFolderName(plan->iconFile, sizeof plan->iconFile, installDir, script->ShortCutIco);
}
