#include "uninstallrules.h"

#include <string.h>

#include "installrules.h"
#include "scriptrules.h"

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

bool RemoveItems(const InstalledItems *items, const RemovalTarget *target)
{
    bool all = DeleteIfFull(target, items->logPath);

    for (int i = 0; !FileListEnds(items->files, items->fileCount, i); i++) {
        const FileEntry *entry = &items->files[i];
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
