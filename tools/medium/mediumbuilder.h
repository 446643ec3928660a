// The medium builder apart from the system it runs on: its options, the whole check of the
// script, the plan of the medium and its writing, and every line it prints. BuildMedium.exe
// (the platform's files, code page and profile functions) and the native buildmedium (POSIX
// files, the committed code page table, the pure reader of the profile functions' rules) each
// hand it a MediumHost, so both refuse the same inputs with the same lines and lay out the
// same medium byte for byte. No windows.h here.
#ifndef MEDIUMBUILDER_H
#define MEDIUMBUILDER_H

#include <stddef.h>

#include "codepage932.h"
#include "scriptcheck.h"
#include "scriptrules.h"

// What lies at a path of the system, links followed.
enum HostKind { HOST_MISSING, HOST_FILE, HOST_FOLDER, HOST_FIFO, HOST_DEVICE, HOST_SOCKET, HOST_LINK, HOST_OTHER };
struct HostEntry {
    bool exists;
    bool isFolder;
    unsigned long long size;   // of a file
    HostKind kind;             // HOST_LINK: a link that leads nowhere
    bool isLink;               // the path's last part is a symbolic link
    char real[MAX_PATH_BYTES]; // the path with every link resolved; empty when unknown
};

// Taking the lock beside OUTPUT.
enum LockResult { LOCK_TAKEN, LOCK_BUSY, LOCK_NOT_OURS, LOCK_FAILED };

// The system below the builder. Host paths are the system's own (the platform's ANSI path,
// or a Linux path in UTF-8); medium paths are what the script names: Shift-JIS, '\' between
// their parts. Buffers are MAX_PATH_BYTES.
struct MediumHost {
    const char *programName;   // in the usage and in messages about the program itself
    char separator;            // between the parts of a host path
    bool foldsCase;            // host names are found whatever the case of their letters
    // The whole path of what the command line names; as a folder with its separator at the
    // end, else without one. False when it does not fit a path buffer.
    bool (*fullPath)(const char *path, bool asFolder, char *full);
    // The folder of the running program with its separator at the end.
    bool (*programFolder)(char *folder);
    // A file name from the command line as a medium name; false when it has none.
    bool (*mediumName)(const char *hostName, char *name);
    // folder (a host path) and below it the medium path relative, as the system names it.
    bool (*join)(const char *folder, const char *relative, char *path);
    void (*probe)(const char *path, HostEntry *entry);
    // The first bytes of a file (at most size); 0 when it cannot be read.
    size_t (*readHead)(const char *path, unsigned char *head, size_t size);
    // The whole file in memory from malloc, or NULL when it cannot be read.
    unsigned char *(*readFile)(const char *path, size_t *length);
    // A file that must not exist yet.
    bool (*writeNewFile)(const char *path, const unsigned char *data, size_t length);
    bool (*makeFolder)(const char *path);
    // A folder and everything below it; a file at path is left alone.
    void (*removeTree)(const char *path);
    // Fails when something already lies at to.
    bool (*rename)(const char *from, const char *to);
    // Each entry of a folder by its host name and kind, links not followed, until each
    // returns false; false when the folder cannot be read.
    bool (*listFolder)(const char *folder, void *context, bool (*each)(void *context, const char *name, HostKind kind));
    bool (*removeFile)(const char *path);
    // An exclusive lock on the file at path, held until unlock or the program's end, a
    // crash included; another program holding it gives LOCK_BUSY.
    LockResult (*lock)(const char *path);
    void (*unlock)(const char *path);
    // A folder of its own, not yet made, for the script's Shift-JIS form; those that runs
    // killed earlier left are removed.
    bool (*workFolder)(char *folder);
    // One UTF-8 line of the script in code page 932 (see Utf8LineToShiftJis).
    Utf8LineResult (*convertLine)(const unsigned char *utf8, size_t length, unsigned char *out, size_t outSize,
                                  size_t *outLength, unsigned *codePoint, int *column);
    // SETUP's reading of the script: the file at path (its Shift-JIS form), parsed as ini.
    ScriptSource (*scriptSource)(const char *path, const IniText *ini);
};

// The whole program: argc/argv as main has them; returns the exit status.
int RunMediumBuilder(const MediumHost *host, int argc, char **argv);

#endif
