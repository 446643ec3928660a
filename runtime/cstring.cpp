// The C string and memory functions the programs use, linked into each of them so that they
// need no C run-time DLL: a clean Windows 95 has none. Plain byte loops: the programs call
// them on short texts, and small code matters more here than speed. This file is compiled
// with the compiler's knowledge of these functions turned off, or it would recognise the
// loops and turn them back into calls to themselves.
#include <stddef.h>
#include <stdint.h>

// The tests build this file a second time under names of their own, beside the host's.
#ifdef KIT_C_TEST_NAMES
#define C_NAME(name) Kit_##name
#else
#define C_NAME(name) name
#endif

extern "C" {

void *C_NAME(memcpy)(void *dest, const void *src, size_t n)
{
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    while (n-- != 0)
        *d++ = *s++;
    return dest;
}

// Forward unless dest starts inside the source, where a forward copy would overwrite bytes
// before they are read. The addresses are compared as numbers: the two blocks may belong
// to different objects.
void *C_NAME(memmove)(void *dest, const void *src, size_t n)
{
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    if ((uintptr_t)d - (uintptr_t)s >= n) {
        while (n-- != 0)
            *d++ = *s++;
    } else {
        d += n;
        s += n;
        while (n-- != 0)
            *--d = *--s;
    }
    return dest;
}

void *C_NAME(memset)(void *dest, int c, size_t n)
{
    unsigned char *d = (unsigned char *)dest;
    while (n-- != 0)
        *d++ = (unsigned char)c;
    return dest;
}

// Bytes compare as unsigned char, so a Shift-JIS lead byte sorts after ASCII.
int C_NAME(memcmp)(const void *a, const void *b, size_t n)
{
    const unsigned char *p = (const unsigned char *)a;
    const unsigned char *q = (const unsigned char *)b;
    for (; n != 0; n--, p++, q++) {
        if (*p != *q)
            return *p - *q;
    }
    return 0;
}

void *C_NAME(memchr)(const void *s, int c, size_t n)
{
    const unsigned char *p = (const unsigned char *)s;
    for (; n != 0; n--, p++) {
        if (*p == (unsigned char)c)
            return (void *)p;
    }
    return NULL;
}

size_t C_NAME(strlen)(const char *s)
{
    const char *end = s;
    while (*end != '\0')
        end++;
    return (size_t)(end - s);
}

// The terminator is part of the text: strchr(s, '\0') finds it.
char *C_NAME(strchr)(const char *s, int c)
{
    for (;; s++) {
        if (*s == (char)c)
            return (char *)s;
        if (*s == '\0')
            return NULL;
    }
}

char *C_NAME(strrchr)(const char *s, int c)
{
    const char *found = NULL;
    for (;; s++) {
        if (*s == (char)c)
            found = s;
        if (*s == '\0')
            return (char *)found;
    }
}

int C_NAME(strncmp)(const char *a, const char *b, size_t n)
{
    for (; n != 0; n--, a++, b++) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x != y)
            return x - y;
        if (x == '\0')
            return 0;
    }
    return 0;
}

int C_NAME(strcmp)(const char *a, const char *b)
{
    return C_NAME(strncmp)(a, b, (size_t)-1);
}

// An empty needle is found at the start of any text.
char *C_NAME(strstr)(const char *text, const char *needle)
{
    size_t length = C_NAME(strlen)(needle);
    for (;; text++) {
        if (C_NAME(strncmp)(text, needle, length) == 0)
            return (char *)text;
        if (*text == '\0')
            return NULL;
    }
}

}  // extern "C"
