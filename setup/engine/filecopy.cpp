// The script's copy into the install folder and the expansion of the listed files from the
// medium, asking for the next disk where a disk section begins.
#include <windows.h>

#include <commctrl.h>
#include <lzexpand.h>

#include <string.h>

#include "installrules.h"
#include "installsteps.h"
#include "pathfs.h"
#include "resource.h"
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
    char format[256];
    if (LoadStringA(setupContext.instance, IDS_CHANGE_DISK, format, sizeof format) <= 0)
        format[0] = '\0';
    char text[1024];
    wsprintfA(text, format, (long)engineState.diskNumber);
    if (MessageBoxA(dialog, text, setupContext.caption, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;
    while (!PathExists(probePath)) {
        if (ShowSetupMessage(dialog, IDS_FILE_NOT_FOUND, probePath, setupContext.caption,
                             MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return false;
    }
    return true;
}

// When the destination cannot be created, the LZ open falls back to the name with its last
// character replaced by '_': a copy that "succeeded" may have gone there. Only a destination
// holding every byte written counts.
bool HoldsBytes(const char *path, LONG written)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && found.nFileSizeHigh == 0 &&
           found.nFileSizeLow == (DWORD)written;
}

// The LZ open goes through OpenFile, whose record holds paths of at most 127 bytes and which
// refuses longer ones; an install folder may take up to 260. A longer path is opened
// directly and handed to the expander, which reads an uncompressed file through unchanged.
INT OpenForExpansion(char *path, WORD mode)
{
    if (strlen(path) < OFS_MAXPATHNAME) {
        OFSTRUCT info;
        return LZOpenFileA(path, &info, mode);
    }
    HFILE file = mode == OF_CREATE ? _lcreat(path, 0) : _lopen(path, OF_READ);
    if (file == HFILE_ERROR)
        return -1;
    if (mode == OF_CREATE)
        return file;
    INT expander = LZInit(file);
    if (expander < 0)
        _lclose(file);
    return expander;
}

// Expands source into destination with the platform's LZ expansion (a file that is not
// compressed passes through unchanged). Returns the bytes written, or 0 or less on failure.
LONG ExpandFile(char *source, char *destination)
{
    INT from = OpenForExpansion(source, OF_READ);
    // An old file must not survive a failed copy as if it were the new one.
    DeleteFileA(destination);
    INT to = OpenForExpansion(destination, OF_CREATE);
    LONG written = from >= 0 && to >= 0 ? LZCopy(from, to) : -1;
    if (from >= 0)
        LZClose(from);
    if (to >= 0)
        LZClose(to);
    return written > 0 && HoldsBytes(destination, written) ? written : -1;
}

}  // namespace

bool CopyScriptToInstallFolder(HWND dialog)
{
    if (!KeepsInstallLog(&setupScript))
        return true;
    ShowProgressLine(dialog, IDC_PROGRESS_SOURCE, IDS_COPY_SOURCE, setupContext.scriptPath);
    char destination[MAX_PATH_BYTES];
    bool fits = JoinFolderName(destination, sizeof destination, setupContext.installDir,
                               setupContext.scriptName);
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
    if (FileListEnds(&setupScript, index)) {
        engineState.copyFinished = true;
        return true;
    }
    const FileEntry &entry = setupScript.fileList[index];
    char source[MAX_PATH_BYTES];
    bool sourceFits = MediumSourcePath(source, sizeof source, setupContext.sourceDir, entry.path);
    if (AsksForNextDisk(&setupScript, index) && !AskForNextDisk(dialog, source))
        return false;

    ShowProgressLine(dialog, IDC_PROGRESS_SOURCE, IDS_COPY_SOURCE, source);
    const char *folder = MacroFolder(entry.macro, setupContext.installDir,
                                     setupContext.windowsDir, setupContext.systemDir);
    char destination[MAX_PATH_BYTES];
    bool destinationFits = folder != NULL &&
                           InstalledFilePath(destination, sizeof destination, folder, entry.path);
    if (!destinationFits) {
        // Nothing sensible to name: the entry cannot be installed anywhere.
        ShowCopyFailure(dialog, entry.path);
        return false;
    }
    ShowProgressLine(dialog, IDC_PROGRESS_DESTINATION, IDS_COPY_DESTINATION, destination);
    AdvanceProgress(dialog);
    if (!sourceFits || ExpandFile(source, destination) <= 0) {
        ShowCopyFailure(dialog, destination);
        return false;
    }
    engineState.fileIndex++;
    return true;
}
