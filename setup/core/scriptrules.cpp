#include "scriptrules.h"

#include <limits.h>
#include <string.h>

#include "pathtext.h"

const char *const kBackColorCodes[BACK_COLOR_CODES] = {"BL", "GR", "RD", "LB", "PK", "YL", "MN"};

namespace {

// Each macro is a '$', three letters and ':'.
enum { MACRO_CHARS = 5 };
static_assert((int)MACRO_CHARS < (int)MACRO_BYTES, "a macro fits its field");

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Walks the zero-separated lines of a section buffer without reading past length.
struct LineWalk {
    const char *data;
    size_t length;
    size_t pos;
};

// The next line, or NULL at the end (an empty line ends the list, as its terminator does).
// *lineLength gets its length; the line is terminated within length or at length itself.
const char *NextLine(LineWalk *walk, size_t *lineLength)
{
    if (walk->pos >= walk->length)
        return NULL;
    const char *line = walk->data + walk->pos;
    size_t n = 0;
    while (walk->pos + n < walk->length && line[n] != '\0')
        n++;
    if (n == 0)
        return NULL;
    walk->pos += n + 1;
    *lineLength = n;
    return line;
}

// A line as a terminated text of at most SECTION_BYTES - 1 bytes.
void LineText(const char *line, size_t lineLength, char *text, size_t textSize)
{
    size_t n = lineLength < textSize - 1 ? lineLength : textSize - 1;
    memcpy(text, line, n);
    text[n] = '\0';
}

void SetError(char *error, size_t errorSize, const char *suffix)
{
    CopyText(error, errorSize, suffix);
}

// The error of a named key or section: " NAME Error", cut to the buffer like any error text.
void SetNamedError(char *error, size_t errorSize, const char *name)
{
    char suffix[SCRIPT_ERROR_BYTES];
    size_t n = CopyText(suffix, sizeof suffix, " ");
    n += CopyText(suffix + n, sizeof suffix - n, name);
    CopyText(suffix + n, sizeof suffix - n, " Error");
    SetError(error, errorSize, suffix);
}

// Reads one [Setup] key; false (with the key's error) when it yields no characters.
bool ReadRequired(const ScriptSource *source, const char *key, const char *def, char *value,
                  size_t size, char *error, size_t errorSize)
{
    value[0] = '\0';
    size_t n = source->readKey(source->context, key, def, value, size);
    value[size - 1] = '\0';
    if (n > 0 && value[0] != '\0')
        return true;
    SetNamedError(error, errorSize, key);
    return false;
}

#define READ_KEY(key, def) \
    ReadRequired(source, #key, def, script->key, sizeof script->key, error, errorSize)

// A picture key and, unless its value begins with '0', its X and Y keys (key + "X", key + "Y").
bool ReadPicture(const ScriptSource *source, const char *key, char *value, size_t valueSize,
                 char (&xText)[SCRIPT_NUMBER_BYTES], char (&yText)[SCRIPT_NUMBER_BYTES], ScriptPos *pos,
                 char *error, size_t errorSize)
{
    if (!ReadRequired(source, key, "", value, valueSize, error, errorSize))
        return false;
    if (value[0] == '0')
        return true;
    char xKey[SCRIPT_ERROR_BYTES];
    char yKey[SCRIPT_ERROR_BYTES];
    size_t n = CopyText(xKey, sizeof xKey, key);
    CopyText(xKey + n, sizeof xKey - n, "X");
    n = CopyText(yKey, sizeof yKey, key);
    CopyText(yKey + n, sizeof yKey - n, "Y");
    if (!ReadRequired(source, xKey, "", xText, sizeof xText, error, errorSize) ||
        !ReadRequired(source, yKey, "", yText, sizeof yText, error, errorSize))
        return false;
    pos->x = ScriptNumber(xText);
    pos->y = ScriptNumber(yText);
    return true;
}

#define READ_PICTURE(key, pos)                                                                  \
    ReadPicture(source, #key, script->key, sizeof script->key, script->key##X, script->key##Y, \
                &script->pos, error, errorSize)

bool ReadShortcutKeys(const ScriptSource *source, SetupScript *script, char *error,
                      size_t errorSize)
{
    if (strcmp(script->ShortCutObj, "0") == 0) {
        // No shortcut: the six keys are not read but all set to "0".
        CopyText(script->ShortCutLnk, sizeof script->ShortCutLnk, "0");
        CopyText(script->ShortCutDir, sizeof script->ShortCutDir, "0");
        CopyText(script->ShortCutFld, sizeof script->ShortCutFld, "0");
        CopyText(script->ShortCutIco, sizeof script->ShortCutIco, "0");
        CopyText(script->ShortCutIcoNum, sizeof script->ShortCutIcoNum, "0");
        CopyText(script->ShortCutFldOpn, sizeof script->ShortCutFldOpn, "0");
    } else {
        if (!READ_KEY(ShortCutLnk, "") || !READ_KEY(ShortCutDir, "") ||
            !READ_KEY(ShortCutFld, "") || !READ_KEY(ShortCutIco, "") ||
            !READ_KEY(ShortCutIcoNum, "") || !READ_KEY(ShortCutFldOpn, ""))
            return false;
    }
    script->shortCutIconIndex = ScriptNumber(script->ShortCutIcoNum);
    if (!IsShortcutDirText(script->ShortCutDir)) {
        SetError(error, errorSize, " ShortCutDir Error");
        return false;
    }
    script->shortCutFolderId = ScriptNumber(script->ShortCutDir);
    if (!IsSwitchText(script->ShortCutFldOpn)) {
        SetError(error, errorSize, " ShortCutFldOpn Error");
        return false;
    }
    return true;
}

bool ReadSetupKeys(const ScriptSource *source, const char *sourceDir, SetupScript *script,
                   char *error, size_t errorSize)
{
    if (!READ_KEY(Title, "") || !READ_KEY(SubTitle, "") || !READ_KEY(BackColor, ""))
        return false;
    script->backColorIndex = BackColorIndex(script->BackColor);

    if (!READ_PICTURE(Titlemap, titlemapPos) || !READ_PICTURE(Bitmap, bitmapPos))
        return false;

    // The defaults of DefaultDir and Uninstall apply only to an absent key.
    if (!READ_KEY(DefaultDir, sourceDir) || !READ_KEY(StartMsg1, "") ||
        !READ_KEY(StartMsg2, "") || !READ_KEY(RegIni, "") || !READ_KEY(RegSec, ""))
        return false;
    if (!READ_KEY(Uninstall, "0"))
        return false;
    if (!IsSwitchText(script->Uninstall)) {
        SetError(error, errorSize, " Uninstall Error");
        return false;
    }
    if (!READ_KEY(ShortCutObj, "") || !ReadShortcutKeys(source, script, error, errorSize))
        return false;
    return READ_KEY(FinalExec, "");
}

#undef READ_KEY
#undef READ_PICTURE

// One section into data (SECTION_BYTES), terminated; returns its length, held within the buffer.
size_t ReadSection(const ScriptSource *source, const char *section, char (&data)[SECTION_BYTES])
{
    size_t length = source->readSection(source->context, section, data, sizeof data);
    if (length > sizeof data - 1)
        length = sizeof data - 1;
    data[length] = '\0';
    return length;
}

}  // namespace

int ScriptNumber(const char *text)
{
    const char *p = text;
    while (IsBlank(*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        if (value <= (long long)INT_MAX + 1)
            value = value * 10 + (*p - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return (int)value;
}

int BackColorIndex(const char *code)
{
    for (int i = 0; i < BACK_COLOR_CODES; i++) {
        if (SameTextIgnoringCase(code, kBackColorCodes[i]))
            return i + 1;
    }
    return 0;
}

void FillReadmeLines(const char *data, size_t length, char lines[README_LINES][README_LINE_BYTES])
{
    memset(lines, 0, sizeof(char) * README_LINES * README_LINE_BYTES);
    LineWalk walk = {data, length, 0};
    size_t lineLength = 0;
    for (int i = 0; i < README_LINES; i++) {
        const char *line = NextLine(&walk, &lineLength);
        if (line == NULL)
            break;
        char text[SECTION_BYTES];
        LineText(line, lineLength, text, sizeof text);
        const char *equals = strchr(text, '=');
        const char *value = equals != NULL ? equals + 1 : text;
        CopyText(lines[i], README_LINE_BYTES, value);
        for (char *p = lines[i]; *p == '*'; p++)
            *p = ' ';
    }
}

bool ParseDiskLine(const char *line, FileEntry *entry)
{
    const char *equals = strchr(line, '=');
    const char *colon = strchr(line, ':');
    if (equals == NULL || colon == NULL)
        return false;
    const char *macro = equals + 1;
    for (size_t m = 0; m < PATH_MACROS; m++) {
        if (!SameLeadingTextIgnoringCase(kPathMacros[m], macro, MACRO_CHARS))
            continue;
        // A longer path cannot name the file; cutting it would name another one.
        if (strlen(colon + 1) > MAX_PATH_BYTES - 1)
            return false;
        CopyText(entry->macro, sizeof entry->macro, kPathMacros[m]);
        CopyText(entry->path, sizeof entry->path, colon + 1);
        return true;
    }
    return false;
}

bool AddDiskSection(const char *data, size_t length, SetupScript *script)
{
    if (script->fileCount < FILE_LIST_ENTRIES)
        script->diskStart[script->fileCount] = true;
    LineWalk walk = {data, length, 0};
    size_t lineLength = 0;
    bool first = true;
    while (script->fileCount < FILE_LIST_ENTRIES) {
        const char *line = NextLine(&walk, &lineLength);
        if (line == NULL)
            break;
        char text[SECTION_BYTES];
        LineText(line, lineLength, text, sizeof text);
        if (first && strchr(text, ';') != NULL)
            return false;
        first = false;
        if (!ParseDiskLine(text, &script->fileList[script->fileCount]))
            return false;
        script->fileCount++;
        script->stepCount++;
    }
    // Only the first line is checked for ';' even when the list is already full.
    if (first) {
        const char *line = NextLine(&walk, &lineLength);
        if (line != NULL) {
            char text[SECTION_BYTES];
            LineText(line, lineLength, text, sizeof text);
            if (strchr(text, ';') != NULL)
                return false;
        }
    }
    return true;
}

bool FileListEnds(const FileEntry *files, int count, int index)
{
    return index < 0 || index >= count || index >= FILE_LIST_ENTRIES ||
           (files[index].macro[0] == '\0' && files[index].path[0] == '\0');
}

bool CheckSetupScript(const ScriptSource *source, const char *sourceDir, SetupScript *script,
                      char *error, size_t errorSize)
{
    memset(script, 0, sizeof *script);
    SetError(error, errorSize, "");
    if (!ReadSetupKeys(source, sourceDir, script, error, errorSize))
        return false;

    char data[SECTION_BYTES];
    size_t length = ReadSection(source, "README", data);
    if (length == 0) {
        SetError(error, errorSize, " Readme Error");
        return false;
    }
    FillReadmeLines(data, length, script->readmeLines);

    script->stepCount = strcmp(script->Uninstall, "1") == 0 ? 1 : 0;
    for (int n = 1; n <= DISK_SECTIONS; n++) {
        char section[16] = "DISK";
        AppendDecimal(section, sizeof section, n);
        length = ReadSection(source, section, data);
        if (length == 0) {
            if (n > 1)
                return true;
            SetError(error, errorSize, " DISK1 Error");
            return false;
        }
        if (!AddDiskSection(data, length, script)) {
            SetNamedError(error, errorSize, section);
            return false;
        }
    }
    return true;
}

bool IsShortcutFolderKind(int kind)
{
    return kind == SHORTCUT_DESKTOP || kind == SHORTCUT_PROGRAMS || kind == SHORTCUT_STARTUP;
}

bool IsShortcutDirText(const char *text)
{
    return text[0] != '\0' && text[1] == '\0' && IsShortcutFolderKind(text[0] - '0');
}

bool IsSwitchText(const char *text)
{
    return (text[0] == '0' || text[0] == '1') && text[1] == '\0';
}
