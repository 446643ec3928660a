#include "volumelabel.h"

#include "scriptcheck.h"
#include "text.h"

namespace {

bool IsLetterOrDigit(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The label's rule over one text; a cut never leaves a '_' at the end.
void LabelOf(const char *text, bool utf8, char label[VOLUME_LABEL_BYTES])
{
    size_t n = 0;
    bool gap = false;
    for (size_t i = 0; text[i] != '\0' && n < VOLUME_LABEL_MAX;) {
        unsigned char c = (unsigned char)text[i];
        // A Shift-JIS trail byte may be an ASCII letter: a double-byte character counts
        // whole. Every byte of a UTF-8 sequence lies above the ASCII range.
        size_t bytes = !utf8 && IsLeadByte(c) && text[i + 1] != '\0' ? 2 : 1;
        i += bytes;
        if (bytes == 2 || !IsLetterOrDigit(c)) {
            gap = n > 0;
            continue;
        }
        if (gap) {
            if (n + 1 >= VOLUME_LABEL_MAX)
                break;
            label[n++] = '_';
            gap = false;
        }
        label[n++] = AsciiUpper((char)c);
    }
    label[n] = '\0';
}

}  // namespace

bool ScriptVolumeLabel(const char *text, size_t length, bool utf8, const char *baseName,
                       char label[VOLUME_LABEL_BYTES])
{
    if (length >= 3 && (unsigned char)text[0] == 0xEF && (unsigned char)text[1] == 0xBB &&
        (unsigned char)text[2] == 0xBF) {
        text += 3;
        length -= 3;
        utf8 = true;
    }
    IniText ini;
    if (!ParseIniText(text, length, &ini))
        return false;
    // SETUP's own width for the Title.
    char title[SCRIPT_TEXT_BYTES];
    IniReadKey(&ini, "Title", "", title, sizeof title);
    FreeIniText(&ini);
    LabelOf(title, utf8, label);
    if (label[0] == '\0')
        LabelOf(baseName, false, label);
    if (label[0] == '\0')
        CopyText(label, VOLUME_LABEL_BYTES, "SETUP");
    return true;
}
