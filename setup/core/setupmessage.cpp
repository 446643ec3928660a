#include "setupmessage.h"

#include "resource.h"
#include "setupcontext.h"
#include "setupscript.h"

// wsprintfA writes at most 1024 bytes.
enum { MESSAGE_BYTES = 1024, FORMAT_BYTES = 512 };

int ShowSetupMessage(HWND owner, UINT stringId, const char *argument, const char *caption,
                     UINT style)
{
    char format[FORMAT_BYTES];
    if (LoadStringA(setupContext.instance, stringId, format, sizeof format) <= 0)
        format[0] = '\0';
    char text[MESSAGE_BYTES];
    if (argument != NULL)
        wsprintfA(text, format, argument);
    else
        CopyText(text, sizeof text, format);
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
