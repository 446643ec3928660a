#include "uninstallrules.h"

#include <string.h>

#include "installrules.h"

namespace {

bool DeleteIfFull(const RemovalTarget *target, const char *path)
{
    return IsFullPath(path) && target->deleteFile(target->context, path);
}

// From the last slot to the first: the lists hold parents before their sub-folders.
bool RemoveFolders(const RemovalTarget *target, const FolderSlot *list, int slots)
{
    bool all = true;
    for (int i = slots - 1; i >= 0; i--) {
        if (list[i][0] == '\0')
            continue;
        char folder[MAX_PATH_BYTES];
        RemoveTrailingBackslash(folder, list[i]);
        if (!IsFullPath(folder) || !target->removeFolder(target->context, folder))
            all = false;
    }
    return all;
}

}  // namespace

bool IsFullPath(const char *path)
{
    if (path[0] == '\\')
        return path[1] == '\\' && path[2] != '\0';
    char letter = AsciiUpper(path[0]);
    return letter >= 'A' && letter <= 'Z' && path[1] == ':' && path[2] == '\\';
}

bool FillFolderList(const char *data, size_t length, bool mayBeCut, FolderSlot *list, int slots)
{
    for (int i = 0; i < slots; i++)
        list[i][0] = '\0';
    bool all = true;
    int count = 0;
    size_t pos = 0;
    while (pos < length && data[pos] != '\0') {
        size_t end = pos;
        while (end < length && data[end] != '\0')
            end++;
        const char *equals = (const char *)memchr(data + pos, '=', end - pos);
        bool last = end + 1 >= length;
        if (equals == NULL || (last && mayBeCut) || count >= slots) {
            all = false;
        } else {
            size_t start = (size_t)(equals + 1 - data);
            if (end - start >= MAX_PATH_BYTES) {
                all = false;
            } else {
                memcpy(list[count], data + start, end - start);
                list[count][end - start] = '\0';
                count++;
            }
        }
        pos = end + 1;
    }
    return all;
}

bool RemoveItems(const InstalledItems *items, const RemovalTarget *target)
{
    bool all = DeleteIfFull(target, items->logPath);

    for (int i = 0; i < items->fileCount && i < FILE_LIST_ENTRIES; i++) {
        const FileEntry *entry = &items->files[i];
        if (entry->macro[0] == '\0' && entry->path[0] == '\0')
            break;
        char path[MAX_PATH_BYTES];
        if (!InstalledFilePath(path, sizeof path, &items->folders, entry->macro, entry->path) ||
            !DeleteIfFull(target, path))
            all = false;
    }

    bool hasShortcut = items->shortCutObj[0] != '0';
    if (hasShortcut) {
        char link[MAX_PATH_BYTES];
        if (!ShortcutLinkPath(link, sizeof link, items->shortcutFolder, items->shortCutLnk) ||
            !DeleteIfFull(target, link))
            all = false;
    }

    if (!RemoveFolders(target, items->createdFolders, items->slots))
        all = false;
    if (hasShortcut && !RemoveFolders(target, items->shortcutFolders, items->slots))
        all = false;
    return all;
}
