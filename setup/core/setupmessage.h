// Message boxes and captions from SETUP's string table.
#ifndef SETUPMESSAGE_H
#define SETUPMESSAGE_H

#include <windows.h>

// Shows string stringId, its "%s" replaced by argument (NULL: the string as it is), in a box
// with the given owner, caption and style. Returns the box's result.
int ShowSetupMessage(HWND owner, UINT stringId, const char *argument, const char *caption,
                     UINT style);

// SETUP's failure box: string 3 ("an error occurred, setup is stopped"), error icon, owned by
// owner (NULL: no owner) under the given caption.
void ShowSetupFailure(HWND owner, const char *caption);

// caption = Title followed by the words of string suffixId, cut at a whole character to fit.
void BuildCaption(UINT suffixId);

#endif
