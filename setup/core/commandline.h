// SETUP's command line: the program's own name and folder, and which of the three starts
// it asks for. No windows.h here: built natively as well.
#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "pathtext.h"

// Names and titles: 255 bytes of text and the terminator.
enum { NAME_BYTES = 256 };
// An uninstall entry number: at most 31 decimal digits and the terminator.
enum { ENTRY_NUMBER_BYTES = 32 };
// The command line is handled in buffers of this size.
enum { COMMAND_LINE_BYTES = 772 };

enum class RunMode { Bootstrap, Wizard, Uninstall };

enum class CommandLineStatus {
    Ok,
    TooLong,        // more than COMMAND_LINE_BYTES - 1 bytes: its argument could be cut
    BadArgument     // an uninstall argument that is not "/Uninst-" digits "-" folder, or a
                    // folder argument longer than a path
};

struct CommandLineParts {
    char baseName[NAME_BYTES];
    char scriptDir[MAX_PATH_BYTES];     // with its trailing backslash, or the install folder
    char sourceDir[MAX_PATH_BYTES];     // Wizard start only
    char entryNumber[ENTRY_NUMBER_BYTES];   // Uninstall start only
    RunMode mode;
};

// Decomposes the command line. The program's name and folder come from the text before the
// line's first '.'; when those do not name the running program (modulePath, its full file
// name; a folder with '.' in its name, a line without '.', a relative start), they are
// taken from modulePath instead. baseName is filled whatever the status.
CommandLineStatus DecomposeCommandLine(const char *commandLine, const char *modulePath,
                                       CommandLineParts *parts);

#endif
