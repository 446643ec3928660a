// Arbitrary bytes as a registry value and an entry number, through the uninstall entry's scan:
// the value terminated in its buffer and compared with a title, the key built from the number.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "uninstallentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The value fills the start of a buffer whose capacity the first byte gives.
    size_t capacity = 1 + data[0] % DISPLAY_NAME_BYTES;
    char value[DISPLAY_NAME_BYTES];
    size_t length = size - 1 < capacity ? size - 1 : capacity;
    memcpy(value, data + 1, length);
    std::string title((const char *)data, size);
    DisplayNameMatches(value, length, capacity, title.c_str());

    char key[UNINSTALL_KEY_BYTES];
    std::string number = title.substr(0, title.find('\0'));
    UninstallEntryKeyText(key, sizeof key, "SETUP", number.c_str());
    return 0;
}
