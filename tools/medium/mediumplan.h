// Decisions of the medium builder that need no file system: the plan of the medium, which
// disk each file goes on, the names files carry there, which names collide, how much of a
// floppy a set of files takes, what counts as a bitmap. No windows.h here: built natively under the sanitizers as well.
#ifndef MEDIUMPLAN_H
#define MEDIUMPLAN_H

#include <stddef.h>

#include "pathtext.h"
#include "setupscript.h"

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

// The setup program's name beside its script, NAME.exe for NAME.ini: SETUP reads the script
// named after itself. False when the name is shorter than its extension or does not fit dest.
bool SetupProgramName(char *dest, size_t destSize, const char *scriptName);

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

// What a picture's first bytes (head, headLength of them) say against its whole size.
enum BitmapFault {
    BITMAP_OK,
    BITMAP_NOT_BITMAP,   // no "BM", an unknown header, no planes, an odd depth, no pixels
    BITMAP_CUT,          // the file is shorter than its header says
    BITMAP_PAST_END,     // the pixels the header describes lie past the file's end
};
struct BitmapInfo {
    long long width, height;         // in pixels, a top-down picture's height made positive
    unsigned long long declared;     // the file's size as its header says, 0 when it says none
    unsigned long long pixelsEnd;    // where its pixels end in the file (uncompressed pictures)
};
BitmapFault ReadBitmapHeader(const unsigned char *head, size_t headLength, unsigned long long fileLength,
                             BitmapInfo *info);

// A listed file on the medium: compressed (SZDD) under its '_' name unless that would not make
// it smaller, then stored as it is under that name (SETUP copies a file without the signature
// through unchanged). A file that begins with the signature itself stays compressed, as SETUP
// would expand it.
enum MediumForm { FORM_COMPRESSED, FORM_STORED, FORM_NO_MEMORY, FORM_DAMAGED };
// The form of data (length bytes); when compressed the image (from malloc, *imageLength bytes)
// has been expanded again and matched. progress as SzddCompress takes it, or NULL.
MediumForm MakeMediumImage(const unsigned char *data, size_t length, char lastChar, unsigned char **image,
                           size_t *imageLength, void (*progress)(void *, size_t, size_t), void *context);

// The medium as the script's check plans it (CheckScript); the builder only carries it out.
// Complete when the check found no error.
enum PlanSource { PLAN_PROGRAM, PLAN_SCRIPT, PLAN_PACKAGE };
struct PlannedFile {
    PlanSource from;
    char source[MAX_PATH_BYTES];   // PLAN_PACKAGE: the path below the package folder
    char label[MAX_PATH_BYTES];    // how messages name it
    MediumFile medium;             // the path below its disk's folder; its size there
    int disk;                      // 1 ... DISK_SECTIONS, as SETUP asks for the disks
    int line;
    bool listed;                   // MakeMediumImage's form under the '_' name
    char lastChar;                 // the byte the '_' replaces
    unsigned long long size;       // of the source
};
struct MediumPlan {
    PlannedFile files[FILE_LIST_ENTRIES + 4];   // program, script, two pictures, listed files
    int count;
    int disks;
    bool measured;                 // the sizes on the medium known (floppies, files read)
};

// The disk (from 1) that entry index of SETUP's file list lies on: the first, and one more for
// each entry before which SETUP asks for the next disk (AsksForNextDisk), so that the medium
// holds each file where SETUP will look for it.
int EntryDisk(const SetupScript *script, int index);

// Whether the files of one disk fit a floppy: *used gets the bytes they take, *rootEntries
// the entries of its root folder.
enum DiskFill { DISK_FITS, DISK_TOO_FULL, DISK_TOO_MANY_ENTRIES };
DiskFill CheckDiskFill(const MediumFile *files, int count, unsigned long long *used, int *rootEntries);
// The same for the files the plan puts on disk.
DiskFill CheckPlannedDisk(const MediumPlan *plan, int disk, unsigned long long *used, int *rootEntries);
// The refusal of a disk that does not fit, "DISKn: ..." into text (size bytes).
void DiskFillText(int disk, DiskFill fill, unsigned long long used, int rootEntries, char *text, size_t size);
// 1457664 as "1,457,664" into text (size bytes); returns text.
const char *Grouped(unsigned long long value, char *text, size_t size);

#endif
