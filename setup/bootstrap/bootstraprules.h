// Decisions of the bootstrap start that need no window: the files to stage, the relaunch's
// command and the lines it adds to WININIT.INI. Built natively too.
#ifndef BOOTSTRAPRULES_H
#define BOOTSTRAPRULES_H

#include <stddef.h>

enum { STAGED_FILES_MAX = 4 };

// One file to stage: its entry relative to the medium folder and its name in the Windows
// directory.
struct StagedFile {
    const char *entry;
    const char *stagedName;
};

// The files to stage, in order: the program, its script, Titlemap and Bitmap; a picture
// whose value begins with '0' is left out. Returns the count. The program and its script keep
// their own names, which the relaunch and the wizard start rely on whatever their characters;
// a picture is staged under the byte-wise last component of its entry, the rule by which the
// wizard finds it.
int StagingList(const char *exeName, const char *scriptName, const char *titlemap,
                const char *bitmap, StagedFile list[STAGED_FILES_MAX]);

// windowsDir (backslash ensured) + baseName + ".exe /" + scriptDir. False when it does not fit.
bool RelaunchCommand(char *dest, size_t size, const char *windowsDir, const char *baseName,
                     const char *scriptDir);

// WININIT.INI is a text file with CR LF line ends, which SETUP appends to. What goes before
// SETUP's lines: "[rename]" when the file did not exist; a line end when its last line has
// none (its last byte neither LF nor CR), so that neither that line nor ours is spoilt;
// otherwise nothing. lastByte is the file's last byte, NO_LAST_BYTE when it is empty or
// could not be read.
enum { NO_LAST_BYTE = -1 };
const char *WininitOpening(bool existed, int lastByte);

// The line that has the platform delete a file at the next restart: "NUL=" + shortName +
// CR LF. False when it does not fit in size bytes.
bool WininitDeletionLine(char *dest, size_t size, const char *shortName);

#endif
