#include "mediumplan.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "installrules.h"
#include "szdd.h"

namespace {

bool SameText(const char *a, size_t aLength, const char *b, size_t bLength)
{
    return aLength == bLength && SameLeadingTextIgnoringCase(a, b, aLength);
}

bool IsShortNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || strchr("!#$%&'()-@^_`{}~", c) != NULL;
}

// An upper-case 8.3 name needs one folder entry; any other name also carries its long
// form, 13 characters per extra entry (double-byte characters counted as one).
unsigned long FolderEntries(const char *name, size_t length)
{
    size_t dot = length;
    bool shortName = length > 0;
    for (size_t i = 0; i < length && shortName; i++) {
        if (name[i] == '.') {
            shortName = dot == length && i > 0;
            dot = i;
        } else {
            shortName = IsShortNameChar(name[i]);
        }
    }
    if (shortName && dot <= 8 && length - (dot < length ? dot + 1 : length) <= 3 &&
        !(dot < length && dot + 1 == length))
        return 1;
    size_t chars = 0;
    for (const char *p = name, *end = name + length; p < end; p += CharBytes(p))
        chars++;
    return 1 + (unsigned long)((chars + 12) / 13);
}

unsigned long long Clusters(unsigned long long bytes)
{
    return (bytes + DISK_CLUSTER_BYTES - 1) / DISK_CLUSTER_BYTES * DISK_CLUSTER_BYTES;
}

struct Folder {
    const char *path;
    size_t length;
    unsigned long entries;
};

}  // namespace

bool MediumName(char *dest, size_t destSize, const char *listedPath)
{
    size_t length = strlen(listedPath);
    if (length == 0 || length + 1 > destSize)
        return false;
    memcpy(dest, listedPath, length + 1);
    dest[length - 1] = '_';
    return true;
}

bool SameMediumPath(const char *a, const char *b)
{
    return SameText(a, strlen(a), b, strlen(b));
}

int FindCollision(const MediumFile *files, int count, int *earlier)
{
    for (int i = 1; i < count; i++) {
        for (int j = 0; j < i; j++) {
            if (SameMediumPath(files[i].path, files[j].path)) {
                *earlier = j;
                return i;
            }
        }
    }
    return 0;
}

bool IsPlainRelativePath(const char *path)
{
    const char *end = path + strlen(path);
    const char *component = path;
    for (const char *p = path;; p += CharBytes(p)) {
        if (p == end || *p == '\\') {
            size_t length = (size_t)(p - component);
            if (length == 0 || (length == 1 && component[0] == '.') ||
                (length == 2 && component[0] == '.' && component[1] == '.'))
                return false;
            if (p == end)
                return true;
            component = p + 1;
            continue;
        }
        if (CharBytes(p) == 1 && ((unsigned char)*p < 0x20 || strchr("/:*?\"<>|", *p) != NULL))
            return false;
    }
}

bool MediumPathFits(const char *mediumPath)
{
    return MEDIUM_ROOT_BYTES + strlen(mediumPath) <= MAX_PATH_BYTES - 1;
}

unsigned long long DiskBytesUsed(const MediumFile *files, int count, int *rootEntries)
{
    size_t slashes = 0;
    for (int i = 0; i < count; i++)
        for (const char *p = files[i].path; *p != '\0'; p++)
            slashes += *p == '\\';
    Folder *folders = (Folder *)malloc((slashes + 1) * sizeof(Folder));
    if (folders == NULL)
        return ~0ull;
    size_t folderCount = 0;
    unsigned long root = 0;
    unsigned long long bytes = 0;

    for (int i = 0; i < count; i++) {
        const char *path = files[i].path;
        const char *end = path + strlen(path);
        unsigned long *parent = &root;
        const char *name = path;
        for (const char *p = path; p < end; p += CharBytes(p)) {
            if (*p != '\\')
                continue;
            size_t length = (size_t)(p - path);
            size_t found = 0;
            while (found < folderCount && !SameText(folders[found].path, folders[found].length, path, length))
                found++;
            if (found == folderCount) {
                folders[folderCount].path = path;
                folders[folderCount].length = length;
                folders[folderCount].entries = 2;  // "." and ".."
                folderCount++;
                *parent += FolderEntries(name, (size_t)(p - name));
            }
            parent = &folders[found].entries;
            name = p + 1;
        }
        *parent += FolderEntries(name, (size_t)(end - name));
        bytes += Clusters(files[i].size);
    }
    for (size_t f = 0; f < folderCount; f++)
        bytes += Clusters((unsigned long long)folders[f].entries * 32);
    free(folders);
    *rootEntries = (int)root;
    return bytes;
}

bool LooksLikeBitmap(const unsigned char *bytes, size_t length)
{
    BitmapInfo info;
    return ReadBitmapHeader(bytes, length, length, &info) == BITMAP_OK;
}

BitmapFault ReadBitmapHeader(const unsigned char *bytes, size_t length, unsigned long long fileLength,
                             BitmapInfo *info)
{
    auto u16 = [&](size_t at) { return (unsigned long)bytes[at] | (unsigned long)bytes[at + 1] << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    memset(info, 0, sizeof *info);
    if (length < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return BITMAP_NOT_BITMAP;
    unsigned long offBits = u32(10);
    unsigned long headerSize = u32(14);
    unsigned long planes, bitCount, compression = 0;
    if (headerSize == 12) {  // BITMAPCOREHEADER
        info->width = (long long)u16(18);
        info->height = (long long)u16(20);
        planes = u16(22);
        bitCount = u16(24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (length < 14 + 40)
            return BITMAP_NOT_BITMAP;
        // Signed 32-bit fields; a negative height is a top-down picture of that height.
        unsigned long uw = u32(18), uh = u32(22);
        info->width = uw >= 0x80000000ul ? 0x100000000ll - (long long)uw : (long long)uw;
        info->height = uh >= 0x80000000ul ? 0x100000000ll - (long long)uh : (long long)uh;
        planes = u16(26);
        bitCount = u16(28);
        compression = u32(30);
    } else {
        return BITMAP_NOT_BITMAP;
    }
    bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                      bitCount == 24 || bitCount == 32;
    if (info->width == 0 || info->height == 0 || planes != 1 || !knownDepth || offBits < 14 + headerSize ||
        offBits >= fileLength)
        return BITMAP_NOT_BITMAP;
    info->declared = u32(2);
    if (info->declared > fileLength)
        return BITMAP_CUT;
    // Rows of whole 32-bit words; packed (run-length) pictures have no fixed size.
    unsigned long long row = ((unsigned long long)info->width * bitCount + 31) / 32 * 4;
    if (compression == 0 || compression == 3) {
        // Held at the largest number rather than wrapped past it.
        unsigned long long rows = (unsigned long long)info->height;
        info->pixelsEnd = rows > (~0ull - offBits) / row ? ~0ull : offBits + row * rows;
        if (info->pixelsEnd > fileLength)
            return BITMAP_PAST_END;
    }
    return BITMAP_OK;
}

MediumForm MakeMediumImage(const unsigned char *data, size_t length, char lastChar, unsigned char **image,
                           size_t *imageLength, void (*progress)(void *, size_t, size_t), void *context)
{
    *image = NULL;
    *imageLength = 0;
    size_t bound = SzddBound(length);
    unsigned char *out = (unsigned char *)malloc(bound);
    unsigned char *check = (unsigned char *)malloc(length > 0 ? length : 1);
    size_t outLength = 0, checkLength = 0;
    MediumForm form = FORM_COMPRESSED;
    if (out == NULL || check == NULL ||
        !SzddCompress(data, length, lastChar, out, bound, &outLength, progress, context))
        form = FORM_NO_MEMORY;
    else if (!SzddExpand(out, outLength, check, length, &checkLength) || checkLength != length ||
             memcmp(check, data, length) != 0)
        form = FORM_DAMAGED;
    else if (outLength >= length && !(length >= 4 && memcmp(data, "SZDD", 4) == 0))
        form = FORM_STORED;
    free(check);
    if (form != FORM_COMPRESSED) {
        free(out);
        return form;
    }
    *image = out;
    *imageLength = outLength;
    return form;
}

DiskFill CheckDiskFill(const MediumFile *files, int count, unsigned long long *used, int *rootEntries)
{
    *used = DiskBytesUsed(files, count, rootEntries);
    if (*used > DISK_BYTES)
        return DISK_TOO_FULL;
    if (*rootEntries > DISK_ROOT_ENTRIES - DISK_LABEL_ENTRIES)
        return DISK_TOO_MANY_ENTRIES;
    return DISK_FITS;
}

bool SetupProgramName(char *dest, size_t destSize, const char *scriptName)
{
    size_t length = strlen(scriptName);
    if (length < 4 || length >= destSize)
        return false;
    memcpy(dest, scriptName, length - 4);
    memcpy(dest + length - 4, ".exe", 5);
    return true;
}

DiskFill CheckPlannedDisk(const MediumPlan *plan, int disk, unsigned long long *used, int *rootEntries)
{
    static MediumFile files[FILE_LIST_ENTRIES + 4];
    int count = 0;
    for (int i = 0; i < plan->count; i++)
        if (plan->files[i].disk == disk)
            files[count++] = plan->files[i].medium;
    return CheckDiskFill(files, count, used, rootEntries);
}

int EntryDisk(const SetupScript *script, int index)
{
    int disk = 1;
    for (int i = 1; i <= index; i++)
        disk += AsksForNextDisk(script, i) ? 1 : 0;
    return disk;
}

void DiskFillText(int disk, DiskFill fill, unsigned long long used, int rootEntries, char *text, size_t size)
{
    char usedText[32], capacityText[32];
    if (fill == DISK_TOO_FULL)
        snprintf(text, size, "DISK%d: %s bytes do not fit on a disk of %s bytes", disk,
                 Grouped(used, usedText, sizeof usedText), Grouped(DISK_BYTES, capacityText, sizeof capacityText));
    else
        snprintf(text, size, "DISK%d: %d root folder entries, a labelled disk holds %d", disk, rootEntries,
                 DISK_ROOT_ENTRIES - DISK_LABEL_ENTRIES);
}

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
