// Arbitrary install-log sections and file entries through the uninstaller's rules: every
// folder kept must fit its slot, every path handed to the platform must be a full path.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "uninstallrules.h"

namespace {

bool Check(void *, const char *path)
{
    if (strlen(path) >= MAX_PATH_BYTES || !IsFullPath(path))
        abort();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FolderSlot list[8];
    FillFolderList((const char *)data, size, size % 2 == 0, list, 8);
    FileEntry entries[2];
    memset(entries, 0, sizeof entries);
    for (int i = 0; i < 2; i++) {
        CopyText(entries[i].macro, sizeof entries[i].macro, list[i]);
        CopyText(entries[i].path, sizeof entries[i].path, list[i + 2]);
    }
    MacroFolders folders = {list[4], list[5], "C:\\WINDOWS\\SYSTEM"};
    InstalledItems items = {list[6], entries, 2, folders, list[7], list[3], list[1], list, list, 8};
    RemovalTarget target = {NULL, Check, Check};
    RemoveItems(&items, &target);
    return 0;
}
