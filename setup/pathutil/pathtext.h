// Path texts in the ANSI code page (Shift-JIS on the target systems). No windows.h here:
// this file is also built natively, under the sanitizers and the fuzzer.
#ifndef PATHTEXT_H
#define PATHTEXT_H

#include <stddef.h>

// A path buffer: 260 bytes of text and the terminator.
enum { MAX_PATH_BYTES = 261 };

// One folder of the created-folder and shortcut-folder lists, which have this many slots.
typedef char FolderSlot[MAX_PATH_BYTES];
enum { FOLDER_LIST_SLOTS = 128 };

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

// Appends value in decimal ("-" first when negative) on the same terms as AppendText. The
// programs format numbers with this rather than pull a printf family into pure code.
bool AppendDecimal(char *dest, size_t destSize, int value);

// dest holds MAX_PATH_BYTES. A source longer than 260 bytes is cut at the last whole
// character; the backslash is appended only if there is still room for it.
char *EnsureTrailingBackslash(char *dest, const char *src);
char *RemoveTrailingBackslash(char *dest, const char *src);

// True when a single-byte character equal to byte starts exactly at pos.
bool IsSingleByteCharAt(const char *text, size_t pos, char byte);

// The text after the last byte 0x5C. Deliberately not lead-byte aware: a double-byte
// character whose second byte is 0x5C splits the name there, as the installed layout expects.
const char *LastPathComponent(const char *text);

#endif
