// Any bytes as a setup script: the checker reads only what it is given, every finding fits
// its line, the text model's answers stay within the buffers handed to it, and the volume
// label is capitals, digits and '_' within its bound.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "scriptcheck.h"
#include "volumelabel.h"

namespace {

void Look(void *context, const char *path, PackageFile *file)
{
    // A path's first byte picks its kind; the first bytes of the input are a file's head.
    const uint8_t *data = (const uint8_t *)context;
    file->kind = (path[0] & 0x40) != 0 ? PACKAGE_FILE : (PackageKind)((unsigned char)path[0] % (PACKAGE_OUTSIDE + 1));
    CopyText(file->target, sizeof file->target, path);
    file->size = (unsigned char)path[0] * 7u;
    file->headLength = sizeof file->head;
    memcpy(file->head, data, sizeof file->head);
}

// Files are read as the input's first bytes; one whose name begins with a digit cannot be.
unsigned char *Read(void *context, const char *path, size_t *length)
{
    unsigned char *copy = path[0] >= '0' && path[0] <= '9' ? NULL : (unsigned char *)malloc(*length = 64);
    return copy != NULL ? (unsigned char *)memcpy(copy, context, 64) : NULL;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > SCRIPT_MAX_BYTES || size < 64)
        return 0;
    // Line ends made CR LF: only CR and LF change, each into at most two bytes.
    static char crlf[2 * SCRIPT_MAX_BYTES];
    size_t lines = CrLfLines((const char *)data, size, crlf);
    if (lines < size || lines > 2 * size)
        __builtin_trap();
    IniText ini;
    if (!ParseIniText((const char *)data, size, &ini))
        return 0;
    ScriptSource source = {&ini, IniReadKey, IniReadSection};
    PackageProbe probe = {(void *)data, Look, (data[0] & 2) != 0 ? Read : NULL};
    CheckInput input = {"SETUP.ini", "SETUP.ini", &ini, &source, (data[0] & 1) != 0,
                        (data[0] & 4) != 0, (data[0] & 8) != 0 ? &probe : NULL, "PKG", 1000, size};
    static CheckReport report;
    CheckScript(&input, &report);
    for (int i = 0; i < report.count; i++) {
        char line[CHECK_TEXT_BYTES + 64];
        FormatFinding("SETUP.ini", &report.findings[i], line, sizeof line);
        if (report.findings[i].line < 1 || report.findings[i].line > (int)size + 1)
            __builtin_trap();
    }
    char small[3];
    IniReadKey(&ini, "Title", "", small, sizeof small);
    IniReadSection(&ini, "DISK1", small, sizeof small);
    FreeIniText(&ini);
    char label[VOLUME_LABEL_BYTES];
    if (ScriptVolumeLabel((const char *)data, size, (data[0] & 16) != 0, "\x8E\x9E", label) &&
        (label[0] == '\0' || label[0] == '_' || label[strlen(label) - 1] == '_' ||
         strspn(label, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != strlen(label)))
        __builtin_trap();
    return 0;
}
