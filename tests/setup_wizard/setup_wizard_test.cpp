// SETUP.exe's wizard start as the relaunch runs it (staged in the Windows directory, "/" and
// the medium folder): the pages driven as a user drives them, their boxes and folders, and
// the pixels of the background and of the side picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const DWORD kWaitMs = 15000;
const char kOwner[] = "山田 太郎";
const char kOrganization[] = "開発部";
const char kCaption[] = "時計 Clock セットアップ";
const char kWindowsPlace[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kNtPlace[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kSetupFamily[] = "Software\\Wine\\AppDefaults\\SETUP.exe";
const char kDefaultDir[] = "C:\\Program Files\\Clock";
const char kAborted[] = "時計 Clockのセットアップは中断されました。\n"
                        "このセットアップを完了するには、再度セットアップする必要があります。";
const char kExists[] = "C:\\Existing\nセットアップ先フォルダは既に存在します。\n上書きインストールをしますか？";
const char kCreate[] = "C:\\Wizard New\\Sub\n新しいフォルダを作成しますか？";
const char kScript[] =
    "[Setup]\nTitle=時計 Clock\nSubTitle=副題 SubTitle\nBackColor=BL\n"
    "Titlemap=title.bmp\nTitlemapX=780\nTitlemapY=120\nBitmap=pic\\clock.bmp\nBitmapX=780\n"
    "BitmapY=560\nDefaultDir=C:\\Program Files\\Clock\nStartMsg1=一行目の案内\nStartMsg2=*\n"
    "RegIni=Clock.ini\nRegSec=User\nUninstall=0\nShortCutObj=0\nFinalExec=0\n"
    "[README]\n1=ようこそ\n2=*項目\n3=最後\n4=\n5=見えない\n[DISK1]\n1=$App:missing.txt\n";

// A page is told by a control only it has.
enum Page { INIT, REGIST, START };
const int kPageControl[] = {10, 12, 13};

enum OpKind {
    WaitPage,      // id: the Page; checks the caption, keeps a screenshot
    Field,         // control id has text
    Type,          // control id gets text
    Click,         // button id
    Escape,        // the Escape key on the page
    Box,           // a box with caption (id 0: the product's, 1: "SETUP") and text; answer
    CancelBrowse,  // the folder browser is open: cancel it
    Abort,         // boxes until string 4, answered
    Exists,        // a folder exists (answer 1) or not (answer 0)
    SidePicture,   // the side picture is on the page again after being covered
    Post,          // message id to the background window, as the progress dialog posts it
    Paste,         // control id gets text through the clipboard, as a user pastes it
    Limit,         // control id takes at most answer bytes (the field's own limit)
    Shipped,       // the file text is the shipped SETUP.exe, byte for byte
};
struct Op {
    OpKind kind;
    int id = 0;
    const char *text = "";
    int answer = 0;
};

// A 24-bit .bmp whose rows are white, then red, then almost white, in thirds of its width.
const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(200, 30, 30), kNearWhite = RGB(254, 254, 254);
std::string ThirdsBmp(int width, int height)
{
    std::string row, bits;
    for (int x = 0; x < width; x++) {
        COLORREF c = x < width / 3 ? kWhite : x < width * 2 / 3 ? kRed : kNearWhite;
        row += {(char)GetBValue(c), (char)GetGValue(c), (char)GetRValue(c)};
    }
    row.resize((width * 3 + 3) & ~3, '\0');
    for (int y = 0; y < height; y++)
        bits += row;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info, info.biWidth = width, info.biHeight = height, info.biPlanes = 1, info.biBitCount = 24;
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    BITMAPFILEHEADER file = {0x4D42, (DWORD)(offset + bits.size()), 0, 0, offset};
    return std::string((char *)&file, sizeof file) + std::string((char *)&info, sizeof info) + bits;
}

struct DialogSearch {
    DWORD pid;
    int control;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    DialogSearch *s = (DialogSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == s->pid && strcmp(name, "#32770") == 0 && IsWindowVisible(window) &&
        GetDlgItem(window, s->control) != NULL) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitDialog(DWORD pid, int control)
{
    DWORD start = GetTickCount();
    do {
        DialogSearch search = {pid, control, NULL};
        EnumWindows(MatchDialog, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        PumpFor(20);
    } while (GetTickCount() - start < kWaitMs);
    return NULL;
}

// Right and bottom edge of the pixels of one exact colour.
POINT FarEdge(const Picture &p, COLORREF colour)
{
    POINT edge = {-1, -1};
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (p.At(x, y) == colour)
                edge.x = std::max(edge.x, (LONG)x), edge.y = std::max(edge.y, (LONG)y);
    return edge;
}

// A file or folder that matches a pattern (UTF-8) exists.
bool Matches(const char *pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Sjis(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::string Repeated(const char *text, int count)
{
    std::string all;
    for (int i = 0; i < count; i++)
        all += text;
    return all;
}

RECT ClientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

class SetupWizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        medium = SuiteFolder() + "\\medium";
        RemoveTree(medium);
        ASSERT_TRUE(CreateDirectoryA(medium.c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA((medium + "\\pic").c_str(), NULL));
        ASSERT_TRUE(WriteWholeFile(medium + "\\title.bmp", ThirdsBmp(60, 40)));
        ASSERT_TRUE(WriteWholeFile(medium + "\\pic\\clock.bmp", ThirdsBmp(3, 40)));
        ASSERT_TRUE(WriteWholeFile(medium + "\\text.bmp", "not a bitmap"));
        ASSERT_TRUE(WriteWholeFile(medium + "\\SETUP.ex_", "not the program"));
        ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), (windowsDir + "\\SETUP.exe").c_str(), FALSE));
        // Wine's own family, with the NT place empty as in a fresh prefix.
        RegDeleteTree(HKEY_CURRENT_USER, kSetupFamily);
        SetRegistered(kOwner, kOrganization, "");
    }

    void SetRegistered(const char *owner, const char *organization, const char *ntBoth)
    {
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kWindowsPlace, "RegisteredOwner", Sjis(owner)));
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kWindowsPlace, "RegisteredOrganization", Sjis(organization)));
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kNtPlace, "RegisteredOwner", Sjis(ntBoth)));
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kNtPlace, "RegisteredOrganization", Sjis(ntBoth)));
    }

    void TearDown() override { StopChild(&child); }

    void Start(const std::string &script)
    {
        StopChild(&child);
        std::string shipped;   // Shift-JIS with CR LF
        for (char c : Sjis(script.c_str()))
            shipped += c == '\n' ? std::string("\r\n") : std::string(1, c);
        ASSERT_TRUE(WriteWholeFile(windowsDir + "\\SETUP.ini", shipped));
        ASSERT_TRUE(StartChild("\"" + windowsDir + "\\SETUP.exe\" /" + medium + "\\", windowsDir, &child));
    }

    void Run(const Op &op, HWND *page, int line)
    {
        switch (op.kind) {
        case WaitPage: {
            *page = WaitDialog(child.pid, kPageControl[op.id]);
            ASSERT_TRUE(*page != NULL) << "line " << line << ": no page " << op.id;
            EXPECT_EQ(kCaption, Utf8(WindowText(*page))) << "line " << line;
            EXPECT_EQ(0, GetWindowLongA(*page, GWL_STYLE) & WS_SYSMENU) << "line " << line << ": a close box";
            PumpFor(100);
            RECT frame;
            GetWindowRect(*page, &frame);
            SaveScreenBitmap(SuiteFolder() + "\\page-" + std::to_string(op.id) + ".bmp", frame);
            break;
        }
        case Field:
            EXPECT_EQ(op.text, Utf8(WindowText(GetDlgItem(*page, op.id)))) << "line " << line << ": control " << op.id;
            break;
        case Type:
            SendMessageA(GetDlgItem(*page, op.id), WM_SETTEXT, 0, (LPARAM)Sjis(op.text).c_str());
            break;
        case Click:
            PressDialogButton(*page, op.id);
            WaitUntilGone(*page);
            break;
        case Escape:
            PostMessageA(*page, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case Box:
            AnswerMessageBox(child.pid, op.id == 0 ? Sjis(kCaption).c_str() : "SETUP", op.text, op.answer, kWaitMs,
                             line);
            break;
        case CancelBrowse: {
            HWND browser = NULL;
            for (DWORD start = GetTickCount(); browser == NULL && GetTickCount() - start < kWaitMs; PumpFor(20)) {
                HWND found = GetForegroundWindow();
                if (found != *page && FindWindowExA(found, NULL, "SysTreeView32", NULL) != NULL)
                    browser = found;
            }
            ASSERT_TRUE(browser != NULL) << "line " << line << ": no folder browser";
            PressDialogButton(browser, IDCANCEL);
            WaitUntilGone(browser);
            break;
        }
        case Abort:
            // Whatever the installation reports first, the wizard ends with string 4.
            for (int boxes = 0; boxes < 3; boxes++)
                if (AnswerMessageBox(child.pid, NULL, NULL, IDOK, kWaitMs, line).text == kAborted)
                    return;
            ADD_FAILURE() << "line " << line << ": no string 4";
            break;
        case Exists:
            for (DWORD start = GetTickCount(); op.answer && !Matches(op.text) && GetTickCount() - start < kWaitMs;)
                PumpFor(50);
            EXPECT_EQ(op.answer != 0, Matches(op.text)) << "line " << line << ": " << op.text;
            break;
        case Paste: {
            std::string text = Sjis(op.text);
            ASSERT_TRUE(OpenClipboard(NULL)) << "line " << line;
            EmptyClipboard();
            HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
            memcpy(GlobalLock(data), text.c_str(), text.size() + 1);
            GlobalUnlock(data);
            SetClipboardData(CF_TEXT, data);
            CloseClipboard();
            HWND field = GetDlgItem(*page, op.id);
            SendMessageA(field, WM_SETTEXT, 0, (LPARAM)"");
            SendMessageA(field, WM_PASTE, 0, 0);
            break;
        }
        case Limit:
            EXPECT_EQ(op.answer, (int)SendDlgItemMessageA(*page, op.id, EM_GETLIMITTEXT, 0, 0)) << "line " << line;
            break;
        case Shipped: {
            std::string shipped, now;
            EXPECT_TRUE(ReadWholeFile(BuiltProgram("SETUP.exe"), &shipped) && ReadWholeFile(op.text, &now) &&
                        shipped == now)
                << "line " << line << ": " << op.text;
            break;
        }
        case Post:
            PostMessageA(WaitForWindow(child.pid, "SETUP", Sjis(kCaption).c_str(), kWaitMs), op.id, 0, 0);
            break;
        case SidePicture: {
            RECT area = ClientOnScreen(*page);
            HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, area.left,
                                         area.top, 200, 300, NULL, NULL, NULL, NULL);
            PumpFor(200);
            DestroyWindow(cover);
            PumpFor(300);
            Picture side = CaptureScreen(area);
            EXPECT_EQ(RGB(0, 0, 255), side.At(11, 11)) << "line " << line;
            EXPECT_EQ(RGB(0, 40, 140), side.At(38, 85)) << "line " << line;
            break;
        }
        }
    }

    std::string windowsDir = [] {
        char dir[MAX_PATH];
        return std::string(dir, GetWindowsDirectoryA(dir, sizeof dir));
    }();
    std::string medium;
    ChildProcess child;
};

struct Path {
    const char *name;
    int line;
    const char *scriptLine;   // replaced in the script by replacement (NULL: the script as it is)
    const char *replacement;
    std::vector<Op> ops;
};

std::vector<Op> ToStart(std::vector<Op> rest)
{
    std::vector<Op> ops = {{WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST}, {Click, IDOK}, {WaitPage, START}};
    ops.insert(ops.end(), rest.begin(), rest.end());
    return ops;
}

TEST_F(SetupWizard, PagesBackCancelAndFolderChecks)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Existing", NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteWholeFile("C:\\Blocked", "a file where a folder would go"));
    ASSERT_TRUE(WriteWholeFile(windowsDir + "\\finish.bat", "echo opened> C:\\opened.txt\r\n"));
    DeleteFileA("C:\\opened.txt");
    RemoveTree("C:\\Wizard New");
    const char *failed = "異常が発生しました。\nセットアップを中断します。";
    // The longest name in the install folder is missing.txt (11 bytes): a folder of 248 bytes
    // is the most that fits. Wine's field counts its limit in characters: a paste of 500 kanji
    // keeps 245 of them after C:\, whole, and the folder is then refused, not cut.
    const char *tooLong = "\nセットアップ先フォルダのパスが長すぎます。\nもっと短いフォルダを指定してください。";
    const std::string kanji = "C:\\" + Repeated("漢", 500), kanjiKept = "C:\\" + Repeated("漢", 245);
    const std::string kanjiShown = "C:\\" + Repeated("漢", 128) + tooLong;   // shown whole, up to 260 bytes
    const std::string fits = "C:\\" + std::string(245, 'L'), overOne = fits + "L";
    const std::string fitsAsked = fits + "\n新しいフォルダを作成しますか？", overShown = overOne + tooLong;
    const std::string setupFailed = "ファイルのコピーに失敗しました。\n" + Utf8(windowsDir) + "\\SETUP.exe";
    const std::string staged = windowsDir + "\\SETUP.exe", stray = windowsDir + "\\SETUP.ex_";
    const std::string temporary = windowsDir + "\\~SU*.TMP";
    const Path paths[] = {
        {"escape on the welcome page", __LINE__, NULL, NULL,
         {{WaitPage, INIT}, {Field, 10, "ようこそ\n 項目\n最後\n"}, {Escape}, {Box, 0, kAborted, IDOK}}},
        {"registration: defaults again after back, empty name, escape", __LINE__, NULL, NULL,
         {{WaitPage, INIT}, {Field, 1, "次へ (&N)"}, {Field, 2, "ｷｬﾝｾﾙ"}, {Click, IDOK}, {WaitPage, REGIST},
          {Field, 10, "ユーザー名と部署名を入力してください。"}, {Field, 11, kOwner}, {Field, 12, kOrganization},
          {Type, 11, "別人"}, {Click, 4}, {WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST},
          {Field, 11, kOwner}, {Type, 11, ""}, {Type, 12, ""}, {Click, IDOK},
          {Box, 0, "ユーザー名を入力してください。", IDOK}, {Field, 11, ""}, {Escape}, {Box, 0, kAborted, IDOK}}},
        {"destination: texts, refused folders, back, browser cancelled, cancel", __LINE__, NULL, NULL,
         ToStart({{Field, 10, "一行目の案内"}, {Field, 11, ""}, {Field, 13, kDefaultDir}, {Field, 4, "戻る (&B)"},
                  {Field, 14, "以下のフォルダにセットアップを行います。"}, {Field, 3, "..."},
                  {Type, 13, "D:\\App"}, {Click, IDOK}, {Box, 1, "D:\\App\nインストール不可能なドライブです。", IDOK},
                  {SidePicture},
                  {Type, 13, "Q:\\App"}, {Click, IDOK}, {Box, 1, "Q:\\App\nドライブが存在しません｡", IDOK},
                  {Type, 13, "C:\\Existing"}, {Click, IDOK}, {Box, 0, kExists, IDNO},
                  {Type, 13, "C:\\Wizard New\\Sub"}, {Click, IDOK}, {Box, 0, kCreate, IDNO},
                  {Exists, 0, "C:\\Wizard New", 0},
                  {Type, 13, "C:\\Blocked\\Sub"}, {Click, IDOK},
                  {Box, 0, "C:\\Blocked\\Sub\n新しいフォルダを作成しますか？", IDYES},
                  {Box, 0, "フォルダの作成に失敗しました！", IDOK}, {Field, 13, "C:\\Blocked\\Sub"},
                  {Click, 4}, {WaitPage, REGIST}, {Click, IDOK}, {WaitPage, START}, {Field, 13, kDefaultDir},
                  {Click, 3}, {CancelBrowse}, {Field, 13, kDefaultDir}, {Click, IDCANCEL}, {Box, 0, kAborted, IDOK}})},
        {"destination: the field takes what fits, a longer folder is refused before anything is made", __LINE__,
         NULL, NULL,
         ToStart({{Limit, 13, "", 248}, {Paste, 13, kanji.c_str()}, {Field, 13, kanjiKept.c_str()}, {Click, IDOK},
                  {Box, 0, kanjiShown.c_str(), IDOK}, {Exists, 0, "C:\\漢*", 0},
                  {Type, 13, overOne.c_str()}, {Click, IDOK}, {Box, 0, overShown.c_str(), IDOK},
                  {Exists, 0, "C:\\LLL*", 0},
                  {Type, 13, fits.c_str()}, {Click, IDOK}, {Box, 0, fitsAsked.c_str(), IDNO},
                  {Click, IDCANCEL}, {Box, 0, kAborted, IDOK}})},
        // The running program cannot be replaced: the copy fails whole, nothing is left of it.
        {"the running SETUP.exe listed", __LINE__, "1=$App:missing.txt", "1=$Win:SETUP.exe",
         ToStart({{Type, 13, "C:\\Existing"}, {Click, IDOK}, {Box, 0, kExists, IDYES},
                  {Box, 0, setupFailed.c_str(), IDOK}, {Box, 0, kAborted, IDOK}, {Exists, 0, stray.c_str(), 0},
                  {Exists, 0, temporary.c_str(), 0}, {Shipped, 0, staged.c_str()}})},
        {"existing folder accepted", __LINE__, NULL, NULL,
         ToStart({{Type, 13, "C:\\Existing"}, {Click, IDOK}, {Box, 0, kExists, IDYES}, {Abort}})},
        {"new nested folder typed with slashes is created", __LINE__, NULL, NULL,
         ToStart({{Type, 13, "C:/Wizard New/Sub"}, {Click, IDOK}, {Box, 0, kCreate, IDYES}, {Abort},
                  {Exists, 0, "C:\\Wizard New\\Sub", 1}})},
        // Without an install folder FinalExec is taken relative to SETUP's working directory.
        {"completion: string 2, then FinalExec, then the end", __LINE__, "FinalExec=0", "FinalExec=finish.bat",
         {{WaitPage, INIT}, {Post, 1028},
          {Box, 0, "時計 Clockのセットアップは完了しました。", IDOK}, {Exists, 0, "C:\\opened.txt", 1}}},
        {"Titlemap missing", __LINE__, "Titlemap=title.bmp", "Titlemap=absent.bmp",
         {{Box, 1, "Titlemap Load Error", IDOK}, {Box, 0, failed, IDOK}}},
        {"Titlemap not a bitmap", __LINE__, "Titlemap=title.bmp", "Titlemap=text.bmp",
         {{Box, 1, "Titlemap Load Error", IDOK}, {Box, 0, failed, IDOK}}},
        {"Bitmap missing", __LINE__, "Bitmap=pic\\clock.bmp", "Bitmap=pic\\absent.bmp",
         {{Box, 1, "Bitmap Load Error", IDOK}, {Box, 0, failed, IDOK}}},
    };
    for (const Path &path : paths) {
        SCOPED_TRACE(path.name);
        Start(path.scriptLine ? ReplaceLine(kScript, path.scriptLine, path.replacement) : kScript);
        HWND page = NULL;
        for (const Op &op : path.ops) {
            Run(op, &page, path.line);
            if (HasFatalFailure())
                return;
        }
        DWORD code = 12345;
        EXPECT_TRUE(WaitChild(&child, kWaitMs, &code)) << "line " << path.line << ": SETUP did not end";
        EXPECT_EQ(0u, code) << "line " << path.line;
    }
}

// The registration page's defaults come from the family's own place first, from the other
// where the first is empty (a fresh NT-family system has empty values in NT's place).
TEST_F(SetupWizard, RegisteredUserOfEachFamily)
{
    struct Case {
        int line;
        const char *family;   // the Version SETUP.exe sees
        const char *windows;  // owner and organisation in the Windows 95 family's place
        const char *nt;       // both in NT's place
        const char *shown;
    } cases[] = {
        {__LINE__, "win95", "九五 花子", "NT 次郎", "九五 花子"},
        {__LINE__, "win95", "", "NT 次郎", "NT 次郎"},
        {__LINE__, "nt40", "九五 花子", "NT 次郎", "NT 次郎"},
        {__LINE__, "nt40", "", "NT 次郎", "NT 次郎"},
        {__LINE__, "nt40", "九五 花子", "", "九五 花子"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, kSetupFamily, "Version", c.family));
        SetRegistered(c.windows, c.windows, c.nt);
        Start(kScript);
        HWND page = NULL;
        for (const Op &op : std::vector<Op>{{WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST}, {Field, 11, c.shown},
                                            {Field, 12, c.shown}, {Escape}, {Box, 0, kAborted, IDOK}}) {
            Run(op, &page, c.line);
            if (HasFatalFailure())
                return;
        }
        DWORD code = 12345;
        EXPECT_TRUE(WaitChild(&child, kWaitMs, &code)) << "line " << c.line << ": SETUP did not end";
    }
}

// In a client of 768 rows band i is rows 3i to 3i+2: the gradient for a few BackColor
// codes, the title's colours, both pictures through their masks, the page's side picture.
TEST_F(SetupWizard, BackgroundAndSidePicture)
{
    struct Case {
        const char *code;
        int red, green, blue;   // which channels the code lights
    };
    const Case cases[] = {{"BL", 0, 0, 1}, {"MN", 1, 1, 1}, {"XX", 0, 0, 0}, {"pk", 1, 0, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        auto tint = [&c](int v) { return RGB(c.red * v, c.green * v, c.blue * v); };
        Start(ReplaceLine(kScript, "BackColor=BL", std::string("BackColor=") + c.code));
        HWND page = WaitDialog(child.pid, kPageControl[INIT]);
        HWND main = WaitForWindow(child.pid, "SETUP", Sjis(kCaption).c_str(), kWaitMs);
        ASSERT_TRUE(page != NULL && main != NULL);
        RECT outer, client;
        GetWindowRect(main, &outer);
        GetClientRect(main, &client);
        SetWindowPos(main, NULL, 0, 0, outer.right - outer.left, 768 + (outer.bottom - outer.top) - client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(500);
        RECT area = ClientOnScreen(main);
        ASSERT_EQ(768, area.bottom - area.top);
        Picture shot = CaptureScreen(area);
        SaveScreenBitmap(SuiteFolder() + "\\wizard-" + c.code + ".bmp", area);

        int wrong = 0, firstWrong = -1;
        for (int row = 0; row < 768; row++)
            if (shot.At(shot.width - 2, row) != tint(255 - row / 3) && wrong++ == 0)
                firstWrong = row;
        EXPECT_EQ(0, wrong) << "gradient rows wrong, the first is row " << firstWrong;

        // The shadow reaches 5 pixels further right and down; on the grey scale it is white.
        COLORREF text = c.green ? RGB(0, 0, 0) : kWhite;
        RECT titleArea = {area.left, area.top + 3, area.left + 500, area.top + 80};
        Picture title = CaptureScreen(titleArea);
        POINT ink = FarEdge(title, text), shadow = FarEdge(title, text ^ 0xFFFFFF);
        EXPECT_GT(ink.x, 20) << "no title text";
        if (c.red || c.blue) {   // on black the shadow cannot be seen
            // One pixel of play: the edges of smoothed outline glyphs blend into the ground.
            EXPECT_NEAR(ink.x + 5, shadow.x, 1);
            EXPECT_NEAR(ink.y + 5, shadow.y, 1);
        }

        // Titlemap at (780, 120): its white shows the background; Bitmap at (780, 560) is opaque.
        EXPECT_EQ(tint(255 - 130 / 3), shot.At(790, 130));
        EXPECT_EQ(kRed, shot.At(810, 130));
        EXPECT_EQ(kNearWhite, shot.At(830, 130));
        EXPECT_EQ(kWhite, shot.At(780, 570));

        // Side picture at (10, 10): white around and in the CD's hole becomes the full colour;
        // the shapes keep theirs, a floppy disk's white label included.
        RECT pageArea = ClientOnScreen(page);
        Picture side = CaptureScreen(pageArea);
        EXPECT_EQ(tint(255), side.At(11, 11));
        EXPECT_EQ(tint(255), side.At(98, 172)) << "the CD's hole";
        EXPECT_EQ(kWhite, side.At(24, 174)) << "the label";
        EXPECT_EQ(RGB(0, 40, 140), side.At(38, 85)) << "the monitor's screen";
        StopChild(&child);
    }
}

}  // namespace
