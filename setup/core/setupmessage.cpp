#include "setupmessage.h"

#include <stdarg.h>

#include "resource.h"
#include "setupcontext.h"
#include "setupscript.h"

void FormatSetupString(char *text, UINT stringId, ...)
{
    char format[FORMAT_BYTES];
    if (LoadStringA(setupContext.instance, stringId, format, sizeof format) <= 0)
        format[0] = '\0';
    va_list arguments;
    va_start(arguments, stringId);
    wvsprintfA(text, format, arguments);
    va_end(arguments);
}

int ShowSetupMessage(HWND owner, UINT stringId, const char *argument, const char *caption,
                     UINT style)
{
    char text[MESSAGE_BYTES];
    FormatSetupString(text, stringId, argument);
    return MessageBoxA(owner, text, caption, style);
}

void ShowSetupFailure(HWND owner, const char *caption)
{
    ShowSetupMessage(owner, IDS_SETUP_ERROR, NULL, caption, MB_OK | MB_ICONERROR);
}

void BuildCaption(UINT suffixId)
{
    char suffix[NAME_BYTES];
    if (LoadStringA(setupContext.instance, suffixId, suffix, sizeof suffix) <= 0)
        suffix[0] = '\0';
    char *caption = setupContext.caption;
    size_t length = CopyText(caption, sizeof setupContext.caption, setupScript.Title);
    CopyText(caption + length, sizeof setupContext.caption - length, suffix);
}
