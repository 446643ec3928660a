// The uninstaller after a real installation: the sample package built into a medium by the
// medium builder, installed by SETUP with its pages answered, then removed through the command
// of its uninstall entry, as the platform's list of programs starts it. The package carries a
// megabyte of random data as well, which compression would grow: it lies on the medium as it
// is, no larger, and SETUP installs it byte for byte.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <string.h>

#include <string>

#include "setupwalk.h"
#include "testsupport.h"

namespace {

const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst 0";
const char kInstallDir[] = "C:\\Program Files\\Velmora";
const DWORD kWaitMs = 30000;

std::string Title()
{
    return Sjis("Velmora 時計");
}

std::string WindowsDir()
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir, n);
}

bool EntryExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEntry, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class InstalledThenRemoved : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        medium = SuiteFolder() + "\\medium";
        noise.assign(1000000, '\0');
        unsigned state = 3;
        for (char &b : noise)
            b = (char)((state = state * 1103515245 + 12345) >> 16);
        std::string script, failure, onMedium;
        ASSERT_TRUE(BuildSampleMedium(medium, &script, &failure, noise)) << failure;
        medium += "\\";
        ASSERT_TRUE(ReadWholeFile(medium + "NOISE.DA_", &onMedium));
        ASSERT_TRUE(onMedium == noise) << "NOISE.DA_: " << onMedium.size() << " bytes";
    }

    void TearDown() override
    {
        RemoveTree(kInstallDir);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kEntry);
        RemoveTree(ShortcutFolder());
    }

    static std::string ShortcutFolder() { return SpecialFolder(CSIDL_PROGRAMS) + "\\" + Sjis("Velmora 時計"); }

    void Install()
    {
        SetupWalk walk;
        walk.caption = Title() + Sjis(" セットアップ");
        ASSERT_TRUE(WalkSetupInstall(medium, &walk)) << walk.failure;
        ASSERT_TRUE(EntryExists());
        ASSERT_TRUE(FileExists(std::string(kInstallDir) + "\\Tessary.scr"));
        std::string installed;
        ASSERT_TRUE(ReadWholeFile(std::string(kInstallDir) + "\\NOISE.DAT", &installed));
        ASSERT_TRUE(installed == noise) << "NOISE.DAT: " << installed.size() << " bytes";
    }

    static std::string medium, noise;
};

std::string InstalledThenRemoved::medium;
std::string InstalledThenRemoved::noise;

// Each case: an installation, what the user changed afterwards, and what the uninstall says.
TEST_F(InstalledThenRemoved, WhatTheInstallationMadeIsRemoved)
{
    enum Change { Nothing, UserFile, EntryGone, FileGone };
    struct Case {
        const char *name;
        Change change;
        bool whole;   // string 43; else string 44
    };
    const Case cases[] = {
        {"nothing changed", Nothing, true},
        {"a file the user added", UserFile, false},
        {"the entry already removed", EntryGone, false},
        {"a listed file already gone", FileGone, false},
    };
    const std::string link = ShortcutFolder() + "\\" + Sjis("Velmora をスクリーンセーバーに設定") + ".lnk";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Install();
        ASSERT_TRUE(FileExists(link));
        std::string command;
        DWORD type;
        ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type, &command));
        command = command.c_str();
        const std::string userFile = std::string(kInstallDir) + "\\notes.txt";
        if (c.change == UserFile) {
            ASSERT_TRUE(WriteWholeFile(userFile, "mine"));
        } else if (c.change == EntryGone) {
            RegDeleteTree(HKEY_LOCAL_MACHINE, kEntry);
        } else if (c.change == FileGone) {
            ASSERT_TRUE(DeleteFileA((std::string(kInstallDir) + "\\Pavrell.ini").c_str()));
        }

        SetupWalk walk;
        walk.caption = Title() + Sjis(" アンインストール");
        EXPECT_EQ(c.whole, WalkUninstall(command, &walk)) << walk.failure;
        EXPECT_EQ("", walk.failure);
        EXPECT_EQ(Utf8(Title() + (c.whole ? Sjis("の\nアンインストールは正常に完了しました。")
                                           : Sjis("のアンインストールを行いましたが、\nいくつかのファイルや設定情報等はアン"
                                                  "インストールされませんでした。"))),
                  Utf8(walk.lastBox));
        EXPECT_FALSE(EntryExists());
        EXPECT_FALSE(FileExists(link));
        EXPECT_FALSE(FileExists(ShortcutFolder()));
        for (const char *name : {"Tessary.scr", "PAVRELL.exe", "Pavrell.ini", "Velmora.ini", "NOISE.DAT", "SETUP.ini"})
            EXPECT_FALSE(FileExists(std::string(kInstallDir) + "\\" + name)) << name;
        EXPECT_EQ(c.change == UserFile, FileExists(kInstallDir)) << "the install folder";
        EXPECT_TRUE(FileExists(WindowsDir() + "\\SETUP.exe")) << "the program the entry started stays";

        if (c.change == Nothing) {
            // The same command again finds no install log: the reader's box, then string 3.
            ChildProcess again;
            ASSERT_TRUE(StartChild(command, "", &again));
            AnswerMessageBox(again.pid, "SETUP", "SETUP.ini Title Error", IDOK, kWaitMs, __LINE__);
            AnswerMessageBox(again.pid, "SETUP", "異常が発生しました。\nセットアップを中断します。", IDOK, kWaitMs,
                             __LINE__);
            DWORD code = 1;
            EXPECT_TRUE(WaitChild(&again, kWaitMs, &code));
            StopChild(&again);
        }
        TearDown();
    }
}

// Declining the confirmation changes nothing.
TEST_F(InstalledThenRemoved, DecliningLeavesEverything)
{
    Install();
    std::string command;
    DWORD type;
    ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type, &command));
    ChildProcess run;
    ASSERT_TRUE(StartChild(command.c_str(), "", &run));
    ASSERT_TRUE(AnswerMessageBox(run.pid, (Title() + Sjis(" アンインストール")).c_str(), NULL, IDNO, kWaitMs,
                                 __LINE__).came);
    DWORD code = 1;
    EXPECT_TRUE(WaitChild(&run, kWaitMs, &code));
    StopChild(&run);
    EXPECT_TRUE(EntryExists());
    EXPECT_TRUE(FileExists(std::string(kInstallDir) + "\\SETUP.ini"));
    EXPECT_TRUE(FileExists(std::string(kInstallDir) + "\\Tessary.scr"));
    EXPECT_TRUE(FileExists(ShortcutFolder()));
}

// The install folder deleted by hand: the uninstall cannot read the install log, says so, then
// offers to take the product off the list of installed programs. No keeps the entry; Yes
// removes it, and SETUP from the medium installs the product again.
TEST_F(InstalledThenRemoved, FolderDeletedByHand)
{
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        Install();
        std::string command;
        DWORD type;
        ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type, &command));
        ASSERT_TRUE(RemoveTree(kInstallDir));
        ChildProcess run;
        ASSERT_TRUE(StartChild(command.c_str(), "", &run));
        AnswerMessageBox(run.pid, "SETUP", "SETUP.ini Title Error", IDOK, kWaitMs, __LINE__);
        AnswerMessageBox(run.pid, "SETUP", "異常が発生しました。\nセットアップを中断します。", IDOK, kWaitMs, __LINE__);
        AnswerMessageBox(run.pid, "SETUP",
                         (Utf8(Title()) + "を\nインストールされているプログラムの一覧から削除しますか？").c_str(), answer,
                         kWaitMs, __LINE__);
        DWORD code = 1;
        EXPECT_TRUE(WaitChild(&run, kWaitMs, &code));
        StopChild(&run);
        EXPECT_EQ(answer == IDNO, EntryExists());
        if (answer == IDYES)
            Install();
        TearDown();
    }
}

}  // namespace
