// The programs' own C functions against the C library of the host (natively glibc, under Wine
// the C run-time DLL), at the edges: overlapping moves both ways, terminators searched for,
// bytes above 0x7F compared and searched for, counts of zero and of one past the match.
#include <gtest/gtest.h>

#include <limits.h>
#include <stddef.h>
#include <string.h>

#include <string>

extern "C" {
void *Kit_memcpy(void *dest, const void *src, size_t n);
void *Kit_memmove(void *dest, const void *src, size_t n);
void *Kit_memset(void *dest, int c, size_t n);
int Kit_memcmp(const void *a, const void *b, size_t n);
void *Kit_memchr(const void *s, int c, size_t n);
size_t Kit_strlen(const char *s);
char *Kit_strchr(const char *s, int c);
char *Kit_strrchr(const char *s, int c);
int Kit_strcmp(const char *a, const char *b);
int Kit_strncmp(const char *a, const char *b, size_t n);
char *Kit_strstr(const char *text, const char *needle);
}

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// The offset of a found byte, -1 for none: the two libraries must agree on the place.
long Offset(const void *found, const void *base)
{
    return found == NULL ? -1 : (long)((const char *)found - (const char *)base);
}

enum { BUFFER = 40 };

void Fill(unsigned char *buffer)
{
    for (int i = 0; i < BUFFER; i++)
        buffer[i] = (unsigned char)(0x80 + 3 * i);
}

// Every source and destination place in one buffer, so that the blocks overlap in every way
// (dest before, on, and inside the source), and every length up to past the overlap.
TEST(ProgramCString, MoveAndCopyAgreeWithTheHost)
{
    for (int from = 0; from <= 12; from++) {
        for (int to = 0; to <= 12; to++) {
            for (size_t n = 0; n <= 20; n++) {
                unsigned char ours[BUFFER], host[BUFFER];
                Fill(ours);
                Fill(host);
                EXPECT_EQ(ours + to, Kit_memmove(ours + to, ours + from, n));
                memmove(host + to, host + from, n);
                ASSERT_EQ(0, memcmp(ours, host, BUFFER)) << "memmove from " << from << " to " << to << " n " << n;
            }
        }
    }
    // Separate blocks: memcpy copies exactly n bytes and touches nothing beyond.
    for (size_t n = 0; n <= 20; n++) {
        unsigned char source[BUFFER], ours[BUFFER], host[BUFFER];
        Fill(source);
        memset(ours, 0x55, sizeof ours);
        memset(host, 0x55, sizeof host);
        EXPECT_EQ(ours + 1, Kit_memcpy(ours + 1, source + 3, n));
        memcpy(host + 1, source + 3, n);
        ASSERT_EQ(0, memcmp(ours, host, BUFFER)) << "memcpy n " << n;
    }
}

TEST(ProgramCString, SetTakesTheLowByteAndStopsAtTheCount)
{
    const int values[] = {0, 'a', 0x7F, 0x80, 0xFF, -1, -128, 0x141, INT_MIN, INT_MAX};
    for (int c : values) {
        for (size_t n = 0; n <= 17; n++) {
            unsigned char ours[BUFFER], host[BUFFER];
            Fill(ours);
            Fill(host);
            EXPECT_EQ(ours + 2, Kit_memset(ours + 2, c, n));
            memset(host + 2, c, n);
            ASSERT_EQ(0, memcmp(ours, host, BUFFER)) << "memset " << c << " n " << n;
        }
    }
}

// Comparisons: only the sign is the C library's promise; bytes compare as unsigned char.
TEST(ProgramCString, ComparisonsAgreeWithTheHost)
{
    struct Case {
        const char *a, *b;
    } cases[] = {
        {"", ""},
        {"", "a"},
        {"a", ""},
        {"abc", "abc"},
        {"abc", "abd"},
        {"abd", "abc"},
        {"ab", "abc"},
        {"abc", "ab"},
        {"\x81\x40", "a"},           // a lead byte sorts after every ASCII byte
        {"a", "\xFF"},
        {"\x7F", "\x80"},
        {"SETUP.ini", "SETUP.INI"},
        {"x\0y", "x\0z"},             // equal up to the terminator
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.a + "\" \"" + c.b + "\"");
        EXPECT_EQ(Sign(strcmp(c.a, c.b)), Sign(Kit_strcmp(c.a, c.b)));
        for (size_t n = 0; n <= 5; n++) {
            EXPECT_EQ(Sign(strncmp(c.a, c.b, n)), Sign(Kit_strncmp(c.a, c.b, n))) << "n " << n;
            size_t shorter = strlen(c.a) < strlen(c.b) ? strlen(c.a) : strlen(c.b);
            if (n <= shorter + 1) {
                EXPECT_EQ(Sign(memcmp(c.a, c.b, n)), Sign(Kit_memcmp(c.a, c.b, n))) << "n " << n;
            }
        }
    }
}

TEST(ProgramCString, SearchesAgreeWithTheHost)
{
    // The byte 0x5C after a lead byte is found like any other: these functions know no
    // Shift-JIS, which is why the programs' path code walks with the lead-byte rule.
    const char *texts[] = {"", "a", "abcabc", "C:\\Windows\\SETUP.exe", "\x95\x5C\x8E\xA6.exe", "\x81\x81\x81",
                           "aaaa"};
    const int bytes[] = {'\0', 'a', 'c', '\\', '.', 'z', 0x81, -127, 0x181, 0x5C, 0x100};
    for (const char *text : texts) {
        EXPECT_EQ(strlen(text), Kit_strlen(text)) << text;
        for (int c : bytes) {
            SCOPED_TRACE(std::string("\"") + text + "\" byte " + std::to_string(c));
            EXPECT_EQ(Offset(strchr(text, c), text), Offset(Kit_strchr(text, c), text));
            EXPECT_EQ(Offset(strrchr(text, c), text), Offset(Kit_strrchr(text, c), text));
            // memchr over every count up to the terminator, which it may also find.
            for (size_t n = 0; n <= strlen(text) + 1; n++) {
                EXPECT_EQ(Offset(memchr(text, c, n), text), Offset(Kit_memchr(text, c, n), text)) << "n " << n;
            }
        }
    }
    std::string longest(300, 'x');
    EXPECT_EQ(300u, Kit_strlen(longest.c_str()));
}

TEST(ProgramCString, SubstringAgreesWithTheHost)
{
    struct Case {
        const char *text, *needle;
    } cases[] = {
        {"", ""},
        {"abc", ""},
        {"", "a"},
        {"abc", "abc"},
        {"abc", "abcd"},      // longer than the text
        {"aaab", "aab"},      // a false start just before the match
        {"xab", "abc"},       // only a beginning at the very end
        {"abcabc", "ca"},
        {"abcabc", "c"},
        {"Tessary.scr", ".scr"},
        {"Rundll32.exe desk.cpl,InstallScreenSaver", "desk.cpl"},
        {"\x95\x5C\x8E\xA6", "\x5C"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Offset(strstr(c.text, c.needle), c.text), Offset(Kit_strstr(c.text, c.needle), c.text))
            << "\"" << c.text << "\" \"" << c.needle << "\"";
    }
}

}  // namespace
