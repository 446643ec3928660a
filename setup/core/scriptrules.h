// The setup script's rules, apart from how the file is read: key order, defaults, values
// that must be checked, [README] and [DISKn] lines. Built natively as well.
#ifndef SCRIPTRULES_H
#define SCRIPTRULES_H

#include <stddef.h>

#include "listedfile.h"
#include "setupscript.h"

// Where the rules get their text from: the profile functions in SETUP, a table in tests.
struct ScriptSource {
    void *context;
    // Copies the value of [Setup] key (def when the key is absent) into value, at most
    // size - 1 bytes and a terminator; returns the bytes copied.
    size_t (*readKey)(void *context, const char *key, const char *def, char *value, size_t size);
    // Copies a whole section as key=value lines, each ended by a zero byte, the list ended by
    // one more; returns the bytes copied without the last terminator (0: absent or empty).
    size_t (*readSection)(void *context, const char *section, char *data, size_t size);
};

// Room for the longest error suffix, e.g. " ShortCutFldOpn Error" or " DISK10 Error".
enum { SCRIPT_ERROR_BYTES = 32 };

// Fills script from source. Returns true when the whole script is valid; otherwise false
// with the first bad item's suffix (to follow the script's file name) in error. The values
// read before the error stay in script.
bool CheckSetupScript(const ScriptSource *source, const char *sourceDir, SetupScript *script,
                      char *error, size_t errorSize);

// Decimal conversion of the numeric keys: leading blanks, an optional sign, digits up to the
// first other character; no digits give 0. Values beyond the int range are held at its ends.
int ScriptNumber(const char *text);

// 1 to 7 for "BL", "GR", "RD", "LB", "PK", "YL", "MN" (letter case ignored), else 0.
int BackColorIndex(const char *code);

// Fills lines from the first README_LINES lines of a [README] section (length bytes of
// data): each value is the text after the line's first '=' (a line without '=' is taken
// whole), cut at a whole character to fit, with its leading '*' turned into blanks.
void FillReadmeLines(const char *data, size_t length, char lines[README_LINES][README_LINE_BYTES]);

// One [DISKn] line into entry: false unless it has '=' and ':', one of the three macros right
// after its first '=', and a path (text after the first ':') of at most 260 bytes.
bool ParseDiskLine(const char *line, FileEntry *entry);

// Adds the lines of one [DISKn] section to the file list; false for the section's error.
bool AddDiskSection(const char *data, size_t length, SetupScript *script);

// Where a file list ends, for the installation, the uninstaller and the medium builder alike:
// true when files (count entries at most) hold no entry at index, past the hundredth or at the
// first unused entry (no macro and no path). The list read from a script fills its entries
// one after the other, so it ends there; an entry with only one of the two is still an entry,
// and fails where it is used.
bool FileListEnds(const FileEntry *files, int count, int index);

// Folder kinds a shortcut may go to (ShortCutDir): their numbers are the platform's own
// special-folder ids.
enum { SHORTCUT_DESKTOP = 0, SHORTCUT_PROGRAMS = 2, SHORTCUT_STARTUP = 7 };
bool IsShortcutFolderKind(int kind);
// True for a ShortCutDir text SETUP takes: one of the kinds as one digit.
bool IsShortcutDirText(const char *text);
// True for a switch SETUP takes (Uninstall, ShortCutFldOpn): exactly "0" or "1".
bool IsSwitchText(const char *text);

// The [Setup] keys in the order the reader takes them, each with its read buffer in bytes
// (terminator included), for the tools that check and document scripts.
struct SetupKeyInfo {
    const char *name;
    size_t size;
};
enum { SETUP_KEY_COUNT = 23, BACK_COLOR_CODES = 7 };
extern const SetupKeyInfo kSetupKeys[SETUP_KEY_COUNT];
// "BL" ... "MN": code i gives backColorIndex i + 1.
extern const char *const kBackColorCodes[BACK_COLOR_CODES];

#endif
