// How the setup script reader reports the first bad item. SETUP shows a message box;
// a console tool that links the reader defines it as a line on its error output.
#ifndef SCRIPTERROR_H
#define SCRIPTERROR_H

// text is the script's file name followed by the item's suffix, e.g. "SETUP.ini Title Error".
void ShowScriptError(const char *text);

#endif
