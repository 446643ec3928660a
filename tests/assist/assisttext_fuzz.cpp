// Any bytes as command line, short directory and screensaver name: no overrun, and each
// result is exactly the pieces it was built from.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "assisttext.h"

static char *Piece(const uint8_t **data, size_t *size)
{
    // Pieces are separated by a zero byte; the last one takes the rest.
    const uint8_t *end = (const uint8_t *)memchr(*data, 0, *size);
    size_t length = end != NULL ? (size_t)(end - *data) : *size;
    char *text = (char *)malloc(length + 1);
    memcpy(text, *data, length);
    text[length] = '\0';
    size_t used = end != NULL ? length + 1 : length;
    *data += used;
    *size -= used;
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *commandLine = Piece(&data, &size);
    char *shortDirectory = Piece(&data, &size);
    char *scrName = Piece(&data, &size);

    char directory[MAX_PATH_BYTES];
    bool found = FindProgramDirectory(commandLine, directory);
    size_t dirLength = strlen(directory);
    if (dirLength >= MAX_PATH_BYTES || (!found && dirLength != 0))
        abort();
    const char *name = strstr(commandLine, kProgramName);
    if (found && name != NULL) {
        // The directory is what stands before the name, less one opening quote.
        const char *start = (commandLine[0] == '"' && commandLine < name) ? commandLine + 1 : commandLine;
        if ((size_t)(name - start) != dirLength || memcmp(start, directory, dirLength) != 0)
            abort();
    }

    char path[MAX_PATH_BYTES];
    if (BuildSettingsPath(directory, path)) {
        size_t pathLength = strlen(path);
        if (pathLength >= MAX_PATH_BYTES || pathLength < strlen(kSettingsName) ||
            strcmp(path + pathLength - strlen(kSettingsName), kSettingsName) != 0 ||
            strncmp(path, directory, dirLength) != 0)
            abort();
    } else if (path[0] != '\0') {
        abort();
    }

    char parameters[ASSIST_WORK_BYTES];
    size_t whole = strlen(kInstallEntry) + strlen(shortDirectory) + strlen(scrName);
    bool built = BuildLaunchParameters(shortDirectory, scrName, parameters, sizeof parameters);
    if (built != (whole < sizeof parameters) || strlen(parameters) != (built ? whole : 0))
        abort();
    if (built && strcmp(parameters + whole - strlen(scrName), scrName) != 0)
        abort();

    free(commandLine);
    free(shortDirectory);
    free(scrName);
    return 0;
}
