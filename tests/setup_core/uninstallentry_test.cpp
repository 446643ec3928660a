// The uninstall entry's texts: its key, its command, and the display name the bootstrap
// compares. The command the installation writes is taken apart by the uninstall start, and
// the key it then deletes is the one the installation wrote.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "commandline.h"
#include "uninstallentry.h"

namespace {

TEST(UninstallEntry, Key)
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

TEST(UninstallEntry, CommandKeepsTheFolderAsEntered)
{
    char out[1024];
    ASSERT_TRUE(UninstallCommand(out, sizeof out, "C:\\WINDOWS", "SETUP.exe", 0,
                                 "C:\\Program Files\\Clock"));
    EXPECT_STREQ("C:\\WINDOWS\\SETUP.exe /Uninst-0-C:\\Program Files\\Clock", out);
    ASSERT_TRUE(UninstallCommand(out, sizeof out, "C:\\WINDOWS", "INST.exe", 2147483646, "D:\\A-B\\"));
    EXPECT_STREQ("C:\\WINDOWS\\INST.exe /Uninst-2147483646-D:\\A-B\\", out);
    EXPECT_FALSE(UninstallCommand(out, 20, "C:\\WINDOWS", "SETUP.exe", 0, "C:\\X"));
    EXPECT_STREQ("", out);
}

// Written by the installation, started by the platform, taken apart by the uninstall start:
// the entry deleted is the entry written, and the install folder comes back as entered.
TEST(UninstallEntry, CommandLeadsBackToTheEntry)
{
    const struct {
        int number;
        std::string installDir;
    } cases[] = {
        {0, "C:\\Program Files\\Clock"},
        {1, "C:\\Program Files\\Clock\\"},
        {57, "D:\\A-B\\C"},                      // a '-' in the folder
        {2147483646, "C:\\\x95\x5C\\\x8E\x9E"},   // a trail byte 0x5C in the folder
        {3, "C:\\" + std::string(257, 'f')},     // the longest folder
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.installDir);
        char command[UNINSTALL_COMMAND_BYTES];
        ASSERT_TRUE(UninstallCommand(command, sizeof command, "C:\\WINDOWS", "SETUP.exe", c.number,
                                     c.installDir.c_str()));
        CommandLineParts parts;
        ASSERT_EQ(CommandLineStatus::Ok, DecomposeCommandLine(command, "C:\\WINDOWS\\SETUP.exe", &parts));
        EXPECT_EQ(RunMode::Uninstall, parts.mode);
        EXPECT_EQ(c.installDir, parts.scriptDir);
        char written[UNINSTALL_KEY_BYTES], deleted[UNINSTALL_KEY_BYTES];
        ASSERT_TRUE(UninstallEntryKey(written, sizeof written, parts.baseName, c.number));
        ASSERT_TRUE(UninstallEntryKeyText(deleted, sizeof deleted, parts.baseName, parts.entryNumber));
        EXPECT_STREQ(written, deleted);
    }
}

TEST(UninstallEntry, DisplayNameMatches)
{
    const std::string t254(254, 't'), t255(255, 't');
    const struct {
        std::string value;   // the bytes the registry returned
        size_t capacity;
        const char *title;
        bool matches;
    } cases[] = {
        {std::string("Clock\0", 6), 255, "Clock", true},
        {"Clock", 255, "Clock", true},                       // stored without its terminator
        {std::string("clock\0", 6), 255, "Clock", false},    // letter case counts
        {std::string("Clock 2\0", 8), 255, "Clock", false},
        {"", 255, "", true},                                 // an empty value, an empty title
        {t254 + '\0', 255, t254.c_str(), true},
        {t254, 255, t254.c_str(), true},
        {t255, 255, t255.c_str(), false},   // fills the buffer: longer than any Title
    };
    for (const auto &c : cases) {
        char value[256];
        memcpy(value, c.value.data(), c.value.size());
        EXPECT_EQ(c.matches, DisplayNameMatches(value, c.value.size(), c.capacity, c.title)) << c.value;
    }
}

}  // namespace
