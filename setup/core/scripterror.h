// How SETUP's start of the script reader reports the first bad item: a message box in SETUP,
// a collected line in the tests that link the reader.
#ifndef SCRIPTERROR_H
#define SCRIPTERROR_H

// text is the script's file name followed by the item's suffix, e.g. "SETUP.ini Title Error".
void ShowScriptError(const char *text);

#endif
