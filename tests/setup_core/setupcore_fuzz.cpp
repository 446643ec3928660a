// Arbitrary command lines, section texts and numbers through the setup core's rules, and the
// same bytes as the install log and an uninstall entry's name, as the uninstall start reads them.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "bootstraprules.h"
#include "commandline.h"
#include "installlog.h"
#include "scriptrules.h"
#include "uninstallentry.h"

namespace {

// The input as a script: [Setup] keys and sections are all answered from the same bytes,
// cut at different places, so every key's value and every section line gets fuzzed.
struct FuzzScript {
    const uint8_t *data;
    size_t size;
    size_t calls;
};

size_t FuzzKey(void *context, const char *, const char *def, char *value, size_t size)
{
    FuzzScript *s = (FuzzScript *)context;
    size_t start = s->size ? (s->calls++ * 7) % s->size : 0;
    size_t n = s->size - start;
    if (n > size - 1)
        n = size - 1;
    if (n == 0 || s->data[start] == 0xFF) {
        size_t d = strlen(def) < size - 1 ? strlen(def) : size - 1;
        memcpy(value, def, d);
        value[d] = '\0';
        return d;
    }
    memcpy(value, s->data + start, n);
    value[n] = '\0';
    return strlen(value);
}

size_t FuzzSection(void *context, const char *, char *data, size_t size)
{
    FuzzScript *s = (FuzzScript *)context;
    size_t n = s->size < size - 2 ? s->size : size - 2;
    memcpy(data, s->data, n);
    data[n] = '\0';
    data[n + 1] = '\0';
    s->calls++;
    return n;
}

size_t FuzzLogKey(void *context, const char *, const char *key, const char *def, char *value, size_t size)
{
    return FuzzKey(context, key, def, value, size);
}

void IgnoreLogKey(void *, const char *, const char *, const char *) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    std::string line = text.substr(0, text.find('\0'));

    CommandLineParts parts;
    size_t half = line.size() / 2;
    DecomposeCommandLine(line.c_str(), line.substr(half).c_str(), &parts);
    DecomposeCommandLine(line.c_str(), "", &parts);

    ScriptNumber(line.c_str());
    BackColorIndex(line.c_str());
    FileEntry entry;
    ParseDiskLine(line.c_str(), &entry);

    static char lines[README_LINES][README_LINE_BYTES];
    FillReadmeLines(text.data(), text.size(), lines);
    static SetupScript script;
    memset(&script, 0, sizeof script);
    script.fileCount = size % (FILE_LIST_ENTRIES + 1);
    AddDiskSection(text.data(), text.size(), &script);

    FuzzScript fuzz = {data, size, 0};
    ScriptSource source = {&fuzz, FuzzKey, FuzzSection};
    char error[SCRIPT_ERROR_BYTES];
    CheckSetupScript(&source, line.c_str(), &script, error, sizeof error);

    static FolderSlot folders[FOLDER_LIST_SLOTS];
    FillFolderList(text.data(), text.size(), size % 2 != 0, folders, (int)(size % (FOLDER_LIST_SLOTS + 1)));
    InstallLogFile log = {&fuzz, IgnoreLogKey, FuzzLogKey, FuzzSection};
    static InstallLog read;
    ReadInstallLogSections(&log, &read);
    // A name stored with or without its terminator, in a buffer of a capacity the bytes choose.
    char name[DISPLAY_NAME_BYTES];
    size_t capacity = 1 + size % DISPLAY_NAME_BYTES, length = size < capacity ? size : capacity;
    memcpy(name, data, length);
    DisplayNameMatches(name, length, capacity, line.c_str());

    StagedFile list[STAGED_FILES_MAX];
    StagingList(parts.baseName, "SETUP.ini", script.Titlemap, script.Bitmap, list);
    char key[512];
    UninstallEntryKey(key, sizeof key, parts.baseName, (int)(size % 100));
    char command[COMMAND_LINE_BYTES];
    RelaunchCommand(command, sizeof command, line.c_str(), parts.baseName, parts.scriptDir);
    return 0;
}
