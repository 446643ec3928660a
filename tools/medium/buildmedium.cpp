// BuildMedium.exe: the medium builder on the platform itself (see mediumbuilder.h), for
// package authors on Windows. Its files, its code page 932 and SETUP's own reading of the
// script (the profile functions) are the platform's.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "mediumbuilder.h"

namespace {

enum {
    SHIFT_JIS_CODE_PAGE = 932,
    // A UTF-8 line of the longest script holds no more UTF-16 units than bytes.
    WIDE_LINE_UNITS = SCRIPT_MAX_BYTES + 1,
};

bool JoinPath(const char *folder, const char *name, char *dest)
{
    char joined[MAX_PATH_BYTES];
    EnsureTrailingBackslash(joined, folder);
    if (strlen(joined) < strlen(folder) || !AppendText(joined, sizeof joined, name))
        return false;
    return CopyText(dest, MAX_PATH_BYTES, joined) == strlen(joined);
}

bool FullPath(const char *path, bool asFolder, char *full)
{
    char whole[MAX_PATH_BYTES];
    char *filePart = NULL;
    DWORD n = GetFullPathNameA(path, sizeof whole, whole, &filePart);
    if (n == 0 || n >= sizeof whole)
        return false;
    if (asFolder)
        EnsureTrailingBackslash(full, whole);
    else
        RemoveTrailingBackslash(full, whole);
    return true;
}

bool ProgramFolder(char *folder)
{
    DWORD n = GetModuleFileNameA(NULL, folder, MAX_PATH_BYTES);
    if (n == 0 || n >= MAX_PATH_BYTES)
        return false;
    folder[n] = '\0';
    *(char *)LastPathComponent(folder) = '\0';
    return true;
}

bool MediumName(const char *hostName, char *name)
{
    return CopyText(name, MAX_PATH_BYTES, hostName) == strlen(hostName);
}

void Probe(const char *path, HostEntry *entry)
{
    WIN32_FIND_DATAA found;
    entry->exists = false;
    entry->isFolder = false;
    entry->size = 0;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FindClose(search);
    entry->exists = true;
    entry->isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!entry->isFolder)
        entry->size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
}

size_t ReadHead(const char *path, unsigned char *head, size_t size)
{
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    if (!ReadFile(handle, head, (DWORD)size, &got, NULL))
        got = 0;
    CloseHandle(handle);
    return got;
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

bool WriteNewFile(const char *path, const unsigned char *data, size_t length)
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

bool MakeFolder(const char *path)
{
    return CreateDirectoryA(path, NULL) != 0;
}

void RemoveTree(const char *folder)
{
    char pattern[MAX_PATH_BYTES];
    if (!JoinPath(folder, "*", pattern))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            char path[MAX_PATH_BYTES];
            if (!JoinPath(folder, found.cFileName, path))
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
    RemoveDirectoryA(folder);
}

bool Rename(const char *from, const char *to)
{
    return MoveFileA(from, to) != 0;
}

bool WorkFolder(char *folder)
{
    char temp[MAX_PATH_BYTES], name[32];
    DWORD n = GetTempPathA(sizeof temp, temp);
    snprintf(name, sizeof name, "BuildMedium-%lu", (unsigned long)GetCurrentProcessId());
    return n > 0 && n < sizeof temp && JoinPath(temp, name, folder);
}

// The platform's conversion, as the builder has always made it: UTF-8 read with invalid
// bytes as errors, each character then tested without best fit.
Utf8LineResult ConvertLine(const unsigned char *utf8, size_t length, unsigned char *out, size_t outSize,
                           size_t *outLength, unsigned *codePoint, int *column)
{
    static wchar_t wide[WIDE_LINE_UNITS];
    *outLength = 0;
    int units = length == 0 ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char *)utf8, (int)length,
                                                       wide, WIDE_LINE_UNITS);
    if (length > 0 && units == 0)
        return LINE_NOT_UTF8;
    for (int i = 0, place = 1; i < units; place++) {
        int n = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < units) ? 2 : 1;
        char bytes[8];
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(SHIFT_JIS_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide + i, n, bytes, sizeof bytes, NULL,
                            &usedDefault);
        if (usedDefault) {
            *codePoint = n == 2 ? 0x10000 + (((unsigned)wide[i] - 0xD800) << 10) + ((unsigned)wide[i + 1] - 0xDC00)
                                : (unsigned)wide[i];
            *column = place;
            return LINE_UNMAPPABLE;
        }
        i += n;
    }
    int bytes = units == 0 ? 0 : WideCharToMultiByte(SHIFT_JIS_CODE_PAGE, 0, wide, units, (char *)out,
                                                     (int)outSize, NULL, NULL);
    *outLength = (size_t)bytes;
    return LINE_CONVERTED;
}

size_t ReadProfileKey(void *context, const char *key, const char *def, char *value, size_t size)
{
    return GetPrivateProfileStringA("Setup", key, def, value, (DWORD)size, (const char *)context);
}

size_t ReadProfileSection(void *context, const char *section, char *data, size_t size)
{
    return GetPrivateProfileSectionA(section, data, (DWORD)size, (const char *)context);
}

// SETUP's reading is the profile functions' own; the line-aware check is held to it.
ScriptSource ProfileSource(const char *path, const IniText *)
{
    ScriptSource source = {(void *)path, ReadProfileKey, ReadProfileSection};
    return source;
}

const MediumHost kPlatform = {
    "BuildMedium", FullPath,  ProgramFolder, MediumName, JoinPath, Probe,       ReadHead,     ReadWholeFile,
    WriteNewFile,  MakeFolder, RemoveTree,   Rename,     WorkFolder, ConvertLine, ProfileSource,
};

}  // namespace

int main(int argc, char **argv)
{
    return RunMediumBuilder(&kPlatform, argc, argv);
}
