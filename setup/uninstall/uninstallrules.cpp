#include "uninstallrules.h"

#include <string.h>

#include "listedfile.h"

namespace {

const char *MacroFolder(const char *macro, const MacroFolders *folders)
{
    if (SameTextIgnoringCase(macro, "$App:"))
        return folders->app;
    if (SameTextIgnoringCase(macro, "$Win:"))
        return folders->windows;
    if (SameTextIgnoringCase(macro, "$Sys:"))
        return folders->system;
    return NULL;
}

// folder (backslash ensured) + name + ending, all or nothing. A folder of 260 bytes has no
// room for a name, and EnsureTrailingBackslash could not add its backslash.
bool JoinPath(char *dest, size_t size, const char *folder, const char *name, const char *ending)
{
    if (size == 0 || strlen(folder) > MAX_PATH_BYTES - 2)
        return false;
    char withSlash[MAX_PATH_BYTES];
    EnsureTrailingBackslash(withSlash, folder);
    dest[0] = '\0';
    if (AppendText(dest, size, withSlash) && AppendText(dest, size, name) &&
        AppendText(dest, size, ending))
        return true;
    dest[0] = '\0';
    return false;
}

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

bool InstalledPath(char *dest, size_t size, const FileEntry *entry, const MacroFolders *folders)
{
    if (size > 0)
        dest[0] = '\0';
    const char *folder = MacroFolder(entry->macro, folders);
    // An edited install log must not name a file anywhere else.
    if (folder == NULL || CheckListedPath(entry->path) != LISTED_PATH_OK)
        return false;
    return JoinPath(dest, size, folder, LastPathComponent(entry->path), "");
}

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
        if (!InstalledPath(path, sizeof path, entry, &items->folders) ||
            !DeleteIfFull(target, path))
            all = false;
    }

    bool hasShortcut = items->shortCutObj[0] != '0';
    if (hasShortcut) {
        char link[MAX_PATH_BYTES];
        if (!JoinPath(link, sizeof link, items->shortcutFolder, items->shortCutLnk, ".lnk") ||
            !DeleteIfFull(target, link))
            all = false;
    }

    if (!RemoveFolders(target, items->createdFolders, items->slots))
        all = false;
    if (hasShortcut && !RemoveFolders(target, items->shortcutFolders, items->slots))
        all = false;
    return all;
}
