// Decisions of the medium builder that need no file system: the names files carry on the
// medium, which names collide, how much of a floppy a set of files takes, what counts as a
// bitmap. No windows.h here: built natively under the sanitizers as well.
#ifndef MEDIUMPLAN_H
#define MEDIUMPLAN_H

#include <stddef.h>

#include "pathtext.h"

enum {
    // The data area of a 1.44 MB floppy: 2847 clusters of one 512-byte sector.
    DISK_BYTES = 1457664,
    DISK_CLUSTER_BYTES = 512,
    // Entries of the fixed root folder of such a floppy; the disk's volume label takes one.
    DISK_ROOT_ENTRIES = 224,
    DISK_LABEL_ENTRIES = 1,
    // SETUP joins the medium folder (at its shortest a drive root such as "A:\") with the
    // listed path and must stay within a path buffer.
    MEDIUM_ROOT_BYTES = 3,
};

// A file as it lies on the medium: path relative to the medium folder, size in bytes.
struct MediumFile {
    char path[MAX_PATH_BYTES];
    unsigned long long size;
};

// The name a listed file carries on the medium: its last byte replaced by '_'. False when
// the path is empty or does not fit dest (destSize bytes).
bool MediumName(char *dest, size_t destSize, const char *listedPath);

// Whether two medium paths name the same file on the platform's file systems: letters
// compared without case, double-byte characters byte for byte.
bool SameMediumPath(const char *a, const char *b);

// Index of the first file (from 1) whose path collides with an earlier one, or 0; the
// earlier one's index goes to *earlier.
int FindCollision(const MediumFile *files, int count, int *earlier);

// A path below the package or medium folder: not empty, no drive, no empty, "." or ".."
// component, none of the characters a file name cannot hold (double-byte characters whole).
bool IsPlainRelativePath(const char *path);

// Whether SETUP can reach the listed path on a medium at a drive root.
bool MediumPathFits(const char *mediumPath);

// What the files take on a floppy: each file and each sub-folder in whole clusters, long
// names counted with their extra folder entries. *rootEntries gets the entries of the root
// folder, which lives outside the data area.
unsigned long long DiskBytesUsed(const MediumFile *files, int count, int *rootEntries);

// A Windows bitmap file as SETUP loads its pictures: "BM", a known header, sane offsets.
bool LooksLikeBitmap(const unsigned char *bytes, size_t length);

// The same test from the file's first bytes (head, headLength of them) and its whole size;
// also gives the picture's width and height in pixels.
bool BitmapSize(const unsigned char *head, size_t headLength, unsigned long long fileLength, int *width,
                int *height);

#endif
