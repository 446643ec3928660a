// Arbitrary bytes as the install log's sections, through its reader: the folder lists from a
// section text, cut or not, and the whole reader over a log file that answers every key and
// section with the same bytes.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "installlog.h"

namespace {

struct FuzzLog {
    const uint8_t *data;
    size_t size;
};

void IgnoreKey(void *, const char *, const char *, const char *) {}

size_t FuzzKey(void *context, const char *, const char *, const char *, char *value, size_t size)
{
    const FuzzLog *log = (const FuzzLog *)context;
    size_t n = log->size < size - 1 ? log->size : size - 1;
    memcpy(value, log->data, n);
    value[n] = '\0';
    return strlen(value);
}

// As the profile functions return a section: zero-ended lines, one more zero, and size - 2
// when it was cut.
size_t FuzzSection(void *context, const char *, char *data, size_t size)
{
    const FuzzLog *log = (const FuzzLog *)context;
    size_t n = log->size < size - 2 ? log->size : size - 2;
    memcpy(data, log->data, n);
    data[n] = '\0';
    data[n + 1] = '\0';
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FolderSlot list[FOLDER_LIST_SLOTS];
    bool cut = size > 0 && (data[0] & 1) != 0;
    FillFolderList((const char *)data, size, cut, list, (int)(size % (FOLDER_LIST_SLOTS + 1)));

    FuzzLog log = {data, size};
    InstallLogFile file = {&log, IgnoreKey, FuzzKey, FuzzSection};
    static InstallLog read;
    ReadInstallLogSections(&file, &read);
    return 0;
}
