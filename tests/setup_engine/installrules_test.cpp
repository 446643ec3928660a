// The engine's path and command texts at the edges the installation under Wine cannot reach:
// names split on a trail byte, texts that do not fit.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "installrules.h"

namespace {

typedef bool (*Builder)(char *, size_t, const char *, const char *);

TEST(InstallRules, PathTexts)
{
    const std::string longFolder = "C:\\" + std::string(257, 'a');   // 260 bytes
    struct Case {
        const char *name;
        Builder build;
        std::string folder, item;
        const char *expected;   // NULL: refused
    } cases[] = {
        {"medium root", MediumSourcePath, "D:\\", "SUB\\A.TXT", "D:\\SUB\\A.TX_"},
        {"medium folder without backslash", MediumSourcePath, "Z:\\cd", "x", "Z:\\cd\\_"},
        {"medium, empty listed path", MediumSourcePath, "D:\\", "", NULL},
        {"medium, too long", MediumSourcePath, longFolder, "A.TXT", NULL},
        {"sub-folder only locates", InstalledFilePath, "C:\\WINDOWS\\SYSTEM", "SUB\\A.TXT",
         "C:\\WINDOWS\\SYSTEM\\A.TXT"},
        {"folder with backslash", InstalledFilePath, "C:\\App\\", "A.TXT", "C:\\App\\A.TXT"},
        // 0x95 0x5C is one character, but the name is searched byte by byte.
        {"trail byte 0x5C splits the name", InstalledFilePath, "C:\\App", "\x95\\\x8E\xA6.txt",
         "C:\\App\\\x8E\xA6.txt"},
        {"installed, listed path ends in a backslash", InstalledFilePath, "C:\\App", "SUB\\", NULL},
        {"installed, no room for the backslash", InstalledFilePath, longFolder, "A", NULL},
        {"link", ShortcutLinkPath, "C:\\Menu\\Clock", "Clock", "C:\\Menu\\Clock\\Clock.lnk"},
        {"link, too long", ShortcutLinkPath, longFolder.substr(0, 255), "Clock", NULL},
        {"join, root", JoinFolderName, "C:", "SETUP.ini", "C:\\SETUP.ini"},
    };
    for (const Case &c : cases) {
        char out[MAX_PATH_BYTES] = "junk";
        bool ok = c.build(out, sizeof out, c.folder.c_str(), c.item.c_str());
        EXPECT_EQ(c.expected != NULL, ok) << c.name;
        EXPECT_STREQ(c.expected != NULL ? c.expected : "", out) << c.name;
    }
}

TEST(InstallRules, UninstallCommandKeepsTheFolderAsEntered)
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

}  // namespace
