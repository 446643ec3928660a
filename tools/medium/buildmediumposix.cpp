// buildmedium: the medium builder (see mediumbuilder.h) on Linux, without Wine. It names
// files as the platform's builder does when Wine runs it: the script's Shift-JIS names become
// UTF-8 names, '\' separates folders, and a name is found whatever the case of its ASCII
// letters (Wine's own lookup; it also folds the case of other letters, which package names
// hardly use). Code page 932 comes from the committed table, SETUP's reading of the script
// from the pure reader that follows the profile functions' rules.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mediumbuilder.h"
#include "outputrules.h"

namespace {

// Appends part and a '/' (when more follows) to path, which holds len bytes.
bool AppendPart(char *path, size_t *len, const char *part, size_t partLength)
{
    if (*len + partLength + 1 >= MAX_PATH_BYTES)
        return false;
    if (*len > 0 && path[*len - 1] != '/')
        path[(*len)++] = '/';
    memcpy(path + *len, part, partLength);
    *len += partLength;
    path[*len] = '\0';
    return true;
}

// Absolute, with "." and ".." taken away by the text alone, as the platform's full path is.
bool FullPath(const char *path, bool asFolder, char *full)
{
    char whole[2 * MAX_PATH_BYTES] = "";
    // The platform names no file by an empty path.
    if (path[0] == '\0' || (path[0] != '/' && getcwd(whole, sizeof whole) == NULL))
        return false;
    if (!AppendText(whole, sizeof whole, "/") || !AppendText(whole, sizeof whole, path))
        return false;
    size_t len = 1;
    full[0] = '/';
    full[1] = '\0';
    for (char *part = strtok(whole, "/"); part != NULL; part = strtok(NULL, "/")) {
        if (strcmp(part, ".") == 0)
            continue;
        if (strcmp(part, "..") == 0) {
            while (len > 1 && full[len - 1] != '/')
                len--;
            if (len > 1)
                len--;
            full[len] = '\0';
            continue;
        }
        if (!AppendPart(full, &len, part, strlen(part)))
            return false;
    }
    if (asFolder && len > 1) {
        if (len + 1 >= MAX_PATH_BYTES)
            return false;
        full[len++] = '/';
        full[len] = '\0';
    }
    return true;
}

bool ProgramFolder(char *folder)
{
    ssize_t n = readlink("/proc/self/exe", folder, MAX_PATH_BYTES - 1);
    if (n <= 0 || n >= MAX_PATH_BYTES - 1)
        return false;
    folder[n] = '\0';
    *(strrchr(folder, '/') + 1) = '\0';
    return true;
}

bool MediumName(const char *hostName, char *name)
{
    return Utf8ToShiftJis(hostName, name, MAX_PATH_BYTES);
}

bool SameIgnoringAsciiCase(const char *a, const char *b)
{
    for (; *a != '\0' && AsciiUpper(*a) == AsciiUpper(*b); a++, b++) {
    }
    return *a == '\0' && *b == '\0';
}

// The entry of folder that is name but for the case of its ASCII letters; of several the
// first in byte order, so that every run finds the same. False when there is none.
bool FindIgnoringCase(const char *folder, const char *name, char *found, size_t size)
{
    DIR *dir = opendir(folder);
    if (dir == NULL)
        return false;
    bool any = false;
    for (struct dirent *entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
        size_t length = strlen(entry->d_name);
        if (SameIgnoringAsciiCase(entry->d_name, name) && length < size &&
            (!any || strcmp(entry->d_name, found) < 0)) {
            memcpy(found, entry->d_name, length + 1);
            any = true;
        }
    }
    closedir(dir);
    return any;
}

bool Join(const char *folder, const char *relative, char *path)
{
    size_t len = strlen(folder);
    if (len >= MAX_PATH_BYTES)
        return false;
    memcpy(path, folder, len + 1);
    char part[MAX_PATH_BYTES];
    size_t start = 0;
    for (size_t i = 0;; i += CharBytes(relative + i)) {
        if (relative[i] != '\0' && relative[i] != '\\')
            continue;
        size_t partLength = i - start;
        if (partLength >= sizeof part)
            return false;
        memcpy(part, relative + start, partLength);
        part[partLength] = '\0';
        char name[3 * MAX_PATH_BYTES];
        if (!ShiftJisToUtf8(part, name, sizeof name))
            return false;
        char parent[MAX_PATH_BYTES];
        memcpy(parent, path, len + 1);
        if (!AppendPart(path, &len, name, strlen(name)))
            return false;
        struct stat info;
        char existing[3 * MAX_PATH_BYTES];
        if (stat(path, &info) != 0 && errno == ENOENT && FindIgnoringCase(parent, name, existing, sizeof existing)) {
            len = strlen(parent);
            memcpy(path, parent, len + 1);
            if (!AppendPart(path, &len, existing, strlen(existing)))
                return false;
        }
        if (relative[i] == '\0')
            return true;
        start = i + 1;
    }
}

HostKind KindOf(mode_t mode)
{
    return S_ISREG(mode)                    ? HOST_FILE
           : S_ISDIR(mode)                  ? HOST_FOLDER
           : S_ISFIFO(mode)                 ? HOST_FIFO
           : S_ISCHR(mode) || S_ISBLK(mode) ? HOST_DEVICE
           : S_ISSOCK(mode)                 ? HOST_SOCKET
           : S_ISLNK(mode)                  ? HOST_LINK
                                            : HOST_OTHER;
}

void Probe(const char *path, HostEntry *entry)
{
    struct stat info, link;
    entry->exists = stat(path, &info) == 0;
    entry->isLink = lstat(path, &link) == 0 && S_ISLNK(link.st_mode);
    entry->kind = entry->exists ? KindOf(info.st_mode) : entry->isLink ? HOST_LINK : HOST_MISSING;
    entry->isFolder = entry->kind == HOST_FOLDER;
    entry->size = entry->kind == HOST_FILE ? (unsigned long long)info.st_size : 0;
    char real[PATH_MAX];
    entry->real[0] = '\0';
    if (entry->exists && realpath(path, real) != NULL && strlen(real) < sizeof entry->real)
        memcpy(entry->real, real, strlen(real) + 1);
}

// A regular file opened for reading: never waits for a writer (a FIFO) or a device.
int OpenRegular(const char *path, struct stat *info)
{
    int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file >= 0 && (fstat(file, info) != 0 || !S_ISREG(info->st_mode))) {
        close(file);
        return -1;
    }
    return file;
}

size_t ReadHead(const char *path, unsigned char *head, size_t size)
{
    struct stat info;
    int file = OpenRegular(path, &info);
    if (file < 0)
        return 0;
    ssize_t got = read(file, head, size);
    close(file);
    return got > 0 ? (size_t)got : 0;
}

unsigned char *ReadWholeFile(const char *path, size_t *length)
{
    struct stat info;
    int file = OpenRegular(path, &info);
    if (file < 0)
        return NULL;
    unsigned char *data = NULL;
    // The platform's builder reads no file of 4 GiB or more.
    if ((unsigned long long)info.st_size < 0xFFFFFFFFull) {
        size_t size = (size_t)info.st_size;
        data = (unsigned char *)malloc(size > 0 ? size : 1);
        size_t done = 0;
        while (data != NULL && done < size) {
            ssize_t got = read(file, data + done, size - done);
            if (got <= 0) {
                free(data);
                data = NULL;
            } else {
                done += (size_t)got;
            }
        }
        *length = size;
    }
    close(file);
    return data;
}

bool WriteNewFile(const char *path, const unsigned char *data, size_t length)
{
    int file = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (file < 0)
        return false;
    size_t done = 0;
    while (done < length) {
        ssize_t wrote = write(file, data + done, length - done);
        if (wrote <= 0)
            break;
        done += (size_t)wrote;
    }
    return close(file) == 0 && done == length;
}

bool MakeFolder(const char *path)
{
    return mkdir(path, 0777) == 0;
}

void RemoveTree(const char *folder)
{
    struct stat info;
    if (lstat(folder, &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    DIR *dir = opendir(folder);
    if (dir != NULL) {
        for (struct dirent *entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
                continue;
            char path[2 * MAX_PATH_BYTES];
            if (snprintf(path, sizeof path, "%s/%s", folder, entry->d_name) >= (int)sizeof path)
                continue;
            if (lstat(path, &info) == 0 && S_ISDIR(info.st_mode))
                RemoveTree(path);
            else
                unlink(path);
        }
        closedir(dir);
    }
    rmdir(folder);
}

bool Rename(const char *from, const char *to)
{
    struct stat info;
    return lstat(to, &info) != 0 && rename(from, to) == 0;
}

bool ListFolder(const char *folder, void *context, bool (*each)(void *context, const char *name, HostKind kind))
{
    DIR *dir = opendir(folder);
    if (dir == NULL)
        return false;
    bool going = true;
    for (struct dirent *entry = readdir(dir); going && entry != NULL; entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        char path[2 * MAX_PATH_BYTES];
        struct stat info;
        bool known = snprintf(path, sizeof path, "%s/%s", folder, entry->d_name) < (int)sizeof path &&
                     lstat(path, &info) == 0;
        going = each(context, entry->d_name, known ? KindOf(info.st_mode) : HOST_OTHER);
    }
    closedir(dir);
    return true;
}

bool RemoveFile(const char *path)
{
    return unlink(path) == 0;
}

// What the lock file holds, so that one left by a killed build is known as a lock.
const char kLockText[] = "medium builder lock\r\n";
int lockFile = -1;

// flock is released with the descriptor, at a crash too. The file is removed at the end;
// a build that opened it meanwhile finds another file at the path and tries again.
LockResult Lock(const char *path)
{
    for (int attempt = 0; attempt < 3; attempt++) {
        bool made = true;
        int file = open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file < 0 && errno == EEXIST) {
            made = false;
            file = open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        }
        if (file < 0)
            return errno == ELOOP || errno == ENXIO ? LOCK_NOT_OURS : errno == ENOENT ? LOCK_BUSY : LOCK_FAILED;
        struct stat held, named;
        char text[sizeof kLockText];
        if (flock(file, LOCK_EX | LOCK_NB) != 0) {
            LockResult result = errno == EWOULDBLOCK ? LOCK_BUSY : LOCK_FAILED;
            close(file);
            return result;
        }
        if (lstat(path, &named) != 0 || fstat(file, &held) != 0 || named.st_ino != held.st_ino ||
            named.st_dev != held.st_dev) {
            close(file);
            continue;
        }
        ssize_t got = made ? 0 : pread(file, text, sizeof text, 0);
        bool ours = S_ISREG(held.st_mode) && (made || (got == (ssize_t)strlen(kLockText) &&
                                                         memcmp(text, kLockText, strlen(kLockText)) == 0));
        if (!ours || (made && write(file, kLockText, strlen(kLockText)) != (ssize_t)strlen(kLockText))) {
            if (made)
                unlink(path);
            close(file);
            return ours ? LOCK_FAILED : LOCK_NOT_OURS;
        }
        lockFile = file;
        return LOCK_TAKEN;
    }
    return LOCK_BUSY;
}

void Unlock(const char *path)
{
    if (lockFile < 0)
        return;
    unlink(path);
    close(lockFile);
    lockFile = -1;
}

const char kWorkPrefix[] = "buildmedium-";

// A work folder a killed run left: our name, our owner, its process gone, holding only
// the converted script.
bool LeftByAKilledRun(const char *temp, const char *name, char *path, size_t size)
{
    unsigned long process = 0;
    struct stat info;
    if (!WorkFolderProcess(name, kWorkPrefix, &process) || process == (unsigned long)getpid() ||
        kill((pid_t)process, 0) == 0 || errno != ESRCH ||
        snprintf(path, size, "%s/%s", temp, name) >= (int)size || lstat(path, &info) != 0 ||
        !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    DIR *dir = opendir(path);
    int scripts = 0, others = 0;
    for (struct dirent *entry = dir ? readdir(dir) : NULL; entry != NULL; entry = readdir(dir)) {
        size_t length = strlen(entry->d_name);
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        if (length > 4 && strcasecmp(entry->d_name + length - 4, ".ini") == 0)
            scripts++;
        else
            others++;
    }
    if (dir != NULL)
        closedir(dir);
    return dir != NULL && scripts <= 1 && others == 0;
}

bool WorkFolder(char *folder)
{
    const char *temp = getenv("TMPDIR");
    if (temp == NULL || temp[0] != '/')
        temp = "/tmp";
    DIR *dir = opendir(temp);
    for (struct dirent *entry = dir ? readdir(dir) : NULL; entry != NULL; entry = readdir(dir)) {
        char path[2 * MAX_PATH_BYTES];
        if (LeftByAKilledRun(temp, entry->d_name, path, sizeof path))
            RemoveTree(path);
    }
    if (dir != NULL)
        closedir(dir);
    int n = snprintf(folder, MAX_PATH_BYTES, "%s/%s%ld", temp, kWorkPrefix, (long)getpid());
    return n > 0 && n < MAX_PATH_BYTES;
}

ScriptSource PureSource(const char *, const IniText *ini)
{
    ScriptSource source = {(void *)ini, IniReadKey, IniReadSection};
    return source;
}

const MediumHost kPosix = {
    "buildmedium", '/',        false,      FullPath,   ProgramFolder, MediumName, Join,
    Probe,         ReadHead,   ReadWholeFile, WriteNewFile, MakeFolder, RemoveTree, Rename,
    ListFolder,    RemoveFile, Lock,       Unlock,     WorkFolder,    Utf8LineToShiftJis, PureSource,
};

}  // namespace

int main(int argc, char **argv)
{
    return RunMediumBuilder(&kPosix, argc, argv);
}
