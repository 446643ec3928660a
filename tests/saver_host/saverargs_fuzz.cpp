// Any command line through the argument text, the mode grammar and the handle parse: the
// results stay inside the text, and separators before the letter change nothing.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "saverargs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *text = (char *)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';

    const char *arguments = SkipProgramName(text, NextShiftJisChar);
    if (arguments < text || arguments > text + strlen(text))
        abort();
    if (*arguments != '\0' && (unsigned char)*arguments <= 0x20)
        abort();

    SaverRequest request = ParseSaverMode(arguments);
    if (request.mode < FullScreenMode || request.mode > InvalidMode)
        abort();
    if (request.handle != 0 && request.mode != PreviewMode && request.mode != ChangePasswordMode)
        abort();
    if (request.ownerIsForeground && request.mode != ConfigureMode)
        abort();

    size_t length = strlen(arguments);
    char *prefixed = (char *)malloc(length + 4);
    memcpy(prefixed, "-/ ", 3);
    memcpy(prefixed + 3, arguments, length + 1);
    SaverRequest again = ParseSaverMode(prefixed);
    if (again.mode != request.mode || again.handle != request.handle ||
        again.ownerIsForeground != request.ownerIsForeground)
        abort();

    // The handle is the digits' value modulo 2^32.
    uint32_t expected = 0;
    for (const char *pos = text; *pos >= '0' && *pos <= '9'; pos++)
        expected = (uint32_t)(((uint64_t)expected * 10 + (uint64_t)(*pos - '0')) & 0xFFFFFFFFu);
    if (ParseDecimalHandle(text) != expected)
        abort();

    free(prefixed);
    free(text);
    return 0;
}
