// Any bytes as medium paths and as a picture: names stay within their buffers, the disk
// count stays sound, the bitmap check reads only what it is given.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "mediumplan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)LooksLikeBitmap(data, size);

    // Up to four paths separated by zero bytes.
    MediumFile files[4];
    int count = 0;
    size_t pos = 0;
    while (count < 4 && pos < size) {
        size_t n = 0;
        while (pos + n < size && data[pos + n] != 0)
            n++;
        size_t take = n < MAX_PATH_BYTES - 1 ? n : MAX_PATH_BYTES - 1;
        memcpy(files[count].path, data + pos, take);
        files[count].path[take] = '\0';
        files[count].size = n * 100;
        count++;
        pos += n + 1;
    }
    for (int i = 0; i < count; i++) {
        char name[MAX_PATH_BYTES];
        (void)IsPlainRelativePath(files[i].path);
        (void)MediumPathFits(files[i].path);
        if (MediumName(name, sizeof name, files[i].path) &&
            (strlen(name) != strlen(files[i].path) || name[strlen(name) - 1] != '_'))
            abort();
        if (!SameMediumPath(files[i].path, files[i].path))
            abort();
    }
    int earlier = -1;
    int clash = FindCollision(files, count, &earlier);
    if (clash < 0 || clash >= (count > 0 ? count : 1) || (clash > 0 && (earlier < 0 || earlier >= clash)))
        abort();
    int rootEntries = -1;
    unsigned long long used = DiskBytesUsed(files, count, &rootEntries);
    unsigned long long least = 0;
    for (int i = 0; i < count; i++)
        least += files[i].size;
    if (used < least || used % DISK_CLUSTER_BYTES != 0 || (count > 0 && rootEntries < 1))
        abort();
    return 0;
}
