// Path texts in the ANSI code page (Shift-JIS on the target systems), on the bounded texts
// of text.h. No windows.h here: this file is also built natively, under the sanitizers and
// the fuzzer.
#ifndef PATHTEXT_H
#define PATHTEXT_H

#include <stddef.h>

#include "text.h"

// A path buffer: 260 bytes of text and the terminator.
enum { MAX_PATH_BYTES = 261 };

// One folder of the created-folder and shortcut-folder lists, which have this many slots.
typedef char FolderSlot[MAX_PATH_BYTES];
enum { FOLDER_LIST_SLOTS = 128 };

// dest holds MAX_PATH_BYTES: src with a trailing backslash ensured; returns dest. NULL when
// src is longer than 260 bytes or leaves no room for its backslash: dest then holds src cut
// at the last whole character, no path to use, for a name after it would name another file.
char *EnsureTrailingBackslash(char *dest, const char *src);

// dest (MAX_PATH_BYTES) = folder with a trailing backslash ensured. False, dest empty, when
// the folder does not fit a path, has no room left for the backslash or ends in a lone lead
// byte: a name would then be glued to its last part. An empty folder stays empty.
bool FolderWithBackslash(char *dest, const char *folder);

// folder with a trailing backslash ensured, then name: every join of a folder and a name.
// False, leaving dest empty, when the result would not fit in size bytes: a cut path would
// name another file.
bool JoinFolderName(char *dest, size_t size, const char *folder, const char *name);

// dest holds MAX_PATH_BYTES. A source longer than 260 bytes is cut at the last whole
// character.
char *RemoveTrailingBackslash(char *dest, const char *src);

// The text after the last byte 0x5C. Deliberately not lead-byte aware: a double-byte
// character whose second byte is 0x5C splits the name there, as the installed layout expects.
const char *LastPathComponent(const char *text);

#endif
