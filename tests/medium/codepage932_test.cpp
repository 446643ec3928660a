// Code page 932 from the committed table at the characters where tables of Shift-JIS
// disagree, and the lines and names the native builder converts with it. (The Wine test
// holds every character to the platform; these cases show what that means.)
#include <gtest/gtest.h>

#include <string>

#include "codepage932.h"

namespace {

struct LineCase {
    const char *name;
    std::string utf8;
    Utf8LineResult result;
    std::string shiftJis;   // LINE_CONVERTED
    unsigned codePoint;     // LINE_UNMAPPABLE
    int column;
};

TEST(CodePage932, LinesConvertAsThePlatformConvertsThem)
{
    const LineCase cases[] = {
        {"empty", "", LINE_CONVERTED, "", 0, 0},
        {"ASCII with its backslash and tilde", "a\\~", LINE_CONVERTED, "a\\~", 0, 0},
        {"U+0080 is the byte 0x80", "\xC2\x80", LINE_CONVERTED, "\x80", 0, 0},
        {"half-width katakana, first and last", "\xEF\xBD\xA1\xEF\xBE\x9F", LINE_CONVERTED, "\xA1\xDF", 0, 0},
        {"kanji", "時計", LINE_CONVERTED, "\x8E\x9E\x8C\x76", 0, 0},
        {"FULLWIDTH TILDE is 0x8160", "\xEF\xBD\x9E", LINE_CONVERTED, "\x81\x60", 0, 0},
        {"WAVE DASH has no form", "a\xE3\x80\x9C", LINE_UNMAPPABLE, "", 0x301C, 2},
        {"the yen sign is not best-fitted to 0x5C", "\xC2\xA5", LINE_UNMAPPABLE, "", 0xA5, 1},
        {"FULLWIDTH YEN SIGN", "\xEF\xBF\xA5", LINE_CONVERTED, "\x81\x8F", 0, 0},
        {"NEC row 13: circled digit one", "\xE2\x91\xA0", LINE_CONVERTED, "\x87\x40", 0, 0},
        {"Roman numeral one: NEC's, not IBM's", "\xE2\x85\xA0", LINE_CONVERTED, "\x87\x54", 0, 0},
        {"small Roman numeral one: IBM's, not NEC's selection", "\xE2\x85\xB0", LINE_CONVERTED, "\xFA\x40", 0, 0},
        {"because: JIS X 0208's, not NEC's or IBM's", "\xE2\x88\xB5", LINE_CONVERTED, "\x81\xE6", 0, 0},
        {"not sign: JIS X 0208's fullwidth form", "\xEF\xBF\xA2", LINE_CONVERTED, "\x81\xCA", 0, 0},
        {"IBM extension: the tall taka, last pair", "\xE9\xAB\x99", LINE_CONVERTED, "\xFB\xFC", 0, 0},
        {"the user-defined area's first pair", "\xEE\x80\x80", LINE_CONVERTED, "\xF0\x40", 0, 0},
        {"the user-defined area's last pair", "\xEE\x9D\x97", LINE_CONVERTED, "\xF9\xFC", 0, 0},
        {"one past the user-defined area", "\xEE\x9D\x98", LINE_UNMAPPABLE, "", 0xE758, 1},
        {"U+F8F0 is the byte 0xA0", "\xEF\xA3\xB0", LINE_CONVERTED, "\xA0", 0, 0},
        {"U+F8F3 is the byte 0xFF", "\xEF\xA3\xB3", LINE_CONVERTED, "\xFF", 0, 0},
        {"a byte-order mark inside a line", "a\xEF\xBB\xBF", LINE_UNMAPPABLE, "", 0xFEFF, 2},
        {"beyond the BMP: one column", "\xF0\x9F\x98\x80\xE3\x80\x9C", LINE_UNMAPPABLE, "", 0x1F600, 1},
        {"the column counts characters, not bytes", "時計\xF0\x9F\x98\x80", LINE_UNMAPPABLE, "", 0x1F600, 3},
        {"an overlong slash", "\xC0\xAF", LINE_NOT_UTF8, "", 0, 0},
        {"a surrogate", "\xED\xA0\x80", LINE_NOT_UTF8, "", 0, 0},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", LINE_NOT_UTF8, "", 0, 0},
        {"cut off", "a\xE3\x81", LINE_NOT_UTF8, "", 0, 0},
        {"not UTF-8 after a character that has no form", "\xE3\x80\x9C\xFF", LINE_NOT_UTF8, "", 0, 0},
        {"Shift-JIS is not UTF-8", "\x8E\x9E\x8C\x76", LINE_NOT_UTF8, "", 0, 0},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.name);
        unsigned char out[16];
        size_t length = 99;
        unsigned codePoint = 0;
        int column = 0;
        Utf8LineResult result = Utf8LineToShiftJis((const unsigned char *)c.utf8.data(), c.utf8.size(), out,
                                                   c.utf8.size(), &length, &codePoint, &column);
        ASSERT_EQ(c.result, result);
        if (result == LINE_CONVERTED)
            EXPECT_EQ(c.shiftJis, std::string((const char *)out, length));
        if (result == LINE_UNMAPPABLE) {
            EXPECT_EQ(c.codePoint, codePoint);
            EXPECT_EQ(c.column, column);
        }
    }
}

// Pairs that several extensions share all read as the one character.
TEST(CodePage932, SharedCharactersReadFromEveryPair)
{
    const struct {
        std::string shiftJis;
        unsigned unit;
    } cases[] = {
        {"\x81\xCA", 0xFFE2}, {"\xEE\xF9", 0xFFE2}, {"\xFA\x54", 0xFFE2},   // not sign
        {"\x87\x54", 0x2160}, {"\xFA\x4A", 0x2160},                         // Roman numeral one
        {"\xED\x40", 0x7E8A}, {"\xFA\x5C", 0x7E8A},                         // NEC's selection and IBM's
        {"\x80", 0x80},       {"\x5C", 0x5C},       {"\x7E", 0x7E},
    };
    for (const auto &c : cases) {
        unsigned unit = 0;
        size_t used = 0;
        EXPECT_TRUE(ShiftJisToUnicode((const unsigned char *)c.shiftJis.data(), c.shiftJis.size(), &unit, &used));
        EXPECT_EQ(c.unit, unit) << std::hex << (unsigned char)c.shiftJis[0];
        EXPECT_EQ(c.shiftJis.size(), used);
    }
}

// Names on the medium (Shift-JIS) as a Linux file system names them (UTF-8), and back.
TEST(CodePage932, NamesTravelBetweenShiftJisAndUtf8)
{
    const struct {
        const char *name;
        const char *shiftJis;
        const char *utf8;   // NULL: no UTF-8 name
    } cases[] = {
        {"ASCII", "A.TXT", "A.TXT"},
        {"a trail byte 0x5C stays in its character", "\x95\x5C.txt", "表.txt"},
        {"half-width katakana", "\xB6\xC5", "ｶﾅ"},
        {"a lead byte at the end", "a\x82", NULL},
        {"a pair with no character", "\x85\x40", NULL},
        {"0xA0 reads as no character", "\xA0", NULL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        char utf8[64], back[64];
        ASSERT_EQ(c.utf8 != NULL, ShiftJisToUtf8(c.shiftJis, utf8, sizeof utf8));
        if (c.utf8 == NULL)
            continue;
        EXPECT_STREQ(c.utf8, utf8);
        ASSERT_TRUE(Utf8ToShiftJis(utf8, back, sizeof back));
        EXPECT_STREQ(c.shiftJis, back);
    }
    // Room: "表" takes three UTF-8 bytes and the terminator one more.
    char small[8];
    EXPECT_FALSE(ShiftJisToUtf8("\x95\x5C", small, 3));
    EXPECT_TRUE(ShiftJisToUtf8("\x95\x5C", small, 4));
    EXPECT_TRUE(ShiftJisToUtf8("abc", small, 4));
    EXPECT_FALSE(ShiftJisToUtf8("abcd", small, 4));
    EXPECT_FALSE(Utf8ToShiftJis("〜", small, sizeof small));   // WAVE DASH
    EXPECT_FALSE(Utf8ToShiftJis("\xFF", small, sizeof small));
    EXPECT_FALSE(Utf8ToShiftJis("abcd", small, 4));
    // Three UTF-8 bytes a character, two Shift-JIS ones: the Shift-JIS form decides the room.
    EXPECT_TRUE(Utf8ToShiftJis("時", small, 3));
    EXPECT_FALSE(Utf8ToShiftJis("時計", small, 4));
    EXPECT_TRUE(Utf8ToShiftJis("時計", small, 5));
    EXPECT_STREQ("\x8E\x9E\x8C\x76", small);
}

}  // namespace
