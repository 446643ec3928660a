#include "pathtext.h"

#include <string.h>

// Length of the text and the position of its last character (or the length when empty).
static size_t LastCharStart(const char *text, size_t *length)
{
    size_t pos = 0;
    size_t last = 0;
    bool any = false;
    while (text[pos] != '\0') {
        last = pos;
        any = true;
        pos += CharBytes(text + pos);
    }
    *length = pos;
    return any ? last : pos;
}

char *EnsureTrailingBackslash(char *dest, const char *src)
{
    bool whole = strlen(src) < MAX_PATH_BYTES;
    CopyText(dest, MAX_PATH_BYTES, src);
    if (!whole)
        return NULL;
    size_t length;
    size_t last = LastCharStart(dest, &length);
    if (length == 0)
        return dest;
    if (last == length - 1 && dest[last] == '\\')
        return dest;
    if (length + 2 > MAX_PATH_BYTES)
        return NULL;
    dest[length] = '\\';
    dest[length + 1] = '\0';
    return dest;
}

bool FolderWithBackslash(char *dest, const char *folder)
{
    // A lone lead byte last would take the backslash as its second byte.
    if (EnsureTrailingBackslash(dest, folder) != NULL &&
        (dest[0] == '\0' || IsSingleByteCharAt(dest, strlen(dest) - 1, '\\')))
        return true;
    dest[0] = '\0';
    return false;
}

bool JoinFolderName(char *dest, size_t size, const char *folder, const char *name)
{
    char base[MAX_PATH_BYTES];
    const char *parts[] = {base, name};
    if (FolderWithBackslash(base, folder))
        return ConcatTexts(dest, size, parts, 2);
    if (size > 0)
        dest[0] = '\0';
    return false;
}

char *RemoveTrailingBackslash(char *dest, const char *src)
{
    CopyText(dest, MAX_PATH_BYTES, src);
    size_t length;
    size_t last = LastCharStart(dest, &length);
    if (length != 0 && last == length - 1 && dest[last] == '\\')
        dest[last] = '\0';
    return dest;
}

const char *LastPathComponent(const char *text)
{
    const char *slash = strrchr(text, '\\');
    return slash != NULL ? slash + 1 : text;
}
