// BuildMedium [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT
// BuildMedium /check [/cd] [/utf8] SCRIPT [PACKAGE]
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
// Shift-JIS (code page 932) with CR LF line ends.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "commandline.h"
#include "mediumplan.h"
#include "scriptcheck.h"
#include "scriptrules.h"
#include "setupscript.h"
#include "szdd.h"

namespace {

enum {
    MAX_MEDIUM_FILES = FILE_LIST_ENTRIES + 4,   // listed files, program, script, two pictures
    MAX_DISKS = DISK_SECTIONS,
    PROGRESS_FROM_BYTES = 1 << 20,
    // The longest name the builder puts beside OUTPUT or below it: "\DISK10", ".partial".
    OUTPUT_SUFFIX_BYTES = 16,
    SHIFT_JIS_CODE_PAGE = 932,
    // A UTF-8 line of the longest script holds no more UTF-16 units than bytes.
    WIDE_LINE_UNITS = SCRIPT_MAX_BYTES + 1,
};

struct Options {
    bool cd;
    bool check;
    bool utf8;
    const char *shown;              // the script as the command line names it, for findings
    char setupProgram[MAX_PATH_BYTES];
    char script[MAX_PATH_BYTES];
    char package[MAX_PATH_BYTES];   // full path, trailing backslash
    char output[MAX_PATH_BYTES];    // full path, no trailing backslash
    // The script as SETUP reads it: NAME.ini beside NAME.exe.
    char scriptName[MAX_PATH_BYTES];
    char baseName[MAX_PATH_BYTES];
    char scriptPath[MAX_PATH_BYTES];
    // What SETUP is given: the script itself, or its Shift-JIS form in workFolder.
    char shiftJisScript[MAX_PATH_BYTES];
    char workFolder[MAX_PATH_BYTES];
};

struct PlannedFile {
    char source[MAX_PATH_BYTES];   // where the content comes from
    char label[MAX_PATH_BYTES];    // how refusals name the file
    MediumFile medium;             // path below its disk's folder; size once written
    int disk;                      // 1 ... MAX_DISKS
    bool compress;
    char lastChar;                 // the byte the '_' replaces
    unsigned long long sourceSize;
};

Options options;
SetupScript script;   // as SETUP's reader leaves it
PlannedFile planned[MAX_MEDIUM_FILES];
int plannedCount;
int diskCount;

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

bool JoinPath(char *dest, size_t size, const char *folder, const char *name)
{
    char joined[MAX_PATH_BYTES];
    EnsureTrailingBackslash(joined, folder);
    if (strlen(joined) < strlen(folder) || !AppendText(joined, sizeof joined, name))
        return false;
    return CopyText(dest, size, joined) == strlen(joined);
}

bool FullPath(const char *path, char *full, size_t size, char **filePart)
{
    DWORD n = GetFullPathNameA(path, (DWORD)size, full, filePart);
    return n > 0 && n < size;
}

// True when something exists at path; *isFolder tells a folder, *size a file's size.
bool ProbeFile(const char *path, unsigned long long *size, bool *isFolder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    *isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!*isFolder)
        *size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
    return true;
}

// True when path names a file (not a folder); *size its size.
bool IsFile(const char *path, unsigned long long *size)
{
    bool isFolder = false;
    return ProbeFile(path, size, &isFolder) && !isFolder;
}

unsigned char *ReadWholeFile(const char *path, size_t *length)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    unsigned char *data = NULL;
    if (high == 0 && low != INVALID_FILE_SIZE) {
        data = (unsigned char *)malloc(low > 0 ? low : 1);
        DWORD done = 0;
        while (data && done < low) {
            DWORD got = 0;
            if (!ReadFile(file, data + done, low - done, &got, NULL) || got == 0) {
                free(data);
                data = NULL;
            }
            done += got;
        }
        *length = low;
    }
    CloseHandle(file);
    return data;
}

bool WriteWholeFile(const char *path, const unsigned char *data, size_t length)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < length) {
        DWORD chunk = length - done > (1u << 30) ? (1u << 30) : (DWORD)(length - done);
        DWORD wrote = 0;
        ok = WriteFile(file, data + done, chunk, &wrote, NULL) && wrote == chunk;
        done += wrote;
    }
    return CloseHandle(file) && ok;
}

// Removes a folder and everything below it.
bool RemoveTree(const char *folder)
{
    char pattern[MAX_PATH_BYTES];
    if (!JoinPath(pattern, sizeof pattern, folder, "*"))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            char path[MAX_PATH_BYTES];
            if (!JoinPath(path, sizeof path, folder, found.cFileName))
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(folder) || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES;
}

// Creates the folders of a file's path below root.
bool CreateParents(const char *filePath, size_t rootLength)
{
    char folder[MAX_PATH_BYTES];
    CopyText(folder, sizeof folder, filePath);
    for (size_t i = rootLength + 1; folder[i] != '\0'; i++) {
        if (IsSingleByteCharAt(folder, i, '\\')) {
            folder[i] = '\0';
            if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(folder, NULL))
                return false;
            folder[i] = '\\';
        }
    }
    return true;
}

bool ParseArguments(int argc, char **argv)
{
    const char *positional[3];
    int count = 0;
    const char *setupProgram = NULL;
    for (int i = 1; i < argc; i++) {
        if (lstrcmpiA(argv[i], "/cd") == 0 || lstrcmpiA(argv[i], "-cd") == 0) {
            options.cd = true;
        } else if (lstrcmpiA(argv[i], "/check") == 0 || lstrcmpiA(argv[i], "-check") == 0) {
            options.check = true;
        } else if (lstrcmpiA(argv[i], "/utf8") == 0 || lstrcmpiA(argv[i], "-utf8") == 0) {
            options.utf8 = true;
        } else if ((lstrcmpiA(argv[i], "/setup") == 0 || lstrcmpiA(argv[i], "-setup") == 0) &&
                   i + 1 < argc) {
            setupProgram = argv[++i];
        } else if (count < 3) {
            positional[count++] = argv[i];
        } else {
            count = 4;
        }
    }
    if (options.check ? count < 1 || count > 2 : count != 3) {
        fprintf(stderr,
                "usage: BuildMedium [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT\n"
                "       BuildMedium /check [/cd] [/utf8] SCRIPT [PACKAGE]\n"
                "  SCRIPT   the setup script, NAME.ini; the setup program goes on the medium as NAME.exe\n"
                "  PACKAGE  the folder that holds the listed files and the pictures\n"
                "  OUTPUT   the medium: one folder per disk (DISK1, DISK2...), or with /cd one folder\n"
                "  /check   only check the script (and, given PACKAGE, its files): every problem with\n"
                "           its line; exit status 0 clean, 1 warnings only, 2 errors\n"
                "  /utf8    the script is UTF-8 (automatic with a byte-order mark); the medium gets\n"
                "           it in Shift-JIS\n"
                "  /setup   the setup program (default: SETUP.exe beside BuildMedium.exe)\n");
        return false;
    }
    char *filePart = NULL;
    char full[MAX_PATH_BYTES];
    options.shown = positional[0];
    if (!FullPath(positional[0], options.script, sizeof options.script, &filePart))
        return Refuse("%s: path too long", positional[0]);
    if (count == 1)
        return true;
    if (!FullPath(positional[1], full, sizeof full, &filePart))
        return Refuse("%s: path too long", positional[1]);
    EnsureTrailingBackslash(options.package, full);
    if (options.check)
        return true;
    if (!FullPath(positional[2], full, sizeof full, &filePart) ||
        strlen(full) + OUTPUT_SUFFIX_BYTES >= MAX_PATH_BYTES)
        return Refuse("%s: path too long", positional[2]);
    RemoveTrailingBackslash(options.output, full);

    if (setupProgram != NULL) {
        if (!FullPath(setupProgram, options.setupProgram, sizeof options.setupProgram, &filePart))
            return Refuse("%s: path too long", setupProgram);
    } else {
        char self[MAX_PATH_BYTES];
        DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
        if (n == 0 || n >= sizeof self)
            return Refuse("BuildMedium: cannot find its own folder; name the setup program with /setup");
        self[n] = '\0';
        *(char *)LastPathComponent(self) = '\0';
        if (!JoinPath(options.setupProgram, sizeof options.setupProgram, self, "SETUP.exe"))
            return Refuse("%s: path too long", self);
    }
    return true;
}

// The script's name as SETUP finds it: NAME.ini beside NAME.exe.
bool TakeScriptName()
{
    char *name = (char *)LastPathComponent(options.script);
    size_t length = strlen(name);
    if (length < 5 || lstrcmpiA(name + length - 4, ".ini") != 0)
        return Refuse("%s: the setup script's name must end in .ini (SETUP reads NAME.ini beside NAME.exe)",
                      options.script);
    if (length - 4 >= NAME_BYTES)
        return Refuse("%s: name too long", options.script);
    CopyText(options.scriptName, sizeof options.scriptName, name);
    memcpy(options.baseName, name, length - 4);
    options.baseName[length - 4] = '\0';
    if (GetFileAttributesA(options.script) == INVALID_FILE_ATTRIBUTES)
        return Refuse("%s: setup script not found", options.script);
    CopyText(options.shiftJisScript, sizeof options.shiftJisScript, options.script);
    return true;
}

// Runs SETUP's reader as the start from the medium does: no source folder, so DefaultDir
// is required.
bool ReadScript()
{
    char folder[MAX_PATH_BYTES];
    CopyText(folder, sizeof folder, options.shiftJisScript);
    *(char *)LastPathComponent(folder) = '\0';
    char error[NAME_BYTES + SCRIPT_ERROR_BYTES];
    if (!ReadSetupScriptFile(folder, options.scriptName, "", &script, options.scriptPath, error, sizeof error))
        return Refuse("%s", error);
    return true;
}

// The script in Shift-JIS, and how many of its lines could not be converted.
struct Conversion {
    unsigned char *out;
    size_t length;
    int badLines;
};

// Column (from 1, in characters) of the first UTF-16 unit of wide that code page 932 lacks.
int FirstUnmappable(const wchar_t *wide, int units, unsigned *codePoint)
{
    for (int i = 0, column = 1; i < units; column++) {
        int n = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < units) ? 2 : 1;
        char bytes[8];
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(SHIFT_JIS_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide + i, n, bytes, sizeof bytes, NULL,
                            &usedDefault);
        if (usedDefault) {
            *codePoint = n == 2 ? 0x10000 + (((unsigned)wide[i] - 0xD800) << 10) + ((unsigned)wide[i + 1] - 0xDC00)
                                : (unsigned)wide[i];
            return column;
        }
        i += n;
    }
    return 0;
}

// UTF-8 lines to Shift-JIS lines ended by CR LF; a line that cannot be converted is reported
// with its number and left out.
bool ConvertUtf8(const unsigned char *text, size_t length, Conversion *result)
{
    static wchar_t wide[WIDE_LINE_UNITS];
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
        int units = n == 0 ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)start, (int)n,
                                                     wide, WIDE_LINE_UNITS);
        if (n > 0 && units == 0) {
            fprintf(stderr, "%s:%d: error: not valid UTF-8\n", options.shown, number);
            result->badLines++;
            continue;
        }
        unsigned codePoint = 0;
        int column = FirstUnmappable(wide, units, &codePoint);
        if (column > 0) {
            fprintf(stderr, "%s:%d: error: U+%04X at column %d has no Shift-JIS form (code page 932)\n",
                    options.shown, number, codePoint, column);
            result->badLines++;
            continue;
        }
        // Each UTF-8 sequence becomes at most as many Shift-JIS bytes.
        int bytes = units == 0 ? 0 : WideCharToMultiByte(SHIFT_JIS_CODE_PAGE, 0, wide, units,
                                                         (char *)result->out + result->length, (int)n, NULL, NULL);
        result->length += (size_t)bytes;
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
        RemoveTree(options.workFolder);
}

// The script's Shift-JIS form goes into a work folder, under the script's own name.
bool WriteConverted(const Conversion *conversion)
{
    char temp[MAX_PATH_BYTES], name[32];
    DWORD n = GetTempPathA(sizeof temp, temp);
    snprintf(name, sizeof name, "BuildMedium-%lu", (unsigned long)GetCurrentProcessId());
    if (n == 0 || n >= sizeof temp || !JoinPath(options.workFolder, sizeof options.workFolder, temp, name))
        return Refuse("%s: no folder for the converted script", options.shown);
    RemoveTree(options.workFolder);
    if (!CreateDirectoryA(options.workFolder, NULL) ||
        !JoinPath(options.shiftJisScript, sizeof options.shiftJisScript, options.workFolder, options.scriptName) ||
        !WriteWholeFile(options.shiftJisScript, conversion->out, conversion->length))
        return Refuse("%s: cannot write the converted script", options.shown);
    return true;
}

void LookInPackage(void *, const char *path, PackageFile *file)
{
    char full[MAX_PATH_BYTES];
    bool isFolder = false;
    file->kind = PACKAGE_MISSING;
    if (!JoinPath(full, sizeof full, options.package, path) || !ProbeFile(full, &file->size, &isFolder))
        return;
    file->kind = isFolder ? PACKAGE_FOLDER : PACKAGE_FILE;
    file->headLength = 0;
    HANDLE handle = CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (isFolder || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD got = 0;
    if (ReadFile(handle, file->head, sizeof file->head, &got, NULL))
        file->headLength = got;
    CloseHandle(handle);
}

size_t ReadProfileKey(void *, const char *key, const char *def, char *value, size_t size)
{
    return GetPrivateProfileStringA("Setup", key, def, value, (DWORD)size, options.shiftJisScript);
}

size_t ReadProfileSection(void *, const char *section, char *data, size_t size)
{
    return GetPrivateProfileSectionA(section, data, (DWORD)size, options.shiftJisScript);
}

// The whole check: every finding on the error output, the count on the standard output.
// Returns 0 clean, 1 warnings only, 2 errors.
int CheckWholeScript()
{
    size_t length = 0;
    unsigned char *text = ReadWholeFile(options.script, &length);
    if (text == NULL)
        return Refuse("%s: cannot read the setup script", options.shown), 2;
    if (length > SCRIPT_MAX_BYTES) {
        free(text);
        fprintf(stderr, "%s:1: error: %lu bytes; the profile functions of Windows 95 read at most %d\n",
                options.shown, (unsigned long)length, SCRIPT_MAX_BYTES);
        return 2;
    }
    bool byteOrderMark = length >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF;
    const unsigned char *shiftJis = text;
    size_t shiftJisLength = length;
    Conversion conversion = {NULL, 0, 0};
    if (options.utf8 || byteOrderMark) {
        size_t skip = byteOrderMark ? 3 : 0;
        if (!ConvertUtf8(text + skip, length - skip, &conversion) ||
            (conversion.badLines == 0 && !WriteConverted(&conversion))) {
            free(conversion.out);
            free(text);
            return 2;
        }
        if (conversion.badLines > 0) {
            printf("%d error%s, 0 warnings\n", conversion.badLines, conversion.badLines == 1 ? "" : "s");
            free(conversion.out);
            free(text);
            return 2;
        }
        shiftJis = conversion.out;
        shiftJisLength = conversion.length;
    }

    IniText ini;
    if (!ParseIniText((const char *)shiftJis, shiftJisLength, &ini)) {
        free(conversion.out);
        free(text);
        return Refuse("%s: out of memory", options.shown), 2;
    }
    ScriptSource source = {NULL, ReadProfileKey, ReadProfileSection};
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
    FreeIniText(&ini);
    free(conversion.out);
    free(text);
    return report.errors > 0 ? 2 : report.warnings > 0 ? 1 : 0;
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
    unsigned long long size = 0;
    if (!IsPlainRelativePath(value) || !JoinPath(source, sizeof source, options.package, value))
        return Refuse("%s %s: not a file name below the package folder", key, value);
    if (!IsFile(source, &size))
        return Refuse("%s %s: picture not found in %s", key, value, options.package);
    size_t length = 0;
    unsigned char *bytes = ReadWholeFile(source, &length);
    bool bitmap = bytes != NULL && LooksLikeBitmap(bytes, length);
    free(bytes);
    if (!bitmap)
        return Refuse("%s %s: not a Windows bitmap (.bmp)", key, value);
    if (!MediumPathFits(value))
        return Refuse("%s %s: path too long for SETUP", key, value);
    AddPlanned(source, value, value, 1, false, size);
    return true;
}

bool PlanFiles()
{
    unsigned long long size = 0;

    char exeName[MAX_PATH_BYTES];
    snprintf(exeName, sizeof exeName, "%s.exe", options.baseName);
    bool found = IsFile(options.setupProgram, &size);
    if (!found || size == 0)
        return Refuse("%s: setup program %s", options.setupProgram, found ? "is empty" : "not found");
    AddPlanned(options.setupProgram, exeName, exeName, 1, false, size);
    IsFile(options.shiftJisScript, &size);
    AddPlanned(options.shiftJisScript, options.scriptName, options.scriptName, 1, false, size);
    if (!PlanPicture("Titlemap", script.Titlemap) || !PlanPicture("Bitmap", script.Bitmap))
        return false;

    diskCount = 0;
    for (int i = 0; i < script.fileCount; i++) {
        const FileEntry &entry = script.fileList[i];
        if (script.diskStart[i])
            diskCount++;
        char section[16];
        snprintf(section, sizeof section, "[DISK%d]", diskCount);
        char mediumPath[MAX_PATH_BYTES];
        char source[MAX_PATH_BYTES];
        if (!IsPlainRelativePath(entry.path) || !MediumName(mediumPath, sizeof mediumPath, entry.path))
            return Refuse("%s %s: not a file name below the medium folder", section, entry.path);
        if (!MediumPathFits(mediumPath))
            return Refuse("%s %s: %u bytes; SETUP reaches at most %d bytes below the medium's drive root",
                          section, entry.path, (unsigned)strlen(entry.path),
                          MAX_PATH_BYTES - 1 - MEDIUM_ROOT_BYTES);
        // $App: files land in the install folder, whose default is DefaultDir.
        const MacroFolders byDefault = {script.DefaultDir, NULL, NULL};
        char installed[MAX_PATH_BYTES];
        if (MacroFolder(entry.macro, &byDefault) != NULL &&
            !InstalledFilePath(installed, sizeof installed, &byDefault, entry.macro, entry.path))
            return Refuse("%s %s: installed into DefaultDir its path would be longer than %d bytes",
                          section, entry.path, MAX_PATH_BYTES - 1);
        if (!JoinPath(source, sizeof source, options.package, entry.path))
            return Refuse("%s %s: path in the package folder too long", section, entry.path);
        bool isFolder = false;
        if (!ProbeFile(source, &size, &isFolder))
            return Refuse("%s %s: listed file not found in %s", section, entry.path, options.package);
        if (isFolder)
            return Refuse("%s %s: is a folder, not a file", section, entry.path);
        if (size == 0)
            return Refuse("%s %s: empty file; SETUP counts an expansion of zero bytes as a failed copy",
                          section, entry.path);
        if ((size >> 32) != 0)
            return Refuse("%s %s: larger than the 4 GiB the compressed format records", section, entry.path);
        PlannedFile *file = AddPlanned(source, entry.path, mediumPath, diskCount, true, size);
        file->lastChar = entry.path[strlen(entry.path) - 1];
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
    unsigned char *data = ReadWholeFile(file->source, &length);
    if (data == NULL)
        return Refuse("%s: cannot read %s", file->label, file->source);
    bool ok;
    if (!file->compress) {
        ok = WriteWholeFile(target, data, length);
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
        ok = WriteWholeFile(target, image, imageLength);
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

bool WriteMedium()
{
    char partial[MAX_PATH_BYTES], old[MAX_PATH_BYTES];
    snprintf(partial, sizeof partial, "%s.partial", options.output);
    snprintf(old, sizeof old, "%s.old", options.output);
    RemoveTree(partial);
    RemoveTree(old);
    if (!CreateDirectoryA(partial, NULL))
        return Refuse("%s: cannot create the folder", partial);

    bool ok = true;
    for (int i = 0; i < plannedCount && ok; i++) {
        PlannedFile *file = &planned[i];
        char folder[MAX_PATH_BYTES], target[MAX_PATH_BYTES];
        CopyText(folder, sizeof folder, partial);
        if (!options.cd) {
            char disk[16];
            snprintf(disk, sizeof disk, "DISK%d", file->disk);
            JoinPath(folder, sizeof folder, partial, disk);
            CreateDirectoryA(folder, NULL);
        }
        if (!JoinPath(target, sizeof target, folder, file->medium.path) ||
            !CreateParents(target, strlen(folder))) {
            ok = Refuse("%s: the medium path is too long for this machine", file->label);
            break;
        }
        printf("[%d/%d] %s\n", i + 1, plannedCount, target + strlen(partial) + 1);
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
        bool hadOutput = GetFileAttributesA(options.output) != INVALID_FILE_ATTRIBUTES;
        if (hadOutput && !MoveFileA(options.output, old))
            ok = Refuse("%s: cannot replace the earlier medium", options.output);
        else if (!MoveFileA(partial, options.output)) {
            if (hadOutput)
                MoveFileA(old, options.output);
            ok = Refuse("%s: cannot rename %s", options.output, partial);
        } else if (hadOutput) {
            RemoveTree(old);
        }
    }
    if (!ok)
        RemoveTree(partial);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (!ParseArguments(argc, argv))
        return 2;
    if (!TakeScriptName())
        return options.check ? 2 : 1;
    int checked = CheckWholeScript();
    if (options.check || checked == 2) {
        RemoveWorkFolder();
        return options.check ? checked : 1;
    }
    bool built = ReadScript() && PlanFiles() && WriteMedium();
    RemoveWorkFolder();
    if (!built)
        return 1;
    printf("medium ready: %s (%s)\n", options.output, options.cd ? "one folder" : "one folder per disk");
    return 0;
}
