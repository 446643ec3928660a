// The path texts, natively under the sanitizers and again as a Win32 program under Wine.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "pathtext.h"

namespace {

// 0x95 0x5C is one double-byte character (a kanji) whose second byte is a backslash.
const char kKanji5C[] = "\x95\x5C";

struct CopyCase {
    const char *name;
    const char *source;
    const char *expected;
};

TEST(PathText, EnsureTrailingBackslash)
{
    const CopyCase cases[] = {
        {"empty stays empty", "", ""},
        {"drive", "C:", "C:\\"},
        {"drive root unchanged", "C:\\", "C:\\"},
        {"one character", "X", "X\\"},
        {"kanji ending in 0x5C gets its own backslash", kKanji5C, "\x95\x5C\\"},
        {"folder then kanji", "C:\\\x95\x5C", "C:\\\x95\x5C\\"},
        {"already ends in backslash after kanji", "C:\\\x95\x5C\\", "C:\\\x95\x5C\\"},
        {"two backslashes kept", "C:\\A\\\\", "C:\\A\\\\"},
    };
    for (const CopyCase &c : cases) {
        char dest[MAX_PATH_BYTES];
        char *result = EnsureTrailingBackslash(dest, c.source);
        EXPECT_EQ(dest, result) << c.name;
        EXPECT_STREQ(c.expected, dest) << c.name;
    }
}

TEST(PathText, EnsureTrailingBackslashRefusesAPathThatDoesNotFit)
{
    const struct {
        const char *name;
        std::string source;
        bool fits;
    } cases[] = {
        {"259 bytes take their backslash", std::string(259, 'c'), true},
        {"260 bytes leave no room for it", std::string(260, 'b'), false},
        {"260 bytes with their backslash", std::string(259, 'd') + "\\", true},
        {"261 bytes, backslash last", std::string(260, 'e') + "\\", false},
        {"a kanji over the end", std::string(259, 'a') + kKanji5C, false},
    };
    for (const auto &c : cases) {
        char dest[MAX_PATH_BYTES];
        EXPECT_EQ(c.fits ? dest : NULL, EnsureTrailingBackslash(dest, c.source.c_str())) << c.name;
    }
}

TEST(PathText, RemoveTrailingBackslash)
{
    const CopyCase cases[] = {
        {"empty", "", ""},
        {"folder", "C:\\Dir\\", "C:\\Dir"},
        {"root becomes drive", "C:\\", "C:"},
        {"only one removed", "C:\\Dir\\\\", "C:\\Dir\\"},
        {"kanji ending in 0x5C unchanged", "C:\\\x95\x5C", "C:\\\x95\x5C"},
        {"bare kanji unchanged", kKanji5C, kKanji5C},
        {"no backslash", "abc", "abc"},
        {"single backslash", "\\", ""},
    };
    for (const CopyCase &c : cases) {
        char dest[MAX_PATH_BYTES];
        char *result = RemoveTrailingBackslash(dest, c.source);
        EXPECT_EQ(dest, result) << c.name;
        EXPECT_STREQ(c.expected, dest) << c.name;
    }
}

TEST(PathText, CopiesMayShareTheBuffer)
{
    char path[MAX_PATH_BYTES] = "C:\\Dir";
    EnsureTrailingBackslash(path, path);
    EXPECT_STREQ("C:\\Dir\\", path);
    RemoveTrailingBackslash(path, path);
    EXPECT_STREQ("C:\\Dir", path);
}

TEST(PathText, LastPathComponentIsAPlainByteSearch)
{
    const CopyCase cases[] = {
        {"no backslash", "Tessary.scr", "Tessary.scr"},
        {"sub-folder", "SUB\\EXTRA.DLL", "EXTRA.DLL"},
        {"trailing backslash", "C:\\Dir\\", ""},
        {"empty", "", ""},
        // The kanji's second byte counts as a separator: the name is split inside it.
        {"split inside kanji", "A\x95\x5C" "B.TXT", "B.TXT"},
    };
    for (const CopyCase &c : cases)
        EXPECT_STREQ(c.expected, LastPathComponent(c.source)) << c.name;
}

TEST(PathText, LongSourcesAreCutAtAWholeCharacter)
{
    // 259 ASCII bytes then a kanji: the kanji does not fit whole in 260 bytes.
    std::string longText(259, 'a');
    longText += "\x95\x5C";
    char dest[MAX_PATH_BYTES];
    memset(dest, 'Z', sizeof dest);
    RemoveTrailingBackslash(dest, longText.c_str());
    EXPECT_EQ(259u, strlen(dest));

    // No room for the backslash: the text stays as cut, within the buffer.
    std::string full(300, 'b');
    EnsureTrailingBackslash(dest, full.c_str());
    EXPECT_EQ(260u, strlen(dest));
    EXPECT_EQ('b', dest[259]);

    std::string room(259, 'c');
    EnsureTrailingBackslash(dest, room.c_str());
    EXPECT_EQ(260u, strlen(dest));
    EXPECT_EQ('\\', dest[259]);
}

}  // namespace
