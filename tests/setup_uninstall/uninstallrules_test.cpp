// The uninstaller's rules at the edges SETUP under Wine does not reach.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "uninstallrules.h"

namespace {

const MacroFolders kFolders = {"C:\\Prog\\Clock", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM\\"};

TEST(UninstallRules, InstalledPath)
{
    const std::string folder = "C:\\" + std::string(250, 'f');   // 253 bytes
    const struct {
        const char *macro, *path;
        std::string app, expected;   // app empty: C:\Prog\Clock; expected empty: refused
    } cases[] = {
        {"$SYS:", "SUB\\EXTRA.DLL", "", "C:\\WINDOWS\\SYSTEM\\EXTRA.DLL"},
        {"$App:", "\x95\x5C" "a.txt", "", "C:\\Prog\\Clock\\a.txt"},   // split byte by byte
        {"$Usr:", "a.txt", "", ""},
        {"$App:", "sub\\", "", ""},
        {"$App:", "abcdef", folder, folder + "\\abcdef"},   // 260 bytes
        {"$App:", "abcdefg", folder, ""},
        // An edited install log: nothing outside the macro's folder, nothing the system resolves.
        {"$App:", "x/../../../Victim/data.txt", "", ""},
        {"$Sys:", "x/../../../Victim/data.txt", "", ""},
        {"$Win:", "..", "", ""},
        {"$App:", "C:data.txt", "", ""},
        {"$App:", "\\Victim\\data.txt", "", ""},
    };
    for (const auto &c : cases) {
        FileEntry entry;
        strcpy(entry.macro, c.macro);
        strcpy(entry.path, c.path);
        MacroFolders folders = kFolders;
        folders.app = c.app.empty() ? folders.app : c.app.c_str();
        char path[MAX_PATH_BYTES] = "";
        EXPECT_EQ(!c.expected.empty(), InstalledPath(path, sizeof path, &entry, &folders));
        EXPECT_EQ(c.expected, path) << c.macro << c.path;
    }
}

TEST(UninstallRules, FillFolderList)
{
    const std::string longest(MAX_PATH_BYTES - 1, 'p');
    const struct {
        std::string data;
        bool mayBeCut;
        std::string expected;   // the filled slots, each followed by '|'
        bool complete;
    } cases[] = {
        {std::string("a=C:\\A\0junk\0b=C:\\a=b\0", 21), false, "C:\\A|C:\\a=b|", false},
        {std::string("a=C:\\A\0b=C:\\A\\", 14), true, "C:\\A|", false},   // cut last line
        {"a=" + longest + std::string("\0b=p", 4) + longest, false, longest + "|", false},
        {std::string("a=1\0b=2\0c=3\0d=4\0e=5\0", 20), false, "1|2|3|4|", false},   // 4 slots
        {"", true, "", true},
    };
    for (const auto &c : cases) {
        FolderSlot list[4];
        memset(list, 'x', sizeof list);
        bool complete = FillFolderList(c.data.data(), c.data.size(), c.mayBeCut, list, 4);
        std::string filled;
        for (int i = 0; i < 4 && list[i][0] != '\0'; i++)
            filled += std::string(list[i]) + "|";
        EXPECT_EQ(c.expected, filled) << c.data;
        EXPECT_EQ(c.complete, complete) << c.data;
    }
}

std::string removed;
bool Remove(void *, const char *path)
{
    removed += std::string(path) + "|";
    return true;
}

// A shortcut folder the log does not name ("0") or left empty is never resolved against the
// current folder; the other items still go, sub-folders before their parents.
TEST(UninstallRules, RemoveItemsTouchesOnlyFullPaths)
{
    FileEntry files[2] = {{"$App:", "A.EXE"}, {"", ""}};
    FolderSlot created[3] = {"C:\\Prog", "relative", "C:\\Prog\\Clock\\"};
    FolderSlot shortcut[3] = {"C:\\Menu\\Clock"};
    for (const char *folder : {"0", ""}) {
        InstalledItems items = {"C:\\Prog\\Clock\\SETUP.ini", files, 2, kFolders, "app.exe",
                                "App", folder, created, shortcut, 3};
        RemovalTarget target = {NULL, Remove, Remove};
        removed.clear();
        EXPECT_FALSE(RemoveItems(&items, &target));
        EXPECT_EQ("C:\\Prog\\Clock\\SETUP.ini|C:\\Prog\\Clock\\A.EXE|C:\\Prog\\Clock|C:\\Prog|"
                  "C:\\Menu\\Clock|", removed);
    }
}

// A refused entry between two good ones is never handed to the target, and the result says
// that not everything was removed.
TEST(UninstallRules, RefusedEntriesAreNotTouched)
{
    FileEntry files[4] = {{"$App:", "A.EXE"}, {"$App:", "x/../../../windows/system.ini"}, {"$Sys:", "B.DLL"}};
    FolderSlot none[1] = {""};
    InstalledItems items = {"C:\\Prog\\Clock\\SETUP.ini", files, 4, kFolders, "0", "", "", none, none, 1};
    RemovalTarget target = {NULL, Remove, Remove};
    removed.clear();
    EXPECT_FALSE(RemoveItems(&items, &target));
    EXPECT_EQ("C:\\Prog\\Clock\\SETUP.ini|C:\\Prog\\Clock\\A.EXE|C:\\WINDOWS\\SYSTEM\\B.DLL|", removed);
    files[1] = files[2];
    files[2] = FileEntry{"", ""};
    removed.clear();
    EXPECT_TRUE(RemoveItems(&items, &target));
}

}  // namespace
