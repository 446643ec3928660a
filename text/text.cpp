#include "text.h"

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

bool AppendDigits(char *dest, size_t destSize, bool negative, unsigned magnitude, int minDigits)
{
    // Ten digits at most, then zeros up to 14, the sign and the terminator.
    char digits[16];
    char *at = digits + sizeof digits;
    *--at = '\0';
    int count = 0;
    do {
        *--at = (char)('0' + magnitude % 10);
        magnitude /= 10;
        count++;
    } while (magnitude != 0);
    for (; count < minDigits && at > digits + 1; count++)
        *--at = '0';
    if (negative)
        *--at = '-';
    return AppendText(dest, destSize, at);
}

bool AppendDecimal(char *dest, size_t destSize, int value)
{
    // The magnitude as unsigned, so that the most negative int has one too.
    unsigned magnitude = value < 0 ? 0u - (unsigned)value : (unsigned)value;
    return AppendDigits(dest, destSize, value < 0, magnitude, 1);
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
