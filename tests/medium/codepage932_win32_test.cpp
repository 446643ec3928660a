// The committed code page 932 table against the platform's own conversion, which the builder
// on the platform uses: every UTF-16 unit written, every byte and pair read, and UTF-8 read
// at its boundaries.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "codepage932.h"

namespace {

std::string Hex(const void *bytes, size_t length)
{
    std::string text;
    char two[4];
    for (size_t i = 0; i < length; i++) {
        wsprintfA(two, "%02X", ((const unsigned char *)bytes)[i]);
        text += two;
    }
    return text.empty() ? "nothing" : text;
}

TEST(CodePage932, EveryUnitIsWrittenAsThePlatformWritesIt)
{
    int written = 0, differ = 0;
    for (unsigned unit = 0; unit <= 0xFFFF; unit++) {
        WCHAR wide = (WCHAR)unit;
        char strict[4], plain[4];
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, strict, sizeof strict, NULL, &usedDefault);
        // The builder refuses a line with a character written by its default; otherwise it
        // converts with no flags, which must then give the same bytes.
        int p = WideCharToMultiByte(932, 0, &wide, 1, plain, sizeof plain, NULL, NULL);
        size_t platform = usedDefault ? 0 : (size_t)n;
        unsigned char ours[2];
        size_t m = UnicodeToShiftJis(unit, ours);
        bool same = m == platform && memcmp(ours, strict, m) == 0 &&
                    (platform == 0 || (p == n && memcmp(plain, strict, platform) == 0));
        if (!same && differ++ < 20)
            ADD_FAILURE() << "U+" << std::hex << unit << ": the platform writes " << Hex(strict, platform)
                          << " (without flags " << Hex(plain, p) << "), the table " << Hex(ours, m);
        written += platform > 0;
    }
    EXPECT_EQ(0, differ);
    // Every character of code page 932 (JIS X 0208, NEC's and IBM's extensions, half-width
    // katakana, the user-defined area) and no more.
    EXPECT_GT(written, 9000);
}

TEST(CodePage932, EveryByteAndPairIsReadAsThePlatformReadsIt)
{
    int differ = 0;
    for (unsigned first = 0; first <= 0xFF; first++) {
        for (unsigned second = 0; second <= 0xFF; second++) {
            unsigned char bytes[2] = {(unsigned char)first, (unsigned char)second};
            unsigned unit = 0;
            size_t used = 0;
            bool ours = ShiftJisToUnicode(bytes, 2, &unit, &used);
            // The platform reads the first character alone when it takes one byte.
            WCHAR wide[2] = {0, 0};
            size_t length = ours ? used : IsDBCSLeadByteEx(932, (BYTE)first) ? 2 : 1;
            int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, (const char *)bytes, (int)length, wide, 2);
            bool same = ours ? n == 1 && wide[0] == unit : n == 0;
            if (!same && differ++ < 20)
                ADD_FAILURE() << Hex(bytes, length) << ": the platform reads " << n << " unit(s) " << std::hex
                              << wide[0] << ", the table " << (ours ? "" : "nothing ") << unit;
            if (length == 1 && second > 0)
                break;   // a single byte reads alike with any byte after it
        }
    }
    EXPECT_EQ(0, differ);
    // A lead byte at the end of the text is no character for either.
    unsigned char lead = 0x82;
    unsigned unit = 0;
    size_t used = 0;
    WCHAR wide;
    EXPECT_FALSE(ShiftJisToUnicode(&lead, 1, &unit, &used));
    EXPECT_EQ(0, MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, (const char *)&lead, 1, &wide, 1));
}

TEST(CodePage932, Utf8IsReadAsThePlatformReadsIt)
{
    // The edges of each sequence length, overlong forms, surrogates, the end of Unicode,
    // sequences cut off or interrupted.
    const char *const cases[] = {
        "a",
        "\xC0\x80",
        "\xC1\xBF",
        "\xC2\x80",
        "\xDF\xBF",
        "\xE0\x80\x80",
        "\xE0\x9F\xBF",
        "\xE0\xA0\x80",
        "\xED\x9F\xBF",
        "\xED\xA0\x80",
        "\xED\xBF\xBF",
        "\xEE\x80\x80",
        "\xEF\xBF\xBF",
        "\xF0\x8F\xBF\xBF",
        "\xF0\x90\x80\x80",
        "\xF4\x8F\xBF\xBF",
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xF8\x88\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\x80",
        "a\xC2",
        "a\xE3\x81",
        "\xE3\x81"
        "a",
        "\xF0\x9F\x98",
        "\xED\xA0\x80\xED\xB0\x80",
        "\xEF\xBB\xBF",
    };
    for (const char *text : cases) {
        WCHAR wide[8];
        size_t length = strlen(text);
        bool platform = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, (int)length, wide, 8) > 0;
        unsigned char out[8];
        size_t outLength = 0;
        unsigned codePoint = 0;
        int column = 0;
        bool ours = Utf8LineToShiftJis((const unsigned char *)text, length, out, sizeof out, &outLength, &codePoint,
                                       &column) != LINE_NOT_UTF8;
        EXPECT_EQ(platform, ours) << Hex(text, length);
    }
}

}  // namespace
