// BuildMedium.exe: the medium builder on the platform itself (see mediumbuilder.h), for
// package authors on Windows. Its files, its code page 932 and SETUP's own reading of the
// script (the profile functions) are the platform's.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "mediumbuilder.h"
#include "outputrules.h"

namespace {

enum {
    SHIFT_JIS_CODE_PAGE = 932,
    // A UTF-8 line of the longest script holds no more UTF-16 units than bytes.
    WIDE_LINE_UNITS = SCRIPT_MAX_BYTES + 1,
};

bool JoinPath(const char *folder, const char *name, char *dest)
{
    return JoinFolderName(dest, MAX_PATH_BYTES, folder, name);
}

bool FullPath(const char *path, bool asFolder, char *full)
{
    char whole[MAX_PATH_BYTES];
    char *filePart = NULL;
    DWORD n = GetFullPathNameA(path, sizeof whole, whole, &filePart);
    if (n == 0 || n >= sizeof whole)
        return false;
    if (asFolder)
        return EnsureTrailingBackslash(full, whole) != NULL;
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

// A file opened for reading only when it is a file on a disk: a device or a pipe is never
// read, so that nothing waits for a writer.
HANDLE OpenDiskFile(const char *path, DWORD access, HostKind *kind)
{
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return handle;
    DWORD type = GetFileType(handle);
    *kind = type == FILE_TYPE_DISK ? HOST_FILE : type == FILE_TYPE_PIPE ? HOST_FIFO
            : type == FILE_TYPE_CHAR                                    ? HOST_DEVICE
                                                                        : HOST_OTHER;
    if (*kind != HOST_FILE) {
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// The platform has no links; its short form names one file by one path whatever the case
// or the long names used.
void Probe(const char *path, HostEntry *entry)
{
    WIN32_FIND_DATAA found;
    entry->exists = false;
    entry->isFolder = false;
    entry->isLink = false;
    entry->size = 0;
    entry->kind = HOST_MISSING;
    entry->real[0] = '\0';
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FindClose(search);
    entry->exists = true;
    entry->isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->kind = entry->isFolder ? HOST_FOLDER : HOST_FILE;
    if (!entry->isFolder) {
        entry->size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
        HANDLE handle = OpenDiskFile(path, 0, &entry->kind);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    DWORD n = GetShortPathNameA(path, entry->real, MAX_PATH_BYTES);
    if (n == 0 || n >= MAX_PATH_BYTES)
        entry->real[0] = '\0';
}

size_t ReadHead(const char *path, unsigned char *head, size_t size)
{
    HostKind kind;
    HANDLE handle = OpenDiskFile(path, GENERIC_READ, &kind);
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
    HostKind kind;
    HANDLE file = OpenDiskFile(path, GENERIC_READ, &kind);
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

bool ListFolder(const char *folder, void *context, bool (*each)(void *context, const char *name, HostKind kind))
{
    char pattern[MAX_PATH_BYTES];
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(folder, "*", pattern) ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_NO_MORE_FILES;
    bool going = true;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            going = each(context, found.cFileName,
                         (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? HOST_FOLDER : HOST_FILE);
    } while (going && FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

bool RemoveFile(const char *path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != 0;
}

// What the lock file holds, so that one the system failed to delete is known as a lock.
const char kLockText[] = "medium builder lock\r\n";
HANDLE lockFile = INVALID_HANDLE_VALUE;

// Opened without sharing and deleted when closed, which the system does when the program
// ends, a crash included: Windows 95 and NT both have it.
LockResult Lock(const char *path)
{
    for (int attempt = 0; attempt < 2; attempt++) {
        HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD wrote = 0;
            WriteFile(file, kLockText, sizeof kLockText - 1, &wrote, NULL);
            lockFile = file;
            return LOCK_TAKEN;
        }
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            return LOCK_BUSY;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            return LOCK_FAILED;
        // Held by another build, or left behind: only a lock of ours is taken over.
        HANDLE left = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (left == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_SHARING_VIOLATION || GetLastError() == ERROR_ACCESS_DENIED ? LOCK_BUSY
                                                                                                      : LOCK_FAILED;
        char text[sizeof kLockText];
        DWORD got = 0;
        bool ours = ReadFile(left, text, sizeof text, &got, NULL) && got == sizeof kLockText - 1 &&
                    memcmp(text, kLockText, got) == 0;
        CloseHandle(left);
        if (!ours)
            return LOCK_NOT_OURS;
        DeleteFileA(path);
    }
    return LOCK_BUSY;
}

void Unlock(const char *)
{
    if (lockFile != INVALID_HANDLE_VALUE)
        CloseHandle(lockFile);
    lockFile = INVALID_HANDLE_VALUE;
}

const char kWorkPrefix[] = "BuildMedium-";

// A work folder a killed run left: our name, its process gone, holding only the converted
// script.
bool LeftByAKilledRun(const char *temp, const char *name, char *path)
{
    unsigned long process = 0;
    if (!WorkFolderProcess(name, kWorkPrefix, &process) || process == GetCurrentProcessId() ||
        !JoinPath(temp, name, path))
        return false;
    HANDLE running = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process);
    if (running != NULL || GetLastError() != ERROR_INVALID_PARAMETER) {
        if (running != NULL)
            CloseHandle(running);
        return false;
    }
    char pattern[MAX_PATH_BYTES];
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(path, "*", pattern) ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return false;
    int scripts = 0, others = 0;
    do {
        size_t length = strlen(found.cFileName);
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && length > 4 &&
            SameTextIgnoringCase(found.cFileName + length - 4, ".ini"))
            scripts++;
        else
            others++;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return scripts <= 1 && others == 0;
}

bool WorkFolder(char *folder)
{
    char temp[MAX_PATH_BYTES], name[32], pattern[MAX_PATH_BYTES];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(temp, "BuildMedium-*", pattern) ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            char path[MAX_PATH_BYTES];
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && LeftByAKilledRun(temp, found.cFileName, path))
                RemoveTree(path);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    snprintf(name, sizeof name, "%s%lu", kWorkPrefix, (unsigned long)GetCurrentProcessId());
    return JoinPath(temp, name, folder);
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
    "BuildMedium", '\\',        true,       FullPath,      ProgramFolder, MediumName, JoinPath,
    Probe,         ReadHead,    ReadWholeFile, WriteNewFile, MakeFolder,    RemoveTree, Rename,
    ListFolder,    RemoveFile,  Lock,       Unlock,        WorkFolder,    ConvertLine, ProfileSource,
};

}  // namespace

int main(int argc, char **argv)
{
    return RunMediumBuilder(&kPlatform, argc, argv);
}
