// SETUP.exe started as the platform starts it through an uninstall entry:
// "<Windows directory>\SETUP.exe /Uninst-<n>-<install folder>". The installed state is
// built here as an installation leaves it: the script's copy in the install folder with the
// sections "Install", "CreatedDir" and "CreatedScDir" written by the profile functions, the
// listed files in their folders, the registration file, a link file in a created sub-folder
// of the Programs menu (a plain file: the uninstaller only deletes it) and the entry written
// with the registry functions.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <set>
#include <string>

#include "testsupport.h"

namespace {

const char kEntryKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst ";
const DWORD kWaitMs = 15000;

const char kScript[] =
    "[Setup]\nTitle=時計 Clock\nSubTitle=副題\nBackColor=BL\nTitlemap=0\nBitmap=0\n"
    "DefaultDir=C:\\Program Files\\Clock\nStartMsg1=一行目\nStartMsg2=*\nRegIni=Clock.ini\n"
    "RegSec=User\nUninstall=1\nShortCutObj=app.exe\nShortCutLnk=App\nShortCutDir=2\n"
    "ShortCutFld=ClockFld\\Sub\nShortCutIco=0\nShortCutIcoNum=0\nShortCutFldOpn=0\n"
    "FinalExec=app.exe\n[README]\n1=ようこそ\n"
    "[DISK1]\n1=$App:app.exe\n2=$App:sub\\data.txt\n3=$App:Clock.ini\n"
    "[DISK2]\n1=$win:clockwin.dat\n2=$Sys:SUB\\clocksys.dll\n";

std::string Folder(UINT (WINAPI *get)(LPSTR, UINT))
{
    char dir[MAX_PATH];
    get(dir, sizeof dir);
    return dir;
}

std::string ProgramsFolder()
{
    char dir[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, dir, CSIDL_PROGRAMS, FALSE);
    return dir;
}

class Uninstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string install = Sjis("C:\\Pre\\表\\Inner");
        const std::string shortcut = ProgramsFolder() + "\\ClockFld";
        items = {{"clock", Sjis("C:\\Pre\\表")}, {"inner", install},
                 {"log", install + "\\SETUP.ini"}, {"app", install + "\\app.exe"},
                 {"data", install + "\\data.txt"}, {"reg", install + "\\Clock.ini"},
                 {"user", install + "\\notes.txt"},
                 {"win", Folder(GetWindowsDirectoryA) + "\\clockwin.dat"},
                 {"sys", Folder(GetSystemDirectoryA) + "\\clocksys.dll"},
                 {"scfld", shortcut}, {"scsub", shortcut + "\\Sub"},
                 {"link", shortcut + "\\Sub\\App.lnk"}};
        setup = Folder(GetWindowsDirectoryA) + "\\SETUP.exe";
        command = setup + " /Uninst-1-" + install;
        CleanUp();
        ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), setup.c_str(), FALSE));
    }

    void TearDown() override
    {
        StopChild(&child);
        CleanUp();
    }

    void CleanUp()
    {
        RemoveTree("C:\\Pre");
        RemoveTree(items["scfld"]);
        DeleteFileA(items["win"].c_str());
        DeleteFileA(items["sys"].c_str());
        RegDeleteTree(HKEY_LOCAL_MACHINE, (kEntryKey + std::string("0")).c_str());
        RegDeleteTree(HKEY_LOCAL_MACHINE, (kEntryKey + std::string("1")).c_str());
    }

    void Install(const std::string &script, bool shortcutPath, bool entry, int extraFolders)
    {
        for (const char *folder : {"clock", "inner", "scfld", "scsub"})
            ASSERT_TRUE(CreateDirectoryA(items[folder].c_str(), NULL)) << folder;
        std::string shipped = Sjis(script.c_str());
        ASSERT_TRUE(WriteWholeFile(items["log"], shipped));
        for (const char *file : {"app", "data", "win", "sys", "link"})
            ASSERT_TRUE(WriteWholeFile(items[file], file)) << file;
        const char *log = items["log"].c_str();
        if (shortcutPath)
            WritePrivateProfileStringA("Install", "ShortCutPath", items["scsub"].c_str(), log);
        WritePrivateProfileStringA("CreatedDir", "Dir0", items["clock"].c_str(), log);
        WritePrivateProfileStringA("CreatedDir", "Dir1", items["inner"].c_str(), log);
        for (int i = 0; i < extraFolders; i++) {
            std::string folder = items["inner"] + "\\folder" + std::to_string(i);
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
            WritePrivateProfileStringA("CreatedDir", ("Dir" + std::to_string(i + 2)).c_str(),
                                       folder.c_str(), log);
        }
        WritePrivateProfileStringA("CreatedScDir", "Dir0", items["scfld"].c_str(), log);
        WritePrivateProfileStringA("CreatedScDir", "Dir1", items["scsub"].c_str(), log);
        WritePrivateProfileStringA("User", "User", Sjis("利用者").c_str(), items["reg"].c_str());
        ASSERT_TRUE(WritePrivateProfileStringA("User", "Temp", "C:\\TEMP\\", items["reg"].c_str()));
        const std::string key = kEntryKey + std::string("1");
        if (entry) {
            ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName",
                                       Sjis("時計 Clock")));
            ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", command));
        }
    }

    // Waits for SETUP's box with this caption and text, presses the button and waits until
    // the box has gone.
    void Answer(const char *caption, const char *text, int button, int line)
    {
        HWND box = WaitForWindow(child.pid, "#32770", Sjis(caption).c_str(), kWaitMs);
        ASSERT_TRUE(box != NULL) << "line " << line << ": no box " << caption << ": " << text;
        // The box's window comes before its text.
        for (DWORD start = GetTickCount(); MessageBoxText(box).empty() &&
                                           GetTickCount() - start < kWaitMs;)
            PumpFor(20);
        EXPECT_EQ(text, Utf8(MessageBoxText(box))) << "line " << line;
        PressDialogButton(box, button);
        for (DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < kWaitMs;)
            PumpFor(20);
    }

    void ExpectEnds(int line)
    {
        DWORD code = 12345;
        ASSERT_TRUE(WaitChild(&child, kWaitMs, &code)) << "line " << line << ": SETUP did not end";
        EXPECT_EQ(0u, code) << "line " << line;
        StopChild(&child);
    }

    bool EntryExists(const char *number)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kEntryKey + std::string(number)).c_str(), 0,
                          KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::map<std::string, std::string> items;
    std::string setup, command;
    ChildProcess child;
};

const char kCaption[] = "時計 Clock アンインストール";
const char kConfirm[] = "時計 Clockの\nアンインストールを行いますか？";
const char kDone[] = "時計 Clockの\nアンインストールは正常に完了しました。";
const char kPartial[] = "時計 Clockのアンインストールを行いましたが、\n"
                        "いくつかのファイルや設定情報等はアンインストールされませんでした。";

TEST_F(Uninstall, RemovesWhatTheLogNames)
{
    struct Case {
        const char *name;
        const char *result;             // NULL: the user declines
        std::set<std::string> stays;    // items still there afterwards
        const char *scriptLine;         // removed from the script, or NULL
        bool shortcutPath, entry;
        const char *goneBefore, *added; // an item deleted or created before the run
        int extraFolders;               // created sub-folders listed after the install folder
    };
    const Case cases[] = {
        {"declined", NULL, {"clock", "inner", "log", "app", "data", "reg", "win", "sys", "scfld",
                            "scsub", "link"}, NULL, true, true, NULL, NULL, 0},
        {"everything", kDone, {}, NULL, true, true, NULL, NULL, 0},
        {"a file the user added", kPartial, {"clock", "inner", "user"}, NULL, true, true, NULL,
         "user", 0},
        {"a listed file already gone", kPartial, {}, NULL, true, true, "data", NULL, 0},
        {"entry already removed", kPartial, {}, NULL, true, false, NULL, NULL, 0},
        {"registration file not listed", kPartial, {"clock", "inner", "reg"}, "3=$App:Clock.ini",
         true, true, NULL, NULL, 0},
        {"log without ShortCutPath", kPartial, {"scfld", "scsub", "link"}, NULL, false, true,
         NULL, NULL, 0},
        // Only the first 1284 bytes of "CreatedDir" are read: the later folders stay.
        {"folder list longer than read", kPartial, {"clock", "inner"}, NULL, true, true, NULL,
         NULL, 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CleanUp();
        ASSERT_TRUE(CreateDirectoryA("C:\\Pre", NULL));
        // Another product's entry of the same program.
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kEntryKey + std::string("0")).c_str(),
                                   "DisplayName", "Other"));
        Install(c.scriptLine ? ReplaceLine(kScript, c.scriptLine, "") : kScript, c.shortcutPath,
                c.entry, c.extraFolders);
        if (c.goneBefore) {
            ASSERT_TRUE(DeleteFileA(items[c.goneBefore].c_str()));
        }
        if (c.added) {
            ASSERT_TRUE(WriteWholeFile(items[c.added], "mine"));
        }

        ASSERT_TRUE(StartChild(command, "", &child));
        Answer(kCaption, kConfirm, c.result ? IDYES : IDNO, __LINE__);
        if (c.result != NULL) {
            // 640 x 480: 2/15 of the height is 64, which the x87 unit's 63.99... must not cut.
            HWND window = WaitForWindow(child.pid, "SETUP", Sjis(kCaption).c_str(), kWaitMs);
            ASSERT_TRUE(window != NULL);
            // Shown only once it has been sized to its text.
            for (DWORD start = GetTickCount(); !IsWindowVisible(window) &&
                                               GetTickCount() - start < kWaitMs;)
                PumpFor(5);
            HDC dc = GetDC(NULL);
            std::string text = Sjis("時計 Clockをアンインストールしています。");
            SIZE extent;
            GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
            ReleaseDC(NULL, dc);
            RECT rect;
            GetWindowRect(window, &rect);
            int width = extent.cx * 6 / 5;
            EXPECT_EQ(width, rect.right - rect.left);
            EXPECT_EQ(64, rect.bottom - rect.top);
            EXPECT_EQ((640 - width) / 2, rect.left);
            EXPECT_EQ(208, rect.top);
            Answer(kCaption, c.result, IDOK, __LINE__);
        }
        ExpectEnds(__LINE__);
        for (const auto &item : items)
            EXPECT_EQ(c.stays.count(item.first) != 0, FileExists(item.second)) << item.first;
        EXPECT_EQ(c.result == NULL && c.entry, EntryExists("1"));
        if (c.extraFolders > 0) {
            EXPECT_FALSE(FileExists(items["inner"] + "\\folder0"));
            EXPECT_TRUE(FileExists(items["inner"] + "\\folder59"));
        }
        EXPECT_TRUE(EntryExists("0")) << "another entry of the same program";
        EXPECT_TRUE(FileExists("C:\\Pre")) << "a folder that existed before";
        EXPECT_TRUE(FileExists(ProgramsFolder()));
        EXPECT_TRUE(FileExists(setup)) << "the program's own copy stays";
    }

    // The same command again: the install log is gone, so SETUP stops at the script.
    ASSERT_TRUE(StartChild(command, "", &child));
    Answer("SETUP", "SETUP.ini Title Error", IDOK, __LINE__);
    Answer("SETUP", "異常が発生しました。\nセットアップを中断します。", IDOK, __LINE__);
    ExpectEnds(__LINE__);
}

}  // namespace
