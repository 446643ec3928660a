// Any bytes as a folder's listing and the script found in it: the rules read only what they
// are given and name an entry of the listing or none.
#include <stdint.h>
#include <string.h>

#include "outputrules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Lines "KIND PATH" (f file, d folder, else other) up to a zero byte; the script after it.
    static ListedEntry entries[64];
    int count = 0;
    size_t pos = 0;
    while (pos < size && data[pos] != 0 && count < 64) {
        size_t n = 0;
        while (pos + n < size && data[pos + n] != '\n' && data[pos + n] != 0)
            n++;
        if (n > 0) {
            size_t take = n - 1 < MAX_PATH_BYTES - 1 ? n - 1 : MAX_PATH_BYTES - 1;
            memcpy(entries[count].path, data + pos + 1, take);
            entries[count].path[take] = '\0';
            entries[count].kind = data[pos] == 'f' ? LISTED_FILE : data[pos] == 'd' ? LISTED_FOLDER : LISTED_OTHER;
            count++;
        }
        pos += n + (pos + n < size && data[pos + n] == '\n' ? 1 : 0);
    }
    pos += pos < size ? 1 : 0;
    int script = FindMediumScript(entries, count);
    if (script >= count)
        __builtin_trap();
    if (script >= 0) {
        int stray = FirstStrayEntry(entries, count, script, (const char *)data + pos, size - pos);
        if (stray < -1 || stray >= count)
            __builtin_trap();
    }
    for (int i = 0; i + 1 < count; i++) {
        (void)PathWithin(entries[i].path, entries[i + 1].path, '\\', (i & 1) != 0);
        unsigned long process = 0;
        (void)WorkFolderProcess(entries[i].path, "buildmedium-", &process);
    }
    return 0;
}
