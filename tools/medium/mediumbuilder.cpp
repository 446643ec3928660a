// NAME [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT
// NAME /check [/cd] [/utf8] [/setup PROGRAM] SCRIPT [PACKAGE]
// NAME /label [/utf8] SCRIPT
//
// Lays out the installation medium of a package: the setup program (named after the script),
// the script and its two pictures as they are, every listed file under its name with the
// last character replaced by '_', compressed unless that would not make it smaller. Without /cd one folder per disk (DISK1, DISK2...),
// each checked against a 1.44 MB floppy; with /cd everything in OUTPUT itself. The script is
// checked by SETUP's own reader, so the builder refuses exactly what SETUP would refuse, and
// also what SETUP would only trip over on the user's machine. Nothing is left half written:
// the medium is built in OUTPUT.partial and renamed when complete. An existing OUTPUT is
// replaced only when it holds what a medium holds and nothing else; OUTPUT is never the
// package's or the script's folder nor holds them; OUTPUT.lock keeps a second build out.
//
// Before anything is built the script is checked whole, and the check's result is the plan
// of the medium: every problem one line, FILE:LINE: error|warning: TEXT, then the count;
// errors stop the build. /check does only that. Exit status 2 whenever something is refused
// or an error found; /check 0 clean, 1 warnings only; a build 0 when the medium is ready.
// With /utf8, a UTF-8 byte-order mark, or text that is valid UTF-8 with non-ASCII characters,
// the script is UTF-8 and the medium gets it in Shift-JIS (code page 932); its lines end in
// CR LF on the medium whatever they ended in.
// /label prints the volume label the disk images take from the script (see volumelabel.h).
#include "mediumbuilder.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "commandline.h"
#include "listedfile.h"
#include "mediumplan.h"
#include "outputrules.h"
#include "szdd.h"
#include "volumelabel.h"

namespace {

enum {
    PROGRESS_FROM_BYTES = 1 << 20,
    // The longest name the builder puts beside OUTPUT or below it: "\DISK10", ".partial".
    OUTPUT_SUFFIX_BYTES = 16,
};

struct Options {
    bool cd;
    bool check;
    bool label;
    bool utf8;
    const char *shown;              // the script as the command line names it, for findings
    char setupProgram[MAX_PATH_BYTES];
    char script[MAX_PATH_BYTES];
    char package[MAX_PATH_BYTES];   // full path, trailing separator
    char output[MAX_PATH_BYTES];    // full path, no trailing separator
    const char *outputShown;        // OUTPUT as the command line names it
    // Beside OUTPUT: the medium being built, the earlier one moved aside, the lock.
    char partial[MAX_PATH_BYTES];
    char old[MAX_PATH_BYTES];
    char lock[MAX_PATH_BYTES];
    char realPackage[MAX_PATH_BYTES];   // links resolved, once looked up
    // The script as SETUP reads it: NAME.ini beside NAME.exe (medium names).
    char scriptName[MAX_PATH_BYTES];
    char baseName[MAX_PATH_BYTES];
    // What SETUP is given: the script itself, or its Shift-JIS form in workFolder.
    char shiftJisScript[MAX_PATH_BYTES];
    char workFolder[MAX_PATH_BYTES];
};

const MediumHost *host;
Options options;
unsigned long long programSize;
// The check's report; its plan is the medium.
CheckReport report;
// The script's text as SETUP reads it, kept for the build after the check.
unsigned char *scriptText;
unsigned char *convertedText;
IniText ini;

// Every refusal is one line on the error output.
bool Refuse(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    return false;
}

bool IsOption(const char *argument, const char *name)
{
    return (argument[0] == '/' || argument[0] == '-') && SameTextIgnoringCase(argument + 1, name);
}

void PrintUsage(FILE *stream)
{
    const char *name = host->programName;
    fprintf(stream,
            "usage: %s [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT\n"
            "       %s /check [/cd] [/utf8] [/setup PROGRAM] SCRIPT [PACKAGE]\n"
            "       %s /label [/utf8] SCRIPT\n"
            "  SCRIPT   the setup script, NAME.ini; the setup program goes on the medium as NAME.exe\n"
            "  PACKAGE  the folder that holds the listed files and the pictures\n"
            "  OUTPUT   the medium: one folder per disk (DISK1, DISK2...), or with /cd one folder\n"
            "  /check   only check the script (and, given PACKAGE, its files): every problem with\n"
            "           its line\n"
            "  /utf8    the script is UTF-8 (automatic with a byte-order mark or valid UTF-8 text);\n"
            "           the medium gets it in Shift-JIS\n"
            "  /setup   the setup program (default: SETUP.exe beside %s)\n"
            "  /label   print the volume label of the disk images, from the script's Title\n"
            "exit status: 2 when something is refused or an error found; /check 0 clean,\n"
            "  1 warnings only; a build 0 when the medium is ready (its warnings printed)\n",
            name, name, name, name);
}

// 0: go on; otherwise the exit status.
int ParseArguments(int argc, char **argv)
{
    const char *positional[3];
    int count = 0;
    const char *setupProgram = NULL;
    for (int i = 1; i < argc; i++) {
        if (IsOption(argv[i], "?") || IsOption(argv[i], "help") || strcmp(argv[i], "--help") == 0) {
            PrintUsage(stdout);
            return -1;
        } else if (IsOption(argv[i], "cd")) {
            options.cd = true;
        } else if (IsOption(argv[i], "check")) {
            options.check = true;
        } else if (IsOption(argv[i], "label")) {
            options.label = true;
        } else if (IsOption(argv[i], "utf8")) {
            options.utf8 = true;
        } else if (IsOption(argv[i], "setup") && i + 1 < argc) {
            setupProgram = argv[++i];
        } else if (count < 3) {
            positional[count++] = argv[i];
        } else {
            count = 4;
        }
    }
    bool fits = options.label ? count == 1 && !options.check
                : options.check ? count >= 1 && count <= 2 : count == 3;
    if (!fits) {
        PrintUsage(stderr);
        return 2;
    }
    options.shown = positional[0];
    if (!host->fullPath(positional[0], false, options.script))
        return Refuse("%s: path too long", positional[0]), 2;
    if (count == 1)
        return 0;
    if (!host->fullPath(positional[1], true, options.package))
        return Refuse("%s: path too long", positional[1]), 2;
    if (!options.check && (!host->fullPath(positional[2], false, options.output) ||
                           strlen(options.output) + OUTPUT_SUFFIX_BYTES >= MAX_PATH_BYTES))
        return Refuse("%s: path too long", positional[2]), 2;
    options.outputShown = positional[2];
    // OUTPUT leaves room for these (OUTPUT_SUFFIX_BYTES).
    snprintf(options.partial, sizeof options.partial, "%s.partial", options.output);
    snprintf(options.old, sizeof options.old, "%s.old", options.output);
    snprintf(options.lock, sizeof options.lock, "%s.lock", options.output);

    if (setupProgram != NULL) {
        if (!host->fullPath(setupProgram, false, options.setupProgram))
            return Refuse("%s: path too long", setupProgram), 2;
    } else {
        char self[MAX_PATH_BYTES];
        if (!host->programFolder(self))
            return Refuse("%s: cannot find its own folder; name the setup program with /setup", host->programName),
                   2;
        if (!host->join(self, "SETUP.exe", options.setupProgram))
            return Refuse("%s: path too long", self), 2;
    }
    // The program goes on the first disk: its size counts there.
    HostEntry entry;
    host->probe(options.setupProgram, &entry);
    bool found = entry.exists && !entry.isFolder;
    if (!found || entry.size == 0)
        return Refuse("%s: setup program %s", options.setupProgram, found ? "is empty" : "not found"), 2;
    programSize = entry.size;
    return 0;
}

// The script's name as SETUP finds it: NAME.ini beside NAME.exe.
bool TakeScriptName()
{
    const char *name = options.script + strlen(options.script);
    while (name > options.script && name[-1] != '/' && name[-1] != '\\')
        name--;
    char medium[MAX_PATH_BYTES];
    if (!host->mediumName(name, medium))
        return Refuse("%s: the name has no Shift-JIS form (code page 932)", options.script);
    size_t length = strlen(medium);
    if (length < 5 || !SameTextIgnoringCase(medium + length - 4, ".ini"))
        return Refuse("%s: the setup script's name must end in .ini (SETUP reads NAME.ini beside NAME.exe)",
                      options.script);
    if (length - 4 >= NAME_BYTES)
        return Refuse("%s: name too long", options.script);
    CopyText(options.scriptName, sizeof options.scriptName, medium);
    memcpy(options.baseName, medium, length - 4);
    options.baseName[length - 4] = '\0';
    HostEntry entry;
    host->probe(options.script, &entry);
    if (!entry.exists)
        return Refuse("%s: setup script not found", options.script);
    CopyText(options.shiftJisScript, sizeof options.shiftJisScript, options.script);
    return true;
}

// The script in Shift-JIS, and how many of its lines could not be converted.
struct Conversion {
    unsigned char *out;
    size_t length;
    int badLines;
};

// UTF-8 lines (ended by CR LF) to Shift-JIS lines ended by CR LF; a line that cannot be
// converted is reported with its number and left out.
bool ConvertUtf8(const unsigned char *text, size_t length, Conversion *result)
{
    result->out = (unsigned char *)malloc(length * 2 + 2);
    result->length = 0;
    result->badLines = 0;
    if (result->out == NULL)
        return Refuse("%s: out of memory", options.shown);
    int number = 0;
    for (size_t pos = 0; pos < length;) {
        const unsigned char *start = text + pos;
        const unsigned char *end = (const unsigned char *)memchr(start, '\n', length - pos);
        size_t n = end != NULL ? (size_t)(end - start) : length - pos;
        pos += n + 1;
        number++;
        if (n > 0 && start[n - 1] == '\r')
            n--;
        unsigned codePoint = 0;
        int column = 0;
        size_t bytes = 0;
        // Each UTF-8 sequence becomes at most as many Shift-JIS bytes.
        Utf8LineResult converted =
            host->convertLine(start, n, result->out + result->length, n, &bytes, &codePoint, &column);
        if (converted == LINE_NOT_UTF8) {
            fprintf(stderr, "%s:%d: error: not valid UTF-8\n", options.shown, number);
            result->badLines++;
            continue;
        }
        if (converted == LINE_UNMAPPABLE) {
            fprintf(stderr, "%s:%d: error: U+%04X at column %d has no Shift-JIS form (code page 932)\n",
                    options.shown, number, codePoint, column);
            result->badLines++;
            continue;
        }
        result->length += bytes;
        if (end != NULL) {
            result->out[result->length++] = '\r';
            result->out[result->length++] = '\n';
        }
    }
    return true;
}

void RemoveWorkFolder()
{
    if (options.workFolder[0] != '\0')
        host->removeTree(options.workFolder);
}

// The script's form for the medium goes into a work folder, under the script's own name.
bool WriteConverted(const Conversion *conversion)
{
    if (!host->workFolder(options.workFolder))
        return Refuse("%s: no folder for the converted script", options.shown);
    host->removeTree(options.workFolder);
    if (!host->makeFolder(options.workFolder) ||
        !host->join(options.workFolder, options.scriptName, options.shiftJisScript) ||
        !host->writeNewFile(options.shiftJisScript, conversion->out, conversion->length))
        return Refuse("%s: cannot write the script's form for the medium", options.shown);
    return true;
}

// The folder of path (a host path; its own when it ends in a separator), without a
// separator at its end unless it is the root.
void FolderOf(const char *path, char *folder)
{
    CopyText(folder, MAX_PATH_BYTES, path);
    char *cut = NULL;
    for (char *p = folder; *p != '\0'; p += CharBytes(p))
        if (*p == host->separator)
            cut = p;
    if (cut != NULL)
        cut[cut == folder || cut[-1] == ':' ? 1 : 0] = '\0';
}

// What lies in the package for a path; a link is followed while it stays inside the package.
void LookInPackage(void *, const char *path, PackageFile *file)
{
    char full[MAX_PATH_BYTES];
    HostEntry entry;
    file->kind = PACKAGE_MISSING;
    if (options.realPackage[0] == '\0') {
        char folder[MAX_PATH_BYTES];
        FolderOf(options.package, folder);
        host->probe(folder, &entry);
        CopyText(options.realPackage, sizeof options.realPackage, entry.real);
    }
    if (!host->join(options.package, path, full))
        return;
    host->probe(full, &entry);
    if (!entry.exists)
        return;
    if (entry.real[0] != '\0' && options.realPackage[0] != '\0' &&
        !PathWithin(entry.real, options.realPackage, host->separator, host->foldsCase)) {
        file->kind = PACKAGE_OUTSIDE;
        CopyText(file->target, sizeof file->target, entry.real);
        return;
    }
    const PackageKind kinds[] = {PACKAGE_MISSING, PACKAGE_FILE,   PACKAGE_FOLDER, PACKAGE_FIFO,
                                 PACKAGE_DEVICE,  PACKAGE_SOCKET, PACKAGE_MISSING, PACKAGE_DEVICE};
    file->kind = kinds[entry.kind];
    file->size = entry.size;
    file->headLength = file->kind == PACKAGE_FILE ? host->readHead(full, file->head, sizeof file->head) : 0;
}

unsigned char *ReadInPackage(void *, const char *path, size_t *length)
{
    char full[MAX_PATH_BYTES];
    return host->join(options.package, path, full) ? host->readFile(full, length) : NULL;
}

// The whole check: every finding on the error output, the count on the standard output.
// Returns 0 clean, 1 warnings only, 2 errors. The script's text and the plan stay for the build.
int CheckWholeScript()
{
    size_t length = 0;
    scriptText = host->readFile(options.script, &length);
    if (scriptText == NULL)
        return Refuse("%s: cannot read the setup script", options.shown), 2;
    bool byteOrderMark = length >= 3 && scriptText[0] == 0xEF && scriptText[1] == 0xBB && scriptText[2] == 0xBF;
    size_t skip = byteOrderMark ? 3 : 0;
    // Real Shift-JIS text is practically never valid UTF-8.
    bool utf8 = options.utf8 || byteOrderMark || LooksLikeUtf8((const char *)scriptText, length);
    if (utf8 && !options.utf8 && !byteOrderMark)
        fprintf(stderr, "%s: read as UTF-8: the file is valid UTF-8 with non-ASCII text; the medium gets it in "
                "Shift-JIS\n", options.shown);
    // Every line ends in CR LF on the medium, and is counted so in the findings.
    convertedText = (unsigned char *)malloc(2 * (length - skip) + 2);
    if (convertedText == NULL)
        return Refuse("%s: out of memory", options.shown), 2;
    Conversion conversion = {convertedText, CrLfLines((const char *)scriptText + skip, length - skip,
                                                      (char *)convertedText), 0};
    if (utf8) {
        Conversion lines = {NULL, 0, 0};
        bool converted = ConvertUtf8(convertedText, conversion.length, &lines);
        free(convertedText);
        convertedText = lines.out;
        if (!converted)
            return 2;
        if (lines.badLines > 0) {
            printf("%d error%s, 0 warnings\n", lines.badLines, lines.badLines == 1 ? "" : "s");
            return 2;
        }
        conversion = lines;
    }
    if (conversion.length > SCRIPT_MAX_BYTES) {
        fprintf(stderr, "%s:1: error: %lu bytes on the medium; the profile functions of Windows 95 read at most %d\n",
                options.shown, (unsigned long)conversion.length, SCRIPT_MAX_BYTES);
        return 2;
    }
    if (!WriteConverted(&conversion))
        return 2;

    if (!ParseIniText((const char *)conversion.out, conversion.length, &ini))
        return Refuse("%s: out of memory", options.shown), 2;
    ScriptSource source = host->scriptSource(options.shiftJisScript, &ini);
    PackageProbe probe = {NULL, LookInPackage, ReadInPackage};
    CheckInput input = {options.shown, options.scriptName, &ini, &source, utf8, options.cd,
                        options.package[0] != '\0' ? &probe : NULL, options.package, programSize,
                        conversion.length};
    CheckScript(&input, &report);
    for (int i = 0; i < report.count; i++) {
        char line[CHECK_TEXT_BYTES + MAX_PATH_BYTES + 32];
        FormatFinding(options.shown, &report.findings[i], line, sizeof line);
        fprintf(stderr, "%s\n", line);
    }
    if (report.errors + report.warnings > report.count)
        fprintf(stderr, "%s: %d more not shown\n", options.shown, report.errors + report.warnings - report.count);
    fflush(stderr);
    char count[64];
    FormatCount(&report, count, sizeof count);
    printf("%s\n", count);
    fflush(stdout);
    return report.errors > 0 ? 2 : report.warnings > 0 ? 1 : 0;
}

void FreeScript()
{
    FreeIniText(&ini);
    free(convertedText);
    free(scriptText);
}

struct ProgressLine {
    const char *label;
    int lastPercent;
};

void ShowProgress(void *context, size_t done, size_t total)
{
    ProgressLine *line = (ProgressLine *)context;
    int percent = total > 0 ? (int)((unsigned long long)done * 100 / total) : 100;
    if (percent / 10 != line->lastPercent / 10) {
        printf("      %s %3d%%\n", line->label, percent);
        fflush(stdout);
        line->lastPercent = percent;
    }
}

// Where a planned file's content comes from on this system.
bool SourcePath(const PlannedFile *file, char *path)
{
    if (file->from == PLAN_PROGRAM)
        return CopyText(path, MAX_PATH_BYTES, options.setupProgram), true;
    if (file->from == PLAN_SCRIPT)
        return CopyText(path, MAX_PATH_BYTES, options.shiftJisScript), true;
    return host->join(options.package, file->source, path);
}

// Writes one file of the plan into the medium: a listed file in its form there (compressed,
// the image checked by expanding it again, or stored), anything else as it is.
bool WriteOne(PlannedFile *file, const char *target)
{
    char source[MAX_PATH_BYTES];
    size_t length = 0;
    unsigned char *data = SourcePath(file, source) ? host->readFile(source, &length) : NULL;
    if (data == NULL)
        return Refuse("%s: cannot read %s", file->label, source);
    const unsigned char *bytes = data;
    size_t byteCount = length;
    unsigned char *image = NULL;
    MediumForm form = FORM_STORED;
    if (file->listed) {
        ProgressLine line = {file->label, 0};
        form = MakeMediumImage(data, length, file->lastChar, &image, &byteCount,
                               length >= PROGRESS_FROM_BYTES ? ShowProgress : NULL, &line);
        if (form == FORM_NO_MEMORY || form == FORM_DAMAGED) {
            free(data);
            return Refuse(form == FORM_NO_MEMORY ? "%s: out of memory while compressing"
                                                 : "%s: the compressed form does not expand to the original",
                          file->label);
        }
        if (form == FORM_COMPRESSED)
            bytes = image;
        else
            byteCount = length;
    }
    bool ok = host->writeNewFile(target, bytes, byteCount);
    file->size = length;
    file->medium.size = byteCount;
    free(image);
    free(data);
    if (!ok)
        return Refuse("%s: cannot write %s", file->label, target);
    if (file->listed) {
        char in[32], out[32];
        printf("      %s -> %s bytes%s\n", Grouped(length, in, sizeof in), Grouped(byteCount, out, sizeof out),
               form == FORM_STORED ? ", stored: compressing would not make it smaller" : "");
    }
    return true;
}

// The disks as written: a file that grew since the check still cannot overflow one.
bool CheckDisks()
{
    const MediumPlan *plan = &report.plan;
    for (int disk = 1; disk <= plan->disks; disk++) {
        int rootEntries = 0;
        unsigned long long used = 0;
        DiskFill fill = CheckPlannedDisk(plan, disk, &used, &rootEntries);
        char text[128], usedText[32], capacityText[32];
        if (fill != DISK_FITS) {
            DiskFillText(disk, fill, used, rootEntries, text, sizeof text);
            return Refuse("%s", text);
        }
        printf("DISK%d: %s of %s bytes used\n", disk, Grouped(used, usedText, sizeof usedText),
               Grouped(DISK_BYTES, capacityText, sizeof capacityText));
    }
    return true;
}

// The folders of a medium path below root, made where they are missing; target gets the
// file's own path.
bool MakeParents(const char *root, const char *mediumPath, char *target)
{
    char prefix[MAX_PATH_BYTES];
    CopyText(prefix, sizeof prefix, mediumPath);
    for (size_t i = 0; prefix[i] != '\0'; i += CharBytes(prefix + i)) {
        if (prefix[i] != '\\')
            continue;
        prefix[i] = '\0';
        char folder[MAX_PATH_BYTES];
        HostEntry entry;
        if (!host->join(root, prefix, folder))
            return false;
        host->probe(folder, &entry);
        if (!entry.exists && !host->makeFolder(folder))
            return false;
        prefix[i] = '\\';
    }
    return host->join(root, mediumPath, target);
}

// Every entry below a folder of the system: medium paths for the rules, host paths (relative,
// the system's separator) for the messages.
struct Listing {
    ListedEntry entries[OUTPUT_LISTING_ENTRIES];
    char shown[OUTPUT_LISTING_ENTRIES][MAX_PATH_BYTES];
    int count;
    int parent;   // the entry whose folder is being read, -1 for the folder itself
    bool full;    // more entries than a medium holds
};
Listing listing;

// Marks a folder beside OUTPUT as this builder's to remove: made first in OUTPUT.partial,
// put into the earlier medium before it goes, removed last.
const char kOursMarker[] = "BUILDMEDIUM.WRK";

// folder, the system's separator and relative (a host path) into path (MAX_PATH_BYTES);
// false when they do not fit.
bool HostJoin(const char *folder, const char *relative, char *path)
{
    int n = snprintf(path, MAX_PATH_BYTES, "%s%c%s", folder, host->separator, relative);
    return n >= 0 && n < MAX_PATH_BYTES;
}

bool AddListed(void *, const char *name, HostKind kind)
{
    if (listing.count == OUTPUT_LISTING_ENTRIES) {
        listing.full = true;
        return false;
    }
    ListedEntry *entry = &listing.entries[listing.count];
    char *shown = listing.shown[listing.count];
    const char *parentPath = listing.parent < 0 ? "" : listing.entries[listing.parent].path;
    const char *parentShown = listing.parent < 0 ? "" : listing.shown[listing.parent];
    char medium[MAX_PATH_BYTES];
    entry->kind = kind == HOST_FILE ? LISTED_FILE : kind == HOST_FOLDER ? LISTED_FOLDER : LISTED_OTHER;
    if (!host->mediumName(name, medium))
        CopyText(medium, sizeof medium, "?"), entry->kind = LISTED_OTHER;
    int a = snprintf(entry->path, sizeof entry->path, "%s%s%s", parentPath, parentPath[0] ? "\\" : "", medium);
    shown[0] = '\0';
    bool fits = parentShown[0] != '\0' ? HostJoin(parentShown, name, shown) : AppendText(shown, MAX_PATH_BYTES, name);
    if (a < 0 || a >= MAX_PATH_BYTES || !fits) {
        listing.full = true;
        return false;
    }
    listing.count++;
    return true;
}

// The whole tree below folder into listing (only its own entries unless deep); false when
// a folder cannot be read or holds more than a medium.
bool ListTree(const char *folder, bool deep)
{
    listing.count = 0;
    listing.parent = -1;
    listing.full = false;
    if (!host->listFolder(folder, NULL, AddListed))
        return false;
    for (int i = 0; deep && i < listing.count && !listing.full; i++) {
        char path[MAX_PATH_BYTES];
        listing.parent = i;
        if (listing.entries[i].kind == LISTED_FOLDER &&
            (!HostJoin(folder, listing.shown[i], path) ||
             !host->listFolder(path, NULL, AddListed)))
            return false;
    }
    return !listing.full;
}

// Whether the folder at path holds only what a medium of this builder holds (or, given
// ours, is a folder this builder marked as its own: *ours true); otherwise says what it
// holds and how to go on. Nothing is touched.
bool HoldsOnlyAMedium(const char *path, bool *ours)
{
    if (!ListTree(path, true))
        return Refuse("%s: %s; nothing was changed: name a new folder as OUTPUT", path,
                      listing.full ? "holds more than a medium does" : "cannot read what it holds");
    for (int i = 0; ours != NULL && i < listing.count; i++)
        if (listing.entries[i].kind == LISTED_FILE && strcmp(listing.entries[i].path, kOursMarker) == 0)
            return *ours = true;
    if (listing.count == 0)
        return true;
    int script = FindMediumScript(listing.entries, listing.count);
    if (script < 0)
        return Refuse("%s: holds %s and no setup program with its script: not a medium of this builder; nothing "
                      "was changed: name a new folder as OUTPUT, or empty this one yourself",
                      path, listing.shown[0]);
    char scriptPath[MAX_PATH_BYTES];
    size_t length = 0;
    unsigned char *text = NULL;
    if (HostJoin(path, listing.shown[script], scriptPath))
        text = host->readFile(scriptPath, &length);
    int stray = text == NULL ? script : FirstStrayEntry(listing.entries, listing.count, script, (const char *)text,
                                                        length);
    free(text);
    if (stray == script)
        return Refuse("%s: its script %s is not one SETUP reads, so what the folder holds is unknown; nothing was "
                      "changed: name a new folder as OUTPUT, or empty this one yourself",
                      path, listing.shown[script]);
    if (stray >= 0)
        return Refuse("%s: holds %s, which its medium does not list; nothing was changed: move it out, or name a "
                      "new folder as OUTPUT", path, listing.shown[stray]);
    return true;
}

// Removes a folder this builder made or moved aside, its marker last, so that a run killed
// meanwhile leaves a folder the next run knows as its own.
void DiscardOurs(const char *folder)
{
    char marker[MAX_PATH_BYTES];
    if (!host->join(folder, kOursMarker, marker))
        return;
    host->writeNewFile(marker, (const unsigned char *)"", 0);
    if (ListTree(folder, false)) {
        for (int i = 0; i < listing.count; i++) {
            char path[MAX_PATH_BYTES];
            if (strcmp(listing.entries[i].path, kOursMarker) == 0 ||
                !HostJoin(folder, listing.shown[i], path))
                continue;
            if (listing.entries[i].kind == LISTED_FOLDER)
                host->removeTree(path);
            else
                host->removeFile(path);
        }
    }
    host->removeTree(folder);
}

// What the builder will find at the folders beside OUTPUT, checked before anything is
// written: none is the package folder, the script's or one that holds them, none is a
// link, the lock is ours, and what lies there is a medium or ours. Then a medium left
// aside by a run killed between its renames is put back, leftovers of ours removed.
bool PrepareOutput()
{
    // The package's and the script's folders, as given and with every link resolved.
    char shown[2][MAX_PATH_BYTES], real[2][MAX_PATH_BYTES];
    FolderOf(options.package, shown[0]);
    FolderOf(options.script, shown[1]);
    for (int k = 0; k < 2; k++) {
        HostEntry entry;
        host->probe(shown[k], &entry);
        CopyText(real[k], sizeof real[k], entry.real);
    }
    HostEntry found[3];
    const char *paths[3] = {options.output, options.old, options.partial};
    for (int i = 0; i < 3; i++) {
        HostEntry *entry = &found[i];
        host->probe(paths[i], entry);
        if (entry->isLink)
            return Refuse("%s: is a symbolic link%s%s; nothing was changed: %s", paths[i], entry->real[0] ? " to " : "",
                          entry->real, i == 0 ? "name the folder itself as OUTPUT" : "remove the link yourself");
        if (entry->exists && !entry->isFolder)
            return Refuse(i == 0 ? "%s: is a file; the medium is a folder"
                                 : "%s: is not a folder of this builder; nothing was changed: move it away",
                          paths[i]);
        if (!entry->exists)
            continue;
        if (entry->real[0] == '\0')
            return Refuse("%s: cannot tell where it lies; nothing was changed", paths[i]);
        const char *names[2] = {"the package folder", "the script's folder"};
        for (int k = 0; k < 2; k++) {
            if (real[k][0] != '\0' && PathWithin(real[k], entry->real, host->separator, host->foldsCase))
                return Refuse("%s: %s %s %s; nothing was changed: name a folder of its own for the medium", paths[i],
                              PathWithin(entry->real, real[k], host->separator, host->foldsCase) ? "is" : "holds",
                              names[k], shown[k]);
        }
    }
    switch (host->lock(options.lock)) {
    case LOCK_TAKEN:
        break;
    case LOCK_BUSY:
        return Refuse("another build is writing %s", options.outputShown);
    case LOCK_NOT_OURS:
        return Refuse("%s: is not the lock of this builder; nothing was changed: move it away", options.lock);
    default:
        return Refuse("%s: cannot create the lock", options.lock);
    }
    // An OUTPUT.old marked as ours was being removed after a complete replacement.
    bool oldMarked = false, partialMarked = false;
    if ((found[0].exists && !HoldsOnlyAMedium(options.output, NULL)) ||
        (found[1].exists && !HoldsOnlyAMedium(options.old, &oldMarked)) ||
        (found[2].exists && !HoldsOnlyAMedium(options.partial, &partialMarked)))
        return false;
    if (found[2].exists)
        DiscardOurs(options.partial);
    if (found[1].exists && !found[0].exists && !oldMarked) {
        if (!host->rename(options.old, options.output))
            return Refuse("%s: cannot put the earlier medium back from %s", options.output, options.old);
        printf("%s: the earlier medium put back from %s\n", options.output, options.old);
    } else if (found[1].exists) {
        DiscardOurs(options.old);
    }
    return true;
}

bool WriteMedium()
{
    char marker[MAX_PATH_BYTES];
    if (!host->makeFolder(options.partial) || !host->join(options.partial, kOursMarker, marker) ||
        !host->writeNewFile(marker, (const unsigned char *)"", 0))
        return Refuse("%s: cannot create the folder", options.partial);
    const char *partial = options.partial;

    bool ok = true;
    const int plannedCount = report.plan.count;
    for (int i = 0; i < plannedCount && ok; i++) {
        PlannedFile *file = &report.plan.files[i];
        char folder[MAX_PATH_BYTES], target[MAX_PATH_BYTES], shown[MAX_PATH_BYTES + 16];
        CopyText(folder, sizeof folder, partial);
        snprintf(shown, sizeof shown, "%s", file->medium.path);
        if (!options.cd) {
            char disk[16];
            snprintf(disk, sizeof disk, "DISK%d", file->disk);
            snprintf(shown, sizeof shown, "%s\\%s", disk, file->medium.path);
            HostEntry entry;
            host->join(partial, disk, folder);
            host->probe(folder, &entry);
            if (!entry.exists)
                host->makeFolder(folder);
        }
        if (!MakeParents(folder, file->medium.path, target)) {
            ok = Refuse("%s: the medium path is too long for this machine", file->label);
            break;
        }
        printf("[%d/%d] %s\n", i + 1, plannedCount, shown);
        fflush(stdout);
        ok = WriteOne(file, target);
    }
    if (ok && !options.cd)
        ok = CheckDisks();
    if (!ok) {
        DiscardOurs(partial);
        return false;
    }
    // The new medium is complete before the earlier one moves aside; a run killed between
    // the two renames leaves OUTPUT.old, which the next run puts back.
    HostEntry output;
    host->probe(options.output, &output);
    if (output.exists && !HoldsOnlyAMedium(options.output, NULL)) {
        DiscardOurs(partial);
        return false;
    }
    if (!host->removeFile(marker))
        return DiscardOurs(partial), Refuse("%s: cannot remove %s", options.output, marker);
    if (output.exists && !host->rename(options.output, options.old))
        return DiscardOurs(partial), Refuse("%s: cannot replace the earlier medium", options.output);
    if (!host->rename(partial, options.output)) {
        if (output.exists)
            host->rename(options.old, options.output);
        DiscardOurs(partial);
        return Refuse("%s: cannot rename %s", options.output, partial);
    }
    if (output.exists)
        DiscardOurs(options.old);
    return true;
}

// /label: the volume label alone on the standard output.
int PrintVolumeLabel()
{
    size_t length = 0;
    unsigned char *text = host->readFile(options.script, &length);
    if (text == NULL)
        return Refuse("%s: cannot read the setup script", options.shown), 2;
    if (length > SCRIPT_MAX_BYTES) {
        free(text);
        return Refuse("%s: %lu bytes; the profile functions of Windows 95 read at most %d", options.shown,
                      (unsigned long)length, SCRIPT_MAX_BYTES), 2;
    }
    char label[VOLUME_LABEL_BYTES];
    bool made = ScriptVolumeLabel((const char *)text, length, options.utf8, options.baseName, label);
    free(text);
    if (!made)
        return Refuse("%s: out of memory", options.shown), 2;
    printf("%s\n", label);
    return 0;
}

int Run(int argc, char **argv)
{
    int parsed = ParseArguments(argc, argv);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (!TakeScriptName())
        return 2;
    if (options.label)
        return PrintVolumeLabel();
    if (!options.check && !PrepareOutput())
        return 2;
    int checked = CheckWholeScript();
    if (options.check || checked == 2)
        return checked;
    if (!WriteMedium())
        return 2;
    printf("medium ready: %s (%s)\n", options.output, options.cd ? "one folder" : "one folder per disk");
    return 0;
}

}  // namespace

int RunMediumBuilder(const MediumHost *system, int argc, char **argv)
{
    host = system;
    int status = Run(argc, argv);
    RemoveWorkFolder();
    if (options.lock[0] != '\0')
        host->unlock(options.lock);
    FreeScript();
    return status;
}
