// NAME [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT
// NAME /check [/cd] [/utf8] SCRIPT [PACKAGE]
// NAME /label [/utf8] SCRIPT
//
// Lays out the installation medium of a package: the setup program (named after the script),
// the script and its two pictures as they are, every listed file compressed under its name
// with the last character replaced by '_'. Without /cd one folder per disk (DISK1, DISK2...),
// each checked against a 1.44 MB floppy; with /cd everything in OUTPUT itself. The script is
// checked by SETUP's own reader, so the builder refuses exactly what SETUP would refuse, and
// also what SETUP would only trip over on the user's machine. Nothing is left half written:
// the medium is built in OUTPUT.partial and renamed when complete.
//
// Before anything is built the script is checked whole: every problem one line,
// FILE:LINE: error|warning: TEXT, then the count; errors stop the build. /check does only
// that and exits 0 (clean), 1 (warnings only) or 2 (errors). With /utf8, or when the script
// begins with a UTF-8 byte-order mark, the script is UTF-8 and the medium gets it in
// Shift-JIS (code page 932) with CR LF line ends. /label prints the volume label the disk
// images take from the script (see volumelabel.h).
#include "mediumbuilder.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "commandline.h"
#include "listedfile.h"
#include "mediumplan.h"
#include "szdd.h"
#include "volumelabel.h"

namespace {

enum {
    MAX_MEDIUM_FILES = FILE_LIST_ENTRIES + 4,   // listed files, program, script, two pictures
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
    // The script as SETUP reads it: NAME.ini beside NAME.exe (medium names).
    char scriptName[MAX_PATH_BYTES];
    char baseName[MAX_PATH_BYTES];
    // What SETUP is given: the script itself, or its Shift-JIS form in workFolder.
    char shiftJisScript[MAX_PATH_BYTES];
    char workFolder[MAX_PATH_BYTES];
};

struct PlannedFile {
    char source[MAX_PATH_BYTES];   // where the content comes from (host path)
    char label[MAX_PATH_BYTES];    // how refusals name the file
    MediumFile medium;             // path below its disk's folder; size once written
    int disk;                      // 1 ... DISK_SECTIONS
    bool compress;
    char lastChar;                 // the byte the '_' replaces
    unsigned long long sourceSize;
};

const MediumHost *host;
Options options;
SetupScript script;   // as SETUP's reader leaves it
PlannedFile planned[MAX_MEDIUM_FILES];
int plannedCount;
int diskCount;
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

// 1457664 as "1,457,664".
const char *Grouped(unsigned long long value, char *text, size_t size)
{
    char digits[32];
    int n = snprintf(digits, sizeof digits, "%llu", value);
    size_t out = 0;
    for (int i = 0; i < n && out + 2 < size; i++) {
        if (i > 0 && (n - i) % 3 == 0)
            text[out++] = ',';
        text[out++] = digits[i];
    }
    text[out] = '\0';
    return text;
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
            "       %s /check [/cd] [/utf8] SCRIPT [PACKAGE]\n"
            "       %s /label [/utf8] SCRIPT\n"
            "  SCRIPT   the setup script, NAME.ini; the setup program goes on the medium as NAME.exe\n"
            "  PACKAGE  the folder that holds the listed files and the pictures\n"
            "  OUTPUT   the medium: one folder per disk (DISK1, DISK2...), or with /cd one folder\n"
            "  /check   only check the script (and, given PACKAGE, its files): every problem with\n"
            "           its line; exit status 0 clean, 1 warnings only, 2 errors\n"
            "  /utf8    the script is UTF-8 (automatic with a byte-order mark); the medium gets\n"
            "           it in Shift-JIS\n"
            "  /setup   the setup program (default: SETUP.exe beside %s)\n"
            "  /label   print the volume label of the disk images, from the script's Title\n",
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
    if (options.check)
        return 0;
    if (!host->fullPath(positional[2], false, options.output) ||
        strlen(options.output) + OUTPUT_SUFFIX_BYTES >= MAX_PATH_BYTES)
        return Refuse("%s: path too long", positional[2]), 2;

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

// Runs SETUP's reader as the start from the medium does: no source folder, so DefaultDir
// is required.
bool ReadScript()
{
    ScriptSource source = host->scriptSource(options.shiftJisScript, &ini);
    char error[SCRIPT_ERROR_BYTES];
    if (!CheckSetupScript(&source, "", &script, error, sizeof error))
        return Refuse("%s%s", options.scriptName, error);
    return true;
}

// The script in Shift-JIS, and how many of its lines could not be converted.
struct Conversion {
    unsigned char *out;
    size_t length;
    int badLines;
};

// UTF-8 lines to Shift-JIS lines ended by CR LF; a line that cannot be converted is reported
// with its number and left out.
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

// The script's Shift-JIS form goes into a work folder, under the script's own name.
bool WriteConverted(const Conversion *conversion)
{
    if (!host->workFolder(options.workFolder))
        return Refuse("%s: no folder for the converted script", options.shown);
    host->removeTree(options.workFolder);
    if (!host->makeFolder(options.workFolder) ||
        !host->join(options.workFolder, options.scriptName, options.shiftJisScript) ||
        !host->writeNewFile(options.shiftJisScript, conversion->out, conversion->length))
        return Refuse("%s: cannot write the converted script", options.shown);
    return true;
}

void LookInPackage(void *, const char *path, PackageFile *file)
{
    char full[MAX_PATH_BYTES];
    HostEntry entry = {false, false, 0};
    file->kind = PACKAGE_MISSING;
    if (!host->join(options.package, path, full))
        return;
    host->probe(full, &entry);
    if (!entry.exists)
        return;
    file->kind = entry.isFolder ? PACKAGE_FOLDER : PACKAGE_FILE;
    file->size = entry.size;
    file->headLength = entry.isFolder ? 0 : host->readHead(full, file->head, sizeof file->head);
}

// The whole check: every finding on the error output, the count on the standard output.
// Returns 0 clean, 1 warnings only, 2 errors. The script's text stays for the build.
int CheckWholeScript()
{
    size_t length = 0;
    scriptText = host->readFile(options.script, &length);
    if (scriptText == NULL)
        return Refuse("%s: cannot read the setup script", options.shown), 2;
    if (length > SCRIPT_MAX_BYTES) {
        fprintf(stderr, "%s:1: error: %lu bytes; the profile functions of Windows 95 read at most %d\n",
                options.shown, (unsigned long)length, SCRIPT_MAX_BYTES);
        return 2;
    }
    bool byteOrderMark = length >= 3 && scriptText[0] == 0xEF && scriptText[1] == 0xBB && scriptText[2] == 0xBF;
    const unsigned char *shiftJis = scriptText;
    size_t shiftJisLength = length;
    if (options.utf8 || byteOrderMark) {
        size_t skip = byteOrderMark ? 3 : 0;
        Conversion conversion = {NULL, 0, 0};
        bool converted = ConvertUtf8(scriptText + skip, length - skip, &conversion);
        convertedText = conversion.out;
        if (!converted || (conversion.badLines == 0 && !WriteConverted(&conversion)))
            return 2;
        if (conversion.badLines > 0) {
            printf("%d error%s, 0 warnings\n", conversion.badLines, conversion.badLines == 1 ? "" : "s");
            return 2;
        }
        shiftJis = conversion.out;
        shiftJisLength = conversion.length;
    }

    if (!ParseIniText((const char *)shiftJis, shiftJisLength, &ini))
        return Refuse("%s: out of memory", options.shown), 2;
    ScriptSource source = host->scriptSource(options.shiftJisScript, &ini);
    PackageProbe probe = {NULL, LookInPackage};
    // A byte-order mark is worth a word only to an author who asks; the build converts it.
    bool utf8Declared = options.utf8 || (byteOrderMark && !options.check);
    CheckInput input = {options.shown, options.scriptName, &ini, &source, utf8Declared, byteOrderMark,
                        options.cd, options.package[0] != '\0' ? &probe : NULL, options.package};
    static CheckReport report;
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

PlannedFile *AddPlanned(const char *source, const char *label, const char *mediumPath, int disk,
                        bool compress, unsigned long long size)
{
    PlannedFile *file = &planned[plannedCount++];
    CopyText(file->source, sizeof file->source, source);
    CopyText(file->label, sizeof file->label, label);
    CopyText(file->medium.path, sizeof file->medium.path, mediumPath);
    file->medium.size = 0;
    file->disk = disk;
    file->compress = compress;
    file->sourceSize = size;
    return file;
}

bool PlanPicture(const char *key, const char *value)
{
    if (value[0] == '0')
        return true;
    char source[MAX_PATH_BYTES];
    if (!IsPlainRelativePath(value) || !host->join(options.package, value, source))
        return Refuse("%s %s: not a file name below the package folder", key, value);
    HostEntry entry;
    host->probe(source, &entry);
    if (!entry.exists || entry.isFolder)
        return Refuse("%s %s: picture not found in %s", key, value, options.package);
    size_t length = 0;
    unsigned char *bytes = host->readFile(source, &length);
    bool bitmap = bytes != NULL && LooksLikeBitmap(bytes, length);
    free(bytes);
    if (!bitmap)
        return Refuse("%s %s: not a Windows bitmap (.bmp)", key, value);
    if (!MediumPathFits(value))
        return Refuse("%s %s: path too long for SETUP", key, value);
    AddPlanned(source, value, value, 1, false, entry.size);
    return true;
}

bool PlanFiles()
{
    HostEntry entry;
    char exeName[MAX_PATH_BYTES];
    CopyText(exeName, sizeof exeName, options.baseName);   // shorter than NAME_BYTES
    AppendText(exeName, sizeof exeName, ".exe");
    host->probe(options.setupProgram, &entry);
    bool found = entry.exists && !entry.isFolder;
    if (!found || entry.size == 0)
        return Refuse("%s: setup program %s", options.setupProgram, found ? "is empty" : "not found");
    AddPlanned(options.setupProgram, exeName, exeName, 1, false, entry.size);
    host->probe(options.shiftJisScript, &entry);
    AddPlanned(options.shiftJisScript, options.scriptName, options.scriptName, 1, false, entry.size);
    if (!PlanPicture("Titlemap", script.Titlemap) || !PlanPicture("Bitmap", script.Bitmap))
        return false;

    diskCount = 0;
    for (int i = 0; i < script.fileCount; i++) {
        const FileEntry &listed = script.fileList[i];
        if (script.diskStart[i])
            diskCount++;
        char section[16];
        snprintf(section, sizeof section, "[DISK%d]", diskCount);
        char mediumPath[MAX_PATH_BYTES];
        char source[MAX_PATH_BYTES];
        if (!IsPlainRelativePath(listed.path) || !MediumName(mediumPath, sizeof mediumPath, listed.path))
            return Refuse("%s %s: not a file name below the medium folder", section, listed.path);
        if (!MediumPathFits(mediumPath))
            return Refuse("%s %s: %u bytes; SETUP reaches at most %d bytes below the medium's drive root",
                          section, listed.path, (unsigned)strlen(listed.path),
                          MAX_PATH_BYTES - 1 - MEDIUM_ROOT_BYTES);
        // $App: files land in the install folder, whose default is DefaultDir.
        const MacroFolders byDefault = {script.DefaultDir, NULL, NULL};
        char installed[MAX_PATH_BYTES];
        if (MacroFolder(listed.macro, &byDefault) != NULL &&
            !InstalledFilePath(installed, sizeof installed, &byDefault, listed.macro, listed.path))
            return Refuse("%s %s: installed into DefaultDir its path would be longer than %d bytes",
                          section, listed.path, MAX_PATH_BYTES - 1);
        if (!host->join(options.package, listed.path, source))
            return Refuse("%s %s: path in the package folder too long", section, listed.path);
        host->probe(source, &entry);
        if (!entry.exists)
            return Refuse("%s %s: listed file not found in %s", section, listed.path, options.package);
        if (entry.isFolder)
            return Refuse("%s %s: is a folder, not a file", section, listed.path);
        if (entry.size == 0)
            return Refuse("%s %s: empty file; SETUP counts an expansion of zero bytes as a failed copy",
                          section, listed.path);
        if ((entry.size >> 32) != 0)
            return Refuse("%s %s: larger than the 4 GiB the compressed format records", section, listed.path);
        PlannedFile *file = AddPlanned(source, listed.path, mediumPath, diskCount, true, entry.size);
        file->lastChar = listed.path[strlen(listed.path) - 1];
    }

    // Within one folder of the medium, every file needs a name of its own.
    MediumFile names[MAX_MEDIUM_FILES];
    int owner[MAX_MEDIUM_FILES];
    for (int disk = 1; disk <= (options.cd ? 1 : diskCount); disk++) {
        int count = 0;
        for (int i = 0; i < plannedCount; i++) {
            if (options.cd || planned[i].disk == disk) {
                names[count] = planned[i].medium;
                owner[count++] = i;
            }
        }
        int earlier = 0;
        int clash = FindCollision(names, count, &earlier);
        if (clash > 0)
            return Refuse("%s and %s: both become %s on the medium", planned[owner[earlier]].label,
                          planned[owner[clash]].label, planned[owner[clash]].medium.path);
    }
    return true;
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

// Compresses (or copies) one file into the medium; checks the compressed image by expanding
// it again before writing it.
bool WriteOne(PlannedFile *file, const char *target)
{
    size_t length = 0;
    unsigned char *data = host->readFile(file->source, &length);
    if (data == NULL)
        return Refuse("%s: cannot read %s", file->label, file->source);
    bool ok;
    if (!file->compress) {
        ok = host->writeNewFile(target, data, length);
        file->medium.size = length;
    } else {
        size_t bound = SzddBound(length);
        unsigned char *image = (unsigned char *)malloc(bound);
        unsigned char *check = (unsigned char *)malloc(length > 0 ? length : 1);
        size_t imageLength = 0, checkLength = 0;
        ProgressLine line = {file->label, 0};
        ok = image != NULL && check != NULL &&
             SzddCompress(data, length, file->lastChar, image, bound, &imageLength,
                          length >= PROGRESS_FROM_BYTES ? ShowProgress : NULL, &line);
        if (!ok) {
            free(image);
            free(check);
            free(data);
            return Refuse("%s: out of memory while compressing", file->label);
        }
        if (!SzddExpand(image, imageLength, check, length, &checkLength) || checkLength != length ||
            memcmp(check, data, length) != 0) {
            free(image);
            free(check);
            free(data);
            return Refuse("%s: the compressed form does not expand to the original", file->label);
        }
        ok = host->writeNewFile(target, image, imageLength);
        file->medium.size = imageLength;
        free(image);
        free(check);
    }
    free(data);
    if (!ok)
        return Refuse("%s: cannot write %s", file->label, target);
    return true;
}

bool CheckDisks()
{
    MediumFile files[MAX_MEDIUM_FILES];
    for (int disk = 1; disk <= diskCount; disk++) {
        int count = 0;
        for (int i = 0; i < plannedCount; i++)
            if (planned[i].disk == disk)
                files[count++] = planned[i].medium;
        int rootEntries = 0;
        unsigned long long used = DiskBytesUsed(files, count, &rootEntries);
        char usedText[32], capacityText[32];
        if (used > DISK_BYTES)
            return Refuse("DISK%d: %s bytes do not fit on a disk of %s bytes", disk,
                          Grouped(used, usedText, sizeof usedText),
                          Grouped(DISK_BYTES, capacityText, sizeof capacityText));
        if (rootEntries > DISK_ROOT_ENTRIES - DISK_LABEL_ENTRIES)
            return Refuse("DISK%d: %d root folder entries, a labelled disk holds %d", disk, rootEntries,
                          DISK_ROOT_ENTRIES - DISK_LABEL_ENTRIES);
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

bool WriteMedium()
{
    HostEntry output;
    host->probe(options.output, &output);
    if (output.exists && !output.isFolder)
        return Refuse("%s: is a file; the medium is a folder", options.output);
    char partial[MAX_PATH_BYTES], old[MAX_PATH_BYTES];
    // OUTPUT leaves room for these (OUTPUT_SUFFIX_BYTES).
    CopyText(partial, sizeof partial, options.output);
    AppendText(partial, sizeof partial, ".partial");
    CopyText(old, sizeof old, options.output);
    AppendText(old, sizeof old, ".old");
    host->removeTree(partial);
    host->removeTree(old);
    if (!host->makeFolder(partial))
        return Refuse("%s: cannot create the folder", partial);

    bool ok = true;
    for (int i = 0; i < plannedCount && ok; i++) {
        PlannedFile *file = &planned[i];
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
        if (ok && file->compress) {
            char in[32], out[32];
            printf("      %s -> %s bytes\n", Grouped(file->sourceSize, in, sizeof in),
                   Grouped(file->medium.size, out, sizeof out));
        }
    }
    if (ok && !options.cd)
        ok = CheckDisks();
    if (ok) {
        bool hadOutput = output.exists;
        if (hadOutput && !host->rename(options.output, old))
            ok = Refuse("%s: cannot replace the earlier medium", options.output);
        else if (!host->rename(partial, options.output)) {
            if (hadOutput)
                host->rename(old, options.output);
            ok = Refuse("%s: cannot rename %s", options.output, partial);
        } else if (hadOutput) {
            host->removeTree(old);
        }
    }
    if (!ok)
        host->removeTree(partial);
    return ok;
}

// /label: the volume label alone on the standard output.
int PrintVolumeLabel()
{
    size_t length = 0;
    unsigned char *text = host->readFile(options.script, &length);
    if (text == NULL)
        return Refuse("%s: cannot read the setup script", options.shown), 1;
    if (length > SCRIPT_MAX_BYTES) {
        free(text);
        return Refuse("%s: %lu bytes; the profile functions of Windows 95 read at most %d", options.shown,
                      (unsigned long)length, SCRIPT_MAX_BYTES), 1;
    }
    char label[VOLUME_LABEL_BYTES];
    bool made = ScriptVolumeLabel((const char *)text, length, options.utf8, options.baseName, label);
    free(text);
    if (!made)
        return Refuse("%s: out of memory", options.shown), 1;
    printf("%s\n", label);
    return 0;
}

int Run(int argc, char **argv)
{
    int parsed = ParseArguments(argc, argv);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (!TakeScriptName())
        return options.check ? 2 : 1;
    if (options.label)
        return PrintVolumeLabel();
    int checked = CheckWholeScript();
    if (options.check || checked == 2)
        return options.check ? checked : 1;
    if (!ReadScript() || !PlanFiles() || !WriteMedium())
        return 1;
    printf("medium ready: %s (%s)\n", options.output, options.cd ? "one folder" : "one folder per disk");
    return 0;
}

}  // namespace

int RunMediumBuilder(const MediumHost *system, int argc, char **argv)
{
    host = system;
    int status = Run(argc, argv);
    RemoveWorkFolder();
    FreeScript();
    return status;
}
