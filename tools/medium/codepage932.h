// Code page 932 (Shift-JIS) exactly as the platform converts it, for the medium builder that
// runs without the platform: the script's UTF-8 lines into Shift-JIS, and the Shift-JIS names
// of a package into the UTF-8 names of a Linux file system. The table is the platform's own
// (codepagedump.cpp); a Wine test holds it to the platform character by character. No
// windows.h here: built natively under the sanitizers as well.
#ifndef CODEPAGE932_H
#define CODEPAGE932_H

#include <stddef.h>

enum {
    // Trail bytes 0x40-0xFC without 0x7F.
    CODEPAGE932_TRAILS = 188,
};

// One lead byte: the UTF-16 unit of each trail byte in hex, four digits each, "0000" for none.
struct CodePage932Row {
    unsigned char lead;
    const char *units;
};
extern const CodePage932Row kCodePage932Rows[];
extern const int kCodePage932RowCount;

// The trail byte of position index (0 to CODEPAGE932_TRAILS - 1) of a row.
inline int CodePage932Trail(int index)
{
    return index < 0x3F ? 0x40 + index : 0x41 + index;
}

// The character that starts at bytes (length of them, at least 1) as the platform decodes it
// when invalid bytes are errors: its UTF-16 unit and how many bytes it takes (1 or 2). False
// for a byte that starts no character, a lead byte without its trail, or a pair without one.
bool ShiftJisToUnicode(const unsigned char *bytes, size_t length, unsigned *unit, size_t *used);

// The Shift-JIS bytes of a UTF-16 unit as the platform writes it without best fit: 1 or 2,
// or 0 when code page 932 has no character for it (the platform would write its default).
// Where several pairs decode to the same unit the platform writes JIS X 0208's, then NEC's
// row 13, then IBM's extension, and last NEC's selection of IBM's extension.
size_t UnicodeToShiftJis(unsigned unit, unsigned char bytes[2]);

enum Utf8LineResult { LINE_CONVERTED, LINE_NOT_UTF8, LINE_UNMAPPABLE };

// One line of UTF-8 (without its line end) into Shift-JIS, as the builder on the platform
// converts it: UTF-8 read strictly (no overlong forms, no surrogates, nothing beyond U+10FFFF,
// nothing cut off), then every character without best fit. *outLength is the bytes the line
// needs, of which out takes at most outSize; a line never needs more bytes than it has. On
// LINE_UNMAPPABLE, *codePoint is the first character that has no Shift-JIS form and *column
// its place (from 1, in characters).
Utf8LineResult Utf8LineToShiftJis(const unsigned char *utf8, size_t length, unsigned char *out, size_t outSize,
                                  size_t *outLength, unsigned *codePoint, int *column);

// A zero-terminated Shift-JIS text in UTF-8, as the platform names such a file on a Linux file
// system. False when a byte does not decode or the text does not fit outSize.
bool ShiftJisToUtf8(const char *text, char *out, size_t outSize);

// A zero-terminated UTF-8 text in Shift-JIS; false when it is not UTF-8, a character has no
// Shift-JIS form, or it does not fit outSize.
bool Utf8ToShiftJis(const char *text, char *out, size_t outSize);

#endif
