// Decisions of the wizard that need no window: the background's bands and colours, the
// title's colours, the drive messages, the order of the steps, the welcome text and the
// install folder's separators. Built natively too.
#ifndef WIZARDRULES_H
#define WIZARDRULES_H

#include <stddef.h>

#include "installrules.h"
#include "setupscript.h"

enum { GRADIENT_BANDS = 256 };

struct Rgb {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

// Rows top (inclusive) to bottom (exclusive) of a band in a client area height rows high:
// band i covers i*height/256 to (i+1)*height/256, so the bands tile the area exactly.
void GradientBandRows(int band, int height, int *top, int *bottom);

// Band i has intensity 255 - i in the BackColor's hue: the top is brightest, the bottom black.
Rgb GradientBandColour(int backColorIndex, int band);

// The BackColor at full intensity: the fill behind the pages' side picture.
Rgb FullColour(int backColorIndex);

// White letters with a black shadow; on the grey scale (MN), whose top is white, the reverse.
void TitleColours(int backColorIndex, Rgb *text, Rgb *shadow);

// The string shown for a drive that cannot take the installation; 0 when the drive can
// (fixed or network) or the type is none the platform defines.
enum {
    DRIVE_TEXT_UNKNOWN = 10,
    DRIVE_TEXT_NO_DRIVE = 11,
    DRIVE_TEXT_NOT_INSTALLABLE = 13
};
unsigned DriveMessageId(unsigned driveType);

// The steps as the background window numbers its private messages.
enum {
    STEP_INIT = 1024,
    STEP_REGIST,
    STEP_START,
    STEP_PROGRESS,
    STEP_DONE,
    STEP_FINAL_EXEC,
    STEP_CLOSE,
    STEP_ABORT = 1033
};

enum class StepAction { Post, Abort, Nothing };
struct StepDecision {
    StepAction action;
    int step;             // the step to post
    bool clearResult;     // back was taken: the result returns to next
};

// What follows a step that went on (wentOn) or ended with pageResult.
StepDecision DecideAfterStep(int step, bool wentOn, int pageResult);

// The steps after the copy wait while the progress dialog exists: its own completion
// message is the one that counts.
bool StepWaitsForCopy(int step);

// The welcome text: the README values in order up to the first empty one, each followed by
// a line break. Lines that would not fit whole are left out with everything after them.
void BuildReadmeText(const char lines[README_LINES][README_LINE_BYTES], char *text, size_t size);

// The registry keys under HKEY_LOCAL_MACHINE that hold the registered owner and
// organisation, in the order they are read on a platform (GetVersionEx's platform id):
// attempt 0 is the family's own place (NT's on platform 2, the Windows 95 family's
// otherwise), attempt 1 the other, which is read when the first gave no value or an empty
// one (a fresh NT-family system may hold empty values). NULL after the last attempt.
enum { REGISTERED_PLACES = 2 };
const char *RegisteredUserKey(unsigned platformId, int attempt);

// A folder typed with '/' as separator is taken with '\': the uninstall command splits its
// argument at the last '/', so such a folder would never be found again.
void UseBackslashes(char *path);

#endif
