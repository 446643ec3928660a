// Installed paths, the install log's folder lines and the removal order.
#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>

#include "uninstallrules.h"

namespace {

const MacroFolders kFolders = {"C:\\Prog\\Clock", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM\\"};

TEST(UninstallRules, InstalledPath)
{
    const std::string longFolder = "C:\\" + std::string(250, 'f');   // 253 bytes
    struct Case {
        const char *macro, *path;
        std::string app, expected;   // app empty: the usual; expected empty: refused
    };
    const Case cases[] = {
        {"$App:", "sub\\A.TXT", "", "C:\\Prog\\Clock\\A.TXT"},
        {"$win:", "x.dll", "", "C:\\WINDOWS\\x.dll"},
        {"$SYS:", "SUB\\EXTRA.DLL", "", "C:\\WINDOWS\\SYSTEM\\EXTRA.DLL"},
        {"$App:", "\x95\x5C" "a.txt", "", "C:\\Prog\\Clock\\a.txt"},   // split byte by byte
        {"$Usr:", "a.txt", "", ""},
        {"$App:", "sub\\", "", ""},
        {"$App:", "abcdef", longFolder, longFolder + "\\abcdef"},   // 260 bytes
        {"$App:", "abcdefg", longFolder, ""},
    };
    for (const Case &c : cases) {
        FileEntry entry;
        strcpy(entry.macro, c.macro);
        strcpy(entry.path, c.path);
        MacroFolders folders = kFolders;
        if (!c.app.empty())
            folders.app = c.app.c_str();
        char path[MAX_PATH_BYTES] = "";
        bool ok = InstalledPath(path, sizeof path, &entry, &folders);
        EXPECT_EQ(!c.expected.empty(), ok) << c.macro << c.path;
        EXPECT_EQ(c.expected, ok ? path : "") << c.macro << c.path;
    }
}

TEST(UninstallRules, FillFolderList)
{
    const std::string longest(MAX_PATH_BYTES - 1, 'p'), tooLong(MAX_PATH_BYTES, 'p');
    struct Case {
        const char *name;
        std::string data;
        bool mayBeCut;
        int slots;
        std::string expected;   // the filled slots, each followed by '|'
        bool complete;
    };
    const Case cases[] = {
        {"two lines", std::string("Dir0=C:\\A\0Dir1=C:\\A\\B\0", 22), false, 4, "C:\\A|C:\\A\\B|", true},
        {"line without '='", std::string("Dir0=C:\\A\0junk\0X=C:\\B\0", 23), false, 4, "C:\\A|C:\\B|", false},
        {"cut last line", std::string("Dir0=C:\\A\0Dir1=C:\\A\\", 20), true, 4, "C:\\A|", false},
        {"'=' in the folder", std::string("D=C:\\a=b\0", 9), false, 4, "C:\\a=b|", true},
        {"longest folder", "D=" + longest + std::string(1, '\0'), false, 4, longest + "|", true},
        {"too long", "D=" + tooLong + std::string(1, '\0'), false, 4, "", false},
        {"beyond the slots", std::string("a=1\0b=2\0c=3\0", 12), false, 2, "1|2|", false},
        {"empty section", "", true, 4, "", true},
    };
    for (const Case &c : cases) {
        FolderSlot list[4];
        memset(list, 'x', sizeof list);
        bool complete = FillFolderList(c.data.data(), c.data.size(), c.mayBeCut, list, c.slots);
        std::string filled;
        for (int i = 0; i < c.slots && list[i][0] != '\0'; i++)
            filled += std::string(list[i]) + "|";
        EXPECT_EQ(c.expected, filled) << c.name;
        EXPECT_EQ(c.complete, complete) << c.name;
    }
}

// Records each operation as "F path" or "D path"; those in `failing` report failure.
struct Recorder {
    std::string log;
    std::set<std::string> failing;
    static bool Act(Recorder *r, const char *kind, const char *path)
    {
        r->log += std::string(kind) + path + "\n";
        return r->failing.count(path) == 0;
    }
    static bool File(void *r, const char *path) { return Act((Recorder *)r, "F ", path); }
    static bool Folder(void *r, const char *path) { return Act((Recorder *)r, "D ", path); }
};

TEST(UninstallRules, RemoveItems)
{
    FileEntry files[3] = {{"$App:", "A.EXE"}, {"$Sys:", "SUB\\B.DLL"}, {"", ""}};
    FolderSlot created[3] = {"C:\\Prog\\Clock", "", "C:\\Prog\\Clock\\Sub\\"};
    FolderSlot shortcut[3] = {"C:\\Menu\\Clock", "C:\\Menu\\Clock\\Sub"};
    const std::string all = "F C:\\Prog\\Clock\\SETUP.ini\nF C:\\Prog\\Clock\\A.EXE\n"
                            "F C:\\WINDOWS\\SYSTEM\\B.DLL\nF C:\\Menu\\Clock\\Sub\\App.lnk\n"
                            "D C:\\Prog\\Clock\\Sub\nD C:\\Prog\\Clock\n"
                            "D C:\\Menu\\Clock\\Sub\nD C:\\Menu\\Clock\n";
    const std::string noLink = "F C:\\Prog\\Clock\\SETUP.ini\nF C:\\Prog\\Clock\\A.EXE\n"
                               "F C:\\WINDOWS\\SYSTEM\\B.DLL\n"
                               "D C:\\Prog\\Clock\\Sub\nD C:\\Prog\\Clock\n";
    struct Case {
        const char *name, *shortCutObj, *shortcutFolder, *failing;
        std::string expected;
        bool removed;
    };
    const Case cases[] = {
        {"everything", "app.exe", "C:\\Menu\\Clock\\Sub", "", all, true},
        {"a file already gone", "app.exe", "C:\\Menu\\Clock\\Sub", "C:\\Prog\\Clock\\A.EXE", all, false},
        {"a folder not empty", "app.exe", "C:\\Menu\\Clock\\Sub", "C:\\Prog\\Clock", all, false},
        {"no shortcut", "0", "0", "", noLink, true},
        {"shortcut folder missing", "app.exe", "0",  "", noLink + "D C:\\Menu\\Clock\\Sub\nD C:\\Menu\\Clock\n", false},
        {"shortcut folder empty", "app.exe", "",  "", noLink + "D C:\\Menu\\Clock\\Sub\nD C:\\Menu\\Clock\n", false},
    };
    for (const Case &c : cases) {
        InstalledItems items = {"C:\\Prog\\Clock\\SETUP.ini", files, 3, kFolders, c.shortCutObj,
                                "App", c.shortcutFolder, created, shortcut, 3};
        Recorder recorder;
        recorder.failing.insert(c.failing);
        RemovalTarget target = {&recorder, Recorder::File, Recorder::Folder};
        EXPECT_EQ(c.removed, RemoveItems(&items, &target)) << c.name;
        EXPECT_EQ(c.expected, recorder.log) << c.name;
    }
}

}  // namespace
