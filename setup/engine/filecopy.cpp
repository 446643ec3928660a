// The script's copy into the install folder and the expansion of the listed files from the
// medium, asking for the next disk where a disk section begins.
#include <windows.h>

#include <commctrl.h>
#include <lzexpand.h>

#include <string.h>

#include "installrules.h"
#include "installsteps.h"
#include "listedfile.h"
#include "pathfs.h"
#include "resource.h"
#include "scriptrules.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"

namespace {

void AdvanceProgress(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_DELTAPOS, 1, 0);
}

void ShowCopyFailure(HWND dialog, const char *path)
{
    ShowSetupMessage(dialog, IDS_COPY_FAILED, path, setupContext.caption, MB_OK | MB_ICONERROR);
}

// The next disk, then its first file: the probe repeats until the file is there or the
// user gives up.
bool AskForNextDisk(HWND dialog, const char *probePath)
{
    engineState.diskNumber++;
    char text[MESSAGE_BYTES];
    FormatSetupString(text, IDS_CHANGE_DISK, (long)engineState.diskNumber);
    if (MessageBoxA(dialog, text, setupContext.caption, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;
    while (!PathExists(probePath)) {
        if (ShowSetupMessage(dialog, IDS_FILE_NOT_FOUND, probePath, setupContext.caption,
                             MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return false;
    }
    return true;
}

// Only a file holding every byte written counts.
bool HoldsBytes(const char *path, unsigned long written)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && found.nFileSizeHigh == 0 &&
           found.nFileSizeLow == written;
}

// What the copy of source must write, from its header and length; false when the file cannot
// be read or is a damaged compressed file.
bool ReadExpectedBytes(const char *source, unsigned long *count)
{
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned char head[SZDD_HEADER_BYTES];
    DWORD got = 0;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    bool read = low != 0xFFFFFFFF && ReadFile(file, head, sizeof head, &got, NULL);
    CloseHandle(file);
    return read && ExpectedCopyBytes(head, got, (unsigned long long)high << 32 | low, count);
}

// The LZ open goes through OpenFile, whose record holds paths of at most 127 bytes and which
// refuses longer ones; an install folder may take up to 260. A longer path is opened
// directly and handed to the expander, which reads an uncompressed file through unchanged.
INT OpenSourceForExpansion(char *path)
{
    if (strlen(path) < OFS_MAXPATHNAME) {
        OFSTRUCT info;
        return LZOpenFileA(path, &info, OF_READ);
    }
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR)
        return -1;
    INT expander = LZInit(file);
    if (expander < 0)
        _lclose(file);
    return expander;
}

// Tries take at each temporary name beside destination in turn, the name in path, while the
// name is taken; true once take succeeds. path is empty when no name served.
bool TakeFreeTempName(const char *destination, char *path, bool (*take)(const char *, void *),
                      void *context)
{
    for (int n = 0; CopyTempPath(path, MAX_PATH_BYTES, destination, n); n++) {
        if (take(path, context))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    path[0] = '\0';
    return false;
}

bool CreateNewFile(const char *path, void *file)
{
    *(HANDLE *)file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  NULL);
    return *(HANDLE *)file != INVALID_HANDLE_VALUE;
}

bool MoveTo(const char *path, void *from)
{
    return MoveFileA((const char *)from, path) != FALSE;
}

// A new file under the first free temporary name beside destination; its path goes to temp.
HANDLE CreateTempCopy(const char *destination, char *temp)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    TakeFreeTempName(destination, temp, CreateNewFile, &file);
    return file;
}

// Moves the old destination aside under the first free temporary name, which goes to kept.
bool KeepOldFile(const char *destination, char *kept)
{
    return TakeFreeTempName(destination, kept, MoveTo, (void *)destination);
}

// Puts the complete copy temp in the place of destination. Windows 95 has no MoveFileEx, so
// the old file is moved aside first and deleted only once the new one stands in its place;
// on any failure the old file is put back and the copy deleted.
bool ReplaceWithCopy(const char *temp, const char *destination)
{
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes == 0xFFFFFFFF) {
        if (MoveFileA(temp, destination))
            return true;
        DeleteFileA(temp);
        return false;
    }
    char kept[MAX_PATH_BYTES];
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !KeepOldFile(destination, kept)) {
        DeleteFileA(temp);
        return false;
    }
    if (MoveFileA(temp, destination)) {
        // A program that runs can be renamed but not deleted: it stays as it was.
        if (DeleteFileA(kept))
            return true;
        MoveFileA(destination, temp);
    }
    MoveFileA(kept, destination);
    DeleteFileA(temp);
    return false;
}

// Expands source into destination with the platform's LZ expansion (a file that is not
// compressed passes through unchanged). The source is opened and judged before anything
// is written; the old destination is replaced only by a copy that holds exactly the bytes
// the source promises, and nothing of a failed copy stays behind.
bool ExpandFile(char *source, const char *destination)
{
    unsigned long expected = 0;
    if (!ReadExpectedBytes(source, &expected) || expected == 0)
        return false;
    INT from = OpenSourceForExpansion(source);
    if (from < 0)
        return false;
    // A copy killed midway leaves its temporary behind; no temporary of ours outlives this one.
    char temp[MAX_PATH_BYTES];
    if (CopyTempSearch(temp, sizeof temp, destination))
        DeleteOwnFiles(temp, IsCopyTempName);
    HANDLE to = CreateTempCopy(destination, temp);
    if (to == INVALID_HANDLE_VALUE) {
        LZClose(from);
        return false;
    }
    // The platform hands file handles to its expander as HFILE values.
    LONG written = LZCopy(from, (INT)(INT_PTR)to);
    LZClose(from);
    CloseHandle(to);
    if (written <= 0 || (unsigned long)written != expected || !HoldsBytes(temp, expected)) {
        DeleteFileA(temp);
        return false;
    }
    return ReplaceWithCopy(temp, destination);
}

// The entry as the script lists it, for the copy-failure box.
void ShowEntryFailure(HWND dialog, const FileEntry &entry)
{
    char named[MACRO_BYTES + MAX_PATH_BYTES];
    CopyText(named, sizeof named, entry.macro);
    AppendText(named, sizeof named, entry.path);
    ShowCopyFailure(dialog, named);
}

}  // namespace

bool CopyScriptToInstallFolder(HWND dialog)
{
    // A list naming a path that could reach any file, open a device or replace the install
    // log is refused before anything is written.
    int refused = FirstRefusedEntry(&setupScript, setupContext.scriptName);
    if (refused >= 0) {
        ShowEntryFailure(dialog, setupScript.fileList[refused]);
        return false;
    }
    if (!KeepsInstallLog(&setupScript))
        return true;
    ShowProgressLine(dialog, IDC_PROGRESS_SOURCE, IDS_COPY_SOURCE, setupContext.scriptPath);
    char destination[MAX_PATH_BYTES];
    bool fits = InstallLogPath(destination);
    ShowProgressLine(dialog, IDC_PROGRESS_DESTINATION, IDS_COPY_DESTINATION, destination);
    AdvanceProgress(dialog);
    if (!fits || !CopyFileA(setupContext.scriptPath, destination, FALSE)) {
        ShowCopyFailure(dialog, setupContext.scriptPath);
        return false;
    }
    return true;
}

bool CopyListedFile(HWND dialog)
{
    int index = engineState.fileIndex;
    if (FileListEnds(setupScript.fileList, FILE_LIST_ENTRIES, index)) {
        engineState.copyFinished = true;
        return true;
    }
    const FileEntry &entry = setupScript.fileList[index];
    // The first step refused the list already; the copy does not rely on it.
    if (CheckListedPath(entry.path) != LISTED_PATH_OK) {
        ShowEntryFailure(dialog, entry);
        return false;
    }
    const SetupContext &ctx = setupContext;
    MacroFolders folders = {ctx.installDir, ctx.windowsDir, ctx.systemDir};
    FileCopyPlan copy;
    PlanFileCopy(&entry, ctx.sourceDir, &folders, &copy);
    if (AsksForNextDisk(&setupScript, index) && !AskForNextDisk(dialog, copy.source))
        return false;

    ShowProgressLine(dialog, IDC_PROGRESS_SOURCE, IDS_COPY_SOURCE, copy.source);
    if (!copy.destinationFits) {
        // Nothing sensible to name: the entry cannot be installed anywhere.
        ShowEntryFailure(dialog, entry);
        return false;
    }
    ShowProgressLine(dialog, IDC_PROGRESS_DESTINATION, IDS_COPY_DESTINATION, copy.destination);
    AdvanceProgress(dialog);
    if (!copy.sourceFits || !ExpandFile(copy.source, copy.destination)) {
        ShowCopyFailure(dialog, copy.destination);
        return false;
    }
    engineState.fileIndex++;
    return true;
}
