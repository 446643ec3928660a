// Writes codepage932table.cpp from the platform's own conversion: for every lead byte of code
// page 932, the UTF-16 unit that MultiByteToWideChar (MB_ERR_INVALID_CHARS) gives each pair.
// Run once under Wine (scripts/wine-run.sh ... codepagedump.exe > codepage932table.cpp);
// codepage932_win32_test holds the committed table to the platform on every test run.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "codepage932.h"

int main()
{
    // LF line ends, as the rest of the sources.
    _setmode(_fileno(stdout), _O_BINARY);
    printf("// Code page 932 as the platform decodes it: for each lead byte, the UTF-16 unit of the pair\n"
           "// with each trail byte 0x40 to 0xFC (0x7F left out), four hex digits, 0000 where the pair\n"
           "// is no character. Written by codepagedump.exe under Wine; do not edit.\n"
           "#include \"codepage932.h\"\n\n"
           "extern const CodePage932Row kCodePage932Rows[] = {\n");
    int rows = 0;
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        char text[CODEPAGE932_TRAILS * 4 + 1];
        int mapped = 0;
        for (int i = 0; i < CODEPAGE932_TRAILS; i++) {
            char pair[2] = {(char)lead, (char)CodePage932Trail(i)};
            WCHAR unit = 0;
            if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair, 2, &unit, 1) != 1)
                unit = 0;
            mapped += unit != 0;
            snprintf(text + i * 4, 5, "%04X", (unsigned)unit);
        }
        if (mapped == 0)
            continue;
        printf("    {0x%02X,\n", lead);
        for (int part = 0; part < 4; part++)
            printf("     \"%.*s\"%s\n", CODEPAGE932_TRAILS, text + part * CODEPAGE932_TRAILS, part == 3 ? "}," : "");
        rows++;
    }
    printf("};\n\nextern const int kCodePage932RowCount = %d;\n", rows);
    return 0;
}
