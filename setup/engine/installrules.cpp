#include "installrules.h"

#include <string.h>

#include "listedfile.h"

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

int FirstRefusedEntry(const SetupScript *script)
{
    for (int i = 0; !FileListEnds(script, i); i++) {
        if (CheckListedPath(script->fileList[i].path) != LISTED_PATH_OK)
            return i;
    }
    return -1;
}

bool AsksForNextDisk(const SetupScript *script, int index)
{
    return index > 0 && !FileListEnds(script, index) && script->diskStart[index];
}

bool MediumSourcePath(char *dest, size_t size, const char *sourceDir, const char *listedPath)
{
    if (CheckListedPath(listedPath) != LISTED_PATH_OK) {
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
    if (CheckListedPath(listedPath) != LISTED_PATH_OK) {
        if (size > 0)
            dest[0] = '\0';
        return false;
    }
    return JoinFolderName(dest, size, folder, LastPathComponent(listedPath));
}

bool CopyTempPath(char *dest, size_t size, const char *destination, int n)
{
    if (size > 0)
        dest[0] = '\0';
    const char *name = LastPathComponent(destination);
    size_t folder = (size_t)(name - destination);
    if (n < 0 || n >= COPY_TEMP_NAMES || folder == 0 || folder + COPY_TEMP_NAME_BYTES + 1 > size)
        return false;
    memcpy(dest, destination, folder);
    const char digits[] = "0123456789ABCDEF";
    char tempName[COPY_TEMP_NAME_BYTES + 1] = "~SU000.TMP";
    tempName[3] = digits[(n >> 8) & 15];
    tempName[4] = digits[(n >> 4) & 15];
    tempName[5] = digits[n & 15];
    memcpy(dest + folder, tempName, sizeof tempName);
    return true;
}

bool ExpectedCopyBytes(const unsigned char *head, size_t headLength, unsigned long long fileLength,
                       unsigned long *count)
{
    static const unsigned char signature[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    if ((fileLength >> 32) != 0)
        return false;
    size_t compared = headLength < sizeof signature ? headLength : sizeof signature;
    // "SZDD" and what follows of the signature: a header cut short is still a header.
    bool compressed = headLength >= 4 && memcmp(head, signature, compared) == 0;
    if (!compressed) {
        *count = (unsigned long)fileLength;
        return true;
    }
    if (headLength < SZDD_HEADER_BYTES || fileLength < SZDD_HEADER_BYTES || head[8] != 'A')
        return false;
    *count = (unsigned long)head[10] | (unsigned long)head[11] << 8 | (unsigned long)head[12] << 16 |
             (unsigned long)head[13] << 24;
    return true;
}

size_t LongestInstallFolderName(const SetupScript *script, const char *scriptName)
{
    size_t longest = COPY_TEMP_NAME_BYTES;
    const char *names[FILE_LIST_ENTRIES + 6];
    int count = 0;
    for (int i = 0; !FileListEnds(script, i); i++) {
        if (SameTextIgnoringCase(script->fileList[i].macro, "$App:"))
            names[count++] = LastPathComponent(script->fileList[i].path);
    }
    names[count++] = scriptName;
    names[count++] = script->RegIni;
    if (WantsShortcut(script)) {
        names[count++] = script->ShortCutObj;
        if (strcmp(script->ShortCutIco, "0") != 0)
            names[count++] = script->ShortCutIco;
    }
    if (script->FinalExec[0] != '0')
        names[count++] = script->FinalExec;
    for (int i = 0; i < count; i++) {
        size_t length = strlen(names[i]);
        longest = length > longest ? length : longest;
    }
    return longest;
}

bool InstallFolderFits(const char *folder, const SetupScript *script, const char *scriptName)
{
    char base[MAX_PATH_BYTES];
    return FolderWithBackslash(base, folder) &&
           strlen(base) + LongestInstallFolderName(script, scriptName) <= MAX_PATH_BYTES - 1;
}

size_t InstallFolderLimit(const SetupScript *script, const char *scriptName)
{
    // The folder, its backslash and the longest name within the path's 260 bytes.
    size_t longest = LongestInstallFolderName(script, scriptName);
    return longest + 2 < MAX_PATH_BYTES ? MAX_PATH_BYTES - 2 - longest : 1;
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
