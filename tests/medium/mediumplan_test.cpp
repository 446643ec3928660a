// The medium builder's decisions that need no file system.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "mediumplan.h"
#include "testbitmap.h"

namespace {

MediumFile File(const std::string &path, unsigned long long size)
{
    MediumFile f;
    memset(&f, 0, sizeof f);
    strncpy(f.path, path.c_str(), sizeof f.path - 1);
    f.size = size;
    return f;
}

TEST(MediumPlan, MediumName)
{
    struct Case {
        const char *name;
        std::string listed;
        size_t room;
        bool ok;
        std::string expect;
    };
    const Case cases[] = {
        {"plain name", "Tessary.scr", 261, true, "Tessary.sc_"},
        {"sub-folder kept", "SUB\\EXTRA.DLL", 261, true, "SUB\\EXTRA.DL_"},
        {"one letter", "x", 261, true, "_"},
        {"last byte of a double-byte character, as SETUP replaces it", "\x8E\x9E\x8C\x76", 261, true,
         "\x8E\x9E\x8C_"},
        {"empty", "", 261, false, ""},
        {"exactly fits", "abc", 4, true, "ab_"},
        {"does not fit", "abcd", 4, false, ""},
    };
    for (const Case &c : cases) {
        char out[300] = "untouched";
        EXPECT_EQ(c.ok, MediumName(out, c.room, c.listed.c_str())) << c.name;
        if (c.ok)
            EXPECT_EQ(c.expect, out) << c.name;
    }
}

TEST(MediumPlan, SamePathIgnoresLetterCaseButNotDoubleByteCharacters)
{
    struct Case {
        const char *name;
        const char *a;
        const char *b;
        bool same;
    };
    const Case cases[] = {
        {"letters", "A.TX_", "a.tx_", true},
        {"folders", "Sub\\a.tx_", "SUB\\A.TX_", true},
        {"different", "a.tx_", "b.tx_", false},
        {"prefix", "a.tx_", "a.tx_x", false},
        // 0x83 0x41 and 0x83 0x61 are two different katakana, not two cases of one letter.
        {"second bytes are not letters", "\x83\x41.tx_", "\x83\x61.tx_", false},
        {"same double-byte name", "\x83\x41.tx_", "\x83\x41.TX_", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.same, SameMediumPath(c.a, c.b)) << c.name;
}

TEST(MediumPlan, FindCollision)
{
    std::vector<MediumFile> files = {File("SETUP.exe", 1), File("a.tx_", 1), File("b.tx_", 1), File("A.TX_", 1)};
    int earlier = -1;
    EXPECT_EQ(3, FindCollision(files.data(), (int)files.size(), &earlier));
    EXPECT_EQ(1, earlier);
    EXPECT_EQ(0, FindCollision(files.data(), 3, &earlier));
    EXPECT_EQ(0, FindCollision(files.data(), 0, &earlier));
}

TEST(MediumPlan, PlainRelativePath)
{
    struct Case {
        const char *path;
        bool plain;
    };
    const Case cases[] = {
        {"a.txt", true},
        {"SUB\\a.txt", true},
        {"\x95\x5C.txt", true},          // the 0x5C is a second byte, not a separator
        {"\x8E\x9E\x8C\x76.txt", true},
        {"\x83\x7C.txt", true},          // second byte 0x7C is not '|'
        {"", false},
        {"\\a.txt", false},
        {"SUB\\", false},
        {"a\\\\b", false},
        {"..\\a.txt", false},
        {".\\a.txt", false},
        {"C:\\a.txt", false},
        {"a/b", false},
        {"a*.txt", false},
        {"a|b", false},
        {"a\tb", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.plain, IsPlainRelativePath(c.path)) << "\"" << c.path << "\"";
}

TEST(MediumPlan, PathsSetupReachesFromADriveRoot)
{
    EXPECT_TRUE(MediumPathFits(std::string(257, 'a').c_str()));
    EXPECT_FALSE(MediumPathFits(std::string(258, 'a').c_str()));
}

TEST(MediumPlan, DiskBytesUsed)
{
    struct Case {
        const char *name;
        std::vector<MediumFile> files;
        unsigned long long bytes;
        int rootEntries;
    };
    std::vector<MediumFile> manyInSub;
    for (int i = 0; i < 15; i++)
        manyInSub.push_back(File("SUB\\F" + std::to_string(i) + ".TX_", 1));
    const Case cases[] = {
        {"nothing", {}, 0, 0},
        {"one byte takes a cluster", {File("A.TX_", 1)}, 512, 1},
        {"a full cluster", {File("A.TX_", 512)}, 512, 1},
        {"one byte more", {File("A.TX_", 513)}, 1024, 1},
        {"empty file", {File("A.TX_", 0)}, 0, 1},
        {"mixed case needs a long name entry", {File("Tessary.sc_", 10)}, 512, 2},
        {"14 characters need two", {File("LongerName.tx_", 10)}, 512, 3},
        {"lower-case 8.3 is a long name too", {File("a.tx_", 1)}, 512, 2},
        {"four-letter extension", {File("ABC.TEXT", 1)}, 512, 2},
        {"a sub-folder takes a cluster", {File("SUB\\A.TX_", 1)}, 1024, 1},
        {"one folder for both files", {File("SUB\\A.TX_", 1), File("sub\\B.TX_", 1)}, 1536, 1},
        {"17 entries spill into a second folder cluster", manyInSub, 15 * 512 + 1024, 1},
        {"nested folders", {File("A\\B\\C.TX_", 1)}, 512 * 3, 1},
    };
    for (const Case &c : cases) {
        int rootEntries = -1;
        EXPECT_EQ(c.bytes, DiskBytesUsed(c.files.data(), (int)c.files.size(), &rootEntries)) << c.name;
        EXPECT_EQ(c.rootEntries, rootEntries) << c.name;
    }
}

TEST(MediumPlan, LooksLikeBitmap)
{
    struct Case {
        const char *name;
        size_t at;
        char value;
        bool bitmap;
    };
    const Case cases[] = {
        {"valid", 0, 'B', true},
        {"wrong magic", 1, 'X', false},
        {"unknown header size", 14, 41, false},
        {"no planes", 26, 0, false},
        {"odd depth", 28, 3, false},
        {"zero width", 18, 0, false},
        {"pixels beyond the end", 11, 1, false},
        {"declares a longer file", 2, 71, false},
        {"declares the file's own length", 2, 70, true},
        {"a row more than the file holds", 22, 3, false},
        {"eight bits", 28, 8, true},
    };
    for (const Case &c : cases) {
        std::string b = SmallBitmapBytes();
        b[c.at] = c.value;
        EXPECT_EQ(c.bitmap, LooksLikeBitmap((const unsigned char *)b.data(), b.size())) << c.name;
    }
    std::string b = SmallBitmapBytes();
    EXPECT_FALSE(LooksLikeBitmap((const unsigned char *)b.data(), 25)) << "cut short";
    EXPECT_FALSE(LooksLikeBitmap((const unsigned char *)"GIF89a", 6)) << "another format";
    // The old OS/2 header of 12 bytes.
    std::string core(14 + 12 + 2 * 8, '\0');
    core[0] = 'B';
    core[1] = 'M';
    core[10] = 26;
    core[14] = 12;
    core[18] = 2;
    core[20] = 2;
    core[22] = 1;
    core[24] = 24;
    EXPECT_TRUE(LooksLikeBitmap((const unsigned char *)core.data(), core.size())) << "core header";
}

}  // namespace
