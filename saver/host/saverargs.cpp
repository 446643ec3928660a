#include "saverargs.h"

#include "text.h"

const char *NextShiftJisChar(const char *text)
{
    if (*text == '\0')
        return text;
    return text + CharBytes(text);
}

const char *SkipProgramName(const char *commandLine, NextCharFunction next)
{
    const char *pos = commandLine;
    if (*pos == '"') {
        pos = next(pos);
        while (*pos != '\0' && *pos != '"')
            pos = next(pos);
        if (*pos == '"')
            pos = next(pos);
    } else if ((unsigned char)*pos > 0x20) {
        while ((unsigned char)*pos > 0x20)
            pos = next(pos);
    }
    while (*pos != '\0' && (unsigned char)*pos <= 0x20)
        pos = next(pos);
    return pos;
}

uint32_t ParseDecimalHandle(const char *text)
{
    uint32_t value = 0;
    for (const char *pos = text; *pos >= '0' && *pos <= '9'; pos++)
        value = value * 10u + (uint32_t)(*pos - '0');
    return value;
}

static uint32_t HandleAfterLetter(const char *letter)
{
    const char *pos = letter + 1;
    while (*pos == ' ')
        pos++;
    return ParseDecimalHandle(pos);
}

SaverRequest ParseSaverMode(const char *argumentText)
{
    SaverRequest request = {InvalidMode, false, 0};
    const char *pos = argumentText;
    while (*pos == ' ' || *pos == '-' || *pos == '/')
        pos++;
    switch (*pos) {
    case '\0':
        request.mode = ConfigureMode;
        break;
    case 's':
    case 'S':
        request.mode = FullScreenMode;
        break;
    case 'c':
    case 'C':
        // A number after the letter (/c:508) is not read: the owner is the foreground window.
        request.mode = ConfigureMode;
        request.ownerIsForeground = true;
        break;
    case 'p':
    case 'P':
    case 'l':
    case 'L':
        request.mode = PreviewMode;
        request.handle = HandleAfterLetter(pos);
        break;
    case 'a':
    case 'A':
        request.mode = ChangePasswordMode;
        request.handle = HandleAfterLetter(pos);
        break;
    default:
        break;
    }
    return request;
}
