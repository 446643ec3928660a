#include "outputrules.h"

#include <stdio.h>
#include <string.h>

#include "mediumplan.h"
#include "scriptcheck.h"
#include "scriptrules.h"

namespace {

// The medium path of a file on one disk, as the builder lays it out.
struct Expected {
    char path[MAX_PATH_BYTES];
    int disk;
};

bool EndsWithIgnoringCase(const char *text, const char *end)
{
    size_t length = strlen(text), endLength = strlen(end);
    return length > endLength && SameTextIgnoringCase(text + length - endLength, end);
}

// The disk a floppy medium's path lies on ("DISK3\..." -> 3, rest after the '\'); 0 when
// the first part is no disk folder.
int DiskOfPath(const char *path, const char **rest)
{
    if (!SameLeadingTextIgnoringCase(path, "DISK", 4))
        return 0;
    int disk = 0;
    const char *p = path + 4;
    for (; *p >= '0' && *p <= '9' && disk <= DISK_SECTIONS; p++)
        disk = disk * 10 + (*p - '0');
    if (p == path + 4 || disk < 1 || disk > DISK_SECTIONS || (*p != '\0' && *p != '\\'))
        return 0;
    *rest = *p == '\\' ? p + 1 : p;
    return disk;
}

// Whether folder (a medium path) is one of the folders on the way to path.
bool LeadsTo(const char *folder, const char *path)
{
    size_t length = strlen(folder);
    return SameLeadingTextIgnoringCase(folder, path, length) && strlen(path) > length && path[length] == '\\';
}

}  // namespace

int FindMediumScript(const ListedEntry *entries, int count)
{
    int found = -1;
    for (int i = 0; i < count; i++) {
        const char *path = entries[i].path;
        const char *rest = path;
        if (entries[i].kind != LISTED_FILE || !EndsWithIgnoringCase(path, ".ini") ||
            (strchr(path, '\\') != NULL && (DiskOfPath(path, &rest) != 1 || strchr(rest, '\\') != NULL)))
            continue;
        char program[MAX_PATH_BYTES];
        SetupProgramName(program, sizeof program, path);   // path ends in ".ini"
        for (int j = 0; j < count; j++) {
            if (entries[j].kind == LISTED_FILE && SameMediumPath(entries[j].path, program) &&
                (found < 0 || strcmp(path, entries[found].path) < 0))
                found = i;
        }
    }
    return found;
}

int FirstStrayEntry(const ListedEntry *entries, int count, int scriptIndex, const char *text, size_t length)
{
    const char *scriptPath = entries[scriptIndex].path;
    const char *scriptName = scriptPath;
    bool floppy = DiskOfPath(scriptPath, &scriptName) == 1;
    IniText ini;
    if (!ParseIniText(text, length, &ini))
        return scriptIndex;
    ScriptSource source = {&ini, IniReadKey, IniReadSection};
    static SetupScript script;
    char error[SCRIPT_ERROR_BYTES];
    bool readable = CheckSetupScript(&source, "", &script, error, sizeof error);
    FreeIniText(&ini);
    if (!readable)
        return scriptIndex;

    // What the medium holds: program and script, the pictures, every listed file.
    static Expected expected[2 * FILE_LIST_ENTRIES + 4];
    int n = 0;
    SetupProgramName(expected[n].path, sizeof expected[n].path, scriptName);
    expected[n++].disk = 1;
    CopyText(expected[n].path, sizeof expected[n].path, scriptName);
    expected[n++].disk = 1;
    const char *pictures[2] = {script.Titlemap, script.Bitmap};
    for (const char *picture : pictures) {
        if (picture[0] != '0') {
            CopyText(expected[n].path, sizeof expected[n].path, picture);
            expected[n++].disk = 1;
        }
    }
    for (int i = 0; !FileListEnds(script.fileList, script.fileCount, i); i++) {
        int disk = EntryDisk(&script, i);
        // Under its '_' name when compressed, under its own when stored as it is.
        CopyText(expected[n].path, sizeof expected[n].path, script.fileList[i].path);
        expected[n++].disk = disk;
        if (MediumName(expected[n].path, sizeof expected[n].path, script.fileList[i].path))
            expected[n++].disk = disk;
    }

    for (int i = 0; i < count; i++) {
        const char *path = entries[i].path;
        int on = 0;   // a CD's files lie on no disk of their own
        char disk[MAX_PATH_BYTES];
        const char *image = NULL;
        size_t length = strlen(path);
        if (floppy && entries[i].kind == LISTED_FILE && EndsWithIgnoringCase(path, ".img")) {
            memcpy(disk, path, length - 4);
            disk[length - 4] = '\0';
            if (DiskOfPath(disk, &image) != 0 && image[0] == '\0')
                continue;
        }
        if (floppy) {
            on = DiskOfPath(path, &path);
            if (on == 0)
                return i;
            if (path[0] == '\0') {
                if (entries[i].kind != LISTED_FOLDER)
                    return i;
                continue;
            }
        }
        bool held = false;
        for (int j = 0; j < n && !held; j++) {
            if (floppy && expected[j].disk != on)
                continue;
            held = entries[i].kind == LISTED_FILE     ? SameMediumPath(path, expected[j].path)
                   : entries[i].kind == LISTED_FOLDER ? LeadsTo(path, expected[j].path)
                                                      : false;
        }
        if (!held)
            return i;
    }
    return -1;
}

bool PathWithin(const char *path, const char *folder, char separator, bool foldCase)
{
    // The folder's length without a separator at its end (a whole character, not a trail byte).
    size_t length = 0;
    for (size_t i = 0; folder[i] != '\0'; i += CharBytes(folder + i)) {
        if (!(folder[i] == separator && folder[i + 1] == '\0'))
            length = i + CharBytes(folder + i);
    }
    if (strlen(path) < length ||
        !(foldCase ? SameLeadingTextIgnoringCase(path, folder, length) : strncmp(path, folder, length) == 0))
        return false;
    return path[length] == '\0' || path[length] == separator;
}

bool WorkFolderProcess(const char *name, const char *prefix, unsigned long *process)
{
    size_t length = strlen(prefix);
    if (strncmp(name, prefix, length) != 0)
        return false;
    const char *digits = name + length;
    size_t count = strspn(digits, "0123456789");
    if (count == 0 || count > 9 || digits[count] != '\0')
        return false;
    unsigned long value = 0;
    for (size_t i = 0; i < count; i++)
        value = value * 10 + (unsigned long)(digits[i] - '0');
    *process = value;
    return true;
}
