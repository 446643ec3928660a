#include "setupwalk.h"

#include <stdlib.h>
#include <string.h>

#include "testsupport.h"

namespace {

const DWORD kWaitMs = 30000;

struct DialogSearch {
    const std::string *caption;
    int requiredId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    DialogSearch *search = (DialogSearch *)data;
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (WindowText(window) != *search->caption || GetDlgItem(window, search->requiredId) == NULL)
        return TRUE;
    search->found = window;
    return FALSE;
}

void Step(SetupWalk *walk, const char *name, const char *whatUtf8)
{
    if (walk->step != NULL)
        walk->step(walk->context, name, whatUtf8);
}

bool Failed(SetupWalk *walk, const char *whatUtf8)
{
    walk->failure = whatUtf8;
    return false;
}

// Presses a button and lets the other process answer before the next look at the screen.
void Press(HWND dialog, int id)
{
    PressDialogButton(dialog, id);
    PumpFor(300);
}

}  // namespace

HWND WaitForDialogWith(const std::string &caption, int requiredId, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        DialogSearch search = {&caption, requiredId, NULL};
        EnumWindows(MatchDialog, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        PumpFor(50);
    } while (GetTickCount() - start < ms);
    return NULL;
}

bool WalkSetupInstall(const std::string &medium, SetupWalk *walk)
{
    ChildProcess setup;
    if (!StartChild("\"" + medium + "SETUP.exe\"", medium, &setup))
        return Failed(walk, "SETUP.exe を起動できません");
    if (WaitForWindow(setup.pid, "SETUP", walk->caption.c_str(), kWaitMs) != NULL)
        Step(walk, "preparing", "メディアの SETUP.exe を起動: 準備のウィンドウ");
    DWORD code = 0;
    bool ended = WaitChild(&setup, kWaitMs, &code);
    StopChild(&setup);
    if (!ended)
        return Failed(walk, "最初の SETUP が終わりません");

    HWND page = WaitForDialogWith(walk->caption, 10, kWaitMs);
    if (page == NULL || GetDlgItem(page, 11) != NULL)
        return Failed(walk, "ようこそのページが出ません");
    Step(walk, "welcome", "Windows フォルダのコピーが起動: ようこそのページ。「次へ」を押す");
    Press(page, IDOK);

    page = WaitForDialogWith(walk->caption, 12, kWaitMs);
    if (page == NULL)
        return Failed(walk, "登録のページが出ません");
    if (walk->registeredPlace.empty()) {
        SetDlgItemTextA(page, 11, Sjis("山田 太郎").c_str());
        SetDlgItemTextA(page, 12, Sjis("開発部").c_str());
        Step(walk, "registration", "ユーザー名と部署名を入力して「次へ」を押す");
    } else {
        if (WindowText(GetDlgItem(page, 11)) != walk->expectOwner ||
            WindowText(GetDlgItem(page, 12)) != walk->expectOrganization)
            return Failed(walk, ("登録のページに " + walk->registeredPlace + " の登録ユーザーが入っていません").c_str());
        Step(walk, "registration",
             ("登録のページ: ユーザー名と部署名は " + walk->registeredPlace + " から入っている。「次へ」を押す").c_str());
    }
    Press(page, IDOK);

    page = WaitForDialogWith(walk->caption, 13, kWaitMs);
    if (page == NULL)
        return Failed(walk, "セットアップ先のページが出ません");
    Step(walk, "destination", "セットアップ先フォルダはそのまま。「次へ」を押す");
    Press(page, IDOK);
    HWND box = WaitForMessageBox(0, walk->caption.c_str(), kWaitMs);
    if (box == NULL)
        return Failed(walk, "フォルダ作成の確認が出ません");
    Step(walk, "create-folder", "新しいフォルダを作成するか聞かれる。「はい」を押す");
    walk->copyStart = GetTickCount();
    Press(box, IDYES);

    HWND progress = NULL;
    DWORD start = GetTickCount();
    while (progress == NULL && GetTickCount() - start < kWaitMs) {
        HWND wizard = FindWindowA("SETUP", walk->caption.c_str());
        if (wizard != NULL)
            progress = FindWindowExA(wizard, NULL, "#32770", NULL);
        if (progress == NULL)
            PumpFor(20);
    }
    if (progress != NULL)
        Step(walk, "copying", "ファイルのコピーと展開: 進行状況のダイアログ");

    // String 19 asks for each further disk: "%ld枚目のディスクに交換して下さい。"
    const std::string diskPrompt = Sjis("枚目のディスクに交換して下さい。");
    for (;;) {
        box = WaitForMessageBox(0, walk->caption.c_str(), 60000);
        if (box == NULL)
            return Failed(walk, "完了のメッセージが出ません");
        walk->lastBox = MessageBoxText(box);
        if (walk->lastBox.find(diskPrompt) == std::string::npos)
            break;
        int disk = atoi(walk->lastBox.c_str());
        walk->disksAsked++;
        std::string what = std::to_string(disk) + " 枚目のディスクを求められる。" +
                           (walk->changeDisk != NULL ? "ディスクを入れ替えて「OK」を押す" : "そのまま「OK」を押す");
        Step(walk, "disk-change", what.c_str());
        if (walk->changeDisk != NULL && !walk->changeDisk(walk->context, disk))
            return Failed(walk, (std::to_string(disk) + " 枚目のディスクを入れられません").c_str());
        PressDialogButton(box, IDOK);
        WaitUntilGone(box);
    }
    walk->copyEnd = GetTickCount();
    bool complete = walk->lastBox.find(Sjis("完了")) != std::string::npos;
    Step(walk, complete ? "complete" : "interrupted",
         complete ? "セットアップ完了のメッセージ。「OK」を押す" : "セットアップが中断された");
    Press(box, IDOK);
    return complete || Failed(walk, "セットアップが完了しませんでした");
}

bool WalkUninstall(const std::string &command, SetupWalk *walk)
{
    ChildProcess run;
    if (!StartChild(command, "", &run))
        return Failed(walk, "アンインストールを起動できません");
    HWND box = WaitForMessageBox(0, walk->caption.c_str(), kWaitMs);
    if (box == NULL) {
        StopChild(&run);
        return Failed(walk, "アンインストールの確認が出ません");
    }
    Step(walk, "uninstall-ask", "プログラムの一覧から削除: 確認に「はい」を押す");
    Press(box, IDYES);
    if (WaitForWindow(run.pid, "SETUP", walk->caption.c_str(), 5000) != NULL)
        Step(walk, "uninstalling", "アンインストール中のウィンドウ");
    box = WaitForMessageBox(0, walk->caption.c_str(), kWaitMs);
    if (box == NULL) {
        StopChild(&run);
        return Failed(walk, "アンインストールの結果が出ません");
    }
    walk->lastBox = MessageBoxText(box);
    bool whole = walk->lastBox.find(Sjis("正常に完了")) != std::string::npos;
    Step(walk, "uninstalled",
         whole ? "アンインストール完了のメッセージ。「OK」を押す" : "一部が削除されなかったというメッセージ");
    Press(box, IDOK);
    DWORD code = 0;
    bool ended = WaitChild(&run, kWaitMs, &code);
    StopChild(&run);
    if (!ended)
        return Failed(walk, "アンインストールが終わりません");
    return whole;
}

bool BuildSampleMedium(const std::string &medium, std::string *script, std::string *failure,
                       const std::string &data)
{
    std::string sample = WinePath(EnvText("KIT_SOURCE_DIR") + "/examples/clock");
    std::string package = SuiteFolder() + "\\package";
    RemoveTree(package);
    RemoveTree(medium);
    if (!CreateDirectoryA(package.c_str(), NULL)) {
        *failure = "no package folder " + package;
        return false;
    }
    for (const char *name : {"title.bmp", "clock.bmp", "Pavrell.ini", "Velmora.ini"}) {
        if (!CopyFileA((sample + "\\" + name).c_str(), (package + "\\" + name).c_str(), FALSE)) {
            *failure = std::string("sample file not copied: ") + name;
            return false;
        }
    }
    for (const char *name : {"Tessary.scr", "PAVRELL.exe"}) {
        if (!CopyFileA(BuiltProgram(name).c_str(), (package + "\\" + name).c_str(), FALSE)) {
            *failure = std::string("built program not copied: ") + name;
            return false;
        }
    }
    const std::string finalExec = "FinalExec=PAVRELL.exe\r\n";
    size_t at = std::string::npos;
    if (!ReadWholeFile(sample + "\\SETUP.ini", script) || (at = script->find(finalExec)) == std::string::npos) {
        *failure = "the sample's SETUP.ini has no line " + finalExec;
        return false;
    }
    script->replace(at, finalExec.size(), "FinalExec=0\r\n");
    const std::string last = "4=$App:Velmora.ini\r\n";
    if (!data.empty() && (at = script->find(last)) != std::string::npos) {
        script->insert(at + last.size(), "5=$App:NOISE.DAT\r\n");
        if (!WriteWholeFile(package + "\\NOISE.DAT", data)) {
            *failure = "NOISE.DAT not written into the package";
            return false;
        }
    }
    if (!WriteWholeFile(package + "\\SETUP.ini", *script)) {
        *failure = "SETUP.ini not written into the package";
        return false;
    }
    ChildProcess builder;
    std::string command = "\"" + BuiltProgram("BuildMedium.exe") + "\" /cd /setup \"" + BuiltProgram("SETUP.exe") +
                          "\" \"" + package + "\\SETUP.ini\" \"" + package + "\" \"" + medium + "\"";
    if (!StartChild(command, "", &builder)) {
        *failure = "the medium builder did not start";
        return false;
    }
    DWORD code = 1;
    bool ended = WaitChild(&builder, kWaitMs, &code);
    StopChild(&builder);
    if (!ended || code != 0) {
        *failure = "the medium builder refused the sample package";
        return false;
    }
    return true;
}
