// BuildMedium [/cd] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT
//
// Lays out the installation medium of a package: the setup program (named after the script),
// the script and its two pictures as they are, every listed file compressed under its name
// with the last character replaced by '_'. Without /cd one folder per disk (DISK1, DISK2...),
// each checked against a 1.44 MB floppy; with /cd everything in OUTPUT itself. The script is
// checked by SETUP's own reader, so the builder refuses exactly what SETUP would refuse, and
// also what SETUP would only trip over on the user's machine. Nothing is left half written:
// the medium is built in OUTPUT.partial and renamed when complete.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "commandline.h"
#include "mediumplan.h"
#include "scriptrules.h"
#include "setupscript.h"
#include "szdd.h"

namespace {

enum {
    MAX_MEDIUM_FILES = FILE_LIST_ENTRIES + 4,   // listed files, program, script, two pictures
    MAX_DISKS = DISK_SECTIONS,
    BIG_SECTION_BYTES = 65536,
    PROGRESS_FROM_BYTES = 1 << 20,
    // The longest name the builder puts beside OUTPUT or below it: "\DISK10", ".partial".
    OUTPUT_SUFFIX_BYTES = 16,
    // What SETUP's section buffer holds of a section: the lines with their terminators, less
    // the list's own terminator and the one the profile function may add after a cut.
    SECTION_TEXT_BYTES = SECTION_BYTES - 2,
};

struct Options {
    bool cd;
    char setupProgram[MAX_PATH_BYTES];
    char script[MAX_PATH_BYTES];
    char package[MAX_PATH_BYTES];   // full path, trailing backslash
    char output[MAX_PATH_BYTES];    // full path, no trailing backslash
    // The script as SETUP reads it: NAME.ini beside NAME.exe.
    char scriptName[MAX_PATH_BYTES];
    char baseName[MAX_PATH_BYTES];
    char scriptPath[MAX_PATH_BYTES];
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
        } else if ((lstrcmpiA(argv[i], "/setup") == 0 || lstrcmpiA(argv[i], "-setup") == 0) &&
                   i + 1 < argc) {
            setupProgram = argv[++i];
        } else if (count < 3) {
            positional[count++] = argv[i];
        } else {
            count = 4;
        }
    }
    if (count != 3) {
        fprintf(stderr,
                "usage: BuildMedium [/cd] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT\n"
                "  SCRIPT   the setup script, NAME.ini; the setup program goes on the medium as NAME.exe\n"
                "  PACKAGE  the folder that holds the listed files and the pictures\n"
                "  OUTPUT   the medium: one folder per disk (DISK1, DISK2...), or with /cd one folder\n"
                "  /setup   the setup program (default: SETUP.exe beside BuildMedium.exe)\n");
        return false;
    }
    char *filePart = NULL;
    char full[MAX_PATH_BYTES];
    if (!FullPath(positional[0], options.script, sizeof options.script, &filePart))
        return Refuse("%s: path too long", positional[0]);
    if (!FullPath(positional[1], full, sizeof full, &filePart))
        return Refuse("%s: path too long", positional[1]);
    EnsureTrailingBackslash(options.package, full);
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

// Runs SETUP's reader as the start from the medium does: no source folder, so DefaultDir
// is required.
bool ReadScript()
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
    char folder[MAX_PATH_BYTES];
    CopyText(folder, sizeof folder, options.script);
    folder[name - options.script] = '\0';
    if (GetFileAttributesA(options.script) == INVALID_FILE_ATTRIBUTES)
        return Refuse("%s: setup script not found", options.script);
    char error[NAME_BYTES + SCRIPT_ERROR_BYTES];
    if (!ReadSetupScriptFile(folder, options.scriptName, "", &script, options.scriptPath, error, sizeof error))
        return Refuse("%s", error);
    return true;
}

// SETUP reads [README] and each [DISKn] into a buffer of SECTION_BYTES; a longer section
// would lose its last lines there without a word.
bool CheckSectionSizes()
{
    static char data[BIG_SECTION_BYTES];
    char section[16] = "README";
    for (int n = 0; n <= DISK_SECTIONS; n++) {
        if (n > 0)
            snprintf(section, sizeof section, "DISK%d", n);
        DWORD length = GetPrivateProfileSectionA(section, data, sizeof data, options.scriptPath);
        if (length == 0 && n > 0)
            break;
        if (length > SECTION_TEXT_BYTES)
            return Refuse("%s [%s]: %lu bytes, more than the %d that SETUP reads", options.scriptName,
                          section, (unsigned long)length, SECTION_TEXT_BYTES);
    }
    return true;
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
    IsFile(options.script, &size);
    AddPlanned(options.script, options.scriptName, options.scriptName, 1, false, size);
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
        char installed[MAX_PATH_BYTES];
        if (lstrcmpiA(entry.macro, "$App:") == 0 &&
            !JoinPath(installed, sizeof installed, script.DefaultDir, LastPathComponent(entry.path)))
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
    if (!ReadScript() || !CheckSectionSizes() || !PlanFiles() || !WriteMedium())
        return 1;
    printf("medium ready: %s (%s)\n", options.output, options.cd ? "one folder" : "one folder per disk");
    return 0;
}
