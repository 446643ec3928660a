// SETUP.exe started as the platform starts it through an uninstall entry:
// "<Windows directory>\SETUP.exe /Uninst-<n>-<install folder>". The installed state is
// built here as an installation leaves it: the script's copy in the install folder with the
// sections "Install", "CreatedDir" and "CreatedScDir" added by the profile functions, the
// listed files, the registration file, a link in a created sub-folder of the Programs menu
// (a plain file: it is only deleted) and the entry written with the registry functions.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <set>
#include <string>

#include "testsupport.h"

namespace {

const DWORD kWaitMs = 15000;
const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst ";
const char kScript[] =
    "[Setup]\nTitle=時計 Clock\nSubTitle=副題\nBackColor=BL\nTitlemap=0\nBitmap=0\n"
    "DefaultDir=C:\\Clock\nStartMsg1=一行目\nStartMsg2=*\nRegIni=Clock.ini\nRegSec=User\n"
    "Uninstall=1\nShortCutObj=app.exe\nShortCutLnk=App\nShortCutDir=2\nShortCutFld=ClockFld\\Sub\n"
    "ShortCutIco=0\nShortCutIcoNum=0\nShortCutFldOpn=0\nFinalExec=app.exe\n[README]\n1=ようこそ\n"
    "[DISK1]\n1=$App:app.exe\n2=$App:sub\\data.txt\n3=$App:Clock.ini\n"
    "[DISK2]\n1=$win:clockwin.dat\n2=$Sys:SUB\\clocksys.dll\n";
const char kCaption[] = "時計 Clock アンインストール";
const char kDone[] = "時計 Clockの\nアンインストールは正常に完了しました。";
const char kPartial[] = "時計 Clockのアンインストールを行いましたが、\n"
                        "いくつかのファイルや設定情報等はアンインストールされませんでした。";

std::string Folder(UINT (WINAPI *get)(LPSTR, UINT))
{
    char dir[MAX_PATH] = "";
    get(dir, sizeof dir);
    return dir;
}

template <class Done> void WaitFor(Done done)
{
    for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < kWaitMs;)
        PumpFor(20);
}

// At 640 x 480: as wide as its text and a fifth, 2/15 of the height (64, where the x87
// unit's product 63.99... would give 63), centred.
void ExpectWindowPlace(DWORD pid)
{
    HWND window = WaitForWindow(pid, "SETUP", Sjis(kCaption).c_str(), kWaitMs);
    ASSERT_TRUE(window != NULL);
    WaitFor([&] { return IsWindowVisible(window) != FALSE; });   // shown once it is sized
    std::string text = Sjis("時計 Clockをアンインストールしています。");
    SIZE extent;
    HDC dc = GetDC(NULL);
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
    ReleaseDC(NULL, dc);
    RECT r;
    GetWindowRect(window, &r);
    int width = extent.cx * 6 / 5;
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ((640 - width) / 2, r.left);
    EXPECT_EQ(64, r.bottom - r.top);
    EXPECT_EQ(208, r.top);
}

std::string Content(const std::string &path)
{
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : "<absent>";
}

bool HasEntry(const char *number)
{
    DWORD type;
    std::string name;
    return RegReadValue(HKEY_LOCAL_MACHINE, (kKey + number).c_str(), "DisplayName", &type, &name);
}

void RunSetup(const std::string &command, const char *result)
{
    ChildProcess child;
    ASSERT_TRUE(StartChild(command, "", &child));
    AnswerMessageBox(child.pid, Sjis(kCaption).c_str(), "時計 Clockの\nアンインストールを行いますか？",
                     result ? IDYES : IDNO, kWaitMs, __LINE__);
    if (result != NULL) {
        ExpectWindowPlace(child.pid);
        AnswerMessageBox(child.pid, Sjis(kCaption).c_str(), result, IDOK, kWaitMs, __LINE__);
    }
    DWORD code = 12345;
    EXPECT_TRUE(WaitChild(&child, kWaitMs, &code)) << "SETUP did not end";
    EXPECT_EQ(0u, code);
    StopChild(&child);
}

TEST(Uninstall, RemovesWhatTheLogNames)
{
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, programs, CSIDL_PROGRAMS, FALSE);
    const std::string install = Sjis("C:\\Pre\\表\\Inner"), menu = std::string(programs);
    std::map<std::string, std::string> items = {
        {"clock", Sjis("C:\\Pre\\表")}, {"inner", install}, {"log", install + "\\SETUP.ini"},
        {"app", install + "\\app.exe"}, {"data", install + "\\data.txt"},
        {"reg", install + "\\Clock.ini"}, {"user", install + "\\notes.txt"},
        {"win", Folder(GetWindowsDirectoryA) + "\\clockwin.dat"},
        {"sys", Folder(GetSystemDirectoryA) + "\\clocksys.dll"}, {"scfld", menu + "\\ClockFld"},
        {"scsub", menu + "\\ClockFld\\Sub"}, {"link", menu + "\\ClockFld\\Sub\\App.lnk"},
        {"temp", install + "\\~SU3A0.TMP"}};
    const std::string setup = Folder(GetWindowsDirectoryA) + "\\SETUP.exe";
    const std::string command = setup + " /Uninst-1-" + install;
    ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), setup.c_str(), FALSE));

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
        // What a copy killed midway left in the install folder goes before the folder.
        {"a temporary of a killed copy", kDone, {}, NULL, true, true, NULL, "temp", 0},
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
        RemoveTree("C:\\Pre");
        RemoveTree(items["scfld"]);
        ASSERT_TRUE(CreateDirectoryA("C:\\Pre", NULL));   // a folder that existed before
        for (const char *folder : {"clock", "inner", "scfld", "scsub"})
            ASSERT_TRUE(CreateDirectoryA(items[folder].c_str(), NULL)) << folder;
        std::string script = c.scriptLine ? ReplaceLine(kScript, c.scriptLine, "") : kScript;
        ASSERT_TRUE(WriteWholeFile(items["log"], Sjis(script.c_str())));
        for (const char *file : {"app", "data", "win", "sys", "link"})
            ASSERT_TRUE(WriteWholeFile(items[file], file)) << file;
        const char *log = items["log"].c_str();
        if (c.shortcutPath)
            WritePrivateProfileStringA("Install", "ShortCutPath", items["scsub"].c_str(), log);
        std::vector<std::string> created = {items["clock"], items["inner"]};
        for (int i = 0; i < c.extraFolders; i++) {
            created.push_back(install + "\\folder" + std::to_string(i));
            ASSERT_TRUE(CreateDirectoryA(created.back().c_str(), NULL));
        }
        for (size_t i = 0; i < created.size(); i++)
            WritePrivateProfileStringA("CreatedDir", ("Dir" + std::to_string(i)).c_str(),
                                       created[i].c_str(), log);
        WritePrivateProfileStringA("CreatedScDir", "Dir0", items["scfld"].c_str(), log);
        WritePrivateProfileStringA("CreatedScDir", "Dir1", items["scsub"].c_str(), log);
        ASSERT_TRUE(WriteWholeFile(items["reg"],
                                   Sjis("[User]\nUser=利用者\nDivision=開発\nTemp=C:\\T\\\n")));
        RegDeleteTree(HKEY_LOCAL_MACHINE, (kKey + "1").c_str());
        if (c.entry) {
            ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kKey + "1").c_str(), "DisplayName",
                                       Sjis("時計 Clock")));
            ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kKey + "1").c_str(),
                                       "UninstallString", command));
        }
        // Another product installed with the same program.
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kKey + "0").c_str(), "DisplayName", "x"));
        if (c.goneBefore) {
            ASSERT_TRUE(DeleteFileA(items[c.goneBefore].c_str()));
        }
        if (c.added) {
            ASSERT_TRUE(WriteWholeFile(items[c.added], "mine"));
        }

        RunSetup(command, c.result);
        for (const auto &item : items)
            EXPECT_EQ(c.stays.count(item.first) != 0, FileExists(item.second)) << item.first;
        if (c.extraFolders > 0) {
            EXPECT_TRUE(!FileExists(created[2]) && FileExists(created.back()));
        }
        EXPECT_EQ(c.result == NULL && c.entry, HasEntry("1"));
        EXPECT_TRUE(HasEntry("0")) << "another product's entry";
        EXPECT_TRUE(FileExists("C:\\Pre") && FileExists(menu)) << "folders from before stay";
        EXPECT_TRUE(FileExists(setup)) << "the program's own copy stays";
    }

    // The same command again: the install log is gone, so SETUP stops at the script.
    ChildProcess child;
    ASSERT_TRUE(StartChild(command, "", &child));
    AnswerMessageBox(child.pid, "SETUP", "SETUP.ini Title Error", IDOK, kWaitMs, __LINE__);
    AnswerMessageBox(child.pid, "SETUP", "異常が発生しました。\nセットアップを中断します。", IDOK, kWaitMs, __LINE__);
    DWORD code;
    EXPECT_TRUE(WaitChild(&child, kWaitMs, &code));
    StopChild(&child);
    RemoveTree("C:\\Pre");
    RemoveTree(items["scfld"]);
    RegDeleteTree(HKEY_LOCAL_MACHINE, (kKey + "0").c_str());
}

// An install log edited by someone who may write to the install folder: a listed file that
// the system would resolve outside its macro's folder is not deleted, everything else is,
// and the result is string 44.
TEST(Uninstall, EditedLogDeletesNothingOutside)
{
    const std::string install = "C:\\Edited\\Clock", log = install + "\\SETUP.ini";
    const std::string victim = "C:\\Victim\\data.txt", dll = Folder(GetSystemDirectoryA) + "\\victim.dll";
    std::string systemBelowRoot = dll.substr(3);   // the system folder reached by '/' parts
    for (char &c : systemBelowRoot)
        c = c == '\\' ? '/' : c;
    const std::string setup = Folder(GetWindowsDirectoryA) + "\\SETUP.exe";
    ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), setup.c_str(), FALSE));
    const std::string lines[] = {
        "$App:x/../../../Victim/data.txt",
        "$Sys:x/../../../Victim/data.txt",
        "$Win:x/../../Victim/data.txt",
        "$App:x/../../../" + systemBelowRoot,
        "$Sys:victim.dll.",   // the system drops the dot: the file itself
    };
    for (const std::string &line : lines) {
        SCOPED_TRACE(line);
        RemoveTree("C:\\Edited");
        ASSERT_TRUE(CreateDirectoryA("C:\\Edited", NULL) && CreateDirectoryA(install.c_str(), NULL));
        CreateDirectoryA("C:\\Victim", NULL);
        ASSERT_TRUE(WriteWholeFile(victim, "victim") && WriteWholeFile(dll, "system victim"));
        ASSERT_TRUE(WriteWholeFile(install + "\\app.exe", "app"));
        std::string script = ReplaceLine(kScript, "ShortCutObj=app.exe", "ShortCutObj=0");
        script = ReplaceLine(script, "1=$App:app.exe", "1=$App:app.exe\n9=" + line);
        ASSERT_TRUE(WriteWholeFile(log, Sjis(script.c_str())));
        WritePrivateProfileStringA("CreatedDir", "Dir0", "C:\\Edited", log.c_str());
        WritePrivateProfileStringA("CreatedDir", "Dir1", install.c_str(), log.c_str());
        RegDeleteTree(HKEY_LOCAL_MACHINE, (kKey + "1").c_str());
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kKey + "1").c_str(), "DisplayName", Sjis("時計 Clock")));

        RunSetup(setup + " /Uninst-1-" + install, kPartial);
        EXPECT_EQ("victim", Content(victim));
        EXPECT_EQ("system victim", Content(dll));
        EXPECT_FALSE(FileExists(install)) << "the listed file, the log and the folders go";
    }
    RemoveTree("C:\\Victim");
    DeleteFileA(dll.c_str());
}

}  // namespace
