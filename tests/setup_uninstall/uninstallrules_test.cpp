// The uninstaller's rules at the edges SETUP under Wine does not reach.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "uninstallrules.h"

namespace {

const MacroFolders kFolders = {"C:\\Prog\\Clock", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM\\"};

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
