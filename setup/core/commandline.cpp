#include "commandline.h"

#include <string.h>

namespace {

// Position just after the last single-byte backslash of text (0 when there is none).
// Walks characters, so that a trail byte 0x5C is not taken for a separator.
size_t AfterLastBackslash(const char *text)
{
    size_t after = 0;
    size_t pos = 0;
    while (text[pos] != '\0') {
        size_t step = CharBytes(text + pos);
        if (step == 1 && text[pos] == '\\')
            after = pos + 1;
        pos += step;
    }
    return after;
}

// Name and folder by the command line's own rule: cut at the first '.', the name after the
// last backslash, the folder up to it without a leading double quote.
void NameFromCommandLine(const char *line, CommandLineParts *parts)
{
    char copy[COMMAND_LINE_BYTES];
    CopyText(copy, sizeof copy, line);
    char *dot = strchr(copy, '.');
    if (dot != NULL)
        *dot = '\0';
    size_t after = AfterLastBackslash(copy);
    CopyText(parts->baseName, sizeof parts->baseName, copy + after);
    copy[after] = '\0';
    CopyText(parts->scriptDir, sizeof parts->scriptDir, copy[0] == '"' ? copy + 1 : copy);
}

// Name and folder from the program's full file name: the folder with its backslash, the
// name without the extension after its last '.'.
void NameFromModulePath(const char *modulePath, CommandLineParts *parts)
{
    char copy[MAX_PATH_BYTES];
    CopyText(copy, sizeof copy, modulePath);
    size_t after = AfterLastBackslash(copy);
    char *name = copy + after;
    char *dot = strrchr(name, '.');
    if (dot != NULL && dot != name)
        *dot = '\0';
    CopyText(parts->baseName, sizeof parts->baseName, name);
    copy[after] = '\0';
    CopyText(parts->scriptDir, sizeof parts->scriptDir, copy);
}

// True when folder + name is the module's path without its extension.
bool NamesTheModule(const CommandLineParts *parts, const char *modulePath)
{
    char expected[MAX_PATH_BYTES];
    CopyText(expected, sizeof expected, modulePath);
    char *name = expected + AfterLastBackslash(expected);
    char *dot = strrchr(name, '.');
    if (dot != NULL)
        *dot = '\0';
    char joined[MAX_PATH_BYTES + NAME_BYTES];
    CopyText(joined, sizeof joined, parts->scriptDir);
    if (!AppendText(joined, sizeof joined, parts->baseName))
        return false;
    return SameTextIgnoringCase(joined, expected);
}

bool AllDigits(const char *text, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// "/Uninst-" + entry number + "-" + install folder. The entry number becomes part of a
// registry key that the uninstaller deletes, so only decimal digits are taken.
CommandLineStatus ReadUninstallArgument(const char *dash, CommandLineParts *parts)
{
    const char *number = dash + 1;
    const char *next = strchr(number, '-');
    if (next == NULL)
        return CommandLineStatus::BadArgument;
    size_t length = (size_t)(next - number);
    if (length == 0 || length > ENTRY_NUMBER_BYTES - 1 || !AllDigits(number, length))
        return CommandLineStatus::BadArgument;
    const char *folder = next + 1;
    // An empty folder would make every "$App:" file relative to the current directory.
    if (folder[0] == '\0' || strlen(folder) > MAX_PATH_BYTES - 1)
        return CommandLineStatus::BadArgument;
    memcpy(parts->entryNumber, number, length);
    parts->entryNumber[length] = '\0';
    CopyText(parts->scriptDir, sizeof parts->scriptDir, folder);
    parts->mode = RunMode::Uninstall;
    return CommandLineStatus::Ok;
}

}  // namespace

CommandLineStatus DecomposeCommandLine(const char *commandLine, const char *modulePath,
                                       CommandLineParts *parts)
{
    memset(parts, 0, sizeof *parts);
    parts->mode = RunMode::Bootstrap;

    NameFromCommandLine(commandLine, parts);
    if (modulePath != NULL && modulePath[0] != '\0' && !NamesTheModule(parts, modulePath))
        NameFromModulePath(modulePath, parts);

    if (strlen(commandLine) > COMMAND_LINE_BYTES - 1)
        return CommandLineStatus::TooLong;

    const char *slash = strrchr(commandLine, '/');
    if (slash == NULL)
        return CommandLineStatus::Ok;
    const char *argument = slash + 1;
    static const char kKeyword[] = "UNINST";
    size_t k = 0;
    while (k < sizeof kKeyword - 1 && AsciiUpper(argument[k]) == kKeyword[k])
        k++;
    if (k == sizeof kKeyword - 1 && argument[k] == '-')
        return ReadUninstallArgument(argument + k, parts);

    if (strlen(argument) > MAX_PATH_BYTES - 1)
        return CommandLineStatus::BadArgument;
    CopyText(parts->sourceDir, sizeof parts->sourceDir, argument);
    parts->mode = RunMode::Wizard;
    return CommandLineStatus::Ok;
}
