// The script checker of the medium builder: every problem of a setup script, each with its
// line. Values are judged by SETUP's own reading (a ScriptSource: the profile functions in
// the builder); the lines come from a reading of the file's text that follows the profile
// functions' rules, since those give no line numbers. No windows.h: built natively as well.
#ifndef SCRIPTCHECK_H
#define SCRIPTCHECK_H

#include <stddef.h>

#include "controlsizes.h"
#include "mediumplan.h"
#include "scriptrules.h"

enum {
    // The profile functions of the Windows 95 family read no more of a file.
    SCRIPT_MAX_BYTES = 65535,
    CHECK_TEXT_BYTES = 512,
    CHECK_MAX_FINDINGS = 400,
    // The wizard's screen as the pictures are placed on it.
    SCREEN_WIDTH = 640,
    SCREEN_HEIGHT = 480,
    // Texts are measured in columns: a half-width character one, a full-width character two.
    // In the pages' 9-point font a column is about 6 px, four horizontal dialog units, and a
    // line 8 vertical ones. The controls' sizes are those of SETUP's dialog templates.
    COLUMN_DIALOG_UNITS = 4,
    LINE_DIALOG_UNITS = 8,
    // The welcome box: about 40 columns across and 15 lines down.
    README_VISIBLE_COLUMNS = README_TEXT_WIDTH / COLUMN_DIALOG_UNITS,
    README_VISIBLE_LINES = README_TEXT_HEIGHT / LINE_DIALOG_UNITS,
    // StartMsg1 and StartMsg2: one line each on the destination page.
    START_MESSAGE_COLUMNS = START_MSG_WIDTH / COLUMN_DIALOG_UNITS,
    // The progress dialog's source and destination lines begin with a word and a colon of 8
    // columns.
    PROGRESS_LINE_COLUMNS = PROGRESS_LINE_WIDTH / COLUMN_DIALOG_UNITS,
    PROGRESS_PREFIX_COLUMNS = 8,
    // The background's title line: the caption (Title, a blank and the six-character word for
    // setup: 13 columns) in letters 40 px high, a column about 20 px, from the shadow's left
    // edge at 15 px to the right of a 640-px screen's client area (4-px frames): 30 columns.
    // The subtitle line, letters 10 px high: a column about 5 px, 123 columns.
    TITLE_LINE_COLUMNS = (SCREEN_WIDTH - 2 * 4 - 15) / 20,
    CAPTION_SUFFIX_COLUMNS = 13,
    SUBTITLE_LINE_COLUMNS = (SCREEN_WIDTH - 2 * 4 - 15) / 5,
};

// One line of the file as the profile functions take it: blanks around the name and the
// value stripped. Blank lines are not kept.
struct IniLine {
    int number;            // from 1
    int section;           // index into IniText::sections, -1 before the first section
    bool comment;          // begins with ';'
    const char *name;      // the whole line when it has no '='
    size_t nameLength;
    const char *value;     // NULL when the line has no '='
    size_t valueLength;
};

struct IniSection {
    int number;            // line of its header
    const char *name;
    size_t nameLength;
    int first;             // the earlier section of the same name, or -1
};

struct IniText {
    const char *bytes;
    size_t length;
    IniLine *lines;
    int lineCount;
    IniSection *sections;
    int sectionCount;
};

// Reads text (length bytes, kept by the caller while ini is used). False when out of memory.
bool ParseIniText(const char *text, size_t length, IniText *ini);
void FreeIniText(IniText *ini);

// The profile functions' answers computed from ini itself: for the tests, the fuzzer and
// agreement checks. context is an IniText.
size_t IniReadKey(void *context, const char *key, const char *def, char *value, size_t size);
size_t IniReadSection(void *context, const char *section, char *data, size_t size);

// What the builder found in the package folder for a path below it: only a file goes on
// the medium; a link is followed only while it stays inside the package.
enum PackageKind { PACKAGE_MISSING, PACKAGE_FILE, PACKAGE_FOLDER, PACKAGE_FIFO, PACKAGE_DEVICE, PACKAGE_SOCKET,
                   PACKAGE_OUTSIDE };
struct PackageFile {
    PackageKind kind;
    unsigned long long size;
    unsigned char head[64];    // the file's first bytes
    size_t headLength;
    char target[MAX_PATH_BYTES];   // PACKAGE_OUTSIDE: where the link leads
};
struct PackageProbe {
    void *context;
    void (*look)(void *context, const char *path, PackageFile *file);
    // The whole file from malloc, as the build reads it; NULL when it cannot be read. NULL:
    // files are not read (nor the disks measured).
    unsigned char *(*read)(void *context, const char *path, size_t *length);
};

struct CheckInput {
    const char *fileName;           // how lines name the file
    const char *scriptName;         // NAME.ini as SETUP reads it
    const IniText *ini;
    const ScriptSource *source;     // SETUP's reading of the same text
    bool utf8Declared;              // converted from UTF-8: no UTF-8 warning
    bool oneFolder;                 // every disk in one folder (a CD)
    const PackageProbe *package;    // NULL: the listed files are not looked for
    const char *packageFolder;      // how findings name the package folder
    // The setup program and the script as they go on the first disk, in bytes (for its fill).
    unsigned long long programSize;
    unsigned long long scriptSize;
};

struct CheckFinding {
    int line;
    bool error;
    char text[CHECK_TEXT_BYTES];
};

struct CheckReport {
    CheckFinding findings[CHECK_MAX_FINDINGS];
    int count;          // kept, in line order after CheckScript
    int errors;         // counted, also those beyond the kept ones
    int warnings;
    MediumPlan plan;
};

// Checks the whole script. The report holds each problem once, sorted by line.
void CheckScript(const CheckInput *input, CheckReport *report);

// "FILE:LINE: error: TEXT" into line (size bytes).
void FormatFinding(const char *fileName, const CheckFinding *finding, char *line, size_t size);
// "N errors, M warnings" (singular where it is one).
void FormatCount(const CheckReport *report, char *line, size_t size);

// text (length bytes) with every line end (CR, LF or CR LF) made CR LF into out, which
// holds 2 * length bytes; returns the bytes written.
size_t CrLfLines(const char *text, size_t length, char *out);

// Offset of the first byte that does not start a valid Shift-JIS character, or length.
size_t FirstInvalidShiftJis(const char *text, size_t length);
// True when text holds bytes above 0x7F and all of them form valid UTF-8 sequences.
bool LooksLikeUtf8(const char *text, size_t length);
// Columns of text on screen: single-byte characters 1, double-byte characters 2.
size_t TextColumns(const char *text, size_t length);
// Of names (count of them), the one nearest to name by edits, letter case ignored.
const char *NearestName(const char *name, size_t length, const char *const *names, int count);

#endif
