// Where the installation puts a listed file and where the uninstaller later deletes it, over
// the entries on which the two could part: a name whose trail byte is 0x5C, sub-folders on the
// medium, each macro in any letter case, the longest path that fits and one byte more, and the
// entries a hostile medium or an edited install log may hold. Each side runs its own code: the
// copy step's plan, and the removal over a recorder.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "installrules.h"
#include "uninstallrules.h"

namespace {

const MacroFolders kFolders = {"C:\\Prog\\Clock", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM\\"};

std::string deleted;
bool Record(void *, const char *path)
{
    deleted += std::string(path) + "|";
    return true;
}

TEST(InstalledPlace, InstallAndUninstallAgree)
{
    const std::string folder = "C:\\" + std::string(250, 'f');   // 253 bytes
    const std::string full = "C:\\" + std::string(257, 'a');      // 260 bytes: no room for '\'
    const struct {
        const char *macro;
        std::string path;
        std::string app;        // empty: C:\Prog\Clock
        std::string expected;   // empty: refused by both
    } cases[] = {
        {"$SYS:", "SUB\\EXTRA.DLL", "", "C:\\WINDOWS\\SYSTEM\\EXTRA.DLL"},   // sub-folders only locate
        {"$sys:", "SUB\\A.TXT", "", "C:\\WINDOWS\\SYSTEM\\A.TXT"},
        {"$Win:", "\x8E\x9E\x8C\x76.txt", "", "C:\\WINDOWS\\\x8E\x9E\x8C\x76.txt"},
        {"$App:", "A.TXT", "C:\\App\\", "C:\\App\\A.TXT"},
        // 0x95 0x5C is one character, but the name is searched byte by byte.
        {"$App:", "\x95\x5C" "a.txt", "", "C:\\Prog\\Clock\\a.txt"},
        {"$APP:", "\x95\\\x8E\xA6.txt", "C:\\App", "C:\\App\\\x8E\xA6.txt"},
        // An install folder whose last character ends in 0x5C still gets its own backslash.
        {"$App:", "A.TXT", "C:\\\x95\x5C", "C:\\\x95\x5C\\A.TXT"},
        // One that ends in a lead byte has no room for it: its backslash would be the second byte.
        {"$App:", "A.TXT", "C:\\Prog\\\x95", ""},
        {"$App:", "abcdef", folder, folder + "\\abcdef"},   // 260 bytes
        {"$App:", "abcdefg", folder, ""},
        {"$App:", "A", full, ""},
        {"$App:", "sub\\", "", ""},
        {"$Usr:", "a.txt", "", ""},
        {"", "a.txt", "", ""},
        // Nothing outside the macro's folder, nothing the system resolves.
        {"$App:", "x/../../../Victim/data.txt", "", ""},
        {"$Sys:", "x/../../../Victim/data.txt", "", ""},
        {"$Win:", "..", "", ""},
        {"$App:", "\x95\\..", "", ""},
        {"$App:", "C:data.txt", "", ""},
        {"$App:", "\\Victim\\data.txt", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.macro) + c.path + " in " + c.app);
        FileEntry files[2] = {};
        strcpy(files[0].macro, c.macro);
        strcpy(files[0].path, c.path.c_str());
        MacroFolders folders = kFolders;
        folders.app = c.app.empty() ? folders.app : c.app.c_str();

        FileCopyPlan plan;
        memset(&plan, 'x', sizeof plan);
        PlanFileCopy(&files[0], "D:\\", &folders, &plan);
        EXPECT_EQ(!c.expected.empty(), plan.destinationFits);
        EXPECT_EQ(c.expected, plan.destination);

        FolderSlot none[1] = {""};
        InstalledItems items = {"C:\\Prog\\Clock\\SETUP.ini", files, 1, folders, "0", "", "", none, none, 1};
        RemovalTarget target = {NULL, Record, Record};
        deleted.clear();
        EXPECT_EQ(!c.expected.empty(), RemoveItems(&items, &target));
        EXPECT_EQ("C:\\Prog\\Clock\\SETUP.ini|" + (c.expected.empty() ? "" : c.expected + "|"), deleted);
    }
}

// The shortcut's file: placed by the installation, deleted by the uninstaller.
TEST(InstalledPlace, ShortcutAgrees)
{
    const struct {
        std::string folder;     // the shortcut folder, as the install log keeps it
        const char *link;
        std::string expected;   // empty: not made, not deleted
    } cases[] = {
        {"C:\\Menu\\Clock", "Clock", "C:\\Menu\\Clock\\Clock.lnk"},
        {"C:\\Menu\\\x95\x5C", "\x8E\x9E\x8C\x76", "C:\\Menu\\\x95\x5C\\\x8E\x9E\x8C\x76.lnk"},
        {"C:\\" + std::string(247, 'm'), "Clock", "C:\\" + std::string(247, 'm') + "\\Clock.lnk"},   // 260
        {"C:\\" + std::string(248, 'm'), "Clock", ""},
        // A lead byte last: the backslash would become its second byte, the link another file.
        {"C:\\Menu\\\x95", "Clock", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder + " " + c.link);
        char placed[MAX_PATH_BYTES];
        EXPECT_EQ(!c.expected.empty(), ShortcutLinkPath(placed, sizeof placed, c.folder.c_str(), c.link));
        EXPECT_EQ(c.expected, placed);

        FileEntry files[1] = {};
        FolderSlot none[1] = {""};
        InstalledItems items = {"C:\\Prog\\SETUP.ini", files, 0, kFolders, "a.exe", c.link, c.folder.c_str(),
                                none, none, 1};
        RemovalTarget target = {NULL, Record, Record};
        deleted.clear();
        EXPECT_EQ(!c.expected.empty(), RemoveItems(&items, &target));
        EXPECT_EQ("C:\\Prog\\SETUP.ini|" + (c.expected.empty() ? "" : c.expected + "|"), deleted);
    }
}

}  // namespace
