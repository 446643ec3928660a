// Any bytes as a folder's listing and the script found in it: the rules read only what they
// are given and name an entry of the listing or none.
#include <stdint.h>
#include <string.h>

#include "outputrules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Lines "KIND PATH" (f file, d folder, else other) up to a zero byte; the script after it.
    static ListedEntry entries[64];
    const char *text = (const char *)data, *end = text + size, *zero = (const char *)memchr(text, 0, size);
    int count = 0;
    for (const char *line = text; line < (zero ? zero : end) && count < 64; count++) {
        const char *stop = (const char *)memchr(line, '\n', (size_t)((zero ? zero : end) - line));
        size_t n = (size_t)((stop ? stop : zero ? zero : end) - line);
        size_t take = n > 1 ? (n - 1 < MAX_PATH_BYTES - 1 ? n - 1 : MAX_PATH_BYTES - 1) : 0;
        memcpy(entries[count].path, line + (n > 0), take);
        entries[count].path[take] = '\0';
        char kind = n > 0 ? *line : '\0';
        entries[count].kind = kind == 'f' ? LISTED_FILE : kind == 'd' ? LISTED_FOLDER : LISTED_OTHER;
        line += n + 1;
    }
    int script = FindMediumScript(entries, count);
    const char *scriptText = zero ? zero + 1 : end;
    if (script >= count ||
        (script >= 0 && FirstStrayEntry(entries, count, script, scriptText, (size_t)(end - scriptText)) >= count))
        __builtin_trap();
    unsigned long process = 0;
    for (int i = 0; i + 1 < count; i++)
        (void)(PathWithin(entries[i].path, entries[i + 1].path, '\\', (i & 1) != 0) &&
               WorkFolderProcess(entries[i].path, "buildmedium-", &process));
    return 0;
}
