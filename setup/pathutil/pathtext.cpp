#include "pathtext.h"

#include <string.h>

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t CharBytes(const char *at)
{
    if (IsLeadByte((unsigned char)at[0]) && at[1] != '\0')
        return 2;
    return 1;
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

bool SameTextIgnoringCase(const char *a, const char *b)
{
    size_t length = strlen(a);
    return length == strlen(b) && SameLeadingTextIgnoringCase(a, b, length);
}

bool SameLeadingTextIgnoringCase(const char *a, const char *b, size_t length)
{
    size_t i = 0;
    while (i < length) {
        if (IsLeadByte((unsigned char)a[i]) && i + 1 < length) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
        i++;
    }
    return true;
}

size_t CopyText(char *dest, size_t destSize, const char *src)
{
    if (destSize == 0)
        return 0;
    size_t length = 0;
    while (src[length] != '\0') {
        size_t step = CharBytes(src + length);
        if (length + step > destSize - 1)
            break;
        length += step;
    }
    memcpy(dest, src, length);
    dest[length] = '\0';
    return length;
}

bool AppendText(char *dest, size_t destSize, const char *src)
{
    size_t have = strlen(dest);
    size_t add = strlen(src);
    if (have + add + 1 > destSize)
        return false;
    memcpy(dest + have, src, add + 1);
    return true;
}

bool ConcatTexts(char *dest, size_t size, const char *const *parts, size_t count)
{
    if (size == 0)
        return false;
    dest[0] = '\0';
    for (size_t i = 0; i < count; i++) {
        if (!AppendText(dest, size, parts[i])) {
            dest[0] = '\0';
            return false;
        }
    }
    return true;
}

bool AppendDecimal(char *dest, size_t destSize, int value)
{
    char digits[16];
    char *at = digits + sizeof digits;
    *--at = '\0';
    // The magnitude as unsigned, so that the most negative int has one too.
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    do {
        *--at = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--at = '-';
    return AppendText(dest, destSize, at);
}

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
    CopyText(dest, MAX_PATH_BYTES, src);
    size_t length;
    size_t last = LastCharStart(dest, &length);
    if (length == 0)
        return dest;
    if (last == length - 1 && dest[last] == '\\')
        return dest;
    if (length + 2 <= MAX_PATH_BYTES) {
        dest[length] = '\\';
        dest[length + 1] = '\0';
    }
    return dest;
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

bool IsSingleByteCharAt(const char *text, size_t pos, char byte)
{
    size_t at = 0;
    while (text[at] != '\0' && at <= pos) {
        size_t step = CharBytes(text + at);
        if (at == pos)
            return step == 1 && !IsLeadByte((unsigned char)text[at]) && text[at] == byte;
        at += step;
    }
    return false;
}

const char *LastPathComponent(const char *text)
{
    const char *slash = strrchr(text, '\\');
    return slash != NULL ? slash + 1 : text;
}
