// Decisions of the installation engine that need no window: where a listed file lies on the
// medium and where it lands, when the next disk is asked for, which step follows which, and
// the texts of the install log's keys, the uninstall command and the shortcut's file. No
// windows.h here: built natively as well, under the sanitizers and the fuzzer.
#ifndef INSTALLRULES_H
#define INSTALLRULES_H

#include <stddef.h>

#include "pathtext.h"
#include "setupscript.h"

// The progress dialog's step messages by number (progress.h names them for the platform).
enum {
    STEP_ARMED = 1054,
    STEP_COPY_FILE = 1057,
    STEP_FINISH = 1061,
};

// The step posted when the step timer fires after current: the copy step repeats until the
// file list is exhausted, every other step is followed by the next value.
int NextInstallStep(int current, bool copyFinished);

// folder with a trailing backslash ensured, then name. False, leaving dest empty, when the
// result would not fit in size bytes: a cut path would name another file.
bool JoinFolderName(char *dest, size_t size, const char *folder, const char *name);

// True when the list has no entry at index: past the hundredth, or the entry is unused.
bool FileListEnds(const SetupScript *script, int index);

// True when the user must be asked for the next disk before entry index is copied: it
// starts a disk section and is not the very first entry.
bool AsksForNextDisk(const SetupScript *script, int index);

// Where a listed file lies on the medium: sourceDir joined with the listed path, its last
// byte replaced by '_'. Also the probe path after a disk change.
bool MediumSourcePath(char *dest, size_t size, const char *sourceDir, const char *listedPath);

// The folder a path macro names ("$App:", "$Win:", "$Sys:", letter case ignored), or NULL.
const char *MacroFolder(const char *macro, const char *appDir, const char *windowsDir,
                        const char *systemDir);

// Where a listed file is installed: folder joined with the listed path's last component
// (searched byte by byte), so sub-folders on the medium only locate the file.
bool InstalledFilePath(char *dest, size_t size, const char *folder, const char *listedPath);

// The install log's key of the index-th folder of a list: "Dir" + index.
bool FolderLogKey(char *dest, size_t size, int index);

// windowsDir + "\" + exeName + " /Uninst-" + entry number + "-" + installDir, the install
// folder exactly as entered.
bool UninstallCommand(char *dest, size_t size, const char *windowsDir, const char *exeName,
                      int entryNumber, const char *installDir);

// The shortcut's file: folder (backslash ensured) + link name + ".lnk".
bool ShortcutLinkPath(char *dest, size_t size, const char *folder, const char *linkName);

// Folder kinds a shortcut may go to: 0 desktop, 2 programs menu, 7 start-up folder. Their
// numbers are the platform's own special-folder ids.
bool IsShortcutFolderKind(int kind);

// What the script asks of the steps.
bool KeepsInstallLog(const SetupScript *script);   // Uninstall is "1"
bool WantsShortcut(const SetupScript *script);     // ShortCutObj does not begin with '0'
bool OpensShortcutFolder(const SetupScript *script);

// The shortcut the script describes, joined with the install folder.
struct ShortcutPlan {
    char target[MAX_PATH_BYTES];
    const char *linkName;
    int folderKind;
    const char *subFolder;   // NULL: none
    char iconFile[MAX_PATH_BYTES];
    bool hasIcon;
    int iconIndex;
};

// False when a path does not fit; the plan is then not to be used.
bool PlanShortcut(const SetupScript *script, const char *installDir, ShortcutPlan *plan);

#endif
