#include "installlog.h"

#include "installrules.h"
#include "setupcontext.h"

InstallLog installLog;

namespace {

void WriteFolderList(const char *log, const char *section, const FolderSlot *list)
{
    for (int k = 0; k < FOLDER_LIST_SLOTS && list[k][0] != '\0'; k++) {
        char key[16];
        FolderLogKey(key, sizeof key, k);
        WritePrivateProfileStringA(section, key, list[k], log);
    }
}

}  // namespace

bool InstallLogPath(char *path)
{
    return JoinFolderName(path, MAX_PATH_BYTES, setupContext.installDir, setupContext.scriptName);
}

void WriteShortcutPath()
{
    char log[MAX_PATH_BYTES];
    if (InstallLogPath(log))
        WritePrivateProfileStringA("Install", "ShortCutPath", installLog.shortcutFolder, log);
}

void WriteCreatedFolderLists()
{
    char log[MAX_PATH_BYTES];
    if (!InstallLogPath(log))
        return;
    WriteFolderList(log, "CreatedDir", installLog.createdFolders);
    WriteFolderList(log, "CreatedScDir", installLog.shortcutFolders);
}
