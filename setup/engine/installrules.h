// Decisions of the installation engine that need no window: where a listed file is copied
// from and to, when the next disk is asked for, which step follows which, how long the
// install folder may be, and where the shortcut's file lies. No windows.h here: built
// natively as well, under the sanitizers and the fuzzer.
#ifndef INSTALLRULES_H
#define INSTALLRULES_H

#include <stddef.h>

#include "listedfile.h"
#include "pathtext.h"
#include "setupscript.h"

// The progress dialog's private step messages (the platform's WM_USER + 30 onwards).
enum InstallStep {
    StepArmed = 1054,           // not a message: the start timer has fired
    StepCopyScript,             // 1055, the script becomes the install log
    StepIdle,                   // 1056
    StepCopyFile,               // 1057, one file-list entry; repeats
    StepWriteRegistration,      // 1058
    StepShortcut,               // 1059
    StepRecordFolders,          // 1060, created folders and the uninstall entry
    StepFinish                  // 1061
};

// How a page of the wizard ended, the progress dialog included; 0 also while a page is open.
enum { RESULT_NEXT = 0, RESULT_CANCEL = 1, RESULT_BACK = 2 };

// The step posted when the step timer fires after current: the copy step repeats until the
// file list is exhausted, every other step is followed by the next value.
int NextInstallStep(int current, bool copyFinished);

// Index of the first entry whose path the listed-path rule refuses, or of the first "$App:"
// entry installed under the install log's name (scriptName, letter case ignored) when the
// installation writes a log; -1 for none. Such a list is refused before anything is written.
int FirstRefusedEntry(const SetupScript *script, const char *scriptName);

// True when the user must be asked for the next disk before entry index is copied: it
// starts a disk section and is not the very first entry.
bool AsksForNextDisk(const SetupScript *script, int index);

// Where a listed file is read on the medium and where it is installed (listedfile.h), as
// the copy step takes them: the folders are the install folder and the platform's own. A path
// that does not fit, or that the listed-path rule refuses, is left empty and its flag false.
struct FileCopyPlan {
    char source[MAX_PATH_BYTES];        // also the probe path after a disk change
    char destination[MAX_PATH_BYTES];
    bool sourceFits;
    bool destinationFits;
};
void PlanFileCopy(const FileEntry *entry, const char *sourceDir, const MacroFolders *folders,
                  FileCopyPlan *plan);

// A copy goes to a temporary name beside its destination and replaces the old file only when
// complete; the old file waits under another such name until the new one is in place. The
// names are "~SU" + three hexadecimal digits + ".TMP".
enum { COPY_TEMP_NAMES = 4096, COPY_TEMP_NAME_BYTES = 10 };

// True for exactly the names CopyTempPath makes, as a search returns them: a copy killed
// midway leaves one behind, and only those may be removed as ours.
bool IsCopyTempName(const char *name);

// The search for those names in the folder of destination: the folder, then "~SU*.TMP".
// False, dest empty, when it does not fit.
bool CopyTempSearch(char *dest, size_t size, const char *destination);

// The n-th temporary name (0 to COPY_TEMP_NAMES - 1) in the folder of destination, a path
// whose name follows its last byte 0x5C. False, dest empty, when it does not fit.
bool CopyTempPath(char *dest, size_t size, const char *destination, int n);

// The compressed form begins with a 14-byte header: "SZDD" and four more signature bytes,
// the mode 'A', the name's replaced character and the expanded size (32 bits, low byte
// first). The platform's expansion does not hold a file to that size.
enum { SZDD_HEADER_BYTES = 14 };

// How many bytes a copy of a medium file must write: the header's size for a compressed
// file, the file's own length for any other (a file without the signature is copied as it
// is). head holds the file's first headLength bytes (all of them when it is shorter than the
// header). False for a compressed file whose header is cut or names another mode, and for a
// file of 4 GiB or more.
bool ExpectedCopyBytes(const unsigned char *head, size_t headLength, unsigned long long fileLength,
                       unsigned long *count);

// The longest name SETUP joins with the install folder: the $App: files, the install log
// (scriptName), the registration file, the shortcut's target and icon, FinalExec, and the
// copy's temporary names.
size_t LongestInstallFolderName(const SetupScript *script, const char *scriptName);

// Whether every one of those names fits beside folder in a path.
bool InstallFolderFits(const char *folder, const SetupScript *script, const char *scriptName);

// The most bytes a folder (typed without trailing backslash) may have for them all to fit;
// at least 1.
size_t InstallFolderLimit(const SetupScript *script, const char *scriptName);

// The shortcut's file, where the installation places it and the uninstaller deletes it: the
// folder joined with the link name (JoinFolderName), then ".lnk". False, dest empty, when it
// does not fit.
bool ShortcutLinkPath(char *dest, size_t size, const char *folder, const char *linkName);

// What the script asks of the steps.
bool KeepsInstallLog(const SetupScript *script);   // Uninstall is "1"
// The log is written when it is kept, and for the shortcut's folder even when it is not.
bool WritesInstallLog(const SetupScript *script);
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
