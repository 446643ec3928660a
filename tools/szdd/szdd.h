// The SZDD compressed-file format that the platform's LZ32 expands (LZOpenFileA, LZCopy):
// a 14-byte header, then LZSS items in groups of eight behind a flag byte. No windows.h
// here: built natively under the sanitizers and the fuzzer, and for Windows.
#ifndef SZDD_H
#define SZDD_H

#include <stddef.h>

enum {
    SZDD_HEADER_SIZE = 14,
    SZDD_WINDOW = 4096,      // ring buffer of the expander, pre-filled with blanks
    SZDD_START = 0xFF0,      // ring index of the first byte written
    SZDD_MIN_MATCH = 3,
    SZDD_MAX_MATCH = 18,
};

// Largest output SzddCompress can write for an input of this length: the header, every
// byte a literal, one flag byte per eight items.
size_t SzddBound(size_t length);

// Called now and then with the bytes parsed so far; may be NULL.
typedef void (*SzddProgress)(void *context, size_t done, size_t total);

// Compresses data into out, whose size must be at least SzddBound(length). lastChar is the
// name's last character that the '_' replaces on the medium; the expander restores it.
// The parse is optimal: the fewest bits a literal (9) and match (17) encoding allows,
// matches taken from anywhere in the blank-filled window, overlaps included. Blocks of
// SZDD_BLOCK input bytes are parsed one after another, so very large inputs need bounded
// memory. Returns 1 with *outLength set, 0 when the input is too long for the format's
// 32-bit length or memory runs out.
enum { SZDD_BLOCK = 4 << 20 };
int SzddCompress(const unsigned char *data, size_t length, char lastChar, unsigned char *out,
                 size_t outSize, size_t *outLength, SzddProgress progress, void *context);

// Reads the header: 1 with the stored length and replaced character when the magic and
// mode are right and the image holds a whole header.
int SzddReadHeader(const unsigned char *image, size_t imageLength, unsigned long *length,
                   char *lastChar);

// Expands an image the way LZ32 does: the item stream decides the output, an item cut
// off by the end of the image ends it. Returns 1 with *outLength when the header is valid
// and everything fitted in out; 0 otherwise.
int SzddExpand(const unsigned char *image, size_t imageLength, unsigned char *out,
               size_t outSize, size_t *outLength);

#endif
