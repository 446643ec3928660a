// SETUP.exe's wizard start as the relaunch runs it (staged in the Windows directory, "/" and
// the medium folder): the pages driven as a user drives them, their boxes and folders, and
// the pixels of the background and of the side picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const DWORD kWaitMs = 15000;
const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kOwner[] = "山田 太郎";
const char kOrganization[] = "開発部";
const char kTitle[] = "時計 Clock";
const char kCaption[] = "時計 Clock セットアップ";
const char kDefaultDir[] = "C:\\Program Files\\Clock";
const char kReadme[] = "ようこそ\n 項目\n最後\n";   // "4=" ends the text before line 5
const char kAborted[] = "時計 Clockのセットアップは中断されました。\n"
                        "このセットアップを完了するには、再度セットアップする必要があります。";

const char kScript[] =
    "[Setup]\nTitle=時計 Clock\nSubTitle=副題 SubTitle\nBackColor=BL\n"
    "Titlemap=title.bmp\nTitlemapX=780\nTitlemapY=120\nBitmap=pic\\clock.bmp\nBitmapX=780\n"
    "BitmapY=560\nDefaultDir=C:\\Program Files\\Clock\nStartMsg1=一行目の案内\nStartMsg2=*\n"
    "RegIni=Clock.ini\nRegSec=User\nUninstall=0\nShortCutObj=0\nFinalExec=0\n"
    "[README]\n1=ようこそ\n2=*項目\n3=最後\n4=\n5=見えない\n"
    "[DISK1]\n1=$App:missing.txt\n";

// Which page a dialog of the process is, told by a control only that page has.
enum Page { INIT, REGIST, START };
const int kPageControl[] = {10, 12, 13};
const int kBoxText = 65535;

enum OpKind {
    WaitPage,     // id: the Page; checks the caption
    Field,        // control id has text
    Type,         // control id gets text
    Click,        // button id
    Escape,       // the Escape key on the page
    Box,          // a box with caption (id 0: the product's, 1: "SETUP") and text; answer
    CancelBrowse, // the folder browser is open: cancel it
    Abort,        // boxes until string 4, answered; then the end
    Exists,       // a folder exists (answer 1) or not (answer 0)
    Picture,      // the side picture is on the page again after being covered (BackColor BL)
};
struct Op {
    OpKind kind;
    int id = 0;
    const char *text = "";
    int answer = 0;
};

std::string WindowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

std::string ShippedText(const std::string &utf8)
{
    std::string crlf;
    for (char c : Sjis(utf8.c_str())) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

// A 24-bit bottom-up .bmp whose pixel (x, y) is colour(x, y).
template <typename Colour>
std::string Bmp(int width, int height, Colour colour)
{
    int stride = (width * 3 + 3) & ~3;
    std::string bits(stride * height, '\0');
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            COLORREF c = colour(x, y);
            char *p = &bits[(height - 1 - y) * stride + x * 3];
            p[0] = (char)GetBValue(c), p[1] = (char)GetGValue(c), p[2] = (char)GetRValue(c);
        }
    }
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bits.size();
    info.biSize = sizeof info, info.biWidth = width, info.biHeight = height;
    info.biPlanes = 1, info.biBitCount = 24;
    return std::string((char *)&file, sizeof file) + std::string((char *)&info, sizeof info) + bits;
}

// Titlemap: pure white, then red, then almost white; only the pure white lets the
// background through.
const COLORREF kTitleRed = RGB(200, 30, 30), kNearWhite = RGB(254, 254, 254);
COLORREF TitlemapPixel(int x, int)
{
    return x < 20 ? RGB(255, 255, 255) : x < 40 ? kTitleRed : kNearWhite;
}

struct DialogSearch {
    DWORD pid;
    int control;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    DialogSearch *search = (DialogSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == search->pid && strcmp(name, "#32770") == 0 && IsWindowVisible(window) &&
        GetDlgItem(window, search->control) != NULL &&
        // The registration page's labels carry the id a message box gives its text.
        (search->control != kBoxText || GetDlgItem(window, kPageControl[REGIST]) == NULL)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of the process that has the control (kBoxText: a message box).
HWND WaitDialog(DWORD pid, int control, DWORD ms = kWaitMs)
{
    DWORD start = GetTickCount();
    do {
        DialogSearch search = {pid, control, NULL};
        EnumWindows(MatchDialog, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        PumpFor(20);
    } while (GetTickCount() - start < ms);
    return NULL;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM param)
{
    std::pair<DWORD, std::string> *list = (std::pair<DWORD, std::string> *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (pid == list->first)
        list->second += std::string(" [") + name + " \"" + Utf8(WindowText(window)) + "\" " +
                        Utf8(MessageBoxText(window)) +
                        (IsWindowVisible(window) ? "" : " hidden") + "]";
    return TRUE;
}

// The process's top-level windows, for failure messages.
std::string WindowsOf(DWORD pid)
{
    std::pair<DWORD, std::string> list(pid, "");
    EnumWindows(DescribeWindow, (LPARAM)&list);
    return list.second.empty() ? " none" : list.second;
}

void WaitUntilGone(HWND window)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < 5000)
        PumpFor(20);
}

// The screen's pixels in a rectangle, read once.
struct Capture {
    RECT area;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const
    {
        return pixels[(y - area.top) * (area.right - area.left) + (x - area.left)];
    }
};

Capture CaptureScreen(const RECT &area)
{
    Capture capture = {area, {}};
    int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            capture.pixels.push_back(GetPixel(memory, x, y) & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return capture;
}

// The bounds of the pixels of one exact colour in a capture; empty when there are none.
RECT ColourBounds(const Capture &c, COLORREF colour)
{
    RECT bounds = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = c.area.top; y < c.area.bottom; y++) {
        for (int x = c.area.left; x < c.area.right; x++) {
            if (c.At(x, y) != colour)
                continue;
            bounds.left = std::min(bounds.left, (LONG)x), bounds.top = std::min(bounds.top, (LONG)y);
            bounds.right = std::max(bounds.right, (LONG)x + 1);
            bounds.bottom = std::max(bounds.bottom, (LONG)y + 1);
        }
    }
    return bounds;
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
        windowsDir = WindowsDir();
        medium = SuiteFolder() + "\\medium";
        RemoveTree(medium);
        ASSERT_TRUE(CreateDirectoryA(medium.c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA((medium + "\\pic").c_str(), NULL));
        ASSERT_TRUE(WriteWholeFile(medium + "\\title.bmp", Bmp(60, 40, TitlemapPixel)));
        ASSERT_TRUE(WriteWholeFile(medium + "\\pic\\clock.bmp",
                                   Bmp(40, 40, [](int, int) { return RGB(255, 255, 255); })));
        ASSERT_TRUE(CopyFileA(BuiltProgram("SETUP.exe").c_str(), (windowsDir + "\\SETUP.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kVersionKey, "RegisteredOwner", Sjis(kOwner)));
        ASSERT_TRUE(RegWriteString(HKEY_LOCAL_MACHINE, kVersionKey, "RegisteredOrganization",
                                   Sjis(kOrganization)));
    }

    void TearDown() override { StopChild(&child); }

    void Start(const std::string &script)
    {
        StopChild(&child);
        ASSERT_TRUE(WriteWholeFile(windowsDir + "\\SETUP.ini", ShippedText(script)));
        ASSERT_TRUE(StartChild("\"" + windowsDir + "\\SETUP.exe\" /" + medium + "\\", windowsDir,
                               &child));
    }

    void ExpectEnd(int line)
    {
        DWORD code = 12345;
        ASSERT_TRUE(WaitChild(&child, kWaitMs, &code)) << "line " << line << ": SETUP did not end";
        EXPECT_EQ(0u, code) << "line " << line;
    }

    // Waits for a box, checks caption and text, answers it.
    void AnswerBox(const char *caption, const std::string &textUtf8, int answer, int line)
    {
        HWND box = WaitDialog(child.pid, kBoxText);
        ASSERT_TRUE(box != NULL) << "line " << line << ": no box \"" << textUtf8 << "\"; windows:"
                                 << WindowsOf(child.pid);
        EXPECT_EQ(caption, Utf8(WindowText(box))) << "line " << line << WindowsOf(child.pid);
        EXPECT_EQ(textUtf8, Utf8(MessageBoxText(box))) << "line " << line;
        PressDialogButton(box, answer);
        WaitUntilGone(box);
    }

    void Run(const Op &op, HWND *page, int line)
    {
        switch (op.kind) {
        case WaitPage:
            *page = WaitDialog(child.pid, kPageControl[op.id]);
            ASSERT_TRUE(*page != NULL) << "line " << line << ": no page " << op.id << "; windows:"
                                       << WindowsOf(child.pid);
            EXPECT_EQ(kCaption, Utf8(WindowText(*page))) << "line " << line;
            PumpFor(100);
            RECT frame;
            GetWindowRect(*page, &frame);
            SaveScreenBitmap(SuiteFolder() + "\\page-" + std::to_string(op.id) + ".bmp", frame);
            break;
        case Field:
            EXPECT_EQ(op.text, Utf8(WindowText(GetDlgItem(*page, op.id))))
                << "line " << line << ": control " << op.id;
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
            PostMessageA(*page, WM_KEYUP, VK_ESCAPE, 0);
            break;
        case Box:
            AnswerBox(op.id == 0 ? kCaption : "SETUP", op.text, op.answer, line);
            break;
        case CancelBrowse: {
            // The browser is the process's dialog with a tree view (id differs by version).
            HWND browser = NULL;
            DWORD start = GetTickCount();
            while (browser == NULL && GetTickCount() - start < kWaitMs) {
                HWND found = GetForegroundWindow();
                DWORD pid = 0;
                GetWindowThreadProcessId(found, &pid);
                if (pid == child.pid && found != *page && FindWindowExA(found, NULL, "SysTreeView32", NULL))
                    browser = found;
                else
                    PumpFor(20);
            }
            ASSERT_TRUE(browser != NULL) << "line " << line << ": no folder browser";
            PressDialogButton(browser, IDCANCEL);
            WaitUntilGone(browser);
            break;
        }
        case Abort:
            // Whatever the installation reports first, the wizard ends with string 4.
            for (int boxes = 0; boxes < 4; boxes++) {
                HWND box = WaitDialog(child.pid, kBoxText);
                ASSERT_TRUE(box != NULL) << "line " << line << ": no abort message";
                std::string text = Utf8(MessageBoxText(box));
                PressDialogButton(box, IDOK);
                WaitUntilGone(box);
                if (text == kAborted) {
                    ExpectEnd(line);
                    return;
                }
            }
            ADD_FAILURE() << "line " << line << ": no string 4";
            break;
        case Picture: {
            // Covered and uncovered again, the page paints the picture after its background.
            RECT area = ClientOnScreen(*page);
            HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE,
                                         area.left, area.top, 200, 300, NULL, NULL, NULL, NULL);
            PumpFor(200);
            DestroyWindow(cover);
            PumpFor(300);
            Capture side = CaptureScreen(area);
            EXPECT_EQ(RGB(0, 0, 255), side.At(area.left + 11, area.top + 11)) << "line " << line;
            EXPECT_EQ(RGB(0, 40, 140), side.At(area.left + 38, area.top + 85)) << "line " << line;
            break;
        }
        case Exists:
            EXPECT_EQ(op.answer != 0, FileExists(op.text)) << "line " << line << ": " << op.text;
            break;
        }
    }

    std::string windowsDir;
    std::string medium;
    ChildProcess child;
};

struct Path {
    const char *name;
    int line;
    std::vector<Op> ops;
};

TEST_F(SetupWizard, PagesBackCancelAndFolderChecks)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Existing", NULL) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteWholeFile("C:\\Blocked", "a file where a folder would go"));
    RemoveTree("C:\\Wizard New");
    const Op toRegist[] = {{WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST}};
    const Op toStart[] = {{WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST}, {Click, IDOK},
                          {WaitPage, START}};
    auto after = [](const Op *first, size_t n, std::vector<Op> rest) {
        std::vector<Op> ops(first, first + n);
        ops.insert(ops.end(), rest.begin(), rest.end());
        return ops;
    };
    const Path paths[] = {
        {"escape on the welcome page", __LINE__,
         {{WaitPage, INIT}, {Field, 10, kReadme}, {Escape}, {Box, 0, kAborted, IDOK}}},
        {"registration: defaults again after back, empty name, escape", __LINE__,
         after(toRegist, 3,
               {{Field, 11, kOwner}, {Field, 12, kOrganization}, {Type, 11, "別人"},
                {Click, 4}, {WaitPage, INIT}, {Click, IDOK}, {WaitPage, REGIST},
                {Field, 11, kOwner}, {Type, 11, ""}, {Type, 12, ""}, {Click, IDOK},
                {Box, 0, "ユーザー名を入力してください。", IDOK}, {Field, 11, ""}, {Escape},
                {Box, 0, kAborted, IDOK}})},
        {"destination: texts, refused folders, back, browser cancelled, cancel", __LINE__,
         after(toStart, 5,
               {{Field, 10, "一行目の案内"}, {Field, 11, ""}, {Field, 13, kDefaultDir},
                {Type, 13, "D:\\App"}, {Click, IDOK},
                {Box, 1, "D:\\App\nインストール不可能なドライブです。", IDOK}, {Picture},
                {Type, 13, "A:\\App"}, {Click, IDOK},
                {Box, 1, "A:\\App\nインストール不可能なドライブです。", IDOK},
                {Type, 13, "Q:\\App"}, {Click, IDOK},
                {Box, 1, "Q:\\App\nドライブが存在しません｡", IDOK},
                {Type, 13, "C:\\Existing"}, {Click, IDOK},
                {Box, 0, "C:\\Existing\nセットアップ先フォルダは既に存在します。\n上書きインストールをしますか？", IDNO},
                {Type, 13, "C:\\Wizard New\\Sub"}, {Click, IDOK},
                {Box, 0, "C:\\Wizard New\\Sub\n新しいフォルダを作成しますか？", IDNO},
                {Exists, 0, "C:\\Wizard New", 0},
                {Type, 13, "C:\\Blocked\\Sub"}, {Click, IDOK},
                {Box, 0, "C:\\Blocked\\Sub\n新しいフォルダを作成しますか？", IDYES},
                {Box, 0, "フォルダの作成に失敗しました！", IDOK},
                {Field, 13, "C:\\Blocked\\Sub"},
                {Click, 4}, {WaitPage, REGIST}, {Click, IDOK}, {WaitPage, START},
                {Field, 13, kDefaultDir}, {Click, 3}, {CancelBrowse}, {Field, 13, kDefaultDir},
                {Click, IDCANCEL}, {Box, 0, kAborted, IDOK}})},
        {"existing folder accepted", __LINE__,
         after(toStart, 5,
               {{Type, 13, "C:\\Existing"}, {Click, IDOK},
                {Box, 0, "C:\\Existing\nセットアップ先フォルダは既に存在します。\n上書きインストールをしますか？", IDYES},
                {Abort}})},
        {"new nested folder typed with slashes is created", __LINE__,
         after(toStart, 5,
               {{Type, 13, "C:/Wizard New/Sub"}, {Click, IDOK},
                {Box, 0, "C:\\Wizard New\\Sub\n新しいフォルダを作成しますか？", IDYES}, {Abort},
                {Exists, 0, "C:\\Wizard New\\Sub", 1}})},
    };
    for (const Path &path : paths) {
        SCOPED_TRACE(path.name);
        Start(kScript);
        HWND page = NULL;
        for (const Op &op : path.ops) {
            Run(op, &page, path.line);
            if (HasFatalFailure())
                return;
        }
        if (path.ops.back().kind != Abort && path.ops.back().kind != Exists)
            ExpectEnd(path.line);
    }
}

// The background in a client of 768 rows (band i is rows 3i to 3i+2) for a few BackColor
// codes, the title's colours, both pictures through their masks, and the page's side picture.
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
        SetWindowPos(main, NULL, 0, 0, outer.right - outer.left,
                     768 + (outer.bottom - outer.top) - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(500);
        RECT area = ClientOnScreen(main);
        ASSERT_EQ(768, area.bottom - area.top);
        Capture shot = CaptureScreen(area);
        SaveScreenBitmap(SuiteFolder() + "\\wizard-" + c.code + ".bmp", area);

        int wrong = 0, firstWrong = -1;
        for (int row = 0; row < 768; row++) {
            if (shot.At(area.right - 2, area.top + row) != tint(255 - row / 3) && wrong++ == 0)
                firstWrong = row;
        }
        EXPECT_EQ(0, wrong) << "gradient rows wrong, the first is row " << firstWrong;

        // Shadow 5 pixels right of and below the text; on the grey scale black on white.
        COLORREF text = c.red && c.green ? RGB(0, 0, 0) : RGB(255, 255, 255);
        RECT titleArea = {area.left, area.top + 3, area.left + 500, area.top + 80};
        Capture title = CaptureScreen(titleArea);
        RECT ink = ColourBounds(title, text), shadow = ColourBounds(title, text ^ 0xFFFFFF);
        EXPECT_LE(ink.left, area.left + 20);
        if (c.red || c.blue) {   // on black the shadow cannot be seen
            EXPECT_EQ(ink.right + 5, shadow.right);
            EXPECT_EQ(ink.bottom + 5, shadow.bottom);
        }

        // Titlemap at (780, 120): white shows the background, red and near white stay.
        auto at = [&](int x, int y) { return shot.At(area.left + x, area.top + y); };
        EXPECT_EQ(tint(255 - 130 / 3), at(790, 130));
        EXPECT_EQ(kTitleRed, at(810, 130));
        EXPECT_EQ(kNearWhite, at(830, 130));
        EXPECT_EQ(RGB(255, 255, 255), at(790, 570)) << "Bitmap is opaque";

        // Side picture at (10, 10) of the page: white around and in the CD's hole becomes
        // the full colour; the shapes keep theirs, white label included.
        RECT pageArea = ClientOnScreen(page);
        Capture side = CaptureScreen(pageArea);
        auto pageAt = [&](int x, int y) { return side.At(pageArea.left + x, pageArea.top + y); };
        EXPECT_EQ(tint(255), pageAt(11, 11));
        EXPECT_EQ(tint(255), pageAt(98, 172)) << "the CD's hole";
        EXPECT_EQ(RGB(255, 255, 255), pageAt(24, 174)) << "a floppy disk's label";
        EXPECT_EQ(RGB(0, 40, 140), pageAt(38, 85)) << "the monitor's screen";
        StopChild(&child);
    }
}

// A picture that cannot be loaded: its English box, string 3, and the end without a page.
TEST_F(SetupWizard, PictureThatCannotBeLoaded)
{
    ASSERT_TRUE(WriteWholeFile(medium + "\\text.bmp", "not a bitmap"));
    const char *const cases[][3] = {
        {"Titlemap=title.bmp", "Titlemap=absent.bmp", "Titlemap Load Error"},
        {"Titlemap=title.bmp", "Titlemap=text.bmp", "Titlemap Load Error"},
        {"Bitmap=pic\\clock.bmp", "Bitmap=pic\\absent.bmp", "Bitmap Load Error"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c[1]);
        Start(ReplaceLine(kScript, c[0], c[1]));
        AnswerBox("SETUP", c[2], IDOK, __LINE__);
        AnswerBox(kCaption, "異常が発生しました。\nセットアップを中断します。", IDOK, __LINE__);
        ExpectEnd(__LINE__);
    }
}

}  // namespace
