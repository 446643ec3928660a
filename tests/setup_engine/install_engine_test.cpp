// The progress dialog installing from a medium made by the medium builder, in a test window
// that stands in for the wizard: steps, files, install log, registration file, shortcut,
// uninstall entry, disk changes, and every way the installation stops.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "installsteps.h"
#include "pathfs.h"
#include "progress.h"
#include "setupcontext.h"
#include "setupscript.h"
#include "testsupport.h"
#include "wizard.h"

void ShowScriptError(const char *text)
{
    ADD_FAILURE() << "script refused: " << text;
}

int pageResult;   // the wizard's, which the record hands to the dialog

namespace {

const char kScript[] =
    "[Setup]\nTitle=エンジン試験\nSubTitle=副題\nBackColor=BL\nTitlemap=0\nBitmap=0\n"
    "DefaultDir=C:\\Engine\nStartMsg1=コピーします。\nStartMsg2=*\nRegIni=User.ini\nRegSec=Regist\n"
    "Uninstall=1\nShortCutObj=A.TXT\nShortCutLnk=試験\nShortCutDir=7\nShortCutFld=Tools\\Clock\n"
    "ShortCutIco=A.TXT\nShortCutIcoNum=3\nShortCutFldOpn=0\nFinalExec=0\n"
    "[README]\n1=ようこそ\n"
    "[DISK1]\n1=$App:A.TXT\n2=$Win:時計.txt\n"
    "[DISK2]\n1=$Sys:SUB\\B.DLL\n";

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst ";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string Bytes(int length, unsigned seed)
{
    std::string out;
    for (int i = 0; i < length; i++) {
        seed = seed * 1103515245 + 12345;
        out += (char)(i % 7 < 3 ? 'a' + i % 5 : seed >> 16);   // some repeats, some noise
    }
    return out;
}

std::string Content(const std::string &path)
{
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : "<absent>";
}

// The names in a folder that match a pattern, each followed by '|'.
std::string Listing(const std::string &folder, const char *pattern)
{
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names += std::string(found.cFileName) + "|";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// A script as the medium carries it: Shift-JIS with CR LF.
std::string ShippedScript(const std::string &utf8)
{
    std::string crlf;
    for (char c : Sjis(utf8.c_str()))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

std::string Profile(const std::string &file, const char *section, const char *key)
{
    char value[1024];
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, file.c_str());
    return value;
}

std::string EntryValue(int n, const char *name)
{
    DWORD type = 0;
    std::string bytes;
    if (!RegReadValue(HKEY_LOCAL_MACHINE, (kUninstallKey + std::to_string(n)).c_str(), name, &type, &bytes))
        return "<absent>";
    return type == REG_SZ && !bytes.empty() && bytes.back() == '\0' ? bytes.substr(0, bytes.size() - 1) : "<bad>";
}

// A link file as the shell reads it back: "target|icon file,icon index".
std::string LinkText(const std::string &path)
{
    CoInitialize(NULL);
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char target[MAX_PATH] = "", icon[MAX_PATH] = "";
    int index = -1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file)) && SUCCEEDED(file->Load(wide, STGM_READ))) {
        link->GetPath(target, sizeof target, NULL, 0);
        link->GetIconLocation(icon, sizeof icon, &index);
    }
    if (file != NULL)
        file->Release();
    if (link != NULL)
        link->Release();
    CoUninitialize();
    return std::string(target) + "|" + icon + "," + std::to_string(index);
}

// What one run of the dialog showed and posted.
struct Outcome {
    std::vector<UINT> steps, pages;
    std::vector<std::string> boxes;
    int position = -1, maximum = -1;
    bool hung = false;
};

Outcome *run;
std::function<int(const std::string &)> answerBox;
int watchTicks;

BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(window) && GetPropA(window, "answered") == NULL) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the message boxes' own loops too: answers each box once, as a user would.
VOID CALLBACK WatchBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, (LPARAM)&box);
    if (box != NULL) {
        SetPropA(box, "answered", (HANDLE)1);
        std::string text = WindowText(box) + "|" + MessageBoxText(box);
        run->boxes.push_back(text);
        PressDialogButton(box, answerBox(text));
    }
    if (++watchTicks > 2000) {   // a guard against a hang, not a time limit of the engine
        run->hung = true;
        PostQuitMessage(1);
    }
}

// A read that blocks (a device opened as a file) stops the message loop and its guard too:
// then the test program ends here, so that a hang fails at once rather than at the time limit.
DWORD WINAPI Watchdog(LPVOID done)
{
    if (WaitForSingleObject((HANDLE)done, 90000) == WAIT_TIMEOUT) {
        fputs("the installation hung\n", stderr);
        ExitProcess(3);
    }
    return 0;
}

LRESULT CALLBACK WizardStandIn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PageDone || message == PageAbort) {
        run->pages.push_back(message);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class InstallEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = SuiteFolder() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(root_);
        ASSERT_TRUE(CreateDirectoryA(root_.c_str(), NULL));
        CreateDirectoryA((root_ + "\\pkg").c_str(), NULL);
        CreateDirectoryA((root_ + "\\pkg\\SUB").c_str(), NULL);
        files_ = {{"A.TXT", Bytes(5000, 1)}, {Sjis("時計.txt"), std::string(3000, ' ') + "clock"},
                  {"SUB\\B.DLL", Bytes(20000, 2)}};
        for (const auto &f : files_)
            ASSERT_TRUE(WriteWholeFile(root_ + "\\pkg\\" + f.first, f.second));
        installDir_ = Sjis("C:\\Engine Test\\時計");
        sourceDir_ = "D:\\";
        for (int n = 0; n < 4; n++)
            RegDeleteTree(HKEY_LOCAL_MACHINE, (kUninstallKey + std::to_string(n)).c_str());
        answerBox = [](const std::string &) { return IDOK; };
    }
    void TearDown() override
    {
        if (held_ != INVALID_HANDLE_VALUE)
            CloseHandle(held_);
        held_ = INVALID_HANDLE_VALUE;
        RemoveTree(root_);
        RemoveTree("C:\\Engine Test");
        for (const std::string &file : {Windows(Sjis("時計.txt")), System("B.DLL")}) {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
    }

    static std::string Folder(UINT(WINAPI *get)(LPSTR, UINT))
    {
        char dir[MAX_PATH] = "";
        return std::string(dir, get(dir, sizeof dir));
    }
    static std::string Windows(const std::string &name) { return Folder(GetWindowsDirectoryA) + "\\" + name; }
    static std::string System(const std::string &name) { return Folder(GetSystemDirectoryA) + "\\" + name; }
    std::string Installed(const char *name) const { return installDir_ + "\\" + name; }

    // The medium builder's output from the script (UTF-8 source, one line replaced when asked).
    void BuildMedium(const char *options, const std::string &line = "", const std::string &with = "")
    {
        ASSERT_TRUE(WriteWholeFile(root_ + "\\pkg\\SETUP.ini",
                                   ShippedScript(line.empty() ? kScript : ReplaceLine(kScript, line, with))));
        ChildProcess child;
        ASSERT_TRUE(StartChild("\"" + BuiltProgram("BuildMedium.exe") + "\" " + options + " /setup \"" +
                                   BuiltProgram("SETUP.exe") + "\" \"" + root_ + "\\pkg\\SETUP.ini\" \"" + root_ +
                                   "\\pkg\" \"" + root_ + "\\medium\"",
                               "", &child));
        DWORD code = 1;
        ASSERT_TRUE(WaitChild(&child, 120000, &code));
        ASSERT_EQ(0u, code);
        disk1_ = root_ + (strcmp(options, "/cd") == 0 ? "\\medium" : "\\medium\\DISK1");
    }

    // The drive D: (or a folder on it) holds exactly what the folder holds, as after a disk change.
    static void LoadDisk(const std::string &folder, const std::string &to = "D:")
    {
        const FILEOP_FLAGS quiet = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
        std::string all = to + "\\*" + '\0', from = folder + "\\*" + '\0', into = to + '\0';
        SHFILEOPSTRUCTA clear = {NULL, FO_DELETE, all.c_str(), NULL, quiet, FALSE, NULL, NULL};
        SHFileOperationA(&clear);
        SHFILEOPSTRUCTA copy = {NULL, FO_COPY, from.c_str(), into.c_str(), quiet, FALSE, NULL, NULL};
        ASSERT_EQ(0, SHFileOperationA(&copy));
    }

    // What the wizard has done when the progress page comes: script read, values collected,
    // install folder created and recorded. Then the dialog runs until it reports.
    Outcome Install(int cancelAfterCopies = 0)
    {
        memset(&setupContext, 0, sizeof setupContext);
        static FolderSlot createdFolders[FOLDER_LIST_SLOTS];
        memset(createdFolders, 0, sizeof createdFolders);
        // What the shortcut step keeps is empty at each process start.
        memset(shortcutFolder, 0, sizeof shortcutFolder);
        memset(shortcutFolders, 0, sizeof shortcutFolders);
        setupContext.instance = GetModuleHandleA(NULL);
        strcpy(setupContext.baseName, "SETUP");
        strcpy(setupContext.exeName, "SETUP.exe");
        strcpy(setupContext.scriptName, "SETUP.ini");
        strcpy(setupContext.scriptDir, (disk1_ + "\\").c_str());
        strcpy(setupContext.sourceDir, sourceDir_.c_str());
        Outcome result;
        run = &result;
        if (ReadSetupScript() != 1)
            return result;
        strcpy(setupContext.installDir, installDir_.c_str());
        strcpy(setupContext.caption, (std::string(setupScript.Title) + Sjis(" セットアップ")).c_str());
        CreateFolderTree(installDir_.c_str(), createdFolders, FOLDER_LIST_SLOTS);
        const std::string userName = Sjis("山田 太郎"), division = Sjis("開発部");
        pageResult = PAGE_NEXT;
        const InstallChoices choices = {userName.c_str(), division.c_str(), createdFolders, &pageResult, PageDone,
                                        PageAbort};

        WNDCLASSA type = {};
        type.lpfnWndProc = WizardStandIn;
        type.hInstance = setupContext.instance;
        type.lpszClassName = "WizardStandIn";
        RegisterClassA(&type);
        setupContext.mainWindow = CreateWindowA("WizardStandIn", setupContext.caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                0, 0, 800, 600, NULL, NULL, setupContext.instance, NULL);
        HWND dialog = CreateDialogParamA(setupContext.instance, "PROGR_DIALOG", setupContext.mainWindow,
                                         ProgressDialogProc, (LPARAM)&choices);
        setupContext.progressDialog = dialog;
        EXPECT_NE(nullptr, dialog);
        watchTicks = 0;
        HANDLE done = CreateEventA(NULL, TRUE, FALSE, NULL);
        HANDLE watchdog = CreateThread(NULL, 0, Watchdog, done, 0, NULL);
        UINT_PTR watcher = SetTimer(NULL, 0, 30, WatchBoxes);
        int copies = 0;
        MSG msg;
        while (dialog != NULL && GetMessageA(&msg, NULL, 0, 0) > 0) {
            bool step = msg.hwnd == dialog && msg.message >= StepCopyScript && msg.message <= StepFinish;
            if (step)
                result.steps.push_back(msg.message);
            if (step && msg.message == StepFinish) {
                result.position = (int)SendDlgItemMessageA(dialog, 13, PBM_GETPOS, 0, 0);
                result.maximum = (int)SendDlgItemMessageA(dialog, 13, PBM_GETRANGE, FALSE, 0);
            }
            if (setupContext.progressDialog == NULL || !IsDialogMessageA(setupContext.progressDialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (step && msg.message == StepCopyFile && ++copies == cancelAfterCopies)
                PressDialogButton(dialog, IDCANCEL);
        }
        KillTimer(NULL, watcher);
        SetEvent(done);
        WaitForSingleObject(watchdog, INFINITE);
        CloseHandle(watchdog);
        CloseHandle(done);
        EXPECT_EQ(nullptr, setupContext.progressDialog);
        EXPECT_FALSE(IsWindow(dialog));
        DestroyWindow(setupContext.mainWindow);
        return result;
    }

    std::string root_, disk1_, installDir_, sourceDir_;
    HANDLE held_ = INVALID_HANDLE_VALUE;
    std::vector<std::pair<std::string, std::string>> files_;
};

TEST_F(InstallEngine, TwoDisksEverythingInPlace)
{
    BuildMedium("");
    LoadDisk(disk1_);
    for (int n : {0, 2})   // another installation's entries: the new one takes number 1
        RegWriteString(HKEY_LOCAL_MACHINE, (kUninstallKey + std::to_string(n)).c_str(), "DisplayName", "other");
    // Disk 2 asked for while disk 1 is still in: the probe misses, then the disk goes in.
    answerBox = [this](const std::string &text) {
        if (text.find(Sjis("ファイルが見つかりません")) != std::string::npos)
            LoadDisk(root_ + "\\medium\\DISK2");
        return IDOK;
    };
    Outcome r = Install();
    ASSERT_FALSE(r.hung);
    const std::string caption = Sjis("エンジン試験 セットアップ|");
    EXPECT_EQ((std::vector<std::string>{caption + Sjis("2枚目のディスクに交換して下さい。"),
                                        caption + Sjis("D:\\SUB\\B.DL_\nファイルが見つかりません。\n"
                                                       "ドライブを再確認してください。")}),
              r.boxes);
    EXPECT_EQ((std::vector<UINT>{1055, 1056, 1057, 1057, 1057, 1057, 1058, 1059, 1060, 1061}), r.steps);
    EXPECT_EQ(4, r.maximum);
    EXPECT_EQ(4, r.position);
    EXPECT_EQ(std::vector<UINT>{PageDone}, r.pages);

    EXPECT_EQ(files_[0].second, Content(Installed("A.TXT")));
    EXPECT_EQ(files_[1].second, Content(Windows(Sjis("時計.txt"))));
    EXPECT_EQ(files_[2].second, Content(System("B.DLL")));
    EXPECT_FALSE(FileExists(Installed("SUB")));

    char startup[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, startup, CSIDL_STARTUP, FALSE));
    const std::string links = std::string(startup) + "\\Tools\\Clock", log = Installed("SETUP.ini");
    EXPECT_EQ(Sjis("エンジン試験"), Profile(log, "Setup", "Title"));   // the script itself
    EXPECT_EQ(links, Profile(log, "Install", "ShortCutPath"));
    EXPECT_EQ("C:\\Engine Test", Profile(log, "CreatedDir", "Dir0"));
    EXPECT_EQ(installDir_, Profile(log, "CreatedDir", "Dir1"));
    EXPECT_EQ("<absent>", Profile(log, "CreatedDir", "Dir2"));
    EXPECT_EQ(std::string(startup) + "\\Tools", Profile(log, "CreatedScDir", "Dir0"));
    EXPECT_EQ(links, Profile(log, "CreatedScDir", "Dir1"));

    const std::string reg = Installed("User.ini");
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(Sjis("山田 太郎"), Profile(reg, "Regist", "User"));
    EXPECT_EQ(Sjis("開発部"), Profile(reg, "Regist", "Division"));
    EXPECT_EQ(temp, Profile(reg, "Regist", "Temp"));

    EXPECT_EQ(Installed("A.TXT") + "|" + Installed("A.TXT") + ",3", LinkText(links + "\\" + Sjis("試験.lnk")));

    EXPECT_EQ(Sjis("エンジン試験"), EntryValue(1, "DisplayName"));
    EXPECT_EQ(Windows("SETUP.exe /Uninst-1-") + installDir_, EntryValue(1, "UninstallString"));
    EXPECT_EQ("<absent>", EntryValue(3, "DisplayName"));
}

// Every way the installation stops, and the variants that still complete.
TEST_F(InstallEngine, StopsAndVariants)
{
    const std::string failed = Sjis("エンジン試験 セットアップ|ファイルのコピーに失敗しました。\n");
    // Asked for also when every disk section lies in the one folder; the probe then finds it.
    const std::string prompt = Sjis("エンジン試験 セットアップ|2枚目のディスクに交換して下さい。");
    const std::string cdPrograms = EnvText("KIT_DRIVE_E") + "/Programs";
    // What the install log's "Install"/"ShortCutPath" holds afterwards.
    enum ShortcutPath { NOT_LOOKED_AT, WRITTEN, DESKTOP, WRITTEN_EMPTY };
    struct Case {
        const char *name;
        const char *options;           // medium builder: "/cd" one folder, "" one folder per disk
        std::string line, with;        // script line replaced
        std::function<void()> prepare;
        int answer, cancelAfter;       // the button for every box (-1: OK, Cancel on string 18);
                                       // cancel after this many copies
        std::vector<std::string> boxes;
        UINT page;
        bool entry;                    // an uninstall entry exists afterwards
        bool fileA;                    // A.TXT installed
        int units = 0;                 // the progress bar's range and its end (0: not looked at)
        const char *logSections = NULL;   // the install log's first section (NULL: not looked at)
        ShortcutPath shortcutPath = NOT_LOOKED_AT;
        bool desktopLink = false;      // the link is on the desktop, without an icon or folders of its own
        bool staleTemps = false;       // only the temporaries a killed copy left are gone
    } cases[] = {
        {"cancel during the copy", "/cd", "", "", [] {}, IDOK, 1, {}, PageAbort, false, true},
        {"disk prompt cancelled", "", "", "", [] {}, IDCANCEL, 0, {prompt}, PageAbort, false, true},
        {"probe cancelled", "", "", "", [] {}, -1, 0,
         {prompt, Sjis("エンジン試験 セットアップ|D:\\SUB\\B.DL_\nファイルが見つかりません。\nドライブを再確認してください。")},
         PageAbort, false, true},
        {"missing on the medium", "/cd", "", "", [] { DeleteFileA("D:\\A.TX_"); }, IDOK, 0,
         {failed + Sjis("C:\\Engine Test\\時計\\A.TXT")}, PageAbort, false, false},
        {"expands to nothing", "/cd", "", "", [] { WriteWholeFile("D:\\A.TX_", ""); }, IDOK, 0,
         {failed + Sjis("C:\\Engine Test\\時計\\A.TXT")}, PageAbort, false, false},
        // Wine run as root writes read-only files anyway; a file held open without sharing
        // cannot be replaced by anyone.
        {"destination cannot be written", "/cd", "", "",
         [this] {
             CreateDirectoryA("C:\\Engine Test", NULL);
             CreateDirectoryA(installDir_.c_str(), NULL);
             held_ = CreateFileA(Installed("A.TXT").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
         },
         IDOK, 0, {failed + Sjis("C:\\Engine Test\\時計\\A.TXT")}, PageAbort, false, false},
        // One unit per file, none for the script; an install log of its "Install" section only.
        {"no uninstall support", "/cd", "Uninstall=1", "Uninstall=0", [] {}, IDOK, 0, {prompt}, PageDone, false, true,
         3, "Install", WRITTEN},
        // Beyond the 127 bytes the platform's LZ open takes, on the medium and on the disk.
        {"deep medium and install folders", "/cd", "", "",
         [this] {
             installDir_ += "\\" + std::string(110, 'x');
             sourceDir_ = "D:\\" + std::string(130, 'm');
             LoadDisk(disk1_, sourceDir_);
         },
         IDOK, 0, {prompt}, PageDone, true, true},
        {"desktop link, no sub-folder, no icon", "/cd", "ShortCutDir=7\nShortCutFld=Tools\\Clock\nShortCutIco=A.TXT",
         "ShortCutDir=0\nShortCutFld=0\nShortCutIco=0", [] {}, IDOK, 0, {prompt}, PageDone, true, true, 0, NULL, DESKTOP,
         true},
        {"shortcut folder on a CD-ROM", "/cd", "ShortCutDir=7", "ShortCutDir=2",
         [cdPrograms] {
             CreateDirectoryA(WinePath(cdPrograms).c_str(), NULL);
             RegWriteString(HKEY_CURRENT_USER, kShellFolders, "Programs", "E:\\Programs");
         },
         IDOK, 0, {prompt, "SETUP|ERROR 1"}, PageDone, true, true, 0, NULL, WRITTEN_EMPTY},
        // As SETUP killed in the middle of copies leaves them, beside names of another form.
        {"temporaries of a killed copy", "/cd", "", "",
         [this] {
             CreateDirectoryA("C:\\Engine Test", NULL);
             CreateDirectoryA(installDir_.c_str(), NULL);
             for (const std::string &name : {Installed("~SU000.TMP"), Installed("~SUFFF.TMP"), System("~SU0A1.TMP"),
                                             Installed("~SU0000.TMP"), Installed("~SU00G.TMP")})
                 WriteWholeFile(name, Bytes(3000, 3));
         },
         IDOK, 0, {prompt}, PageDone, true, true, 0, NULL, NOT_LOOKED_AT, false, true},
    };
    DWORD type;
    std::string programs;
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, kShellFolders, "Programs", &type, &programs));
    programs = programs.c_str();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        BuildMedium(c.options, c.line, c.with);
        LoadDisk(disk1_);
        c.prepare();
        answerBox = [&c](const std::string &text) {
            if (c.answer >= 0)
                return c.answer;
            return text.find(Sjis("ファイルが見つかりません")) != std::string::npos ? IDCANCEL : IDOK;
        };
        Outcome r = Install(c.cancelAfter);
        HKEY folders;   // the shell's own Programs folder back for the cases after
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &folders) == ERROR_SUCCESS) {
            RegSetValueExA(folders, "Programs", 0, REG_EXPAND_SZ, (const BYTE *)programs.c_str(), programs.size() + 1);
            RegCloseKey(folders);
        }
        ASSERT_FALSE(r.hung);
        EXPECT_EQ(c.boxes, r.boxes);
        EXPECT_EQ(std::vector<UINT>{c.page}, r.pages);
        EXPECT_EQ(c.cancelAfter > 0 ? PAGE_CANCEL : PAGE_NEXT, pageResult);
        EXPECT_EQ(c.entry, EntryValue(0, "DisplayName") != "<absent>");
        EXPECT_EQ(c.fileA, Content(Installed("A.TXT")) == files_[0].second);
        const std::string log = Installed("SETUP.ini");
        if (c.page == PageAbort) {
            EXPECT_EQ("<absent>", Profile(log, "CreatedDir", "Dir0"));
        }
        if (c.units != 0) {
            EXPECT_EQ(c.units, r.maximum);
            EXPECT_EQ(c.units, r.position);
        }
        if (c.logSections != NULL) {
            char sections[256] = "";
            GetPrivateProfileSectionNamesA(sections, sizeof sections, log.c_str());
            EXPECT_STREQ(c.logSections, sections);
        }
        char desktop[MAX_PATH];
        SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
        switch (c.shortcutPath) {
        case NOT_LOOKED_AT:
            break;
        case WRITTEN:
            EXPECT_NE("<absent>", Profile(log, "Install", "ShortCutPath"));
            break;
        case DESKTOP:
            EXPECT_EQ(desktop, Profile(log, "Install", "ShortCutPath"));
            break;
        case WRITTEN_EMPTY:
            EXPECT_EQ("", Profile(log, "Install", "ShortCutPath"));
            break;
        }
        if (c.staleTemps) {
            for (const std::string &name : {Installed("~SU000.TMP"), Installed("~SUFFF.TMP"), System("~SU0A1.TMP")})
                EXPECT_FALSE(FileExists(name) && DeleteFileA(name.c_str())) << name;
            EXPECT_TRUE(FileExists(Installed("~SU0000.TMP")) && FileExists(Installed("~SU00G.TMP")));
        }
        if (c.desktopLink) {
            EXPECT_EQ(Installed("A.TXT") + "|,0", LinkText(std::string(desktop) + "\\" + Sjis("試験.lnk")));
            EXPECT_EQ("<absent>", Profile(log, "CreatedScDir", "Dir0"));
        }
    }
}

// A hostile or damaged medium: the script's first line changed on the medium after it was
// built, and files put beside it. Nothing outside the install folder may change, the file a
// failed copy was to replace stays as it was, and no temporary or partial file is left; the
// user sees the copy-failure box and the installation stops.
TEST_F(InstallEngine, HostileOrDamagedMediumChangesNothing)
{
    const std::string failed = Sjis("エンジン試験 セットアップ|ファイルのコピーに失敗しました。\n");
    const std::string victim = "C:\\Victim\\data.txt", dll = System("victim.dll");
    // The system folder reached from the install folder C:\Engine Test\時計 by '/' parts.
    std::string systemBelowRoot = System("victim.dll").substr(3);
    for (char &c : systemBelowRoot)
        c = c == '\\' ? '/' : c;
    std::string compressed;   // A.TXT as the builder compressed it
    struct Case {
        const char *name;
        std::string line;                          // replaces 1=$App:A.TXT on the medium
        std::function<std::string()> mediumFile;   // the bytes the line's file has on D:
        const char *mediumPath;                    // where they lie on D:
        std::string box;
        const char *installed = "";                // the install folder afterwards
    } cases[] = {
        {"'/' out of the install folder", "1=$App:x/../../../Victim/data.txt", [] { return std::string("hostile"); },
         "D:\\Victim\\data.tx_", failed + "$App:x/../../../Victim/data.txt"},
        {"'/' out of the Windows folder", "1=$Win:x/../../Victim/data.txt", [] { return std::string("hostile"); },
         "D:\\Victim\\data.tx_", failed + "$Win:x/../../Victim/data.txt"},
        {"'/' into the system folder", "1=$App:x/../../../" + systemBelowRoot, [] { return std::string("hostile"); },
         "D:\\victim.dl_", failed + "$App:x/../../../" + systemBelowRoot},
        {"a dot name", "1=$App:..", [] { return std::string("hostile"); }, "D:\\._", failed + "$App:.."},
        {"a drive in the name", "1=$App:C:data.txt", [] { return std::string(); }, NULL, failed + "$App:C:data.txt"},
        {"from the medium's root", "1=$Sys:\\victim.dll", [] { return std::string("hostile"); }, "D:\\victim.dl_",
         failed + "$Sys:\\victim.dll"},
        // The whole list is judged before anything is written: not even A.TXT or the log.
        {"after a good entry", "1=$App:A.TXT\n5=$App:x/../../../Victim/data.txt", [] { return std::string("hostile"); },
         "D:\\Victim\\data.tx_", failed + "$App:x/../../../Victim/data.txt"},
        // Read on the medium, a device blocks for ever: the list is refused before that.
        {"a device on the medium", "1=$App:AUX.txt", [] { return std::string(); }, NULL, failed + "$App:AUX.txt"},
        {"a numbered device", "1=$Sys:sub\\COM1.txt", [] { return std::string(); }, NULL,
         failed + "$Sys:sub\\COM1.txt"},
        // Names the system takes for the install log's and the staged program's.
        {"the install log with a dot", "1=$App:SETUP.ini.", [] { return std::string("hostile"); }, "D:\\SETUP.ini_",
         failed + "$App:SETUP.ini."},
        {"the install log in other letters", "1=$App:setup.INI", [] { return std::string("hostile"); },
         "D:\\setup.IN_", failed + "$App:setup.INI"},
        {"the staged program with a dot", "1=$Win:setup.exe.", [] { return std::string("hostile"); },
         "D:\\setup.exe_", failed + "$Win:setup.exe."},
        // From here on the list is sound: the install log is copied before the file fails.
        {"header cut to 10 bytes", "1=$Sys:victim.dll", [&] { return compressed.substr(0, 10); }, "D:\\victim.dl_",
         failed + dll, "SETUP.ini|"},
        {"compressed data cut in half", "1=$Sys:victim.dll", [&] { return compressed.substr(0, compressed.size() / 2); },
         "D:\\victim.dl_", failed + dll, "SETUP.ini|"},
        {"random bytes after a valid header", "1=$Sys:victim.dll",
         [&] { return compressed.substr(0, 14) + Bytes(13000, 7); }, "D:\\victim.dl_", failed + dll, "SETUP.ini|"},
        {"another compression mode", "1=$Sys:victim.dll",
         [&] { return compressed.substr(0, 8) + "B" + compressed.substr(9); }, "D:\\victim.dl_", failed + dll,
         "SETUP.ini|"},
        {"missing from the medium", "1=$Sys:victim.dll", [] { return std::string(); }, NULL, failed + dll, "SETUP.ini|"},
        {"held open by another program", "1=$Win:時計.txt", [] { return std::string("new"); },
         "D:\\時計.tx_", failed + Windows(Sjis("時計.txt")), "SETUP.ini|"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        BuildMedium("/cd");
        LoadDisk(disk1_);
        if (compressed.empty()) {
            ASSERT_TRUE(ReadWholeFile("D:\\A.TX_", &compressed));
        }
        ASSERT_EQ("SZDD", compressed.substr(0, 4));
        ASSERT_TRUE(WriteWholeFile(disk1_ + "\\SETUP.ini", ShippedScript(ReplaceLine(kScript, "1=$App:A.TXT", c.line))));
        if (c.mediumPath != NULL) {
            CreateDirectoryA("D:\\Victim", NULL);
            ASSERT_TRUE(WriteWholeFile(Sjis(c.mediumPath), c.mediumFile()));
        }
        CreateDirectoryA("C:\\Victim", NULL);
        ASSERT_TRUE(WriteWholeFile(victim, "victim"));
        ASSERT_TRUE(WriteWholeFile(dll, "system victim"));
        ASSERT_TRUE(WriteWholeFile(Windows(Sjis("時計.txt")), "in use"));
        if (c.name == std::string("held open by another program"))
            held_ = CreateFileA(Windows(Sjis("時計.txt")).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);

        Outcome r = Install();
        if (held_ != INVALID_HANDLE_VALUE)
            CloseHandle(held_);
        held_ = INVALID_HANDLE_VALUE;
        ASSERT_FALSE(r.hung);
        EXPECT_EQ(std::vector<std::string>{c.box}, r.boxes);
        EXPECT_EQ(std::vector<UINT>{PageAbort}, r.pages);
        EXPECT_EQ("victim", Content(victim));
        EXPECT_EQ("system victim", Content(dll));
        EXPECT_EQ("in use", Content(Windows(Sjis("時計.txt"))));
        // At most the install log; nothing beside the install folder, nothing half made anywhere.
        EXPECT_EQ(c.installed, Listing(installDir_, "*"));
        EXPECT_EQ(Sjis("時計|"), Listing("C:\\Engine Test", "*"));
        EXPECT_EQ("data.txt|", Listing("C:\\Victim", "*"));
        for (const std::string &folder : {Folder(GetWindowsDirectoryA), Folder(GetSystemDirectoryA)}) {
            EXPECT_EQ("", Listing(folder, "~SU*.TMP")) << folder;
            EXPECT_EQ("", Listing(folder, "*_")) << folder;
        }
        DeleteFileA(dll.c_str());
        RemoveTree("C:\\Victim");
    }
}

// A registration file named by a path is not written at all: the keys would land in whatever
// file the path reaches. The installation itself completes.
TEST_F(InstallEngine, RegIniWithAPathWritesNothing)
{
    BuildMedium("/cd");
    LoadDisk(disk1_);
    ASSERT_TRUE(WriteWholeFile(disk1_ + "\\SETUP.ini",
                               ShippedScript(ReplaceLine(kScript, "RegIni=User.ini", "RegIni=..\\..\\Victim\\data.txt"))));
    CreateDirectoryA("C:\\Victim", NULL);
    ASSERT_TRUE(WriteWholeFile("C:\\Victim\\data.txt", "victim"));
    Outcome r = Install();
    ASSERT_FALSE(r.hung);
    EXPECT_EQ(std::vector<UINT>{PageDone}, r.pages);
    EXPECT_EQ("victim", Content("C:\\Victim\\data.txt"));
    EXPECT_EQ(files_[0].second, Content(Installed("A.TXT")));
    RemoveTree("C:\\Victim");
}

}  // namespace
