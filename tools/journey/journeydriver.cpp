// Walks a package's whole journey as a user would, inside Wine: SETUP from the medium drive,
// every page answered (the registration page as the system prefills it, each disk-change
// prompt with the next disk), what FinalExec opens, a listed screensaver shown (full screen
// over a desktop, with password protection on the Windows 95 family, in the Display control
// panel's preview, its configuration dialog), and later the uninstall through the uninstall
// entry. It takes a screenshot at every step and lists what the package touches before and
// after, for scripts/journey.sh to compare. The family is the one the system reports.
//
//   journeydriver install MEDIUM OUT [--floppy]  before listing, installation, FinalExec, saver
//   journeydriver uninstall MEDIUM OUT           listing after the restart, uninstall, after listing
//   journeydriver bench MEDIUM OUT               the installation alone, no pictures; prints how
//                                                long the copy took beside its 100 ms pauses
//   journeydriver preview MEDIUM OUT             in a virtual desktop of the preview's size: the
//                                                installed saver's preview, its screenshot
//
// MEDIUM is the medium folder as Windows sees it (D:\, or A:\ with --floppy: then at each
// disk-change prompt OUT\disk-request.txt names the disk and the journey answers with
// OUT\disk-ready.txt once that disk's image is in the drive). OUT receives the screenshots
// (.bmp), steps.txt (picture, TAB, what the user did; UTF-8), notes.txt (what the page must
// say besides), the listings, and the stand-ins' records.
#include <windows.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "setupwalk.h"
#include "testsupport.h"

namespace {

const DWORD kWaitMs = 30000;
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kSaverKey[] = "Software\\Norvane Settings\\Velmora";
const char kOverrides[] = "Software\\Wine\\DllOverrides";
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kWindowsPlace[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kNtPlace[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kOwner[] = "山田 太郎";
const char kOrganization[] = "開発部";
// The Display control panel's monitor picture holds a preview of this size.
const int kPreviewWidth = 152, kPreviewHeight = 112;

struct Journey {
    std::string medium;      // ends in a backslash
    std::string out;         // no trailing backslash
    std::string script;      // the medium's setup script
    std::string title;
    std::string setupCaption;
    std::string uninstallCaption;
    int step = 0;
    bool failed = false;
    bool pictures = true;
    bool floppy = false;
    bool windows95 = false;       // the family the system reports
    DWORD copyStart = 0;
    DWORD copyEnd = 0;
};

Journey journey;

std::string ScriptValue(const char *key)
{
    char value[1024];
    GetPrivateProfileStringA("Setup", key, "", value, sizeof value, journey.script.c_str());
    return value;
}

std::string WithBackslash(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string WindowsDir()
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir, n);
}

std::string SystemDir()
{
    char dir[MAX_PATH];
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n);
}

// The text after the last byte 0x5C, as SETUP names installed and staged files.
std::string LastComponent(const std::string &path)
{
    size_t at = path.rfind('\\');
    return at == std::string::npos ? path : path.substr(at + 1);
}

void Note(const char *utf8)
{
    printf("journey: %s\n", utf8);
    fflush(stdout);
}

// One screenshot of the screen (or of area) and the line that says what the user did.
void Shot(const char *name, const char *whatUtf8, const RECT *area = NULL)
{
    if (!journey.pictures)
        return;
    PumpFor(400);
    char file[64];
    snprintf(file, sizeof file, "%02d-%s", ++journey.step, name);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreenBitmap(journey.out + "\\" + file + ".bmp", area != NULL ? *area : screen);
    std::string line = std::string(file) + ".png\t" + whatUtf8 + "\n";
    FILE *steps = fopen((journey.out + "\\steps.txt").c_str(), "ab");
    if (steps != NULL) {
        fputs(line.c_str(), steps);
        fclose(steps);
    }
    Note(whatUtf8);
}

// A line for the page beside the pictures (UTF-8).
void PageNote(const std::string &utf8)
{
    FILE *notes = fopen((journey.out + "\\notes.txt").c_str(), "ab");
    if (notes != NULL) {
        fputs((utf8 + "\n").c_str(), notes);
        fclose(notes);
    }
    Note(utf8.c_str());
}

bool Fail(const char *whatUtf8)
{
    printf("journey: FAILED: %s\n", whatUtf8);
    fflush(stdout);
    if (!journey.failed)
        Shot("failed", (std::string("失敗: ") + whatUtf8).c_str());
    journey.failed = true;
    return false;
}

// ---- the listing of what the kit touches -------------------------------------------------

void ListTree(const std::string &folder, std::vector<std::string> *lines)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    lines->push_back("folder " + folder);
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(path, lines);
        else
            lines->push_back("file " + path + " (" + std::to_string(found.nFileSizeLow) + " bytes)");
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void ListFile(const std::string &path, std::vector<std::string> *lines)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FindClose(search);
    lines->push_back("file " + path + " (" + std::to_string(found.nFileSizeLow) + " bytes)");
}

void ListKey(HKEY root, const char *rootName, const std::string &key, std::vector<std::string> *lines)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    lines->push_back(std::string("key ") + rootName + "\\" + key);
    for (DWORD i = 0;; i++) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        if (RegEnumValueA(handle, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        std::string value = type == REG_SZ ? std::string((const char *)data, strnlen((const char *)data, dataSize))
                                           : std::to_string(dataSize) + " bytes";
        lines->push_back(std::string("  value ") + name + " = " + value);
    }
    for (DWORD i = 0;; i++) {
        char sub[256];
        DWORD subSize = sizeof sub;
        if (RegEnumKeyExA(handle, i, sub, &subSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        ListKey(root, rootName, key + "\\" + sub, lines);
    }
    RegCloseKey(handle);
}

// The [DISKn] entries of the script, in order, as SETUP reads them (at most 100).
std::vector<std::string> ListedFiles()
{
    std::vector<std::string> files;
    for (int disk = 1; disk <= 10; disk++) {
        char section[4096];
        DWORD n = GetPrivateProfileSectionA(("DISK" + std::to_string(disk)).c_str(), section,
                                            sizeof section, journey.script.c_str());
        for (const char *line = section; n > 0 && *line != '\0'; line += strlen(line) + 1) {
            const char *value = strchr(line, '=');
            files.push_back(value != NULL ? value + 1 : line);
        }
    }
    if (files.size() > 100)
        files.resize(100);
    return files;
}

int ListedFileCount()
{
    return (int)ListedFiles().size();
}

// Every file, folder and key that the installation, the saver or the uninstaller may touch.
void WriteListing(const char *fileName)
{
    std::vector<std::string> lines;
    ListTree(ScriptValue("DefaultDir"), &lines);
    std::string windows = WithBackslash(WindowsDir());
    for (const char *name : {"SETUP.exe", "SETUP.ini", "WININIT.INI"})
        ListFile(windows + name, &lines);
    for (const char *key : {"Titlemap", "Bitmap"}) {
        std::string value = ScriptValue(key);
        if (!value.empty() && value[0] != '0')
            ListFile(windows + LastComponent(value), &lines);
    }
    // Files listed for the Windows and system directories.
    for (const std::string &entry : ListedFiles()) {
        if (_strnicmp(entry.c_str(), "$Win:", 5) == 0)
            ListFile(windows + LastComponent(entry.substr(5)), &lines);
        else if (_strnicmp(entry.c_str(), "$Sys:", 5) == 0)
            ListFile(WithBackslash(SystemDir()) + LastComponent(entry.substr(5)), &lines);
    }
    int folderIds[] = {CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_STARTUP};
    std::string subFolder = ScriptValue("ShortCutFld");
    std::string link = ScriptValue("ShortCutLnk") + ".lnk";
    for (int id : folderIds) {
        std::string folder = SpecialFolder(id);
        if (!subFolder.empty() && subFolder != "0")
            ListTree(folder + "\\" + subFolder, &lines);
        ListFile(folder + "\\" + link, &lines);
    }
    ListKey(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", std::string(kUninstallRoot), &lines);
    ListKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kSaverKey, &lines);
    std::string text;
    for (const std::string &line : lines) {
        // The uninstall root holds Wine's own entries too: only this kit's are listed.
        if (line.find(kUninstallRoot) != std::string::npos && line.find(" Uninst ") == std::string::npos &&
            line != std::string("key HKEY_LOCAL_MACHINE\\") + kUninstallRoot)
            continue;
        text += Utf8(line) + "\n";
    }
    WriteWholeFile(journey.out + "\\" + fileName, text);
}

// ---- the installation ---------------------------------------------------------------------

// The platform's Display control panel module is not part of Wine: a stand-in rundll32.exe
// records the command line the assistant asks for, which the page then shows.
void UseRundll32StandIn()
{
    std::string standIn = journey.out + "\\..\\rundll32_standin.exe";
    std::string system = WithBackslash(SystemDir());
    if (FileExists(system + "desk.cpl") || !FileExists(standIn))
        return;
    CopyFileA(standIn.c_str(), (system + "rundll32.exe").c_str(), FALSE);
    RegWriteString(HKEY_CURRENT_USER, kOverrides, "rundll32.exe", "native");
    SetEnvironmentVariableA("KIT_RUNDLL32_RECORD", (journey.out + "\\rundll32.txt").c_str());
}

// The user's machine has its registered owner and organisation where its family keeps them;
// the other family's place is as a fresh system leaves it (empty).
const char *RegisterUser()
{
    const char *own = journey.windows95 ? kWindowsPlace : kNtPlace;
    const char *other = journey.windows95 ? kNtPlace : kWindowsPlace;
    RegWriteString(HKEY_LOCAL_MACHINE, own, "RegisteredOwner", Sjis(kOwner));
    RegWriteString(HKEY_LOCAL_MACHINE, own, "RegisteredOrganization", Sjis(kOrganization));
    RegWriteString(HKEY_LOCAL_MACHINE, other, "RegisteredOwner", "");
    RegWriteString(HKEY_LOCAL_MACHINE, other, "RegisteredOrganization", "");
    return own;
}

// A step of the walk: its screenshot and the line that says what the user did.
void WalkStep(void *context, const char *name, const char *whatUtf8)
{
    (void)context;
    Shot(name, whatUtf8);
}

// The journey script changes the floppy: it empties the folder behind A: and copies the
// image of the disk asked for into it, then answers.
bool ChangeDisk(void *context, int disk)
{
    (void)context;
    std::string ready = journey.out + "\\disk-ready.txt";
    DeleteFileA(ready.c_str());
    if (!WriteWholeFile(journey.out + "\\disk-request.txt", std::to_string(disk)))
        return false;
    std::string answer;
    DWORD start = GetTickCount();
    while (!(ReadWholeFile(ready, &answer) && !answer.empty()) && GetTickCount() - start < kWaitMs)
        PumpFor(100);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
        answer.pop_back();
    PageNote("ディスク " + std::to_string(disk) + ": " + answer);
    return answer.compare(0, 2, "ok") == 0;
}

// Where a listed entry ($App:, $Win:, $Sys: and a path) is installed: by its last component.
std::string InstalledPath(const std::string &entry)
{
    std::string name = LastComponent(entry.size() > 5 ? entry.substr(5) : entry);
    if (_strnicmp(entry.c_str(), "$Win:", 5) == 0)
        return WithBackslash(WindowsDir()) + name;
    if (_strnicmp(entry.c_str(), "$Sys:", 5) == 0)
        return WithBackslash(SystemDir()) + name;
    return WithBackslash(ScriptValue("DefaultDir")) + name;
}

// Every listed file, of every disk, is where SETUP puts it.
bool CheckInstalled()
{
    for (const std::string &entry : ListedFiles())
        if (!FileExists(InstalledPath(entry)))
            return Fail(("インストールされていないファイル: " + Utf8(InstalledPath(entry))).c_str());
    return true;
}

struct TopWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK AddVisible(HWND window, LPARAM data)
{
    if (IsWindowVisible(window))
        ((TopWindows *)data)->windows.push_back(window);
    return TRUE;
}

// A visible top-level window of another process, not in before and not SETUP's.
HWND NewWindow(const TopWindows &before)
{
    TopWindows now;
    EnumWindows(AddVisible, (LPARAM)&now);
    for (HWND window : now.windows) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        bool known = false;
        for (HWND old : before.windows)
            known = known || old == window;
        if (!known && pid != GetCurrentProcessId() && strcmp(className, "SETUP") != 0 &&
            WindowText(window) != journey.setupCaption)
            return window;
    }
    return NULL;
}

// What FinalExec opens, as the user sees it, then closed; the page says when nothing opened.
// The assistant's request goes to the stand-in rundll32.exe, which records it.
void FollowFinalExec(const TopWindows &before)
{
    std::string finalExec = ScriptValue("FinalExec");
    if (finalExec.empty() || finalExec == "0")
        return;
    std::string record = journey.out + "\\rundll32.txt";
    HWND opened = NULL;
    DWORD start = GetTickCount();
    while (!FileExists(record) && (opened = NewWindow(before)) == NULL && GetTickCount() - start < 15000)
        PumpFor(100);
    std::string asked;
    if (ReadWholeFile(record, &asked)) {
        Note(("FinalExec → " + Utf8(finalExec) + " → " + Utf8(asked)).c_str());
        return;
    }
    if (opened == NULL) {
        PageNote("FinalExec (" + Utf8(finalExec) + ") は何も開きませんでした: SETUP はこれを知らせません");
        return;
    }
    PumpFor(1500);
    Shot("final-exec", ("FinalExec が " + Utf8(finalExec) + " を開いた: " + Utf8(WindowText(opened))).c_str());
    DWORD pid = 0;
    GetWindowThreadProcessId(opened, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process != NULL) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

bool Install()
{
    const char *place = RegisterUser();
    WriteListing("before.txt");
    UseRundll32StandIn();
    TopWindows before;
    EnumWindows(AddVisible, (LPARAM)&before);
    SetupWalk walk;
    walk.caption = journey.setupCaption;
    walk.step = WalkStep;
    walk.registeredPlace = std::string("HKEY_LOCAL_MACHINE\\") + place;
    walk.expectOwner = Sjis(kOwner);
    walk.expectOrganization = Sjis(kOrganization);
    if (journey.floppy)
        walk.changeDisk = ChangeDisk;
    bool installed = WalkSetupInstall(journey.medium, &walk);
    journey.copyStart = walk.copyStart;
    journey.copyEnd = walk.copyEnd;
    if (!installed)
        return Fail(walk.failure.c_str());
    int disks = 0;
    for (int disk = 1; disk <= 10; disk++) {
        char section[8];
        if (GetPrivateProfileSectionA(("DISK" + std::to_string(disk)).c_str(), section, sizeof section,
                                      journey.script.c_str()) == 0)
            break;
        disks = disk;
    }
    if (walk.disksAsked != disks - 1)
        return Fail(("ディスク交換 " + std::to_string(walk.disksAsked) + " 回、ディスクは " +
                     std::to_string(disks) + " 枚")
                        .c_str());
    if (!CheckInstalled())
        return false;
    if (!journey.pictures)
        return true;   // timed alone: what FinalExec starts is not part of the figure
    FollowFinalExec(before);
    return !journey.failed;
}

// ---- the screensaver ----------------------------------------------------------------------

// The installed place of the first listed screensaver; empty when the package lists none.
std::string ListedSaver()
{
    for (const std::string &entry : ListedFiles())
        if (entry.size() > 4 && _stricmp(entry.c_str() + entry.size() - 4, ".scr") == 0)
            return InstalledPath(entry);
    return "";
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT all;
        GetClientRect(window, &all);
        HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));   // a fresh Windows 95's desktop
        FillRect(dc, &all, teal);
        DeleteObject(teal);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        const std::string icons[] = {Sjis("マイ コンピュータ"), Sjis("ごみ箱"), journey.title};
        for (int i = 0; i < 3; i++) {
            RECT icon = {24, 24 + 90 * i, 72, 72 + 90 * i};
            FillRect(dc, &icon, (HBRUSH)GetStockObject(i == 2 ? LTGRAY_BRUSH : WHITE_BRUSH));
            const std::string &label = icons[i];
            TextOutA(dc, 8, 76 + 90 * i, label.c_str(), (int)label.size());
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A desktop that is not black, with an open window on it, for the saver to tint.
struct Desktop {
    HWND back = NULL;
    HWND window = NULL;
};

Desktop OpenDesktop()
{
    WNDCLASSA desktopClass = {};
    desktopClass.lpfnWndProc = DesktopProc;
    desktopClass.hInstance = GetModuleHandleA(NULL);
    desktopClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    desktopClass.lpszClassName = "JourneyDesktop";
    RegisterClassA(&desktopClass);
    Desktop desktop;
    desktop.back = CreateWindowExA(0, "JourneyDesktop", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    desktop.window = CreateWindowExA(0, "EDIT", Sjis("メモ - 予定.txt").c_str(),
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 160, 90, 560, 360,
                                     NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetWindowTextA(desktop.window, Sjis("メモ - 予定.txt").c_str());
    SendMessageA(desktop.window, WM_SETTEXT, 0,
                 (LPARAM)Sjis("10:00 打ち合わせ\r\n12:00 昼食\r\n15:00 資料の送付\r\n18:00 帰宅").c_str());
    PumpFor(500);
    return desktop;
}

void CloseDesktop(Desktop *desktop)
{
    DestroyWindow(desktop->window);
    DestroyWindow(desktop->back);
    PumpFor(200);
}

// The Windows 95 family's password protection: on in the user's desktop settings, checked by
// the platform's PASSWORD.CPL, which Wine does not have; a stand-in module in the system
// folder records the saver's load and request and allows leaving.
struct Protection {
    bool on = false;
    bool hadValue = false;
    std::string previous;
    DWORD previousType = 0;
    std::string module;
};

Protection ProtectWithPassword()
{
    Protection protection;
    std::string standIn = journey.out + "\\..\\PASSWORD.CPL";
    protection.module = WithBackslash(SystemDir()) + "PASSWORD.CPL";
    if (FileExists(protection.module) || !CopyFileA(standIn.c_str(), protection.module.c_str(), TRUE)) {
        PageNote("パスワードの確認に使うモジュールを置けませんでした");
        protection.module.clear();
        return protection;
    }
    WriteWholeFile(WithBackslash(SystemDir()) + "verify-answer.txt", "1");
    protection.hadValue =
        RegReadValue(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword", &protection.previousType, &protection.previous);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) == ERROR_SUCCESS) {
        DWORD one = 1;
        protection.on = RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, (const BYTE *)&one, sizeof one) ==
                        ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return protection;
}

// The stand-in's record, for the page, and the machine's settings as they were.
void EndProtection(Protection *protection)
{
    std::string system = WithBackslash(SystemDir());
    std::string calls;
    if (ReadWholeFile(system + "fixture-calls.txt", &calls))
        WriteWholeFile(journey.out + "\\password.txt", calls);
    HKEY key;
    if (protection->on && RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        if (protection->hadValue)
            RegSetValueExA(key, "ScreenSaveUsePassword", 0, protection->previousType,
                           (const BYTE *)protection->previous.data(), (DWORD)protection->previous.size());
        else
            RegDeleteValueA(key, "ScreenSaveUsePassword");
        RegCloseKey(key);
    }
    for (const char *name : {"fixture-calls.txt", "verify-answer.txt"})
        DeleteFileA((system + name).c_str());
    if (!protection->module.empty())
        DeleteFileA(protection->module.c_str());
}

// The saver's preview as the Display control panel shows it, in a window of its monitor
// picture's size. Wine draws no window of one process inside another process's window, so
// this runs in a Wine virtual desktop of that size (journey.sh starts it there after the
// installation), whose desktop window is the preview's frame; the screenshot is that screen.
bool PreviewOnOwnScreen()
{
    std::string saver;
    if (!ReadWholeFile(journey.out + "\\saver.txt", &saver))
        return Fail("インストールされたスクリーンセーバーがありません");
    HWND frame = GetDesktopWindow();
    RECT screen;
    GetClientRect(frame, &screen);
    Desktop desktop = OpenDesktop();   // what the preview shows shrunk and tinted
    ChildProcess run;
    if (!StartChild("\"" + saver + "\" /p " + std::to_string((unsigned long)(UINT_PTR)frame), "", &run)) {
        CloseDesktop(&desktop);
        return Fail("プレビューを起動できません");
    }
    DWORD start = GetTickCount();
    HWND preview = NULL;
    while ((preview = FindWindowExA(frame, NULL, "WindowsScreenSaverClass", NULL)) == NULL &&
           GetTickCount() - start < 10000)
        PumpFor(50);
    if (preview != NULL) {
        PumpFor(2500);
        char what[256];
        snprintf(what, sizeof what, "%s /p: 画面のプロパティのモニターの絵 (%ld × %ld) の中のプレビュー",
                 Utf8(LastComponent(saver)).c_str(), (long)screen.right, (long)screen.bottom);
        Shot("preview", what);
    }
    StopChild(&run);
    CloseDesktop(&desktop);
    return preview != NULL || Fail("プレビューのウィンドウが出ません");
}

// Full screen over the desktop (on the Windows 95 family with password protection on, left
// through the platform's password check), then its configuration dialog. The preview has a
// run of its own (PreviewOnOwnScreen).
bool ShowSaver(const std::string &saver)
{
    std::string name = Utf8(LastComponent(saver));
    WriteWholeFile(journey.out + "\\saver.txt", saver);   // for the preview's run
    Desktop desktop = OpenDesktop();
    Shot("desktop", "スクリーンセーバーの前のデスクトップ");
    Protection protection;
    if (journey.windows95)
        protection = ProtectWithPassword();
    ChildProcess run;
    if (!StartChild("\"" + saver + "\" /s", "", &run)) {
        EndProtection(&protection);
        return Fail("スクリーンセーバーを起動できません");
    }
    HWND full = WaitForWindow(run.pid, "WindowsScreenSaverClass", "Screen Saver", kWaitMs);
    if (full == NULL) {
        StopChild(&run);
        EndProtection(&protection);
        return Fail("スクリーンセーバーのウィンドウが出ません");
    }
    PumpFor(2500);
    Shot("saver", (name + " /s: 全画面の時計。デスクトップは色を付けて下に見える" +
                   (protection.on ? "。パスワードの保護はオン" : ""))
                      .c_str());
    DWORD code = 0;
    if (protection.on) {
        PostMessageA(full, WM_KEYDOWN, 'A', 0);
        bool ended = WaitChildPumping(&run, 10000, &code);
        StopChild(&run);
        EndProtection(&protection);
        std::string calls;
        ReadWholeFile(journey.out + "\\password.txt", &calls);
        if (!ended || calls.find("verify ") == std::string::npos)
            return Fail("パスワードの確認を経てスクリーンセーバーが終わりませんでした");
        Shot("saver-left", "キーを押す: プラットフォームのパスワード確認 (代役のモジュール) が許し、デスクトップに戻る");
    } else {
        StopChild(&run);
        EndProtection(&protection);
    }

    if (!StartChild("\"" + saver + "\" /c", "", &run)) {
        CloseDesktop(&desktop);
        return Fail("設定ダイアログを起動できません");
    }
    HWND dialog = WaitForVisibleDialog(run.pid, kWaitMs);
    if (dialog == NULL) {
        StopChild(&run);
        CloseDesktop(&desktop);
        return Fail("設定ダイアログが出ません");
    }
    Shot("configure", (name + " /c: 設定ダイアログ。「キャンセル」を押す").c_str());
    PressDialogButton(dialog, IDCANCEL);
    bool ended = WaitChildPumping(&run, 10000, &code);
    StopChild(&run);
    CloseDesktop(&desktop);
    return ended || Fail("設定ダイアログが閉じません");
}

// ---- the uninstall ------------------------------------------------------------------------

// The command of this product's uninstall entry, as the platform's list of programs starts it.
std::string UninstallCommand()
{
    HKEY root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return "";
    std::string command;
    for (DWORD i = 0; command.empty(); i++) {
        char sub[256];
        DWORD subSize = sizeof sub;
        if (RegEnumKeyExA(root, i, sub, &subSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        std::string key = std::string(kUninstallRoot) + "\\" + sub;
        DWORD type;
        std::string name, line;
        if (RegReadValue(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", &type, &name) &&
            std::string(name.c_str()) == journey.title &&
            RegReadValue(HKEY_LOCAL_MACHINE, key.c_str(), "UninstallString", &type, &line))
            command = line.c_str();
    }
    RegCloseKey(root);
    return command;
}

bool Uninstall()
{
    WriteListing("restarted.txt");
    std::string command = UninstallCommand();
    if (command.empty())
        return Fail("アンインストールの登録が見つかりません");
    Note(("uninstall entry: " + Utf8(command)).c_str());
    SetupWalk walk;
    walk.caption = journey.uninstallCaption;
    walk.step = WalkStep;
    bool whole = WalkUninstall(command, &walk);
    if (!walk.failure.empty())
        return Fail(walk.failure.c_str());
    WriteListing("after.txt");
    if (!whole)
        return Fail("アンインストールが一部しか終わりませんでした");
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    bool floppy = argc == 5 && strcmp(argv[4], "--floppy") == 0;
    if ((argc != 4 && !floppy) || (strcmp(argv[1], "install") != 0 && strcmp(argv[1], "uninstall") != 0 &&
                                   strcmp(argv[1], "bench") != 0 && strcmp(argv[1], "preview") != 0)) {
        fprintf(stderr, "usage: journeydriver install|uninstall|bench|preview MEDIUM OUT [--floppy]\n");
        return 2;
    }
    CoInitialize(NULL);
    journey.floppy = floppy;
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    journey.windows95 = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    journey.medium = WithBackslash(argv[2]);
    journey.out = argv[3];
    // The script as the first disk holds it, kept for the whole journey: a floppy road
    // leaves another disk in the drive.
    journey.script = journey.out + "\\SETUP.ini";
    if (!FileExists(journey.script))
        CopyFileA((journey.medium + "SETUP.ini").c_str(), journey.script.c_str(), TRUE);
    journey.title = ScriptValue("Title");
    if (journey.title.empty()) {
        fprintf(stderr, "journey: no Title in %s\n", journey.script.c_str());
        return 2;
    }
    journey.setupCaption = journey.title + Sjis(" セットアップ");
    journey.uninstallCaption = journey.title + Sjis(" アンインストール");
    // Numbering continues after the first phase's pictures.
    std::string steps;
    if (ReadWholeFile(journey.out + "\\steps.txt", &steps))
        for (char c : steps)
            journey.step += c == '\n';

    bool ok;
    if (strcmp(argv[1], "bench") == 0) {
        journey.pictures = false;
        ok = Install();
        // The progress dialog waits 100 ms before its first step and before each step:
        // 1055, 1056, 1057 once per file and once more, 1058-1061.
        int steps = 2 + (ListedFileCount() + 1) + 4;
        printf("installation: %lu ms for %d steps; their pauses alone: %d ms\n",
               (unsigned long)(journey.copyEnd - journey.copyStart), steps, 100 * (steps + 1));
    } else {
        std::string saver = ListedSaver();
        if (strcmp(argv[1], "install") == 0)
            ok = Install() && (saver.empty() || ShowSaver(saver));
        else if (strcmp(argv[1], "preview") == 0)
            ok = PreviewOnOwnScreen();
        else
            ok = Uninstall();
    }
    CoUninitialize();
    return ok ? 0 : 1;
}
