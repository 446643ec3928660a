// PAVRELL.exe run under Wine as the platform would start it. A stand-in for the platform's
// rundll32.exe lies beside each copy of the program and in the system folder, and records
// what the assistant starts; a job object counts every process the assistant starts and
// ends them all afterwards.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "testsupport.h"

namespace {

const char kEntry[] = " desk.cpl,InstallScreenSaver ";
const char kErrorText[] = "PAVRELL.INI ScrName Error";
const char kOverrides[] = "Software\\Wine\\DllOverrides";

struct Outcome {
    DWORD exitCode = 12345;
    bool boxShown = false;
    std::string boxText;
    bool boxIconIsHand = false;
    DWORD processesStarted = 0;  // besides the assistant itself
    bool recorded = false;
    std::string record;          // the stand-in's command line
};

std::string ThisFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\'));
}

// Creates every folder of the path; the second byte of a kanji is not a separator.
bool MakeFolders(const std::string &path)
{
    for (size_t at = 3; at <= path.size(); at++) {
        if (at < path.size() && IsDBCSLeadByte((BYTE)path[at])) {
            at++;
            continue;
        }
        if (at < path.size() && path[at] != '\\')
            continue;
        std::string part = path.substr(0, at);
        if (!FileExists(part) && !CreateDirectoryA(part.c_str(), NULL))
            return false;
    }
    return true;
}

// A fresh folder with the assistant, the stand-in rundll32.exe and, unless null, Pavrell.ini.
void PrepareFolder(const std::string &folder, const char *settings)
{
    ASSERT_TRUE(RemoveTree(folder)) << folder;
    ASSERT_TRUE(MakeFolders(folder)) << folder;
    ASSERT_TRUE(CopyFileA(BuiltProgram("PAVRELL.exe").c_str(), (folder + "\\PAVRELL.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ThisFolder() + "\\rundll32_standin.exe").c_str(), (folder + "\\rundll32.exe").c_str(),
                          FALSE));
    if (settings != NULL) {
        ASSERT_TRUE(WriteWholeFile(folder + "\\Pavrell.ini", settings));
    }
}

std::string WindowsSettings()
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows, length) + "\\Pavrell.ini";
}

std::string ShortForm(const std::string &path)
{
    char shortPath[1024];
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath ? std::string(shortPath, length) : std::string();
}

// Difference between what the screen shows at the box's icon and one of the system icons
// drawn on the same background.
double IconDistance(const Picture &shot, LPCSTR icon)
{
    HDC screen = GetDC(NULL);
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
    HGDIOBJ old = SelectObject(drawn, bitmap);
    HBRUSH background = CreateSolidBrush(shot.At(0, 0));
    RECT all = {0, 0, shot.width, shot.height};
    FillRect(drawn, &all, background);
    DrawIconEx(drawn, 0, 0, LoadIconA(NULL, icon), shot.width, shot.height, 0, NULL, DI_NORMAL);
    Picture expected = CapturePicture(drawn, 0, 0, shot.width, shot.height);
    double sum = 0;
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++) {
            COLORREF a = shot.At(x, y);
            COLORREF b = expected.At(x, y);
            sum += abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
                   abs(GetBValue(a) - GetBValue(b));
        }
    SelectObject(drawn, old);
    DeleteObject(background);
    DeleteObject(bitmap);
    DeleteDC(drawn);
    ReleaseDC(NULL, screen);
    return sum;
}

// True when the picture in the box's icon control is clearly the stop icon rather than
// any of the other three message-box icons. Polled, as the box paints on its own time.
bool BoxShowsStopIcon(HWND box)
{
    HWND icon = NULL;
    for (HWND child = GetWindow(box, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    if (icon == NULL)
        return false;
    DWORD start = GetTickCount();
    do {
        RECT rect;
        GetWindowRect(icon, &rect);
        Picture shot = CaptureScreen(rect);
        double hand = IconDistance(shot, IDI_HAND);
        double nearestOther = IconDistance(shot, IDI_QUESTION);
        nearestOther = std::min(nearestOther, IconDistance(shot, IDI_EXCLAMATION));
        nearestOther = std::min(nearestOther, IconDistance(shot, IDI_ASTERISK));
        if (hand * 2 < nearestOther)
            return true;
        PumpFor(100);
    } while (GetTickCount() - start < 3000);
    return false;
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION JobCounts(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
    memset(&info, 0, sizeof info);
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, NULL);
    return info;
}

// Starts the assistant (program file, command line as the platform would pass it, current
// folder), answers its error box if one comes, and collects what it started.
void RunAssistant(const std::string &program, const std::string &commandLine, const std::string &workDir,
                  Outcome *outcome)
{
    std::string recordPath = SuiteFolder() + "\\rundll32.txt";
    DeleteFileA(recordPath.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA("KIT_RUNDLL32_RECORD", recordPath.c_str()));
    HANDLE job = CreateJobObjectA(NULL, NULL);
    ASSERT_TRUE(job != NULL);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string line = commandLine;
    if (!CreateProcessA(program.c_str(), &line[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                        workDir.empty() ? NULL : workDir.c_str(), &startup, &info)) {
        CloseHandle(job);
        FAIL() << "cannot start " << program << " as " << commandLine;
    }
    bool assigned = AssignProcessToJobObject(job, info.hProcess) != 0;
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);

    DWORD start = GetTickCount();
    bool ended = false;
    while (!(ended = WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) && GetTickCount() - start < 20000) {
        HWND box = WaitForWindow(info.dwProcessId, "#32770", NULL, 50);
        if (box != NULL && !outcome->boxShown) {
            outcome->boxShown = WindowText(box) == "PAVRELL";
            outcome->boxText = MessageBoxText(box);
            outcome->boxIconIsHand = BoxShowsStopIcon(box);
            PressDialogButton(box, IDOK);
        }
    }
    if (ended)
        GetExitCodeProcess(info.hProcess, &outcome->exitCode);
    // Whatever the assistant started must have finished recording before we look.
    start = GetTickCount();
    while (JobCounts(job).ActiveProcesses > 0 && GetTickCount() - start < 10000)
        Sleep(20);
    outcome->processesStarted = JobCounts(job).TotalProcesses - 1;
    TerminateJobObject(job, 255);
    TerminateProcess(info.hProcess, 255);
    CloseHandle(info.hProcess);
    CloseHandle(job);
    outcome->recorded = ReadWholeFile(recordPath, &outcome->record);
    ASSERT_TRUE(assigned) << "job object";
    ASSERT_TRUE(ended) << commandLine << " did not end";
}

// The parameters as the stand-in received them: its command line less its own name and
// the one blank the shell puts between name and parameters.
std::string ReceivedParameters(const std::string &record)
{
    size_t after = record[0] == '"' ? record.find('"', 1) + 1 : record.find(' ');
    if (after == std::string::npos || after == 0 || after >= record.size())
        return "(no parameters in: " + record + ")";
    return record.substr(after + 1);
}

void ExpectLaunched(const Outcome &outcome, const std::string &parameters)
{
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_FALSE(outcome.boxShown) << outcome.boxText;
    EXPECT_EQ(1u, outcome.processesStarted);
    ASSERT_TRUE(outcome.recorded) << "the stand-in rundll32.exe was not started";
    EXPECT_EQ(parameters, ReceivedParameters(outcome.record)) << outcome.record;
}

void ExpectErrorBox(const Outcome &outcome)
{
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_TRUE(outcome.boxShown) << "no box captioned PAVRELL";
    EXPECT_EQ(kErrorText, outcome.boxText);
    EXPECT_TRUE(outcome.boxIconIsHand) << "the box does not show the stop icon";
    EXPECT_EQ(0u, outcome.processesStarted);
    EXPECT_FALSE(outcome.recorded) << outcome.record;
}

class Assistant : public ::testing::Test {
protected:
    // Wine's shell, given no working directory, takes rundll32.exe from the system folder
    // before the program's folder, and prefers its built-in one: the stand-in replaces it
    // there too, in this suite's own prefix, for as long as the suite runs.
    static void SetUpTestSuite()
    {
        std::string platform = SystemRundll32();
        MoveFileA(platform.c_str(), (platform + ".platform").c_str());
        CopyFileA((ThisFolder() + "\\rundll32_standin.exe").c_str(), platform.c_str(), FALSE);
        RegWriteString(HKEY_CURRENT_USER, kOverrides, "rundll32.exe", "native");
    }
    static void TearDownTestSuite()
    {
        std::string platform = SystemRundll32();
        DeleteFileA(platform.c_str());
        MoveFileA((platform + ".platform").c_str(), platform.c_str());
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "rundll32.exe");
            RegCloseKey(key);
        }
    }
    static std::string SystemRundll32()
    {
        char system[MAX_PATH];
        UINT length = GetSystemDirectoryA(system, sizeof system);
        return std::string(system, length) + "\\rundll32.exe";
    }
    void TearDown() override { DeleteFileA(WindowsSettings().c_str()); }
    std::string Folder(const std::string &relative) { return SuiteFolder() + "\\" + relative; }
};

TEST_F(Assistant, QuotedPathWithBlanks)
{
    std::string folder = Folder("Program Files\\Clock");
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\PAVRELL.exe\"", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");
}

TEST_F(Assistant, ShortDirectoryIsTheEightThreeForm)
{
    std::string folder = Folder("A rather long folder name");
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\PAVRELL.exe\"", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");

    std::string parameters = ReceivedParameters(outcome.record);
    ASSERT_EQ(0u, parameters.find(kEntry));
    std::string directory = parameters.substr(strlen(kEntry), parameters.rfind('\\') + 1 - strlen(kEntry));
    EXPECT_NE(folder + "\\", directory);
    EXPECT_EQ(std::string::npos, directory.find(' ')) << directory;
    // Every component is a name of at most 8 bytes with an extension of at most 3.
    size_t begin = 0;
    for (size_t end; (end = directory.find('\\', begin)) != std::string::npos; begin = end + 1) {
        std::string part = directory.substr(begin, end - begin);
        size_t dot = part.find('.');
        std::string stem = part.substr(0, dot);
        std::string ext = dot == std::string::npos ? "" : part.substr(dot + 1);
        EXPECT_TRUE(!stem.empty() && stem.size() <= 8 && ext.size() <= 3 && ext.find('.') == std::string::npos)
            << part << " in " << directory;
    }
    // The long last component became a hashed short one ending in the same place.
    EXPECT_EQ(ShortForm(folder) + "\\", directory);
}

TEST_F(Assistant, UnquotedPath)
{
    std::string folder = Folder("Plain");
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", folder + "\\PAVRELL.exe", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");
}

TEST_F(Assistant, ArgumentsAfterTheNameAreIgnored)
{
    std::string folder = Folder("Args Here");
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe",
                 "\"" + folder + "\\PAVRELL.exe\" /s \"C:\\Elsewhere\\PAVRELL.exe\" Other.scr", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");
}

// Without a directory the settings file is named bare, and the profile functions then read
// it from the Windows directory, not from beside the program.
TEST_F(Assistant, BareNameReadsTheBareSettingsName)
{
    std::string folder = Folder("Bare");
    PrepareFolder(folder, "[Setup]\r\nScrName=Beside.scr\r\n");
    ASSERT_TRUE(WriteWholeFile(WindowsSettings(), "[Setup]\r\nScrName=Windows.scr\r\n"));
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "PAVRELL.exe", folder, &outcome);
    ExpectLaunched(outcome, std::string(kEntry) + "Windows.scr");
}

TEST_F(Assistant, LowerCaseNameLeavesTheDirectoryEmpty)
{
    std::string folder = Folder("Lower");
    PrepareFolder(folder, "[Setup]\r\nScrName=Beside.scr\r\n");
    ASSERT_TRUE(WriteWholeFile(WindowsSettings(), "[Setup]\r\nScrName=Windows.scr\r\n"));
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\pavrell.exe\"", folder, &outcome);
    ExpectLaunched(outcome, std::string(kEntry) + "Windows.scr");
}

TEST_F(Assistant, BareNameWithoutSettingsShowsTheBox)
{
    std::string folder = Folder("BareNone");
    PrepareFolder(folder, "[Setup]\r\nScrName=Beside.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "PAVRELL.exe", folder, &outcome);
    ExpectErrorBox(outcome);
}

// 表 is 0x95 0x5C in Shift-JIS: its second byte is a backslash.
TEST_F(Assistant, DirectoryEndingInKanjiWithBackslashByte)
{
    std::string folder = Folder(Sjis("時刻表"));
    ASSERT_EQ("\x95\x5C", folder.substr(folder.size() - 2));
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\PAVRELL.exe\"", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");
}

// A command line with no backslash between the folder and the name: the folder's kanji must
// not be taken for a separator, so the settings are found inside it.
TEST_F(Assistant, KanjiFolderGetsItsBackslashBeforeTheSettingsName)
{
    std::string folder = Folder(Sjis("表"));
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "PAVRELL.exe\"", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "Tessary.scr");
}

TEST_F(Assistant, ScreensaverNameWithBlanksPassedUnquoted)
{
    std::string folder = Folder("Blanks");
    PrepareFolder(folder, "[Setup]\r\nScrName=My Clock Saver.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\PAVRELL.exe\"", "", &outcome);
    ExpectLaunched(outcome, kEntry + ShortForm(folder + "\\") + "My Clock Saver.scr");
}

TEST_F(Assistant, MissingSettingsShowTheBoxAndStartNothing)
{
    struct Case {
        const char *name;
        const char *settings;
    };
    const Case cases[] = {
        {"no file", NULL},
        {"no section", "[Other]\r\nScrName=Tessary.scr\r\n"},
        {"no key", "[Setup]\r\nScrFile=Tessary.scr\r\n"},
        {"empty value", "[Setup]\r\nScrName=\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string folder = Folder("Missing");
        PrepareFolder(folder, c.settings);
        Outcome outcome;
        RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\PAVRELL.exe\"", "", &outcome);
        ExpectErrorBox(outcome);
    }
}

// A command line whose folder cannot be a path is not guessed at: the box, nothing started.
TEST_F(Assistant, DirectoryLongerThanAPathShowsTheBox)
{
    std::string folder = Folder("Long");
    PrepareFolder(folder, "[Setup]\r\nScrName=Tessary.scr\r\n");
    Outcome outcome;
    RunAssistant(folder + "\\PAVRELL.exe", "\"" + folder + "\\" + std::string(300, 'x') + "\\PAVRELL.exe\"", "",
                 &outcome);
    ExpectErrorBox(outcome);
}

}  // namespace
