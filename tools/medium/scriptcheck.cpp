#include "scriptcheck.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "installlog.h"
#include "installrules.h"
#include "listedfile.h"
#include "mediumplan.h"

namespace {

const char *const kKnownSections[] = {"Setup", "README", "DISK1", "DISK2", "DISK3", "DISK4",
                                      "DISK5", "DISK6", "DISK7", "DISK8", "DISK9", "DISK10"};
enum {
    KNOWN_SECTIONS = sizeof kKnownSections / sizeof kKnownSections[0],
    BIG_SECTION = SCRIPT_MAX_BYTES + 2,
    // What SETUP's section buffer holds: the lines with their terminators, less the list's
    // own terminator and the one the profile function may add after a cut.
    SECTION_TEXT_BYTES = SECTION_BYTES - 2,
    MEDIUM_FILES = FILE_LIST_ENTRIES + 4,
    NAME_CHARS = 64,
};

// The profile functions' notion of a blank, 0x1A (end of file) included.
bool IsProfileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

bool SameName(const char *a, size_t aLength, const char *b)
{
    return aLength == strlen(b) && SameLeadingTextIgnoringCase(a, b, aLength);
}

int FindSection(const IniText *ini, const char *name)
{
    for (int s = 0; s < ini->sectionCount; s++)
        if (SameName(ini->sections[s].name, ini->sections[s].nameLength, name))
            return s;
    return -1;
}

// The first line of section s with key name, as the profile functions find it; -1 if none.
int FindKey(const IniText *ini, int s, const char *name)
{
    for (int i = 0; s >= 0 && i < ini->lineCount; i++)
        if (ini->lines[i].section == s && SameName(ini->lines[i].name, ini->lines[i].nameLength, name))
            return i;
    return -1;
}

// The value as the profile functions give it: one pair of matching quotes removed.
void ValueSpan(const IniLine *line, const char **value, size_t *length)
{
    *value = line->value;
    *length = line->valueLength;
    if (*length >= 2 && ((*value)[0] == '"' || (*value)[0] == '\'') && (*value)[*length - 1] == (*value)[0]) {
        (*value)++;
        *length -= 2;
    }
}

// Line texts of a section as the section reader returns them: name, and '=' value when there is one.
size_t SectionLineText(const IniLine *line, char *text, size_t size)
{
    size_t n = 0;
    for (size_t i = 0; i < line->nameLength && n + 1 < size; i++)
        text[n++] = line->name[i];
    if (line->value != NULL) {
        if (n + 1 < size)
            text[n++] = '=';
        for (size_t i = 0; i < line->valueLength && n + 1 < size; i++)
            text[n++] = line->value[i];
    }
    if (size > 0)
        text[n] = '\0';
    return n;
}

struct Entry {
    FileEntry file;
    int line;
    int disk;         // of its [DISKn] section
    int mediumDisk;   // the disk SETUP asks for when it copies the file
    bool badPath;     // refused for its path: nothing more is said of it
};

struct Checker {
    const CheckInput *in;
    CheckReport *report;
    char firstRefusal[SCRIPT_ERROR_BYTES];   // SETUP's first error suffix in its own order
    int setup;                               // index of [Setup], -1 when absent
    Entry entries[FILE_LIST_ENTRIES];
    int entryCount;
    char values[SETUP_KEY_COUNT][MAX_PATH_BYTES];
    bool valid[SETUP_KEY_COUNT];             // read without SETUP's error
    SetupScript script;                      // SETUP's own reading of the same source
    bool scriptValid;
    char scriptError[SCRIPT_ERROR_BYTES];
};

void AddV(Checker *c, int line, bool error, const char *format, va_list args)
{
    CheckReport *r = c->report;
    if (error)
        r->errors++;
    else
        r->warnings++;
    if (r->count >= CHECK_MAX_FINDINGS)
        return;
    CheckFinding *f = &r->findings[r->count++];
    f->line = line;
    f->error = error;
    vsnprintf(f->text, sizeof f->text, format, args);
}

void Warn(Checker *c, int line, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    AddV(c, line, false, format, args);
    va_end(args);
}

void Fail(Checker *c, int line, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    AddV(c, line, true, format, args);
    va_end(args);
}

// An item SETUP refuses: the finding ends with the box SETUP shows, e.g. "SETUP.ini Title Error".
void Refuse(Checker *c, int line, const char *item, const char *format, ...)
{
    char what[CHECK_TEXT_BYTES];
    va_list args;
    va_start(args, format);
    vsnprintf(what, sizeof what, format, args);
    va_end(args);
    char suffix[SCRIPT_ERROR_BYTES];
    snprintf(suffix, sizeof suffix, " %s Error", item);
    if (c->firstRefusal[0] == '\0')
        CopyText(c->firstRefusal, sizeof c->firstRefusal, suffix);
    Fail(c, line, "%s; SETUP shows \"%s%s\"", what, c->in->scriptName, suffix);
}

const char kSemicolonText[] = "';' begins a comment only at the start of a line; here it is part of the path";

int KeyIndex(const char *key)
{
    for (int k = 0; k < SETUP_KEY_COUNT; k++)
        if (strcmp(kSetupKeys[k].name, key) == 0)
            return k;
    return -1;
}

int LineOf(const Checker *c, int index)
{
    return index >= 0 ? c->in->ini->lines[index].number : 1;
}

int SectionLine(const Checker *c, int s)
{
    return s >= 0 ? c->in->ini->sections[s].number : 1;
}

int KeyLine(const Checker *c, const char *key)
{
    int i = FindKey(c->in->ini, c->setup, key);
    return i >= 0 ? LineOf(c, i) : SectionLine(c, c->setup);
}

// Reads a [Setup] key as SETUP does; false (after SETUP's refusal) when it yields nothing.
bool ReadKey(Checker *c, const char *key, const char *def)
{
    int k = KeyIndex(key);
    char *value = c->values[k];
    value[0] = '\0';
    size_t n = c->in->source->readKey(c->in->source->context, key, def, value, kSetupKeys[k].size);
    value[kSetupKeys[k].size - 1] = '\0';
    if (n > 0 && value[0] != '\0') {
        c->valid[k] = true;
        return true;
    }
    int i = FindKey(c->in->ini, c->setup, key);
    const char *text = NULL;
    size_t length = 0;
    if (i >= 0 && c->in->ini->lines[i].value != NULL)
        ValueSpan(&c->in->ini->lines[i], &text, &length);
    if (i < 0)
        Refuse(c, SectionLine(c, c->setup), key, "%s is missing from [Setup]", key);
    else if (c->in->ini->lines[i].value == NULL)
        Refuse(c, LineOf(c, i), key, "%s has no '='", key);
    else if (length > 0)
        Refuse(c, LineOf(c, i), key, "%s reads as empty: its bytes are not Shift-JIS text", key);
    else
        Refuse(c, LineOf(c, i), key, "%s is empty", key);
    return false;
}

// Keys present that SETUP does not read, for the reason given.
void NotRead(Checker *c, const char *key, const char *reason)
{
    int i = FindKey(c->in->ini, c->setup, key);
    if (i >= 0)
        Warn(c, LineOf(c, i), "%s is not read: %s", key, reason);
}

bool IsPlainNumber(const char *text)
{
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p == '+' || *p == '-')
        p++;
    if (*p < '0' || *p > '9')
        return false;
    while (*p >= '0' && *p <= '9')
        p++;
    return *p == '\0';
}

void ReadNumber(Checker *c, const char *key)
{
    if (ReadKey(c, key, "") && !IsPlainNumber(c->values[KeyIndex(key)]))
        Warn(c, KeyLine(c, key), "%s \"%s\" is not a whole number; SETUP takes %d", key, c->values[KeyIndex(key)],
             ScriptNumber(c->values[KeyIndex(key)]));
}

void ReadPicture(Checker *c, const char *key)
{
    if (!ReadKey(c, key, ""))
        return;
    char x[16], y[16];
    snprintf(x, sizeof x, "%sX", key);
    snprintf(y, sizeof y, "%sY", key);
    if (c->values[KeyIndex(key)][0] == '0') {
        NotRead(c, x, "the picture's value begins with 0 (no picture)");
        NotRead(c, y, "the picture's value begins with 0 (no picture)");
        return;
    }
    ReadNumber(c, x);
    ReadNumber(c, y);
}

void ReadSetupKeys(Checker *c)
{
    if (c->setup < 0) {
        // SETUP stops at its first key; every other one would be missing alike.
        Refuse(c, 1, "Title", "the script has no [Setup] section");
        return;
    }
    ReadKey(c, "Title", "");
    ReadKey(c, "SubTitle", "");
    if (ReadKey(c, "BackColor", "") && BackColorIndex(c->values[KeyIndex("BackColor")]) == 0)
        Warn(c, KeyLine(c, "BackColor"), "BackColor \"%s\" is none of BL GR RD LB PK YL MN; the background is black",
             c->values[KeyIndex("BackColor")]);
    ReadPicture(c, "Titlemap");
    ReadPicture(c, "Bitmap");
    // The start from the medium has no source folder: DefaultDir has no default there.
    ReadKey(c, "DefaultDir", "");
    ReadKey(c, "StartMsg1", "");
    ReadKey(c, "StartMsg2", "");
    ReadKey(c, "RegIni", "");
    ReadKey(c, "RegSec", "");
    const char *uninstall = c->values[KeyIndex("Uninstall")];
    if (ReadKey(c, "Uninstall", "0") && !IsSwitchText(uninstall)) {
        c->valid[KeyIndex("Uninstall")] = false;
        Refuse(c, KeyLine(c, "Uninstall"), "Uninstall", "Uninstall is \"%s\", not 0 or 1", uninstall);
    }

    static const char *const shortcutKeys[] = {"ShortCutLnk", "ShortCutDir", "ShortCutFld",
                                               "ShortCutIco", "ShortCutIcoNum", "ShortCutFldOpn"};
    if (ReadKey(c, "ShortCutObj", "")) {
        bool none = strcmp(c->values[KeyIndex("ShortCutObj")], "0") == 0;
        for (const char *key : shortcutKeys) {
            if (none)
                NotRead(c, key, "ShortCutObj is 0 (no shortcut)");
            else if (strcmp(key, "ShortCutIcoNum") == 0)
                ReadNumber(c, key);
            else
                ReadKey(c, key, "");
        }
        const char *dir = c->values[KeyIndex("ShortCutDir")];
        if (!none && c->valid[KeyIndex("ShortCutDir")] && !IsShortcutDirText(dir)) {
            c->valid[KeyIndex("ShortCutDir")] = false;
            Refuse(c, KeyLine(c, "ShortCutDir"), "ShortCutDir",
                   "ShortCutDir is \"%s\", not 0 (desktop), 2 (programs menu) or 7 (start-up folder)", dir);
        }
        const char *open = c->values[KeyIndex("ShortCutFldOpn")];
        if (!none && c->valid[KeyIndex("ShortCutFldOpn")] && !IsSwitchText(open)) {
            c->valid[KeyIndex("ShortCutFldOpn")] = false;
            Refuse(c, KeyLine(c, "ShortCutFldOpn"), "ShortCutFldOpn", "ShortCutFldOpn is \"%s\", not 0 or 1", open);
        }
    }
    ReadKey(c, "FinalExec", "");
}

// Lines of the first section named name that the section reader returns, into list; their count.
int SectionLineIndexes(const IniText *ini, int s, int *list, int room)
{
    int count = 0;
    for (int i = 0; s >= 0 && i < ini->lineCount && count < room; i++)
        if (ini->lines[i].section == s && !ini->lines[i].comment)
            list[count++] = i;
    return count;
}

// Reads a section as SETUP does (SECTION_BYTES) into data; reports one that is longer.
size_t ReadSetupSection(Checker *c, const char *name, int s, char (&data)[SECTION_BYTES])
{
    static char whole[BIG_SECTION];
    const ScriptSource *source = c->in->source;
    size_t total = source->readSection(source->context, name, whole, sizeof whole);
    if (total > SECTION_TEXT_BYTES) {
        // The first line that does not fit whole.
        int line = SectionLine(c, s);
        size_t sum = 0;
        for (int i = 0; s >= 0 && i < c->in->ini->lineCount; i++) {
            const IniLine *l = &c->in->ini->lines[i];
            if (l->section != s || l->comment)
                continue;
            sum += l->nameLength + (l->value != NULL ? l->valueLength + 1 : 0) + 1;
            if (sum > SECTION_TEXT_BYTES) {
                line = l->number;
                break;
            }
        }
        Fail(c, line, "[%s] holds %lu bytes, more than the %d that SETUP reads; it would lose this line and the rest",
             name, (unsigned long)total, (int)SECTION_TEXT_BYTES);
    }
    size_t length = source->readSection(source->context, name, data, sizeof data);
    if (length > sizeof data - 1)
        length = sizeof data - 1;
    data[length] = '\0';
    return length;
}

// The next zero-terminated line of a section buffer, or NULL.
const char *NextSectionLine(const char *data, size_t length, size_t *pos)
{
    if (*pos >= length || data[*pos] == '\0')
        return NULL;
    const char *line = data + *pos;
    *pos += strnlen(line, length - *pos) + 1;
    return line;
}

void CheckReadme(Checker *c)
{
    const IniText *ini = c->in->ini;
    int s = FindSection(ini, "README");
    char data[SECTION_BYTES];
    size_t length = ReadSetupSection(c, "README", s, data);
    if (length == 0) {
        if (s < 0)
            Refuse(c, 1, "Readme", "the script has no [README] section");
        else
            Refuse(c, SectionLine(c, s), "Readme", "[README] is empty");
        return;
    }
    int lines[README_LINES + 1];
    int known = SectionLineIndexes(ini, s, lines, README_LINES + 1);
    size_t pos = 0;
    bool emptySeen = false;
    for (int i = 0;; i++) {
        const char *line = NextSectionLine(data, length, &pos);
        if (line == NULL)
            break;
        int number = i < known ? LineOf(c, lines[i]) : SectionLine(c, s);
        if (i == README_LINES) {
            Warn(c, number, "SETUP shows the first %d [README] lines; this one and those after it are not shown",
                 README_LINES);
            break;
        }
        if (emptySeen) {
            Warn(c, number, "not shown: the welcome text ends at the empty [README] value before it");
            break;
        }
        const char *equals = strchr(line, '=');
        const char *value = equals != NULL ? equals + 1 : line;
        size_t bytes = strlen(value);
        if (equals == NULL)
            Warn(c, number, "[README] line without '='; SETUP shows the whole line");
        size_t peek = pos;
        if (bytes == 0 && NextSectionLine(data, length, &peek) != NULL) {
            Warn(c, number, "empty [README] value: the welcome text ends here");
            emptySeen = true;
            continue;
        }
        if (bytes > README_LINE_BYTES - 1)
            Warn(c, number, "[README] value of %lu bytes; SETUP keeps the first %d", (unsigned long)bytes,
                 README_LINE_BYTES - 1);
        else if (TextColumns(value, bytes) > README_VISIBLE_COLUMNS)
            Warn(c, number, "[README] value %lu columns wide; the welcome box shows about %d",
                 (unsigned long)TextColumns(value, bytes), README_VISIBLE_COLUMNS);
        if (i == README_VISIBLE_LINES)
            Warn(c, number, "the welcome box shows about %d lines; this one and those after it fall below it",
                 README_VISIBLE_LINES);
    }
}

const char *DiskLineProblem(const char *line)
{
    const char *equals = strchr(line, '=');
    if (equals == NULL)
        return "has no '=' (a file line is KEY=$App:PATH, $Win:PATH or $Sys:PATH)";
    if (strchr(line, ':') == NULL)
        return "has no ':' (a file line is KEY=$App:PATH, $Win:PATH or $Sys:PATH)";
    FileEntry entry;
    if (!ParseDiskLine(line, &entry)) {
        for (int m = 0; m < PATH_MACROS; m++)
            if (SameLeadingTextIgnoringCase(kPathMacros[m], equals + 1, 5))
                return "has a path longer than 260 bytes";
        return "names no $App:, $Win: or $Sys: right after its '='";
    }
    return NULL;
}

void CheckDisks(Checker *c)
{
    const IniText *ini = c->in->ini;
    int n = 1;
    bool full = false;
    for (; n <= DISK_SECTIONS; n++) {
        char name[16];
        snprintf(name, sizeof name, "DISK%d", n);
        int s = FindSection(ini, name);
        char data[SECTION_BYTES];
        size_t length = ReadSetupSection(c, name, s, data);
        if (length == 0) {
            if (n == 1)
                Refuse(c, SectionLine(c, s), "DISK1", s < 0 ? "the script has no [DISK1] section" : "[DISK1] is empty");
            break;
        }
        // A line takes at least two bytes of the section buffer.
        int lines[SECTION_BYTES / 2];
        int known = SectionLineIndexes(ini, s, lines, SECTION_BYTES / 2);
        size_t pos = 0;
        for (int i = 0;; i++) {
            const char *line = NextSectionLine(data, length, &pos);
            if (line == NULL)
                break;
            int number = i < known ? LineOf(c, lines[i]) : SectionLine(c, s);
            // Most likely a comment after the value: said once, and nothing more of the path.
            bool firstSemicolon = i == 0 && strchr(line, ';') != NULL;
            if (firstSemicolon && DiskLineProblem(line) == NULL)
                Refuse(c, number, name, "\"%s\": %s, and SETUP refuses ';' on the first line of [%s]", line,
                       kSemicolonText, name);
            else if (firstSemicolon)
                Refuse(c, number, name, "the first line of [%s] holds ';', which SETUP refuses there", name);
            if (full || c->entryCount >= FILE_LIST_ENTRIES) {
                if (!full)
                    Warn(c, number, "SETUP takes at most %d files; this line and those after it are ignored",
                         FILE_LIST_ENTRIES);
                full = true;
                break;
            }
            const char *problem = DiskLineProblem(line);
            if (problem != NULL) {
                Refuse(c, number, name, "\"%s\" %s", line, problem);
                continue;
            }
            int index = c->entryCount++;
            Entry *e = &c->entries[index];
            ParseDiskLine(line, &e->file);
            e->line = number;
            e->disk = n;
            e->badPath = firstSemicolon;
            // SETUP's own rule where its list holds this entry; past a refusal it has none.
            e->mediumDisk = n;
            if (!FileListEnds(c->script.fileList, c->script.fileCount, index) &&
                strcmp(c->script.fileList[index].path, e->file.path) == 0)
                e->mediumDisk = EntryDisk(&c->script, index);
        }
    }
    // Disk sections after the first missing or empty one are never read.
    for (int later = n + 1; later <= DISK_SECTIONS && n <= DISK_SECTIONS; later++) {
        char name[16];
        snprintf(name, sizeof name, "DISK%d", later);
        int s = FindSection(ini, name);
        if (s >= 0)
            Warn(c, SectionLine(c, s), "[%s] is not read: SETUP stops at [DISK%d], which is missing or empty", name,
                 n);
    }
}

// The layout of the file: sections, keys, lines and their bytes.
void CheckLayout(Checker *c)
{
    const IniText *ini = c->in->ini;
    for (int s = 0; s < ini->sectionCount; s++) {
        const IniSection *section = &ini->sections[s];
        char name[NAME_CHARS];
        size_t n = section->nameLength < sizeof name - 1 ? section->nameLength : sizeof name - 1;
        memcpy(name, section->name, n);
        name[n] = '\0';
        if (section->first >= 0) {
            Warn(c, section->number, "[%s] given twice; SETUP reads only the first, on line %d", name,
                 ini->sections[section->first].number);
            continue;
        }
        bool isKnown = false;
        for (int k = 0; k < KNOWN_SECTIONS; k++)
            isKnown = isKnown || SameName(section->name, section->nameLength, kKnownSections[k]);
        bool isLog = false;
        // Written by the installation into its copy of the script, the install log.
        for (int k = 0; k < INSTALL_LOG_SECTIONS; k++)
            isLog = isLog || SameName(section->name, section->nameLength, kInstallLogSections[k]);
        if (isLog)
            Warn(c, section->number,
                 "[%s] belongs to the install log, which the installation writes; the uninstaller would act on it",
                 name);
        else if (!isKnown)
            Warn(c, section->number, "unknown section [%s]; did you mean [%s]?", name,
                 NearestName(section->name, section->nameLength, kKnownSections, KNOWN_SECTIONS));
    }

    const char *keys[SETUP_KEY_COUNT];
    for (int k = 0; k < SETUP_KEY_COUNT; k++)
        keys[k] = kSetupKeys[k].name;
    // A converted text is Shift-JIS; one that is UTF-8 as it stands is reported once, not line by line.
    bool isUtf8 = !c->in->utf8Declared && LooksLikeUtf8(ini->bytes, ini->length);
    if (isUtf8)
        Warn(c, 1, "the file is UTF-8; SETUP reads Shift-JIS and would show garbled text: build with /utf8");

    for (int i = 0; i < ini->lineCount; i++) {
        const IniLine *line = &ini->lines[i];
        if (line->comment)
            continue;
        if (line->section < 0) {
            Warn(c, line->number, "line outside any section; SETUP reads nothing of it");
            continue;
        }
        if (line->name[0] == '[' && line->value == NULL) {
            Warn(c, line->number, "a section header needs its closing ']'; this line is read as a key");
            continue;
        }
        if (line->section != c->setup)
            continue;
        char name[NAME_CHARS];
        size_t n = line->nameLength < sizeof name - 1 ? line->nameLength : sizeof name - 1;
        memcpy(name, line->name, n);
        name[n] = '\0';
        int first = FindKey(ini, c->setup, name);
        int k = -1;
        for (int j = 0; j < SETUP_KEY_COUNT; j++)
            if (SameName(line->name, line->nameLength, kSetupKeys[j].name))
                k = j;
        if (first != i) {
            Warn(c, line->number, "%s given twice; SETUP takes the first, on line %d", name, LineOf(c, first));
        } else if (k < 0) {
            Warn(c, line->number, "unknown key %s in [Setup]; did you mean %s?", name,
                 NearestName(line->name, line->nameLength, keys, SETUP_KEY_COUNT));
        } else if (line->value != NULL) {
            const char *value;
            size_t length;
            ValueSpan(line, &value, &length);
            if (length > kSetupKeys[k].size - 1)
                Warn(c, line->number, "%s is %lu bytes; SETUP keeps the first %lu", kSetupKeys[k].name,
                     (unsigned long)length, (unsigned long)(kSetupKeys[k].size - 1));
        }
    }

    if (isUtf8)
        return;
    // Line by line over the raw text, blank and comment lines included.
    int number = 0;
    for (size_t pos = 0; pos < ini->length;) {
        const char *start = ini->bytes + pos;
        const char *end = (const char *)memchr(start, '\n', ini->length - pos);
        size_t n = end != NULL ? (size_t)(end - start) : ini->length - pos;
        number++;
        size_t bad = FirstInvalidShiftJis(start, n);
        if (bad < n)
            Warn(c, number, "byte 0x%02X at column %lu is not valid Shift-JIS", (unsigned char)start[bad],
                 (unsigned long)bad + 1);
        pos += n + 1;
    }
}

// Why SETUP refuses a listed path or a name, for the finding.
const char *ListedPathFaultText(ListedPathFault fault)
{
    switch (fault) {
    case LISTED_PATH_NO_NAME:
        return "names no file";
    case LISTED_PATH_SLASH:
        return "holds '/', which the system takes for '\\'";
    case LISTED_PATH_COLON:
        return "holds ':', which names a drive, never part of a file name";
    case LISTED_PATH_DOTS:
        return "has a part of dots only, such as \"..\", which leads out of its folder";
    case LISTED_PATH_EMPTY_PART:
        return "begins with or doubles '\\', which leads to a drive's root or another machine";
    case LISTED_PATH_FOLDER:
        return "is a path, not a name";
    case LISTED_PATH_DEVICE:
        return "has a part that names a device, such as CON or AUX.txt, which SETUP would open instead of a file";
    case LISTED_PATH_TRAILING:
        return "has a part ending in a dot or a blank, which the system drops, so that it names another file";
    default:
        return "";
    }
}

PlannedFile *AddPlanned(Checker *c, PlanSource from, const char *source, const char *label, const char *medium,
                        int disk, int line)
{
    MediumPlan *plan = &c->report->plan;
    PlannedFile *f = &plan->files[plan->count++];
    memset(f, 0, sizeof *f);
    f->from = from;
    CopyText(f->source, sizeof f->source, source);
    CopyText(f->label, sizeof f->label, label);
    CopyText(f->medium.path, sizeof f->medium.path, medium);
    f->disk = disk;
    f->line = line;
    if (disk > plan->disks)
        plan->disks = disk;
    return f;
}

// What a package entry other than a plain file is, for its refusal; NULL for a file (or
// nothing, refused where it is looked at). The one place that judges the kinds, for listed
// files and pictures alike; text holds a link's refusal, which names its target.
const char *NotAFile(const PackageFile *file, char *text, size_t size)
{
    switch (file->kind) {
    case PACKAGE_FOLDER:
        return "is a folder, not a file";
    case PACKAGE_FIFO:
        return "is a FIFO (named pipe), not a file";
    case PACKAGE_DEVICE:
        return "is a device, not a file";
    case PACKAGE_SOCKET:
        return "is a socket, not a file";
    case PACKAGE_OUTSIDE:
        snprintf(text, size, "a link to %s, outside the package folder; copy the file in", file->target);
        return text;
    default:
        return NULL;
    }
}

// The whole file as the build reads it; NULL (after the finding) when it cannot be read.
unsigned char *ReadPackageFile(Checker *c, const char *what, const char *path, int line, size_t *length)
{
    unsigned char *data = c->in->package->read(c->in->package->context, path, length);
    if (data == NULL)
        Fail(c, line, "%s: cannot read it in %s", what, c->in->packageFolder);
    return data;
}

// The wizard's pages are centred on the screen and hide what lies behind them while they are
// shown; the pictures are placed in the background's client area, which begins below its
// frame and caption (4 and 23 pixels). On a 640 x 480 screen the pages cover, on Windows,
// 279 x 155 dialog units of 6 x 12-pixel base units with frame and caption, about 425 x 258
// pixels, centred above a 28-pixel taskbar or on the whole screen when it hides: client x 103
// to 528, y 74 to 346. Under Wine with the IPA fonts (7 x 13) they are 494 x 277 pixels,
// client x 69 to 562, y 78 to 354, as its screenshots measure. Both together:
void WarnIfUnderPages(Checker *c, const char *key, const char *xKey, long long x, long long y, long long width,
                      long long height)
{
    enum { PAGES_LEFT = 69, PAGES_TOP = 74, PAGES_RIGHT = 563, PAGES_BOTTOM = 355 };   // right, bottom outside
    if (x + width <= PAGES_LEFT || x >= PAGES_RIGHT || y + height <= PAGES_TOP || y >= PAGES_BOTTOM)
        return;
    if (c->in->package != NULL)
        Warn(c, KeyLine(c, xKey), "%s at (%lld, %lld), %lld x %lld pixels, reaches under the wizard's pages, which "
             "cover x %d to %d and y %d to %d of a %d x %d screen", key, x, y, width, height, PAGES_LEFT, PAGES_RIGHT - 1,
             PAGES_TOP, PAGES_BOTTOM - 1, SCREEN_WIDTH, SCREEN_HEIGHT);
    else
        Warn(c, KeyLine(c, xKey), "%s at (%lld, %lld) lies under the wizard's pages, which cover x %d to %d and y %d "
             "to %d of a %d x %d screen", key, x, y, PAGES_LEFT, PAGES_RIGHT - 1, PAGES_TOP, PAGES_BOTTOM - 1,
             SCREEN_WIDTH, SCREEN_HEIGHT);
}

void CheckPicture(Checker *c, const char *key)
{
    int k = KeyIndex(key);
    const char *value = c->values[k];
    if (!c->valid[k] || value[0] == '0')
        return;
    int line = KeyLine(c, key);
    char what[MAX_PATH_BYTES + 16];
    snprintf(what, sizeof what, "%s %s", key, value);
    // The same rules as a listed path: SETUP joins it to the medium's folder as well.
    ListedPathFault fault = CheckListedPath(value);
    if (fault != LISTED_PATH_OK) {
        Fail(c, line, "%s: %s", what, ListedPathFaultText(fault));
        return;
    }
    if (!IsPlainRelativePath(value)) {
        Fail(c, line, "%s: not a file name below the package folder", what);
        return;
    }
    if (!MediumPathFits(value)) {
        Fail(c, line, "%s: path too long for SETUP", what);
        return;
    }
    PlannedFile *planned = AddPlanned(c, PLAN_PACKAGE, value, value, value, 1, line);

    char xKey[16], yKey[16];
    snprintf(xKey, sizeof xKey, "%sX", key);
    snprintf(yKey, sizeof yKey, "%sY", key);
    BitmapInfo info = {1, 1, 0, 0};
    if (c->in->package != NULL) {
        PackageFile file = {};
        c->in->package->look(c->in->package->context, value, &file);
        if (file.kind == PACKAGE_MISSING) {
            Fail(c, line, "%s: picture not found in %s", what, c->in->packageFolder);
            return;
        }
        char refusal[MAX_PATH_BYTES + 64];
        const char *notAFile = NotAFile(&file, refusal, sizeof refusal);
        if (notAFile != NULL) {
            Fail(c, line, "%s: %s", what, notAFile);
            return;
        }
        size_t length = 0;
        unsigned char *data = NULL;
        if (c->in->package->read != NULL && (data = ReadPackageFile(c, what, value, line, &length)) == NULL)
            return;
        BitmapFault bitmap = data != NULL ? ReadBitmapHeader(data, length, length, &info)
                                          : ReadBitmapHeader(file.head, file.headLength, file.size, &info);
        free(data);
        planned->size = planned->medium.size = data != NULL ? length : file.size;
        char have[32], said[32];
        if (bitmap == BITMAP_NOT_BITMAP) {
            Fail(c, line, "%s: not a Windows bitmap (.bmp)", what);
            return;
        }
        if (bitmap == BITMAP_CUT) {
            Fail(c, line, "%s: %s bytes, but its header says %s; the file is cut short", what,
                 Grouped(planned->size, have, sizeof have), Grouped(info.declared, said, sizeof said));
            return;
        }
        if (bitmap == BITMAP_PAST_END) {
            Fail(c, line, "%s: its header's %lld x %lld pixels end at byte %s, past the file's %s bytes", what,
                 info.width, info.height, Grouped(info.pixelsEnd, said, sizeof said),
                 Grouped(planned->size, have, sizeof have));
            return;
        }
    }
    if (!c->valid[KeyIndex(xKey)] || !c->valid[KeyIndex(yKey)])
        return;
    long long x = ScriptNumber(c->values[KeyIndex(xKey)]);
    long long y = ScriptNumber(c->values[KeyIndex(yKey)]);
    long long right = x + info.width, bottom = y + info.height;
    if (x < 0 || y < 0 || right > SCREEN_WIDTH || bottom > SCREEN_HEIGHT) {
        if (c->in->package != NULL)
            Warn(c, KeyLine(c, xKey), "%s at (%lld, %lld), %lld x %lld pixels, lies partly off a %d x %d screen", key,
                 x, y, info.width, info.height, SCREEN_WIDTH, SCREEN_HEIGHT);
        else
            Warn(c, KeyLine(c, xKey), "%s at (%lld, %lld) lies off a %d x %d screen", key, x, y, SCREEN_WIDTH,
                 SCREEN_HEIGHT);
    }
    WarnIfUnderPages(c, key, xKey, x, y, info.width, info.height);
}

// A listed file read whole: refused when it cannot be, measured on the medium for floppies.
void ReadListedFile(Checker *c, const Entry *e, PlannedFile *planned)
{
    char what[MAX_PATH_BYTES + 16];
    snprintf(what, sizeof what, "[DISK%d] %s", e->disk, e->file.path);
    size_t length = 0;
    unsigned char *data = ReadPackageFile(c, what, e->file.path, e->line, &length);
    if (data == NULL)
        return;
    planned->medium.size = length;
    if (!c->in->oneFolder) {
        unsigned char *image = NULL;
        size_t imageLength = 0;
        MediumForm form = MakeMediumImage(data, length, planned->lastChar, &image, &imageLength, NULL, NULL);
        if (form == FORM_NO_MEMORY)
            Fail(c, e->line, "%s: out of memory while compressing", e->file.path);
        else if (form == FORM_DAMAGED)
            Fail(c, e->line, "%s: the compressed form does not expand to the original", e->file.path);
        else if (form == FORM_COMPRESSED)
            planned->medium.size = imageLength;
        free(image);
    }
    free(data);
}

// Each floppy must hold its files; the findings go to the disk's section header.
void CheckDiskFills(Checker *c)
{
    const MediumPlan *plan = &c->report->plan;
    for (int disk = 1; disk <= plan->disks; disk++) {
        unsigned long long used = 0;
        int rootEntries = 0;
        DiskFill fill = CheckPlannedDisk(plan, disk, &used, &rootEntries);
        if (fill != DISK_FITS) {
            char name[16], text[CHECK_TEXT_BYTES];
            snprintf(name, sizeof name, "DISK%d", disk);
            DiskFillText(disk, fill, used, rootEntries, text, sizeof text);
            Fail(c, SectionLine(c, FindSection(c->in->ini, name)), "%s", text);
        }
    }
}

void CheckFiles(Checker *c)
{
    MediumPlan *plan = &c->report->plan;
    // The setup program and its script lie on the first disk beside the pictures.
    char exeName[MAX_PATH_BYTES];
    if (!SetupProgramName(exeName, sizeof exeName, c->in->scriptName))
        CopyText(exeName, sizeof exeName, c->in->scriptName);
    AddPlanned(c, PLAN_PROGRAM, "", exeName, exeName, 1, 1)->medium.size = c->in->programSize;
    AddPlanned(c, PLAN_SCRIPT, "", c->in->scriptName, c->in->scriptName, 1, 1)->medium.size = c->in->scriptSize;
    CheckPicture(c, "Titlemap");
    CheckPicture(c, "Bitmap");
    bool measured = c->in->package != NULL && c->in->package->read != NULL && !c->in->oneFolder;

    const char *defaultDir = c->values[KeyIndex("DefaultDir")];
    // Where SETUP installs a $App: file when the user keeps the default folder.
    const MacroFolders byDefault = {defaultDir, NULL, NULL};
    bool writesLog = (c->valid[KeyIndex("Uninstall")] && strcmp(c->values[KeyIndex("Uninstall")], "1") == 0) ||
                     (c->valid[KeyIndex("ShortCutObj")] && c->values[KeyIndex("ShortCutObj")][0] != '0');
    for (int i = 0; i < c->entryCount; i++) {
        Entry *e = &c->entries[i];
        if (e->badPath)
            continue;
        const char *path = e->file.path;
        char medium[MAX_PATH_BYTES];
        ListedPathFault fault = CheckListedPath(path);
        if (fault != LISTED_PATH_OK) {
            Fail(c, e->line, "[DISK%d] %s: %s; SETUP installs nothing of a list that holds it, and the "
                 "uninstaller removes nothing by it", e->disk, path, ListedPathFaultText(fault));
            e->badPath = true;
            continue;
        }
        if (!IsPlainRelativePath(path) || !MediumName(medium, sizeof medium, path)) {
            Fail(c, e->line, "[DISK%d] %s: not a file name below the medium folder", e->disk, path);
            e->badPath = true;
            continue;
        }
        if (!MediumPathFits(medium)) {
            Fail(c, e->line, "[DISK%d] %s: %u bytes; SETUP reaches at most %d bytes below the medium's drive root",
                 e->disk, path, (unsigned)strlen(path), MAX_PATH_BYTES - 1 - MEDIUM_ROOT_BYTES);
            e->badPath = true;
            continue;
        }
        char installed[MAX_PATH_BYTES];
        if (MacroFolder(e->file.macro, &byDefault) != NULL && c->valid[KeyIndex("DefaultDir")] &&
            !InstalledFilePath(installed, sizeof installed, &byDefault, e->file.macro, path)) {
            Fail(c, e->line, "[DISK%d] %s: installed into DefaultDir its path would be longer than %d bytes", e->disk,
                 path, MAX_PATH_BYTES - 1);
            e->badPath = true;
        }
        // The installation keeps its log under the script's name in the install folder.
        if (SameTextIgnoringCase(e->file.macro, kPathMacros[MACRO_APP]) && writesLog &&
            SameTextIgnoringCase(LastPathComponent(path), c->in->scriptName))
            Fail(c, e->line, "[DISK%d] %s: installed into the install folder it would replace the install log %s",
                 e->disk, path, c->in->scriptName);
        PlannedFile *planned = AddPlanned(c, PLAN_PACKAGE, path, path, medium, e->mediumDisk, e->line);
        planned->listed = true;
        planned->lastChar = path[strlen(path) - 1];
        if (c->in->package == NULL) {
            if (strchr(path, ';') != NULL)
                Warn(c, e->line, "[DISK%d] %s: %s", e->disk, path, kSemicolonText);
            continue;
        }
        PackageFile file = {};
        c->in->package->look(c->in->package->context, path, &file);
        char refusal[MAX_PATH_BYTES + 64];
        const char *notAFile = NotAFile(&file, refusal, sizeof refusal);
        planned->size = file.size;
        if (file.kind == PACKAGE_MISSING && strchr(path, ';') != NULL)
            Fail(c, e->line, "[DISK%d] %s: %s", e->disk, path, kSemicolonText);
        else if (file.kind == PACKAGE_MISSING)
            Fail(c, e->line, "[DISK%d] %s: listed file not found in %s", e->disk, path, c->in->packageFolder);
        else if (notAFile != NULL)
            Fail(c, e->line, "[DISK%d] %s: %s", e->disk, path, notAFile);
        else if (file.size == 0)
            Fail(c, e->line, "[DISK%d] %s: empty file; SETUP counts an expansion of zero bytes as a failed copy",
                 e->disk, path);
        else if ((file.size >> 32) != 0)
            Fail(c, e->line, "[DISK%d] %s: larger than the 4 GiB the compressed format records", e->disk, path);
        else if (c->in->package->read != NULL)
            ReadListedFile(c, e, planned);
        measured = measured && file.kind == PACKAGE_FILE && file.size > 0 && (file.size >> 32) == 0;
    }

    // Within one folder of the medium every file needs a name of its own.
    for (int i = 1; i < plan->count; i++) {
        for (int j = 0; j < i; j++) {
            const PlannedFile *a = &plan->files[j], *b = &plan->files[i];
            if ((c->in->oneFolder || a->disk == b->disk) && SameMediumPath(a->medium.path, b->medium.path)) {
                Fail(c, b->line, "%s and %s: both become %s on the medium", a->label, b->label, b->medium.path);
                break;
            }
        }
    }
    plan->measured = measured && c->report->errors == 0;
    if (plan->measured)
        CheckDiskFills(c);
}

// Script texts shown in places of fixed width, as wide as on a 640 x 480 screen. A line wider
// than its place is cut off there.
void CheckTextWidths(Checker *c)
{
    static const struct {
        const char *key;
        int room;
        const char *place;
    } lines[] = {
        {"Title", TITLE_LINE_COLUMNS - CAPTION_SUFFIX_COLUMNS,
         "the background's title line, which adds 13 for the word setup, shows about"},
        {"SubTitle", SUBTITLE_LINE_COLUMNS, "the background's subtitle line shows about"},
        {"StartMsg1", START_MESSAGE_COLUMNS, "its line on the destination page shows about"},
        {"StartMsg2", START_MESSAGE_COLUMNS, "its line on the destination page shows about"},
    };
    for (const auto &l : lines) {
        int k = KeyIndex(l.key);
        size_t columns = TextColumns(c->values[k], strlen(c->values[k]));
        if (c->valid[k] && columns > (size_t)l.room)
            Warn(c, KeyLine(c, l.key), "%s is %lu columns wide; %s %d", l.key, (unsigned long)columns, l.place,
                 l.room);
    }

    // The progress dialog names each file as it copies it: from the medium (at its shortest a
    // drive root), into its folder (DefaultDir, or Windows 95's own folders).
    const char *defaultDir = c->valid[KeyIndex("DefaultDir")] ? c->values[KeyIndex("DefaultDir")] : "";
    const MacroFolders typical = {defaultDir, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};
    for (int i = 0; i < c->entryCount; i++) {
        const Entry *e = &c->entries[i];
        if (e->badPath)
            continue;
        const char *path = e->file.path;
        size_t source = PROGRESS_PREFIX_COLUMNS + MEDIUM_ROOT_BYTES + TextColumns(path, strlen(path));
        const char *folder = MacroFolder(e->file.macro, &typical);
        folder = folder != NULL ? folder : defaultDir;
        // Only measured: a folder too long for a path has an error of its own, and its cut
        // copy is as wide as the dialog would show.
        char joined[MAX_PATH_BYTES];
        (void)EnsureTrailingBackslash(joined, folder);
        const char *name = LastPathComponent(path);
        size_t destination =
            PROGRESS_PREFIX_COLUMNS + TextColumns(joined, strlen(joined)) + TextColumns(name, strlen(name));
        if (source > PROGRESS_LINE_COLUMNS)
            Warn(c, e->line, "[DISK%d] %s: the progress dialog's source line is %lu columns wide; it shows about %d",
                 e->disk, path, (unsigned long)source, (int)PROGRESS_LINE_COLUMNS);
        if (folder[0] != '\0' && destination > PROGRESS_LINE_COLUMNS)
            Warn(c, e->line,
                 "[DISK%d] %s: the progress dialog's line for its destination %s%s is %lu columns wide; it shows "
                 "about %d",
                 e->disk, path, joined, name, (unsigned long)destination, (int)PROGRESS_LINE_COLUMNS);
    }
}

// SETUP writes the registration file only as a name in the install folder.
void CheckRegIni(Checker *c)
{
    const char *value = c->values[KeyIndex("RegIni")];
    ListedPathFault fault = CheckFileName(value);
    if (c->valid[KeyIndex("RegIni")] && fault != LISTED_PATH_OK)
        Fail(c, KeyLine(c, "RegIni"), "RegIni %s %s; SETUP writes the registration file only under a name in the "
             "install folder, and writes none for this", value, ListedPathFaultText(fault));
}

// A file the installation puts into the install folder: the $App: files, the registration file
// and the install log.
void CheckInstalledName(Checker *c, const char *key)
{
    int k = KeyIndex(key);
    const char *value = c->values[k];
    if (!c->valid[k] || value[0] == '0' || c->entryCount == 0)
        return;
    const char *installed[FILE_LIST_ENTRIES + 2];
    // A path that a ';' comment ran into is taken as what stands before it.
    static char meant[FILE_LIST_ENTRIES][MAX_PATH_BYTES];
    int count = 0;
    for (int i = 0; i < c->entryCount; i++) {
        if (!SameTextIgnoringCase(c->entries[i].file.macro, kPathMacros[MACRO_APP]))
            continue;
        CopyText(meant[i], sizeof meant[i], LastPathComponent(c->entries[i].file.path));
        const char *semicolon = strchr(meant[i], ';');
        size_t n = semicolon != NULL ? (size_t)(semicolon - meant[i]) : strlen(meant[i]);
        while (n > 0 && IsProfileBlank(meant[i][n - 1]))
            n--;
        meant[i][n] = '\0';
        installed[count++] = meant[i];
    }
    if (c->valid[KeyIndex("RegIni")])
        installed[count++] = c->values[KeyIndex("RegIni")];
    if (c->valid[KeyIndex("Uninstall")] && strcmp(c->values[KeyIndex("Uninstall")], "1") == 0)
        installed[count++] = c->in->scriptName;
    for (int i = 0; i < count; i++)
        if (SameTextIgnoringCase(installed[i], value))
            return;
    if (count == 0)
        Warn(c, KeyLine(c, key), "%s %s: the package installs nothing into the install folder", key, value);
    else
        Warn(c, KeyLine(c, key), "%s %s is not a file the package installs into the install folder; did you mean %s?",
             key, value, NearestName(value, strlen(value), installed, count));
}

// SETUP's own reader over the same source must stop where this check first refused.
void CheckAgreement(Checker *c)
{
    if (c->scriptValid && c->firstRefusal[0] != '\0')
        Fail(c, 1, "this check finds \"%s%s\" but SETUP's reader accepts the script", c->in->scriptName,
             c->firstRefusal);
    else if (!c->scriptValid && strcmp(c->scriptError, c->firstRefusal) != 0)
        Fail(c, 1, "SETUP's reader stops with \"%s%s\"", c->in->scriptName, c->scriptError);
}

int CompareFindings(const void *a, const void *b)
{
    const CheckFinding *x = (const CheckFinding *)a;
    const CheckFinding *y = (const CheckFinding *)b;
    if (x->line != y->line)
        return x->line < y->line ? -1 : 1;
    return 0;
}

// The edits that turn a into b (at most NAME_CHARS bytes of each), letters without case.
int EditDistance(const char *a, size_t aLength, const char *b, size_t bLength)
{
    if (aLength > NAME_CHARS)
        aLength = NAME_CHARS;
    if (bLength > NAME_CHARS)
        bLength = NAME_CHARS;
    int row[NAME_CHARS + 1];
    for (size_t j = 0; j <= bLength; j++)
        row[j] = (int)j;
    for (size_t i = 1; i <= aLength; i++) {
        int diagonal = row[0];
        row[0] = (int)i;
        for (size_t j = 1; j <= bLength; j++) {
            int above = row[j];
            int cost = AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 1]) ? 0 : 1;
            int best = diagonal + cost;
            if (above + 1 < best)
                best = above + 1;
            if (row[j - 1] + 1 < best)
                best = row[j - 1] + 1;
            row[j] = best;
            diagonal = above;
        }
    }
    return row[bLength];
}

}  // namespace

bool ParseIniText(const char *text, size_t length, IniText *ini)
{
    memset(ini, 0, sizeof *ini);
    ini->bytes = text;
    ini->length = length;
    size_t room = 1;
    for (size_t i = 0; i < length; i++)
        room += text[i] == '\n' || text[i] == '\r';
    ini->lines = (IniLine *)malloc(room * sizeof(IniLine));
    ini->sections = (IniSection *)malloc(room * sizeof(IniSection));
    if (ini->lines == NULL || ini->sections == NULL) {
        FreeIniText(ini);
        return false;
    }
    int number = 0;
    int section = -1;
    for (size_t pos = 0; pos < length;) {
        // Lines end at '\n'; only where none follows does '\r' end one.
        const char *start = text + pos;
        const char *end = (const char *)memchr(start, '\n', length - pos);
        if (end == NULL)
            end = (const char *)memchr(start, '\r', length - pos);
        if (end == NULL)
            end = text + length;
        pos = (size_t)(end - text) + 1;
        number++;
        while (start < end && IsProfileBlank(*start))
            start++;
        while (end > start && IsProfileBlank(end[-1]))
            end--;
        if (start == end)
            continue;
        if (*start == '[') {
            const char *close = NULL;
            // The text is not terminated: a lead byte steps two only when its trail byte is there.
            for (const char *p = start + 1; p < end; p += IsLeadByte((unsigned char)*p) && p + 1 < end ? 2 : 1)
                if (*p == ']')
                    close = p;
            if (close != NULL) {
                IniSection *s = &ini->sections[ini->sectionCount];
                s->number = number;
                s->name = start + 1;
                s->nameLength = (size_t)(close - start - 1);
                s->first = -1;
                for (int earlier = 0; earlier < ini->sectionCount && s->first < 0; earlier++)
                    if (ini->sections[earlier].nameLength == s->nameLength &&
                        SameLeadingTextIgnoringCase(ini->sections[earlier].name, s->name, s->nameLength))
                        s->first = earlier;
                section = ini->sectionCount++;
                continue;
            }
        }
        IniLine *line = &ini->lines[ini->lineCount++];
        line->number = number;
        line->section = section;
        line->comment = *start == ';';
        line->name = start;
        const char *equals = (const char *)memchr(start, '=', (size_t)(end - start));
        if (equals == NULL) {
            line->nameLength = (size_t)(end - start);
            line->value = NULL;
            line->valueLength = 0;
        } else {
            const char *nameEnd = equals;
            while (nameEnd > start && IsProfileBlank(nameEnd[-1]))
                nameEnd--;
            line->nameLength = (size_t)(nameEnd - start);
            const char *value = equals + 1;
            while (value < end && IsProfileBlank(*value))
                value++;
            line->value = value;
            line->valueLength = (size_t)(end - value);
        }
    }
    return true;
}

void FreeIniText(IniText *ini)
{
    free(ini->lines);
    free(ini->sections);
    ini->lines = NULL;
    ini->sections = NULL;
    ini->lineCount = 0;
    ini->sectionCount = 0;
}

size_t IniReadKey(void *context, const char *key, const char *def, char *value, size_t size)
{
    const IniText *ini = (const IniText *)context;
    int i = FindKey(ini, FindSection(ini, "Setup"), key);
    const char *text = def;
    size_t length = strlen(def);
    if (i >= 0 && ini->lines[i].value != NULL)
        ValueSpan(&ini->lines[i], &text, &length);
    if (size == 0)
        return 0;
    if (length > size - 1)
        length = size - 1;
    memcpy(value, text, length);
    value[length] = '\0';
    return length;
}

size_t IniReadSection(void *context, const char *section, char *data, size_t size)
{
    const IniText *ini = (const IniText *)context;
    int s = FindSection(ini, section);
    size_t used = 0;
    if (size < 2) {
        if (size > 0)
            data[0] = '\0';
        return 0;
    }
    for (int i = 0; s >= 0 && i < ini->lineCount; i++) {
        const IniLine *line = &ini->lines[i];
        if (line->section != s || line->comment)
            continue;
        if (used + 2 >= size)
            break;
        used += SectionLineText(line, data + used, size - 1 - used) + 1;
    }
    if (used > size - 2)
        used = size - 2;
    data[used] = '\0';
    data[used + 1] = '\0';
    return used;
}

void CheckScript(const CheckInput *input, CheckReport *report)
{
    static Checker checker;
    Checker *c = &checker;
    memset(c, 0, sizeof *c);
    memset(report, 0, sizeof *report);
    c->in = input;
    c->report = report;
    c->setup = FindSection(input->ini, "Setup");
    // The start from the medium has no source folder.
    c->scriptValid = CheckSetupScript(input->source, "", &c->script, c->scriptError, sizeof c->scriptError);

    CheckLayout(c);
    ReadSetupKeys(c);
    CheckReadme(c);
    CheckDisks(c);
    CheckFiles(c);
    CheckTextWidths(c);
    CheckRegIni(c);
    CheckInstalledName(c, "FinalExec");
    CheckInstalledName(c, "ShortCutObj");
    CheckAgreement(c);
    // A stable sort: insertion keeps each line's findings in the order they were found.
    for (int i = 1; i < report->count; i++) {
        CheckFinding moved = report->findings[i];
        int j = i;
        while (j > 0 && CompareFindings(&report->findings[j - 1], &moved) > 0) {
            report->findings[j] = report->findings[j - 1];
            j--;
        }
        report->findings[j] = moved;
    }
}

void FormatFinding(const char *fileName, const CheckFinding *finding, char *line, size_t size)
{
    snprintf(line, size, "%s:%d: %s: %s", fileName, finding->line, finding->error ? "error" : "warning",
             finding->text);
}

void FormatCount(const CheckReport *report, char *line, size_t size)
{
    snprintf(line, size, "%d error%s, %d warning%s", report->errors, report->errors == 1 ? "" : "s",
             report->warnings, report->warnings == 1 ? "" : "s");
}

size_t CrLfLines(const char *text, size_t length, char *out)
{
    size_t n = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] != '\r' && text[i] != '\n') {
            out[n++] = text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n')
            i++;
        out[n++] = '\r';
        out[n++] = '\n';
    }
    return n;
}

size_t FirstInvalidShiftJis(const char *text, size_t length)
{
    const unsigned char *p = (const unsigned char *)text;
    for (size_t i = 0; i < length;) {
        unsigned char b = p[i];
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
            i++;
            continue;
        }
        if (!IsLeadByte(b) || i + 1 >= length)
            return i;
        unsigned char t = p[i + 1];
        if (t < 0x40 || t == 0x7F || t > 0xFC)
            return i;
        i += 2;
    }
    return length;
}

bool LooksLikeUtf8(const char *text, size_t length)
{
    const unsigned char *p = (const unsigned char *)text;
    bool multiByte = false;
    for (size_t i = 0; i < length;) {
        unsigned char b = p[i];
        size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > length || (n == 2 && b < 0xC2) || (n == 4 && b > 0xF4))
            return false;
        for (size_t k = 1; k < n; k++)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        multiByte = multiByte || n > 1;
        i += n;
    }
    return multiByte;
}

size_t TextColumns(const char *text, size_t length)
{
    size_t columns = 0;
    for (size_t i = 0; i < length;) {
        bool pair = IsLeadByte((unsigned char)text[i]) && i + 1 < length;
        columns += pair ? 2 : 1;
        i += pair ? 2 : 1;
    }
    return columns;
}

const char *NearestName(const char *name, size_t length, const char *const *names, int count)
{
    const char *best = count > 0 ? names[0] : "";
    int bestDistance = -1;
    for (int i = 0; i < count; i++) {
        int d = EditDistance(name, length, names[i], strlen(names[i]));
        if (bestDistance < 0 || d < bestDistance) {
            best = names[i];
            bestDistance = d;
        }
    }
    return best;
}
