#include "installrules.h"

#include <string.h>

#include "scriptrules.h"

int NextInstallStep(int current, bool copyFinished)
{
    if (current == StepCopyFile && !copyFinished)
        return StepCopyFile;
    return current + 1;
}

int FirstRefusedEntry(const SetupScript *script, const char *scriptName)
{
    for (int i = 0; !FileListEnds(script->fileList, FILE_LIST_ENTRIES, i); i++) {
        const FileEntry *entry = &script->fileList[i];
        if (CheckListedPath(entry->path) != LISTED_PATH_OK)
            return i;
        // The file system ignores letter case; trailing dots and blanks are refused above.
        if (WritesInstallLog(script) && SameTextIgnoringCase(entry->macro, kPathMacros[MACRO_APP]) &&
            SameTextIgnoringCase(LastPathComponent(entry->path), scriptName))
            return i;
    }
    return -1;
}

bool AsksForNextDisk(const SetupScript *script, int index)
{
    return index > 0 && !FileListEnds(script->fileList, FILE_LIST_ENTRIES, index) && script->diskStart[index];
}

void PlanFileCopy(const FileEntry *entry, const char *sourceDir, const MacroFolders *folders,
                  FileCopyPlan *plan)
{
    plan->sourceFits = MediumSourcePath(plan->source, sizeof plan->source, sourceDir, entry->path);
    plan->destinationFits = InstalledFilePath(plan->destination, sizeof plan->destination, folders,
                                              entry->macro, entry->path);
}

namespace {

const char kCopyTempName[COPY_TEMP_NAME_BYTES + 1] = "~SU000.TMP";
const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

bool IsCopyTempName(const char *name)
{
    if (strlen(name) != COPY_TEMP_NAME_BYTES || strncmp(name, kCopyTempName, 3) != 0 ||
        strcmp(name + 6, kCopyTempName + 6) != 0)
        return false;
    // The length is checked: none of the three is the terminator.
    for (int i = 3; i < 6; i++) {
        if (strchr(kHexDigits, name[i]) == NULL)
            return false;
    }
    return true;
}

bool CopyTempSearch(char *dest, size_t size, const char *destination)
{
    static const char pattern[] = "~SU*.TMP";
    if (size > 0)
        dest[0] = '\0';
    size_t folder = (size_t)(LastPathComponent(destination) - destination);
    if (folder == 0 || folder + sizeof pattern > size)
        return false;
    memcpy(dest, destination, folder);
    memcpy(dest + folder, pattern, sizeof pattern);
    return true;
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
    char tempName[COPY_TEMP_NAME_BYTES + 1];
    memcpy(tempName, kCopyTempName, sizeof tempName);
    tempName[3] = kHexDigits[(n >> 8) & 15];
    tempName[4] = kHexDigits[(n >> 4) & 15];
    tempName[5] = kHexDigits[n & 15];
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
    for (int i = 0; !FileListEnds(script->fileList, FILE_LIST_ENTRIES, i); i++) {
        if (SameTextIgnoringCase(script->fileList[i].macro, kPathMacros[MACRO_APP]))
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

bool ShortcutLinkPath(char *dest, size_t size, const char *folder, const char *linkName)
{
    if (JoinFolderName(dest, size, folder, linkName) && AppendText(dest, size, ".lnk"))
        return true;
    if (size > 0)
        dest[0] = '\0';
    return false;
}

bool KeepsInstallLog(const SetupScript *script)
{
    return strcmp(script->Uninstall, "1") == 0;
}

bool WritesInstallLog(const SetupScript *script)
{
    return KeepsInstallLog(script) || WantsShortcut(script);
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
