#include "mediumplan.h"

#include <stdlib.h>
#include <string.h>

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
    int width = 0, height = 0;
    return BitmapSize(bytes, length, length, &width, &height);
}

bool BitmapSize(const unsigned char *bytes, size_t length, unsigned long long fileLength, int *width,
                int *height)
{
    if (length < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    unsigned long offBits = bytes[10] | (bytes[11] << 8) | ((unsigned long)bytes[12] << 16) |
                            ((unsigned long)bytes[13] << 24);
    unsigned long headerSize = bytes[14] | (bytes[15] << 8) | ((unsigned long)bytes[16] << 16) |
                               ((unsigned long)bytes[17] << 24);
    unsigned planes, bitCount;
    long w, h;
    if (headerSize == 12) {  // BITMAPCOREHEADER
        w = bytes[18] | (bytes[19] << 8);
        h = bytes[20] | (bytes[21] << 8);
        planes = bytes[22] | (bytes[23] << 8);
        bitCount = bytes[24] | (bytes[25] << 8);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (length < 14 + 40)
            return false;
        // Signed 32-bit fields; a negative height is a top-down picture of that height.
        unsigned long uw = bytes[18] | (bytes[19] << 8) | ((unsigned long)bytes[20] << 16) |
                           ((unsigned long)bytes[21] << 24);
        unsigned long uh = bytes[22] | (bytes[23] << 8) | ((unsigned long)bytes[24] << 16) |
                           ((unsigned long)bytes[25] << 24);
        w = uw >= 0x80000000ul ? -(long)(0xFFFFFFFFul - uw) - 1 : (long)uw;
        h = uh >= 0x80000000ul ? -(long)(0xFFFFFFFFul - uh) - 1 : (long)uh;
        // Held to 0x7FFF pixels: no screen is wider, and the sums stay small.
        w = w < -0x7FFF ? 0x7FFF : w < 0 ? -w : w > 0x7FFF ? 0x7FFF : w;
        h = h < -0x7FFF ? 0x7FFF : h < 0 ? -h : h > 0x7FFF ? 0x7FFF : h;
        planes = bytes[26] | (bytes[27] << 8);
        bitCount = bytes[28] | (bytes[29] << 8);
    } else {
        return false;
    }
    bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                      bitCount == 24 || bitCount == 32;
    if (w == 0 || h == 0 || planes != 1 || !knownDepth || offBits < 14 + headerSize || offBits >= fileLength)
        return false;
    *width = (int)w;
    *height = (int)h;
    return true;
}
