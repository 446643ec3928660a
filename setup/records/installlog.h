// The install log: the setup script's copy in the install folder, with the sections the
// installation adds to it. The engine writes them, the uninstaller reads them back and the
// medium builder's checker warns of a script that already holds one; all take the names and
// the layout from here. No windows.h here: built natively as well.
#ifndef INSTALLLOG_H
#define INSTALLLOG_H

#include <stddef.h>

#include "pathtext.h"

// The sections the installation adds: "Install" with its one key "ShortCutPath", then
// "CreatedDir" and "CreatedScDir", whose keys are "Dir" followed by the folder's index.
enum { LOG_INSTALL, LOG_CREATED_DIR, LOG_CREATED_SC_DIR, INSTALL_LOG_SECTIONS };
extern const char *const kInstallLogSections[INSTALL_LOG_SECTIONS];
extern const char kShortcutPathKey[];

// The in-memory side of the install log.
struct InstallLog {
    char shortcutFolder[MAX_PATH_BYTES];           // "Install" / "ShortCutPath"
    FolderSlot createdFolders[FOLDER_LIST_SLOTS];  // "CreatedDir": the install folder's tree
    FolderSlot shortcutFolders[FOLDER_LIST_SLOTS]; // "CreatedScDir": the shortcut's sub-folders
};

// The install log as a profile file: the platform's profile functions in SETUP
// (OpenInstallLogFile), an in-memory file in the tests.
struct InstallLogFile {
    void *context;
    // Sets key in section to value: the section is made when missing, the key replaced when
    // present. Failures are not reported: the installation goes on without them.
    void (*writeKey)(void *context, const char *section, const char *key, const char *value);
    // Copies the value of key in section (def when absent) into value, at most size - 1
    // bytes and a terminator; returns the bytes copied.
    size_t (*readKey)(void *context, const char *section, const char *key, const char *def,
                      char *value, size_t size);
    // Copies a whole section as key=value lines, each ended by a zero byte, the list by one
    // more; returns the bytes copied without the last terminator, size - 2 when it was cut.
    size_t (*readSection)(void *context, const char *section, char *data, size_t size);
};

// SETUP's install log: the profile functions on the file at path, which must outlive file.
void OpenInstallLogFile(InstallLogFile *file, const char *path);

// "Install" / "ShortCutPath" = folder.
void WriteShortcutPath(const InstallLogFile *file, const char *folder);

// "CreatedDir" and "CreatedScDir": Dir0, Dir1 ... = each folder of the two lists, in order,
// up to the first empty slot.
void WriteCreatedFolderLists(const InstallLogFile *file, const FolderSlot *created,
                             const FolderSlot *shortcut);

// Fills log from the file: the shortcut folder ("0" when the log names none, empty when it
// fills the buffer, as a cut one would) and the two folder lists, each read as one
// section buffer of the script reader's size (FillFolderList). False when a folder line was
// left out; what could be taken is filled either way.
bool ReadInstallLogSections(const InstallLogFile *file, InstallLog *log);

// The key of the index-th folder of a list: "Dir" + index.
bool FolderLogKey(char *dest, size_t size, int index);

// Fills list (slots entries, all cleared first) with the folders of a "CreatedDir" or
// "CreatedScDir" section as the profile functions return it: length bytes of key=value
// lines, each ended by a zero byte. A slot takes the text after a line's first '='; key names
// are not looked at. mayBeCut says the section filled the read buffer, so that its last line
// may have lost its end. Returns false when a line was left out: one without '=', a folder
// longer than a path, a possibly cut last line, or lines beyond the slots.
bool FillFolderList(const char *data, size_t length, bool mayBeCut, FolderSlot *list, int slots);

#endif
