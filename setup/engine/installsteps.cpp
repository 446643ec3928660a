#include "installsteps.h"

#include "setupcontext.h"

// wsprintfA writes at most 1024 bytes; the argument is one path.
enum { LINE_BYTES = 1024 };

EngineState engineState;

void ShowProgressLine(HWND dialog, int lineId, UINT stringId, const char *argument)
{
    char format[LINE_BYTES / 2];
    if (LoadStringA(setupContext.instance, stringId, format, sizeof format) <= 0)
        format[0] = '\0';
    char line[LINE_BYTES];
    wsprintfA(line, format, argument);
    SetDlgItemTextA(dialog, lineId, line);
}

