// SETUP.exe started as a user starts it from a medium folder: its message boxes, the
// preparation window, what it stages into the Windows directory and the relaunch.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst ";
const char *const kStagedNames[] = {"SETUP.exe", "SETUP.ini", "title.bmp", "clock.bmp",
                                    "WININIT.INI"};
const DWORD kWaitMs = 15000;

const char kScript[] =
    "[Setup]\n"
    "Title=時計 Clock\n"
    "SubTitle=副題\n"
    "BackColor=BL\n"
    "Titlemap=title.bmp\n"
    "TitlemapX=10\n"
    "TitlemapY=20\n"
    "Bitmap=pic\\clock.bmp\n"
    "BitmapX=30\n"
    "BitmapY=40\n"
    "DefaultDir=C:\\Program Files\\Clock\n"
    "StartMsg1=一行目\n"
    "StartMsg2=*\n"
    "RegIni=Clock.ini\n"
    "RegSec=User\n"
    "Uninstall=1\n"
    "ShortCutObj=app.exe\n"
    "ShortCutLnk=App\n"
    "ShortCutDir=2\n"
    "ShortCutFld=Clock\n"
    "ShortCutIco=0\n"
    "ShortCutIcoNum=0\n"
    "ShortCutFldOpn=0\n"
    "FinalExec=app.exe\n"
    "[README]\n"
    "1=ようこそ\n"
    "[DISK1]\n"
    "1=$App:app.exe\n";

// Shift-JIS with CR LF, as a script is shipped.
std::string ShippedText(const std::string &utf8)
{
    std::string text = Sjis(utf8.c_str());
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string WindowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

std::string ShortName(const std::string &path)
{
    char name[515];
    DWORD n = GetShortPathNameA(path.c_str(), name, sizeof name);
    return n > 0 && n < sizeof name ? name : "";
}

std::string StringThree()
{
    return Sjis("異常が発生しました。\nセットアップを中断します。");
}

std::string Caption()
{
    return Sjis("時計 Clock セットアップ");
}

// Answers SETUP's message box of the process (pid 0: any) with this caption and text, both
// in code page 932, with OK.
void AnswerBox(DWORD pid, const std::string &caption, const std::string &text, int line)
{
    AnswerMessageBox(pid, caption.c_str(), Utf8(text).c_str(), IDOK, kWaitMs, line);
}

// The bounds of the non-white pixels of a window's client area, as the screen shows it.
bool DarkPixelBounds(HWND window, RECT *bounds)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT area = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    Picture picture = CaptureScreen(area);
    bool any = false;
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            COLORREF c = picture.At(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) >= 3 * 128)
                continue;
            if (!any)
                SetRect(bounds, x, y, x + 1, y + 1);
            bounds->left = x < bounds->left ? x : bounds->left;
            bounds->right = x + 1 > bounds->right ? x + 1 : bounds->right;
            bounds->bottom = y + 1;
            any = true;
        }
    }
    return any;
}

class SetupStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        windowsDir = WindowsDir();
        CleanUp();
        UseMedium("medium");
    }

    void TearDown() override
    {
        StopChild(&child);
        CleanUp();
        RemoveTree(medium);
    }

    // A medium folder holding SETUP.exe, the pictures and (by WriteScript) the script.
    void UseMedium(const char *name)
    {
        if (!medium.empty())
            RemoveTree(medium);
        medium = SuiteFolder() + "\\" + name;
        RemoveTree(medium);
        ASSERT_TRUE(CreateDirectoryA(medium.c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA((medium + "\\pic").c_str(), NULL));
        ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), (medium + "\\SETUP.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(WriteWholeFile(medium + "\\title.bmp", "BM title picture"));
        ASSERT_TRUE(WriteWholeFile(medium + "\\pic\\clock.bmp", "BM clock picture"));
    }

    void WriteScript(const std::string &utf8)
    {
        ASSERT_TRUE(WriteWholeFile(medium + "\\SETUP.ini", ShippedText(utf8)));
    }

    void Start(const std::string &arguments = "")
    {
        ASSERT_TRUE(StartChild("\"" + medium + "\\SETUP.exe\"" + arguments, medium, &child));
        startedPid = child.pid;
    }

    void ExpectEndsWithZero(int line)
    {
        DWORD code = 12345;
        ASSERT_TRUE(WaitChild(&child, kWaitMs, &code)) << "line " << line << ": SETUP did not end";
        EXPECT_EQ(0u, code) << "line " << line;
    }

    // The relaunched copy is not part of these cases: end it by its handle.
    void StopRelaunched()
    {
        for (DWORD pid : ChildProcessIds(startedPid)) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
            if (process != NULL) {
                TerminateProcess(process, 255);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }

    void CleanUp()
    {
        if (startedPid != 0)
            StopRelaunched();
        for (const char *name : kStagedNames) {
            SetFileAttributesA(Staged(name).c_str(), FILE_ATTRIBUTE_NORMAL);   // a read-only case
            DeleteFileA(Staged(name).c_str());
        }
        for (int n = 0; n < 100; n++)
            RegDeleteTree(HKEY_LOCAL_MACHINE, (kUninstallKey + std::to_string(n)).c_str());
    }

    std::string Staged(const char *name) const { return windowsDir + "\\" + name; }

    std::string ReadStaged(const char *name) const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Staged(name), &bytes)) << name;
        return bytes;
    }

    std::string ReadMedium(const char *name) const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(medium + "\\" + name, &bytes)) << name;
        return bytes;
    }

    std::string windowsDir;
    std::string medium;
    ChildProcess child;
    DWORD startedPid = 0;
};

// Each bad item is named in a box of its own, then string 3 follows; nothing is staged.
TEST_F(SetupStart, EachScriptErrorThenStringThree)
{
    struct Case {
        const char *line;
        const char *replacement;
        const char *text;
    };
    const Case cases[] = {
        {"Title=時計 Clock", "", "SETUP.ini Title Error"},
        {"SubTitle=副題", "", "SETUP.ini SubTitle Error"},
        {"BackColor=BL", "BackColor=", "SETUP.ini BackColor Error"},
        {"Titlemap=title.bmp", "", "SETUP.ini Titlemap Error"},
        {"TitlemapX=10", "", "SETUP.ini TitlemapX Error"},
        {"TitlemapY=20", "", "SETUP.ini TitlemapY Error"},
        {"Bitmap=pic\\clock.bmp", "", "SETUP.ini Bitmap Error"},
        {"BitmapX=30", "", "SETUP.ini BitmapX Error"},
        {"BitmapY=40", "", "SETUP.ini BitmapY Error"},
        {"DefaultDir=C:\\Program Files\\Clock", "", "SETUP.ini DefaultDir Error"},
        {"StartMsg1=一行目", "", "SETUP.ini StartMsg1 Error"},
        {"StartMsg2=*", "", "SETUP.ini StartMsg2 Error"},
        {"RegIni=Clock.ini", "", "SETUP.ini RegIni Error"},
        {"RegSec=User", "", "SETUP.ini RegSec Error"},
        {"Uninstall=1", "Uninstall=yes", "SETUP.ini Uninstall Error"},
        {"ShortCutObj=app.exe", "", "SETUP.ini ShortCutObj Error"},
        {"ShortCutLnk=App", "", "SETUP.ini ShortCutLnk Error"},
        {"ShortCutDir=2", "", "SETUP.ini ShortCutDir Error"},
        {"ShortCutDir=2", "ShortCutDir=3", "SETUP.ini ShortCutDir Error"},
        {"ShortCutFld=Clock", "", "SETUP.ini ShortCutFld Error"},
        {"ShortCutIco=0", "", "SETUP.ini ShortCutIco Error"},
        {"ShortCutIcoNum=0", "", "SETUP.ini ShortCutIcoNum Error"},
        {"ShortCutFldOpn=0", "ShortCutFldOpn=2", "SETUP.ini ShortCutFldOpn Error"},
        {"FinalExec=app.exe", "", "SETUP.ini FinalExec Error"},
        {"1=ようこそ", "", "SETUP.ini Readme Error"},
        {"1=$App:app.exe", "", "SETUP.ini DISK1 Error"},
        {"1=$App:app.exe", "1=$App:app.exe\n[DISK2]\n1=App:x.txt", "SETUP.ini DISK2 Error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        WriteScript(ReplaceLine(kScript, c.line, c.replacement));
        Start();
        AnswerBox(child.pid, "SETUP", c.text, __LINE__);
        AnswerBox(child.pid, "SETUP", StringThree(), __LINE__);
        ExpectEndsWithZero(__LINE__);
        EXPECT_FALSE(FileExists(Staged("SETUP.ini")));
        EXPECT_FALSE(FileExists(Staged("WININIT.INI")));
    }
}

TEST_F(SetupStart, InstalledProductIsRefused)
{
    // Entry 57 alone: the scan does not stop at the missing numbers below it.
    ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kUninstallKey + std::string("57")).c_str(),
                               "DisplayName", Sjis("時計 Clock")));
    WriteScript(kScript);
    Start();
    AnswerBox(child.pid, "SETUP", Sjis("時計 Clockは、既にセットアップされています。"), __LINE__);
    ExpectEndsWithZero(__LINE__);
    EXPECT_FALSE(FileExists(Staged("SETUP.exe")));
}

TEST_F(SetupStart, DisplayNameDifferingInCaseIsAnotherProduct)
{
    ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kUninstallKey + std::string("57")).c_str(),
                               "DisplayName", Sjis("時計 CLOCK")));
    ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, (kUninstallKey + std::string("3")).c_str(),
                               "DisplayName", Sjis("時計 Clock ")));
    WriteScript(kScript);
    Start();
    ExpectEndsWithZero(__LINE__);
    EXPECT_TRUE(FileExists(Staged("SETUP.ini")));
}

TEST_F(SetupStart, PreparationWindowIsCentred)
{
    WriteScript(kScript);
    Start();
    HWND window = WaitForWindow(child.pid, "SETUP", Caption().c_str(), kWaitMs);
    ASSERT_TRUE(window != NULL);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(307, rect.left);
    EXPECT_EQ(333, rect.top);
    EXPECT_EQ(409, rect.right - rect.left);
    EXPECT_EQ(102, rect.bottom - rect.top);
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_EQ(0, style & WS_SYSMENU) << "the user must not be able to close it";

    // The line of text is drawn dark on white, centred in the client area.
    PumpFor(200);
    RECT ink;
    ASSERT_TRUE(DarkPixelBounds(window, &ink)) << "no text in the preparation window";
    RECT client;
    GetClientRect(window, &client);
    EXPECT_NEAR(ink.left - client.left, client.right - ink.right, 4);
    EXPECT_NEAR(ink.top - client.top, client.bottom - ink.bottom, 4);
    ExpectEndsWithZero(__LINE__);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SetupStart, StagesIntoTheWindowsDirectory)
{
    WriteScript(kScript);
    Start();
    ExpectEndsWithZero(__LINE__);
    EXPECT_EQ(ReadMedium("SETUP.exe"), ReadStaged("SETUP.exe"));
    EXPECT_EQ(ReadMedium("SETUP.ini"), ReadStaged("SETUP.ini"));
    EXPECT_EQ(ReadMedium("title.bmp"), ReadStaged("title.bmp"));
    EXPECT_EQ(ReadMedium("pic\\clock.bmp"), ReadStaged("clock.bmp"));
    std::string expected = "[rename]\r\nNUL=" + ShortName(Staged("SETUP.ini")) + "\r\nNUL=" +
                           ShortName(Staged("title.bmp")) + "\r\nNUL=" +
                           ShortName(Staged("clock.bmp")) + "\r\n";
    EXPECT_EQ(expected, ReadStaged("WININIT.INI"));
}

// An existing file only gets its lines appended; a last line without its line end is ended
// first, so that neither it nor our first line is spoilt. A large file loses nothing.
TEST_F(SetupStart, ExistingWininitIsAppendedTo)
{
    struct Case {
        const char *name;
        std::string before;
        std::string kept;
    };
    std::string large;
    for (int i = 0; large.size() < 3 * 1024 * 1024; i++)
        large += "C:\\NEW" + std::to_string(i) + ".TXT=C:\\OLD" + std::to_string(i) + ".TXT\r\n";
    large += "C:\\LAST.TXT=C:\\OLD.TXT";
    const Case cases[] = {
        {"ended", "[rename]\r\nNUL=C:\\OLD.TXT\r\n", "[rename]\r\nNUL=C:\\OLD.TXT\r\n"},
        {"last line open", "[rename]\r\nC:\\NEW.TXT=C:\\OLD.TXT",
         "[rename]\r\nC:\\NEW.TXT=C:\\OLD.TXT\r\n"},
        {"empty", "", ""},
        {"ended by LF alone", "[rename]\nNUL=C:\\OLD.TXT\n", "[rename]\nNUL=C:\\OLD.TXT\n"},
        {"large, last line open", large, large + "\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWholeFile(Staged("WININIT.INI"), c.before));
        WriteScript(kScript);
        Start();
        ExpectEndsWithZero(__LINE__);
        std::string expected = c.kept + "NUL=" + ShortName(Staged("SETUP.ini")) + "\r\nNUL=" +
                               ShortName(Staged("title.bmp")) + "\r\nNUL=" +
                               ShortName(Staged("clock.bmp")) + "\r\n";
        EXPECT_EQ(expected, ReadStaged("WININIT.INI"));
        StopRelaunched();
    }
}

// A WININIT.INI that cannot be written is a failure the user is told of (string 3): nothing is
// staged, the file is as it was, and there is no relaunch. Wine lets a process of root write a
// read-only file, so that case runs only where the platform refuses the test itself; a file
// another program holds open without sharing is refused by Wine too.
TEST_F(SetupStart, UnwritableWininitStopsTheStaging)
{
    const std::string before = "[rename]\r\nNUL=C:\\OLD.TXT\r\n";
    const std::string path = Staged("WININIT.INI");
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "held open without sharing");
        ASSERT_TRUE(WriteWholeFile(path, before));
        HANDLE held = INVALID_HANDLE_VALUE;
        if (readOnly) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
            if (probe != INVALID_HANDLE_VALUE) {
                CloseHandle(probe);
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                printf("read-only case left out: this platform lets the test write the file\n");
                continue;
            }
        } else {
            held = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
            ASSERT_TRUE(held != INVALID_HANDLE_VALUE);
        }
        WriteScript(kScript);
        Start();
        AnswerBox(child.pid, Caption(), StringThree(), __LINE__);
        ExpectEndsWithZero(__LINE__);
        EXPECT_TRUE(ChildProcessIds(startedPid).empty());
        EXPECT_FALSE(FileExists(Staged("SETUP.exe")));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(before, ReadStaged("WININIT.INI"));
        EXPECT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    }
}

// 表 ends in the byte 0x5C: the program and its script are staged under their own names,
// never under the byte-wise last path component (示.exe), so that the relaunch finds them.
TEST_F(SetupStart, ProgramNameWithTrailByteBackslash)
{
    const std::string program = Sjis("表示");
    ASSERT_TRUE(MoveFileA((medium + "\\SETUP.exe").c_str(), (medium + "\\" + program + ".exe").c_str()));
    ASSERT_TRUE(WriteWholeFile(medium + "\\" + program + ".ini", ShippedText(kScript)));
    ASSERT_TRUE(StartChild("\"" + medium + "\\" + program + ".exe\"", medium, &child));
    startedPid = child.pid;
    ExpectEndsWithZero(__LINE__);
    std::string staged = windowsDir + "\\" + program;
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(staged + ".exe", &bytes));
    EXPECT_EQ(ReadMedium((program + ".exe").c_str()), bytes);
    std::string script;
    EXPECT_TRUE(ReadWholeFile(staged + ".ini", &script));
    EXPECT_EQ(ShippedText(kScript), script);
    EXPECT_FALSE(FileExists(windowsDir + "\\" + Sjis("示") + ".exe"));
    EXPECT_EQ("[rename]\r\nNUL=" + ShortName(staged + ".ini") + "\r\nNUL=" +
                  ShortName(Staged("title.bmp")) + "\r\nNUL=" + ShortName(Staged("clock.bmp")) +
                  "\r\n",
              ReadStaged("WININIT.INI"));
    StopRelaunched();
    DeleteFileA((staged + ".exe").c_str());
    DeleteFileA((staged + ".ini").c_str());
}

TEST_F(SetupStart, NoPicturesStagesTwoFiles)
{
    std::string script = ReplaceLine(kScript, "Titlemap=title.bmp", "Titlemap=0");
    script = ReplaceLine(script, "TitlemapX=10", "");
    script = ReplaceLine(script, "TitlemapY=20", "");
    script = ReplaceLine(script, "Bitmap=pic\\clock.bmp", "Bitmap=0");
    WriteScript(script);
    Start();
    ExpectEndsWithZero(__LINE__);
    EXPECT_TRUE(FileExists(Staged("SETUP.exe")));
    EXPECT_TRUE(FileExists(Staged("SETUP.ini")));
    EXPECT_FALSE(FileExists(Staged("title.bmp")));
    EXPECT_FALSE(FileExists(Staged("clock.bmp")));
    EXPECT_EQ("[rename]\r\nNUL=" + ShortName(Staged("SETUP.ini")) + "\r\n", ReadStaged("WININIT.INI"));
}

// A picture missing from the medium: string 3 over the preparation window, what was staged
// stays, and there is no relaunch.
TEST_F(SetupStart, FailedCopyStopsTheStaging)
{
    WriteScript(ReplaceLine(kScript, "Bitmap=pic\\clock.bmp", "Bitmap=pic\\missing.bmp"));
    Start();
    HWND box = WaitForWindow(child.pid, "#32770", Caption().c_str(), kWaitMs);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ(Utf8(StringThree()), Utf8(MessageBoxText(box)));
    HWND owner = GetWindow(box, GW_OWNER);
    char ownerClass[64] = "";
    GetClassNameA(owner, ownerClass, sizeof ownerClass);
    EXPECT_STREQ("SETUP", ownerClass) << "owned by the preparation window";
    PressDialogButton(box, IDOK);
    ExpectEndsWithZero(__LINE__);
    EXPECT_TRUE(ChildProcessIds(startedPid).empty());
    EXPECT_TRUE(FileExists(Staged("title.bmp")));
    EXPECT_EQ("[rename]\r\nNUL=" + ShortName(Staged("SETUP.ini")) + "\r\nNUL=" +
                  ShortName(Staged("title.bmp")) + "\r\n",
              ReadStaged("WININIT.INI"));
}

// The staged copy is started with "/" and the medium folder. Here the Titlemap entry stages a
// second script over the first one, so that the relaunched copy stops at its first box and
// its command line can be read while it waits.
TEST_F(SetupStart, RelaunchesTheStagedCopyWithTheMedium)
{
    UseMedium("disk.1");   // a folder name with a dot
    ASSERT_TRUE(CreateDirectoryA((medium + "\\next").c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(medium + "\\next\\SETUP.ini", "[Setup]\r\nSubTitle=x\r\n"));
    WriteScript(ReplaceLine(kScript, "Titlemap=title.bmp", "Titlemap=next\\SETUP.ini"));
    Start();
    ExpectEndsWithZero(__LINE__);

    HWND box = WaitForWindow(0, "#32770", "SETUP", kWaitMs);
    ASSERT_TRUE(box != NULL) << "the staged copy did not start";
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    ChildProcess relaunched;
    relaunched.pid = pid;
    relaunched.process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ |
                                         PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_TRUE(relaunched.process != NULL);
    EXPECT_EQ(windowsDir + "\\SETUP.exe /" + medium + "\\", ProcessCommandLine(relaunched.process));
    EXPECT_EQ("SETUP.ini Title Error", MessageBoxText(box));
    PressDialogButton(box, IDOK);
    WaitUntilGone(box);
    AnswerBox(pid, "SETUP", StringThree(), __LINE__);
    DWORD code = 12345;
    bool ended = WaitChild(&relaunched, kWaitMs, &code);
    StopChild(&relaunched);
    ASSERT_TRUE(ended);
    EXPECT_EQ(0u, code);
}

TEST_F(SetupStart, BadArgumentsGiveStringThree)
{
    std::string folder = SuiteFolder() + "\\installed";
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    struct Case {
        const char *name;
        std::string arguments;
        const char *scriptError;   // NULL when only string 3 is shown
    };
    const Case cases[] = {
        {"uninstall without the second dash", " /Uninst-5", NULL},
        {"entry number not digits", " /Uninst-5a-" + folder, NULL},
        {"entry number of 32 digits", " /Uninst-" + std::string(32, '1') + "-" + folder, NULL},
        {"uninstall without folder", " /Uninst-5-", NULL},
        {"command line over 771 bytes", " /" + std::string(800, 'x'), NULL},
        {"install folder without install log", " /uninst-0-" + folder, "SETUP.ini Title Error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.arguments);
        if (c.scriptError != NULL)
            AnswerBox(child.pid, "SETUP", c.scriptError, __LINE__);
        AnswerBox(child.pid, "SETUP", StringThree(), __LINE__);
        ExpectEndsWithZero(__LINE__);
    }
    RemoveTree(folder);
}

}  // namespace
