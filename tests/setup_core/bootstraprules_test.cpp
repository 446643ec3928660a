// Window place, staging list and the texts of the bootstrap start.
#include <gtest/gtest.h>

#include <string>

#include "bootstraprules.h"

namespace {

TEST(BootstrapRules, CenteredPlace)
{
    struct Case {
        int screenWidth, screenHeight;
        WindowPlace place;
    };
    const Case cases[] = {
        {1024, 768, {307, 333, 409, 102}},
        {640, 480, {192, 208, 256, 64}},
        {800, 600, {240, 260, 320, 80}},
        {1280, 1024, {384, 444, 512, 136}},
        {0, 0, {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        WindowPlace p = CenteredPlace(c.screenWidth, c.screenHeight);
        EXPECT_EQ(c.place.x, p.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.y, p.y) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.width, p.width) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.height, p.height) << c.screenWidth << "x" << c.screenHeight;
    }
}

TEST(BootstrapRules, StagingList)
{
    struct Case {
        const char *titlemap;
        const char *bitmap;
        std::string expected;
    };
    const Case cases[] = {
        {"t.bmp", "pic\\b.bmp", "SETUP.exe|SETUP.ini|t.bmp|pic\\b.bmp|"},
        {"0", "0", "SETUP.exe|SETUP.ini|"},
        {"0.bmp", "b.bmp", "SETUP.exe|SETUP.ini|b.bmp|"},
        {"t.bmp", "0", "SETUP.exe|SETUP.ini|t.bmp|"},
    };
    for (const Case &c : cases) {
        const char *list[STAGED_FILES_MAX];
        int count = StagingList("SETUP.exe", "SETUP.ini", c.titlemap, c.bitmap, list);
        std::string joined;
        for (int i = 0; i < count; i++)
            joined += std::string(list[i]) + "|";
        EXPECT_EQ(c.expected, joined) << c.titlemap << " " << c.bitmap;
    }
}

TEST(BootstrapRules, UninstallEntryKey)
{
    char key[512];
    ASSERT_TRUE(UninstallEntryKey(key, sizeof key, "SETUP", 57));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst 57", key);
    ASSERT_TRUE(UninstallEntryKey(key, sizeof key, "SETUP", 0));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst 0", key);
    std::string longName(255, 'n');
    EXPECT_TRUE(UninstallEntryKey(key, sizeof key, longName.c_str(), 99));
    char small[60];
    EXPECT_FALSE(UninstallEntryKey(small, sizeof small, "SETUP", 1));
    // The uninstall start's number is taken as written.
    ASSERT_TRUE(UninstallEntryKeyText(key, sizeof key, "SETUP", "007"));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst 007", key);
}

TEST(BootstrapRules, RelaunchCommand)
{
    char command[772];
    ASSERT_TRUE(RelaunchCommand(command, sizeof command, "C:\\WINDOWS", "SETUP", "D:\\"));
    EXPECT_STREQ("C:\\WINDOWS\\SETUP.exe /D:\\", command);
    ASSERT_TRUE(RelaunchCommand(command, sizeof command, "C:\\", "INST", "Z:\\a b\\"));
    EXPECT_STREQ("C:\\INST.exe /Z:\\a b\\", command);
    std::string folder(260, 'f');
    std::string name(255, 'n');
    EXPECT_FALSE(RelaunchCommand(command, sizeof command, folder.c_str(), name.c_str(),
                                 folder.c_str()));
}

}  // namespace
