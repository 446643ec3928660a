// Walks the kit's whole journey as a user would, inside Wine: SETUP from the medium drive,
// every page answered, the assistant started by FinalExec, the installed screensaver shown,
// and later the uninstall through the uninstall entry. It takes a screenshot at every step
// and lists what the kit touches before and after, for scripts/journey.sh to compare.
//
//   journeydriver install MEDIUM OUT     before listing, installation, saver, assistant
//   journeydriver uninstall MEDIUM OUT   listing after the restart, uninstall, after listing
//   journeydriver bench MEDIUM OUT       the installation alone, no pictures; prints how long
//                                        the copy took beside the sum of its 100 ms pauses
//
// MEDIUM is the medium folder as Windows sees it (D:\); OUT receives the screenshots (.bmp),
// steps.txt (picture, TAB, what the user did; UTF-8) and the listings.
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

// One screenshot of the whole screen and the line that says what the user did.
void Shot(const char *name, const char *whatUtf8)
{
    if (!journey.pictures)
        return;
    PumpFor(400);
    char file[64];
    snprintf(file, sizeof file, "%02d-%s", ++journey.step, name);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreenBitmap(journey.out + "\\" + file + ".bmp", screen);
    std::string line = std::string(file) + ".png\t" + whatUtf8 + "\n";
    FILE *steps = fopen((journey.out + "\\steps.txt").c_str(), "ab");
    if (steps != NULL) {
        fputs(line.c_str(), steps);
        fclose(steps);
    }
    Note(whatUtf8);
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

// A step of the walk: its screenshot and the line that says what the user did.
void WalkStep(void *context, const char *name, const char *whatUtf8)
{
    (void)context;
    Shot(name, whatUtf8);
}

bool Install()
{
    WriteListing("before.txt");
    UseRundll32StandIn();
    SetupWalk walk;
    walk.caption = journey.setupCaption;
    walk.step = WalkStep;
    bool installed = WalkSetupInstall(journey.medium, &walk);
    journey.copyStart = walk.copyStart;
    journey.copyEnd = walk.copyEnd;
    if (!installed)
        return Fail(walk.failure.c_str());

    if (!journey.pictures)
        return true;   // timed alone: what FinalExec starts is not part of the figure
    // FinalExec starts the assistant, which asks the Display control panel to install the saver.
    std::string record = journey.out + "\\rundll32.txt";
    DWORD start = GetTickCount();
    while (!FileExists(record) && GetTickCount() - start < 15000)
        PumpFor(100);
    std::string asked;
    if (ReadWholeFile(record, &asked))
        Note(("FinalExec → PAVRELL.exe → " + Utf8(asked)).c_str());
    else
        Fail("アシスタントが画面のプロパティを呼びませんでした");
    return !journey.failed;
}

// The installed screensaver full screen for a few seconds, then in a preview with the
// desktop as its frame (this Wine never shows a preview child of another process's small window).
bool ShowSaver()
{
    std::string saver = WithBackslash(ScriptValue("DefaultDir")) + "Tessary.scr";
    ChildProcess run;
    if (!StartChild("\"" + saver + "\" /s", "", &run))
        return Fail("スクリーンセーバーを起動できません");
    if (WaitForWindow(run.pid, "WindowsScreenSaverClass", "Screen Saver", kWaitMs) == NULL) {
        StopChild(&run);
        return Fail("スクリーンセーバーのウィンドウが出ません");
    }
    PumpFor(2500);
    Shot("saver", "インストールされた Tessary.scr /s: 全画面の時計");
    StopChild(&run);

    char frame[32];
    snprintf(frame, sizeof frame, "%lu", (unsigned long)(UINT_PTR)GetDesktopWindow());
    if (!StartChild("\"" + saver + "\" /p " + frame, "", &run))
        return Fail("プレビューを起動できません");
    PumpFor(3000);
    Shot("preview", "Tessary.scr /p: プレビュー (時計の文字は枠に合わせた大きさ)");
    StopChild(&run);
    return true;
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
    if (argc != 4 || (strcmp(argv[1], "install") != 0 && strcmp(argv[1], "uninstall") != 0 &&
                      strcmp(argv[1], "bench") != 0)) {
        fprintf(stderr, "usage: journeydriver install|uninstall|bench MEDIUM OUT\n");
        return 2;
    }
    CoInitialize(NULL);
    journey.medium = WithBackslash(argv[2]);
    journey.out = argv[3];
    journey.script = journey.medium + "SETUP.ini";
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
        ok = strcmp(argv[1], "install") == 0 ? Install() && ShowSaver() : Uninstall();
    }
    CoUninitialize();
    return ok ? 0 : 1;
}
