// The screensaver's command line: the argument text after the program name, the mode letter
// and the window handle written after it. No windows.h here: this file is also built
// natively, under the sanitizers and the fuzzer.
#ifndef SAVERARGS_H
#define SAVERARGS_H

#include <stdint.h>

enum SaverMode {
    FullScreenMode,
    PreviewMode,
    ConfigureMode,
    ChangePasswordMode,
    InvalidMode
};

// What the argument text asks for. handle is the number written after p, l or a (0 when
// none); ownerIsForeground tells a written c from an empty argument text.
struct SaverRequest {
    SaverMode mode;
    bool ownerIsForeground;
    uint32_t handle;
};

// Steps over one character; the program passes the platform's CharNextA.
typedef const char *(*NextCharFunction)(const char *text);

// The Shift-JIS stepping rule, for callers without the platform: a lead byte followed by a
// second byte counts as one character; the terminator is never passed.
const char *NextShiftJisChar(const char *text);

// The argument text: the command line with the program name, plain or quoted, and the
// blanks and control characters after it skipped.
const char *SkipProgramName(const char *commandLine, NextCharFunction next);

// Decimal digits as an unsigned 32-bit value; it wraps, and no digits give 0.
uint32_t ParseDecimalHandle(const char *text);

// The mode the argument text selects. Only the first letter after the separators counts.
SaverRequest ParseSaverMode(const char *argumentText);

#endif
