#include "codepage932.h"

#include <string.h>

namespace {

enum {
    FIRST_LEAD = 0x80,
    HALF_WIDTH_FIRST = 0xA1,   // 0xA1-0xDF: half-width katakana U+FF61-U+FF9F
    HALF_WIDTH_LAST = 0xDF,
    HALF_WIDTH_UNICODE = 0xFF61,
    // 0xA0 and 0xFD-0xFF decode to nothing, yet the platform writes them for these units.
    PRIVATE_A0 = 0xF8F0,
    PRIVATE_FD = 0xF8F1,
    PRIVATE_FF = 0xF8F3,
};

// Pairs by (lead - 0x80) * 256 + trail; Shift-JIS pairs by UTF-16 unit. 0: none.
unsigned short pairToUnit[(0x100 - FIRST_LEAD) * 0x100];
unsigned short unitToPair[0x10000];
bool tablesReady;

bool IsLead(unsigned byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

int HexDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
}

// Of two pairs with the same unit the platform writes the one of the earlier family.
int PairFamily(unsigned pair)
{
    unsigned lead = pair >> 8;
    if (lead == 0x87)
        return 1;   // NEC row 13
    if (lead >= 0xFA && lead <= 0xFC)
        return 2;   // IBM extension
    if (lead == 0xED || lead == 0xEE)
        return 3;   // NEC's selection of the IBM extension
    return 0;       // JIS X 0208 and the user-defined area
}

void MakeTables()
{
    if (tablesReady)
        return;
    for (int r = 0; r < kCodePage932RowCount; r++) {
        const CodePage932Row &row = kCodePage932Rows[r];
        for (int i = 0; i < CODEPAGE932_TRAILS; i++) {
            const char *hex = row.units + i * 4;
            unsigned unit = 0;
            for (int k = 0; k < 4; k++)
                unit = unit * 16 + (unsigned)HexDigit(hex[k]);
            if (unit == 0)
                continue;
            unsigned pair = (unsigned)row.lead << 8 | (unsigned)CodePage932Trail(i);
            pairToUnit[pair - (FIRST_LEAD << 8)] = (unsigned short)unit;
            unsigned earlier = unitToPair[unit];
            if (earlier == 0 || PairFamily(pair) < PairFamily(earlier))
                unitToPair[unit] = (unsigned short)pair;
        }
    }
    tablesReady = true;
}

// One strict UTF-8 sequence at text: its code point and length, or 0 when it is not UTF-8.
size_t DecodeUtf8(const unsigned char *text, size_t length, unsigned *codePoint)
{
    unsigned b = text[0];
    size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (n == 0 || n > length)
        return 0;
    unsigned value = n == 1 ? b : b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; k++) {
        if ((text[k] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (text[k] & 0x3F);
    }
    static const unsigned shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < shortest[n] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return n;
}

size_t PutUtf8(unsigned unit, char *out)
{
    if (unit < 0x80) {
        out[0] = (char)unit;
        return 1;
    }
    if (unit < 0x800) {
        out[0] = (char)(0xC0 | unit >> 6);
        out[1] = (char)(0x80 | (unit & 0x3F));
        return 2;
    }
    out[0] = (char)(0xE0 | unit >> 12);
    out[1] = (char)(0x80 | ((unit >> 6) & 0x3F));
    out[2] = (char)(0x80 | (unit & 0x3F));
    return 3;
}

}  // namespace

bool ShiftJisToUnicode(const unsigned char *bytes, size_t length, unsigned *unit, size_t *used)
{
    unsigned b = bytes[0];
    *used = 1;
    if (b <= 0x80) {
        *unit = b;
        return true;
    }
    if (b >= HALF_WIDTH_FIRST && b <= HALF_WIDTH_LAST) {
        *unit = HALF_WIDTH_UNICODE + (b - HALF_WIDTH_FIRST);
        return true;
    }
    if (!IsLead(b) || length < 2)
        return false;
    MakeTables();
    *unit = pairToUnit[(b - FIRST_LEAD) << 8 | bytes[1]];
    *used = 2;
    return *unit != 0;
}

size_t UnicodeToShiftJis(unsigned unit, unsigned char bytes[2])
{
    if (unit <= 0x80) {
        bytes[0] = (unsigned char)unit;
        return 1;
    }
    if (unit >= HALF_WIDTH_UNICODE && unit <= HALF_WIDTH_UNICODE + (HALF_WIDTH_LAST - HALF_WIDTH_FIRST)) {
        bytes[0] = (unsigned char)(unit - HALF_WIDTH_UNICODE + HALF_WIDTH_FIRST);
        return 1;
    }
    if (unit == PRIVATE_A0 || (unit >= PRIVATE_FD && unit <= PRIVATE_FF)) {
        bytes[0] = (unsigned char)(unit == PRIVATE_A0 ? 0xA0 : 0xFD + (unit - PRIVATE_FD));
        return 1;
    }
    if (unit > 0xFFFF)
        return 0;
    MakeTables();
    unsigned pair = unitToPair[unit];
    if (pair == 0)
        return 0;
    bytes[0] = (unsigned char)(pair >> 8);
    bytes[1] = (unsigned char)(pair & 0xFF);
    return 2;
}

Utf8LineResult Utf8LineToShiftJis(const unsigned char *utf8, size_t length, unsigned char *out, size_t outSize,
                                  size_t *outLength, unsigned *codePoint, int *column)
{
    *outLength = 0;
    // The whole line is read first: a line that is not UTF-8 is that, whatever it holds.
    for (size_t i = 0; i < length;) {
        unsigned value = 0;
        size_t n = DecodeUtf8(utf8 + i, length - i, &value);
        if (n == 0)
            return LINE_NOT_UTF8;
        i += n;
    }
    int place = 0;
    for (size_t i = 0; i < length;) {
        unsigned value = 0;
        i += DecodeUtf8(utf8 + i, length - i, &value);
        place++;
        unsigned char bytes[2];
        size_t n = UnicodeToShiftJis(value, bytes);
        if (n == 0) {
            *codePoint = value;
            *column = place;
            return LINE_UNMAPPABLE;
        }
        // Bytes beyond the room are counted, not written: the caller sees they did not fit.
        for (size_t k = 0; k < n; k++, (*outLength)++)
            if (*outLength < outSize)
                out[*outLength] = bytes[k];
    }
    return LINE_CONVERTED;
}

bool ShiftJisToUtf8(const char *text, char *out, size_t outSize)
{
    const unsigned char *p = (const unsigned char *)text;
    size_t length = 0;
    while (p[length] != 0)
        length++;
    size_t n = 0;
    for (size_t i = 0; i < length;) {
        unsigned unit = 0;
        size_t used = 0;
        char bytes[3];
        if (!ShiftJisToUnicode(p + i, length - i, &unit, &used))
            return false;
        size_t k = PutUtf8(unit, bytes);
        if (n + k >= outSize)
            return false;
        memcpy(out + n, bytes, k);
        n += k;
        i += used;
    }
    if (outSize == 0)
        return false;
    out[n] = '\0';
    return true;
}

bool Utf8ToShiftJis(const char *text, char *out, size_t outSize)
{
    const unsigned char *p = (const unsigned char *)text;
    size_t length = 0;
    while (p[length] != 0)
        length++;
    size_t n = 0;
    unsigned codePoint = 0;
    int column = 0;
    if (outSize == 0 ||
        Utf8LineToShiftJis(p, length, (unsigned char *)out, outSize - 1, &n, &codePoint, &column) != LINE_CONVERTED ||
        n > outSize - 1)
        return false;
    out[n] = '\0';
    return true;
}
