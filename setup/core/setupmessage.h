// Message boxes, texts and captions from SETUP's string table.
#ifndef SETUPMESSAGE_H
#define SETUPMESSAGE_H

#include <windows.h>

// A string of the table is read into FORMAT_BYTES; formatted it fills at most MESSAGE_BYTES,
// the most the platform's formatter writes.
enum { FORMAT_BYTES = 512, MESSAGE_BYTES = 1024 };

// text (MESSAGE_BYTES) = string stringId with its placeholder replaced by the argument that
// follows: a text for "%s", a long for string 19's "%ld"; nothing for a string without one.
// An id the table lacks gives an empty text.
void FormatSetupString(char *text, UINT stringId, ...);

// Shows string stringId, its "%s" replaced by argument (NULL: a string without one), in a box
// with the given owner, caption and style. Returns the box's result.
int ShowSetupMessage(HWND owner, UINT stringId, const char *argument, const char *caption,
                     UINT style);

// SETUP's failure box: string 3 ("an error occurred, setup is stopped"), error icon, owned by
// owner (NULL: no owner) under the given caption.
void ShowSetupFailure(HWND owner, const char *caption);

// caption = Title followed by the words of string suffixId, cut at a whole character to fit.
void BuildCaption(UINT suffixId);

#endif
