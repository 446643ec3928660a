// Folder and drive checks against the real file system under Wine. The harness maps
// D: as a CD-ROM, A: as a floppy, N: as a network drive and leaves Q: unmapped.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "pathfs.h"
#include "testsupport.h"

namespace {

class PathFs : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree("C:\\pathfs");
        memset(list, 0, sizeof list);
    }
    void TearDown() override { RemoveTree("C:\\pathfs"); }

    // CreateFolderTree on the list; createdFolderCount is how many slots it wrote.
    BOOL CreateFolderTree(const char *path, FolderSlot *slots, int count)
    {
        static FolderSlot before[FOLDER_LIST_SLOTS];
        memcpy(before, list, sizeof list);
        BOOL result = ::CreateFolderTree(path, slots, count);
        createdFolderCount = 0;
        for (int i = 0; i < FOLDER_LIST_SLOTS; i++)
            createdFolderCount += memcmp(before[i], list[i], sizeof list[i]) != 0;
        return result;
    }

    FolderSlot list[FOLDER_LIST_SLOTS];
    int createdFolderCount = -1;
};

TEST_F(PathFs, PathExistsFindsFilesAndFoldersOnly)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\pathfs", NULL));
    ASSERT_TRUE(WriteWholeFile("C:\\pathfs\\file.txt", "x"));
    EXPECT_TRUE(PathExists("C:\\pathfs"));
    EXPECT_TRUE(PathExists("C:\\pathfs\\file.txt"));
    EXPECT_FALSE(PathExists("C:\\pathfs\\missing.txt"));
    EXPECT_FALSE(PathExists("C:\\pathfs\\missing\\file.txt"));
    EXPECT_FALSE(PathExists(""));
    std::string tooLong = "C:\\pathfs\\" + std::string(300, 'a');
    EXPECT_FALSE(PathExists(tooLong.c_str()));
}

TEST_F(PathFs, CheckInstallDriveAcceptsOnlyFixedAndRemote)
{
    struct Case {
        const char *path;
        UINT type;
        BOOL accepted;
    } cases[] = {
        {"C:\\Program Files\\Clock", DRIVE_FIXED, TRUE},
        {"A:\\X", DRIVE_REMOVABLE, FALSE},
        {"N:\\X", DRIVE_REMOTE, TRUE},
        {"D:\\Clock", DRIVE_CDROM, FALSE},
        {"Q:\\Clock", DRIVE_NO_ROOT_DIR, FALSE},
        {"c:\\", DRIVE_FIXED, TRUE},
    };
    for (const auto &c : cases) {
        UINT type = 12345;
        EXPECT_EQ(c.accepted, CheckInstallDrive(c.path, &type)) << c.path;
        EXPECT_EQ(c.type, type) << c.path;
    }
}

TEST_F(PathFs, FolderExistsTakesDriveRootsWithoutLooking)
{
    // Q: is not mapped at all: a root is accepted without a lookup.
    EXPECT_TRUE(FolderExists("Q:\\"));
    EXPECT_TRUE(FolderExists("Q:"));
    EXPECT_TRUE(FolderExists("C:\\"));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_FALSE(FolderExists("Q:\\Clock"));
    EXPECT_FALSE(FolderExists("C:\\pathfs"));
    ASSERT_TRUE(CreateDirectoryA("C:\\pathfs", NULL));
    EXPECT_TRUE(FolderExists("C:\\pathfs"));
    EXPECT_TRUE(FolderExists("C:\\pathfs\\"));
}

TEST_F(PathFs, CreateFolderTreeRecordsEachNewFolderOutermostFirst)
{
    ASSERT_TRUE(CreateFolderTree("C:\\pathfs\\New\\Sub\\", list, FOLDER_LIST_SLOTS));
    ASSERT_EQ(3, createdFolderCount);
    EXPECT_STREQ("C:\\pathfs", list[0]);
    EXPECT_STREQ("C:\\pathfs\\New", list[1]);
    EXPECT_STREQ("C:\\pathfs\\New\\Sub", list[2]);
    EXPECT_TRUE(FolderExists("C:\\pathfs\\New\\Sub"));

    // A second call starts again at the first slot and records only what it creates.
    ASSERT_TRUE(CreateFolderTree("C:\\pathfs\\New\\Other", list, FOLDER_LIST_SLOTS));
    ASSERT_EQ(1, createdFolderCount);
    EXPECT_STREQ("C:\\pathfs\\New\\Other", list[0]);
    EXPECT_STREQ("C:\\pathfs\\New", list[1]) << "slots beyond the count keep their content";

    // Nothing missing: success, nothing recorded.
    ASSERT_TRUE(CreateFolderTree("C:\\pathfs\\New", list, FOLDER_LIST_SLOTS));
    EXPECT_EQ(0, createdFolderCount);
}

TEST_F(PathFs, CreateFolderTreeWalksShiftJisNames)
{
    // 表 is 0x95 0x5C: its second byte must not be taken for a separator.
    std::string kanji = Sjis("表");
    ASSERT_EQ("\x95\x5C", kanji);
    std::string path = "C:\\pathfs\\" + kanji + "\\" + kanji;
    ASSERT_TRUE(CreateFolderTree(path.c_str(), list, FOLDER_LIST_SLOTS));
    ASSERT_EQ(3, createdFolderCount);
    EXPECT_EQ("C:\\pathfs\\" + kanji, std::string(list[1]));
    EXPECT_EQ(path, std::string(list[2]));
    EXPECT_TRUE(FolderExists(path.c_str()));
    EXPECT_FALSE(PathExists("C:\\pathfs\\\x95")) << "no folder named by the lead byte alone";
}

TEST_F(PathFs, AFullListKeepsTheFirstFoldersAndCreationGoesOn)
{
    // Three slots, five new folders: the first three are recorded, all five exist.
    ASSERT_TRUE(CreateFolderTree("C:\\pathfs\\a\\b\\c\\d", list, 3));
    EXPECT_EQ(3, createdFolderCount);
    EXPECT_STREQ("C:\\pathfs\\a\\b", list[2]);
    EXPECT_STREQ("", list[3]);
    EXPECT_TRUE(FolderExists("C:\\pathfs\\a\\b\\c\\d"));
}

TEST_F(PathFs, CreateFolderTreeFailsWhereAFolderCannotBeMade)
{
    EXPECT_FALSE(CreateFolderTree("", list, FOLDER_LIST_SLOTS));
    // A file stands where a folder should be: the folders before it stay recorded.
    ASSERT_TRUE(CreateDirectoryA("C:\\pathfs", NULL));
    ASSERT_TRUE(WriteWholeFile("C:\\pathfs\\file", "x"));
    EXPECT_FALSE(CreateFolderTree("C:\\pathfs\\file\\sub", list, FOLDER_LIST_SLOTS));
    EXPECT_EQ(0, createdFolderCount);
    // An unmapped drive: the first folder fails.
    EXPECT_FALSE(CreateFolderTree("Q:\\Clock\\Sub", list, FOLDER_LIST_SLOTS));
    EXPECT_EQ(0, createdFolderCount);
}

TEST_F(PathFs, OverlongPathsAreRefusedNotCut)
{
    std::string tooLong = "C:\\pathfs\\" + std::string(120, 'a') + "\\" + std::string(140, 'b');
    ASSERT_GT(tooLong.size(), 260u);
    EXPECT_FALSE(CreateFolderTree(tooLong.c_str(), list, FOLDER_LIST_SLOTS));
    EXPECT_EQ(0, createdFolderCount);
    EXPECT_FALSE(PathExists("C:\\pathfs")) << "nothing of a cut path was created";
    EXPECT_FALSE(FolderExists(tooLong.c_str()));
}

TEST_F(PathFs, FoldersCanBeCreatedOnTheNetworkDrive)
{
    ASSERT_TRUE(CreateFolderTree("N:\\Clock\\Sub", list, FOLDER_LIST_SLOTS));
    EXPECT_EQ(2, createdFolderCount);
    EXPECT_STREQ("N:\\Clock", list[0]);
    EXPECT_TRUE(FolderExists("N:\\Clock\\Sub"));
}

}  // namespace
