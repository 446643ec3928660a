// Any bytes through the path texts: no overrun, results stay within their buffers and
// agree with each other.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "pathtext.h"

static bool EndsInLoneLeadByte(const char *text)
{
    size_t pos = 0;
    bool lone = false;
    while (text[pos] != '\0') {
        lone = IsLeadByte((unsigned char)text[pos]) && text[pos + 1] == '\0';
        pos += (IsLeadByte((unsigned char)text[pos]) && text[pos + 1] != '\0') ? 2 : 1;
    }
    return lone;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *text = (char *)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';

    char ensured[MAX_PATH_BYTES];
    char removed[MAX_PATH_BYTES];
    EnsureTrailingBackslash(ensured, text);
    RemoveTrailingBackslash(removed, text);
    if (strlen(ensured) >= MAX_PATH_BYTES || strlen(removed) >= MAX_PATH_BYTES)
        abort();
    // Removing after ensuring gives what removing alone gives, unless the text ends in a
    // lead byte without its second byte, which the appended backslash would complete.
    char again[MAX_PATH_BYTES];
    RemoveTrailingBackslash(again, ensured);
    if (!EndsInLoneLeadByte(ensured) && !EndsInLoneLeadByte(removed) && strcmp(again, removed) != 0 &&
        !EndsInLoneLeadByte(text))
        abort();

    const char *last = LastPathComponent(text);
    if (last < text || last > text + strlen(text))
        abort();
    for (size_t pos = 0; pos <= size && pos < 600; pos++)
        (void)IsSingleByteCharAt(text, pos, '\\');

    // A text is itself, and its halves agree with it, whatever its bytes.
    if (!SameTextIgnoringCase(text, text) || !SameLeadingTextIgnoringCase(text, text, strlen(text) / 2))
        abort();

    char small[7];
    size_t copied = CopyText(small, sizeof small, text);
    if (copied != strlen(small) || copied > 6)
        abort();
    char append[16] = "x";
    AppendText(append, sizeof append, text);
    if (strlen(append) >= sizeof append)
        abort();
    free(text);
    return 0;
}
