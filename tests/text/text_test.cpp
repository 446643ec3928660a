// The bounded texts, natively under the sanitizers and again as a Win32 program under Wine.
#include <gtest/gtest.h>

#include <string.h>

#include "text.h"

namespace {

TEST(Text, LeadBytesAreExactlyTheShiftJisRanges)
{
    for (int b = 0; b < 256; b++) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(expected, IsLeadByte((unsigned char)b)) << "byte 0x" << std::hex << b;
    }
}

TEST(Text, CaseBlindComparisonTakesDoubleByteCharactersWhole)
{
    struct Case {
        const char *name;
        const char *a;
        const char *b;
        size_t length;      // bytes the leading comparison looks at
        bool same;          // whole texts
        bool sameLeading;   // their first length bytes
    };
    const Case cases[] = {
        {"letters without case", "Setup.INI", "sETUP.ini", 9, true, true},
        {"digits and signs exactly", "$App:1", "$APP:1", 6, true, true},
        {"a longer text", "ab", "abc", 2, false, true},
        {"empty texts", "", "", 0, true, true},
        // 0x82 0x61 and 0x82 0x41 are two different characters whose second bytes differ
        // only as ASCII 'a' and 'A' would.
        {"second bytes are not letters", "\x82\x61", "\x82\x41", 2, false, false},
        {"a lead byte as the last byte looked at stands alone", "\x82\x61", "\x82\x41", 1, false, true},
        {"a kanji ending in 0x5C", "x\x95\x5C", "X\x95\x5C", 3, true, true},
        {"a lone lead byte at the end", "a\x95", "A\x95", 2, true, true},
        {"high bytes exactly", "\xB1", "\xB2", 1, false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.same, SameTextIgnoringCase(c.a, c.b)) << c.name;
        EXPECT_EQ(c.same, SameTextIgnoringCase(c.b, c.a)) << c.name;
        EXPECT_EQ(c.sameLeading, SameLeadingTextIgnoringCase(c.a, c.b, c.length)) << c.name;
    }
}

TEST(Text, IsSingleByteCharAt)
{
    struct Case {
        const char *name;
        const char *text;
        size_t pos;
        char byte;
        bool expected;
    } cases[] = {
        {"second byte of kanji", "\x95\x5C\x5C", 1, '\\', false},
        {"backslash after kanji", "\x95\x5C\x5C", 2, '\\', true},
        {"on the lead byte", "\x95\x5C\x5C", 0, '\x95', false},
        {"empty text", "", 0, '\0', false},
        {"past the end", "ab", 5, 'b', false},
        {"on the terminator", "ab", 2, '\0', false},
        {"first byte", "\\x", 0, '\\', true},
        {"other byte", "ab", 1, 'c', false},
        {"half-width katakana is single-byte", "\xB1\\", 1, '\\', true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, IsSingleByteCharAt(c.text, c.pos, c.byte)) << c.name;
}

TEST(Text, CopyAndAppendRespectTheirBounds)
{
    char small[5];
    EXPECT_EQ(4u, CopyText(small, sizeof small, "abcdef"));
    EXPECT_STREQ("abcd", small);
    EXPECT_EQ(3u, CopyText(small, sizeof small, "abc\x95\x5C"));
    EXPECT_STREQ("abc", small);
    EXPECT_EQ(0u, CopyText(small, 0, "abc"));

    char text[8] = "abc";
    EXPECT_TRUE(AppendText(text, sizeof text, "defg"));
    EXPECT_STREQ("abcdefg", text);
    EXPECT_FALSE(AppendText(text, sizeof text, "h"));
    EXPECT_STREQ("abcdefg", text);
}

// All the parts or nothing: a key or command cut short would name another one.
TEST(Text, ConcatTexts)
{
    const char *const three[] = {"ab", "\x95\x5C", "c"};
    const struct {
        size_t size;
        size_t count;
        const char *expected;  // NULL: refused, the text emptied
    } cases[] = {
        {6, 3, "ab\x95\x5C" "c"},   // five bytes and the terminator
        {5, 3, NULL},
        {4, 2, NULL},              // no half of the double-byte character either
        {5, 2, "ab\x95\x5C"},
        {1, 0, ""},
    };
    for (const auto &c : cases) {
        char text[8] = "junk";
        EXPECT_EQ(c.expected != NULL, ConcatTexts(text, c.size, three, c.count)) << c.size << " " << c.count;
        EXPECT_STREQ(c.expected != NULL ? c.expected : "", text) << c.size << " " << c.count;
    }
    char none[1] = {'x'};
    EXPECT_FALSE(ConcatTexts(none, 0, three, 1));
    EXPECT_EQ('x', none[0]);
}

TEST(Text, AppendDecimal)
{
    const struct {
        int value;
        size_t size;
        const char *expected;  // NULL: refused, the text unchanged
    } cases[] = {
        {0, 8, "K0"},
        {57, 8, "K57"},
        {-1, 8, "K-1"},
        {2147483647, 12, "K2147483647"},
        {-2147483647 - 1, 13, "K-2147483648"},
        {-2147483647 - 1, 12, NULL},
        {1000, 6, "K1000"},
        {1000, 5, NULL},
    };
    for (const auto &c : cases) {
        char text[16] = "K";
        bool fitted = AppendDecimal(text, c.size, c.value);
        EXPECT_EQ(c.expected != NULL, fitted) << c.value << " in " << c.size;
        EXPECT_STREQ(c.expected != NULL ? c.expected : "K", text) << c.value << " in " << c.size;
    }
}

}  // namespace
