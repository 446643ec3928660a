// Arbitrary folders and listed paths through every path builder of the engine: no overrun,
// and every result either fits its buffer with its terminator or is refused as empty.
#include <stdint.h>
#include <string.h>

#include <string>

#include "installrules.h"
#include "listedfile.h"
#include "uninstallentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    size_t cut = text.find('\n');
    std::string folder = text.substr(0, cut).substr(0, MAX_PATH_BYTES - 1);
    std::string item = cut == std::string::npos ? "" : text.substr(cut + 1);
    folder = folder.c_str();
    item = item.c_str();
    typedef bool (*Builder)(char *, size_t, const char *, const char *);
    const Builder builders[] = {
        MediumSourcePath, ShortcutLinkPath, JoinFolderName,
        [](char *dest, size_t size, const char *folder, const char *path) {
            const MacroFolders folders = {folder, folder, folder};
            return InstalledFilePath(dest, size, &folders, "$Win:", path);
        }};
    for (Builder build : builders) {
        for (size_t room : {size_t(1), size_t(16), size_t(MAX_PATH_BYTES)}) {
            char *out = new char[room];
            bool ok = build(out, room, folder.c_str(), item.c_str());
            if (strlen(out) >= room || (!ok && out[0] != '\0'))
                __builtin_trap();
            delete[] out;
        }
    }
    char temp[MAX_PATH_BYTES];
    if (!CopyTempPath(temp, sizeof temp, item.c_str(), (int)(size % (COPY_TEMP_NAMES + 2)) - 1) && temp[0] != '\0')
        __builtin_trap();
    unsigned long count = 0;
    size_t head = size < SZDD_HEADER_BYTES ? size : SZDD_HEADER_BYTES;
    if (ExpectedCopyBytes(data, head, size, &count) && data[0] != 'S' && count != size)
        __builtin_trap();   // only the compressed form promises another size
    CheckFileName(item.c_str());
    char command[64];
    if (!UninstallCommand(command, sizeof command, folder.c_str(), "SETUP.exe", (int)size, item.c_str()) &&
        command[0] != '\0')
        __builtin_trap();
    return 0;
}
