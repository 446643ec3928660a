#include <stdio.h>

#include "scripterror.h"

// The builder reports the script's first bad item as SETUP names it, on one line.
void ShowScriptError(const char *text)
{
    fprintf(stderr, "%s\n", text);
}
