// Bounded texts in the ANSI code page (Shift-JIS on the target systems): the ground floor of
// every program and tool. No windows.h here: this file is also built natively, under the
// sanitizers and the fuzzer.
#ifndef TEXT_H
#define TEXT_H

#include <stddef.h>

// True for the Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte(unsigned char byte);

// Bytes of the character starting at `at`: 2 for a lead byte with a byte after it, else 1.
// A lead byte just before the terminator counts as one byte, so a walk never passes the end.
size_t CharBytes(const char *at);

// 'a'-'z' to 'A'-'Z'; every other byte as it is.
char AsciiUpper(char c);

// Equal texts, ASCII letters compared without case, double-byte characters compared exactly.
bool SameTextIgnoringCase(const char *a, const char *b);

// The same comparison over the first length bytes of a and b, which may go on (or hold zero
// bytes) beyond them; a lead byte as the last of those bytes counts as a character alone.
bool SameLeadingTextIgnoringCase(const char *a, const char *b, size_t length);

// Copies at most destSize - 1 bytes and terminates. A double-byte character that does not
// fit whole is left out, so the copy is always valid Shift-JIS. Returns the bytes copied.
size_t CopyText(char *dest, size_t destSize, const char *src);

// Appends src to dest when the whole result fits in destSize; otherwise leaves dest as it
// was and returns false. For texts that must not be cut, such as paths and commands.
bool AppendText(char *dest, size_t destSize, const char *src);

// dest = the texts in order, when they all fit in size bytes; otherwise false with dest
// empty (when it has a byte at all). For texts built of parts, such as keys and commands.
bool ConcatTexts(char *dest, size_t size, const char *const *parts, size_t count);

// Appends a number given as its sign and magnitude in decimal, the digits padded with zeros
// to minDigits (at most 14), on the same terms as AppendText. The one decimal writer of the
// programs, which format numbers with it rather than pull a printf family into pure code: 32
// bits of magnitude hold any int, and any sum of an int and a small offset.
bool AppendDigits(char *dest, size_t destSize, bool negative, unsigned magnitude, int minDigits);

// Appends value in decimal ("-" first when negative) on the same terms as AppendText.
bool AppendDecimal(char *dest, size_t destSize, int value);

// True when a single-byte character equal to byte starts exactly at pos.
bool IsSingleByteCharAt(const char *text, size_t pos, char byte);

#endif
