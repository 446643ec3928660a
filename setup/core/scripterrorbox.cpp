#include <windows.h>

#include "scripterror.h"
#include "setupcontext.h"

// In SETUP the first bad item of the script is shown in a box of its own, before the
// caller's general failure message.
void ShowScriptError(const char *text)
{
    MessageBoxA(NULL, text, setupContext.baseName, MB_OK | MB_ICONERROR);
}
