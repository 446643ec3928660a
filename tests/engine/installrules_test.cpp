// The engine's decisions without a window: paths on the medium and on the disk, the disk
// prompt, the step chain, the texts of the log keys, the uninstall command and the link.
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

TEST(InstallRules, StepChainAndDiskPrompts)
{
    static SetupScript script;   // two disks: entries 0-1 and 2
    for (int i = 0; i < 3; i++)
        strcpy(script.fileList[i].macro, "$App:");
    script.diskStart[0] = script.diskStart[2] = true;

    // The dialog's loop: the copy step copies one entry or, past the last, sets the flag.
    int step = STEP_ARMED, copied = 0, seen[16], count = 0;
    bool finished = false;
    while (step != STEP_FINISH && count < 16) {
        step = NextInstallStep(step, finished);
        seen[count++] = step;
        if (step == STEP_COPY_FILE) {
            finished = FileListEnds(&script, copied);
            copied += finished ? 0 : 1;
        }
    }
    const int expected[] = {1055, 1056, 1057, 1057, 1057, 1057, 1058, 1059, 1060, 1061};
    ASSERT_EQ((int)(sizeof expected / sizeof expected[0]), count);
    for (int i = 0; i < count; i++)
        EXPECT_EQ(expected[i], seen[i]) << "step " << i;

    const bool asks[] = {false, false, true, false};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(asks[i], AsksForNextDisk(&script, i)) << "entry " << i;
    EXPECT_TRUE(FileListEnds(&script, FILE_LIST_ENTRIES));
}

TEST(InstallRules, MacrosKeysAndFolderKinds)
{
    EXPECT_STREQ("s", MacroFolder("$sys:", "a", "w", "s"));
    EXPECT_STREQ("a", MacroFolder("$APP:", "a", "w", "s"));
    EXPECT_EQ(nullptr, MacroFolder("$Tmp:", "a", "w", "s"));
    char key[8];
    ASSERT_TRUE(FolderLogKey(key, sizeof key, 127));
    EXPECT_STREQ("Dir127", key);
    for (int kind = -1; kind <= 8; kind++)
        EXPECT_EQ(kind == 0 || kind == 2 || kind == 7, IsShortcutFolderKind(kind)) << kind;
}

}  // namespace
