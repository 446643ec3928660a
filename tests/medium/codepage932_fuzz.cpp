// Any bytes as a line of a UTF-8 script and as a Shift-JIS name: nothing is written beyond
// the room given, and a converted line reads back as the characters it was made of.
#include <stdint.h>
#include <string.h>

#include "codepage932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    // Exactly the room a line may need, so that an overrun is the sanitizer's to see.
    unsigned char *out = new unsigned char[size > 0 ? size : 1];
    size_t length = 0;
    unsigned codePoint = 0;
    int column = 0;
    Utf8LineResult result = Utf8LineToShiftJis(data, size, out, size, &length, &codePoint, &column);
    if (length > size || (result == LINE_UNMAPPABLE && (column < 1 || (size_t)column > size)))
        __builtin_trap();
    if (result == LINE_CONVERTED) {
        // Each character back: the bytes the table writes for it are the next ones.
        size_t at = 0;
        for (size_t i = 0; i < size;) {
            unsigned char bytes[2];
            unsigned unit = data[i];
            size_t n = unit < 0x80 ? 1 : unit < 0xE0 ? 2 : unit < 0xF0 ? 3 : 4;
            unit = n == 1 ? unit : n == 2 ? (unit & 0x1F) << 6 | (data[i + 1] & 0x3F)
                                 : (unit & 0x0F) << 12 | (data[i + 1] & 0x3F) << 6 | (data[i + 2] & 0x3F);
            size_t m = UnicodeToShiftJis(unit, bytes);
            if (n == 4 || m == 0 || at + m > length || memcmp(out + at, bytes, m) != 0)
                __builtin_trap();
            unsigned back = 0;
            size_t used = 0;
            // Pairs read back as their character (0xA0 and 0xFD-0xFF read as none).
            if (m == 2 && (!ShiftJisToUnicode(out + at, 2, &back, &used) || back != unit))
                __builtin_trap();
            at += m;
            i += n;
        }
        if (at != length)
            __builtin_trap();
    }
    delete[] out;
    // The same bytes as a zero-terminated name, into buffers too small and large enough.
    char name[512];
    size_t nameLength = size < sizeof name - 1 ? size : sizeof name - 1;
    memcpy(name, data, nameLength);
    name[nameLength] = '\0';
    char utf8[3 * sizeof name], back[sizeof name];
    if (ShiftJisToUtf8(name, utf8, sizeof utf8) && !Utf8ToShiftJis(utf8, back, sizeof back))
        __builtin_trap();
    ShiftJisToUtf8(name, utf8, nameLength / 2);
    Utf8ToShiftJis(name, back, nameLength / 2);
    return 0;
}
