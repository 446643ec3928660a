#include "installlog.h"

#include <string.h>

#include "setupscript.h"

const char *const kInstallLogSections[INSTALL_LOG_SECTIONS] = {"Install", "CreatedDir",
                                                               "CreatedScDir"};
const char kShortcutPathKey[] = "ShortCutPath";

namespace {

void WriteFolderList(const InstallLogFile *file, int section, const FolderSlot *list)
{
    for (int k = 0; k < FOLDER_LIST_SLOTS && list[k][0] != '\0'; k++) {
        char key[16];
        // "Dir" and three digits always fit; a key cut short would name another slot.
        if (!FolderLogKey(key, sizeof key, k))
            return;
        file->writeKey(file->context, kInstallLogSections[section], key, list[k]);
    }
}

bool ReadFolderList(const InstallLogFile *file, int section, FolderSlot *list)
{
    char data[SECTION_BYTES];
    size_t length = file->readSection(file->context, kInstallLogSections[section], data, sizeof data);
    // A section longer than the buffer comes back cut, with size - 2 as its length.
    return FillFolderList(data, length, length >= sizeof data - 2, list, FOLDER_LIST_SLOTS);
}

}  // namespace

void WriteShortcutPath(const InstallLogFile *file, const char *folder)
{
    file->writeKey(file->context, kInstallLogSections[LOG_INSTALL], kShortcutPathKey, folder);
}

void WriteCreatedFolderLists(const InstallLogFile *file, const FolderSlot *created,
                             const FolderSlot *shortcut)
{
    WriteFolderList(file, LOG_CREATED_DIR, created);
    WriteFolderList(file, LOG_CREATED_SC_DIR, shortcut);
}

bool ReadInstallLogSections(const InstallLogFile *file, InstallLog *log)
{
    size_t length = file->readKey(file->context, kInstallLogSections[LOG_INSTALL],
                                  kShortcutPathKey, "0", log->shortcutFolder,
                                  sizeof log->shortcutFolder);
    // A folder longer than a path comes back cut and could name another folder.
    if (length >= sizeof log->shortcutFolder - 1)
        log->shortcutFolder[0] = '\0';
    bool created = ReadFolderList(file, LOG_CREATED_DIR, log->createdFolders);
    bool shortcut = ReadFolderList(file, LOG_CREATED_SC_DIR, log->shortcutFolders);
    return created && shortcut;
}

bool FolderLogKey(char *dest, size_t size, int index)
{
    char key[16] = "Dir";
    AppendDecimal(key, sizeof key, index);
    const char *parts[] = {key};
    return ConcatTexts(dest, size, parts, 1);
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

