// Every text the kit shows, measured where it is shown on a 640 x 480 screen: the sample
// package installed from a medium the builder made (preparation window, the three pages, the
// background's two lines, the progress dialog), removed again (the uninstall window), and the
// saver's configuration dialog. Each line's extent in its own font is compared with the room
// its control or window gives it; a failure names the window, the control, the text and the
// pixels it needs beyond its room.
//
// Margins: the fonts are Wine's stand-ins (PLATFORM-NOTES), IPAPGothic for "ＭＳ Ｐゴシック"
// and IPAGothic for the System font. Their full-width glyphs are as wide as Japanese
// Windows' (12 px at 9 points, 16 px in System), so a text's extent here is its extent there
// within a pixel or so of each proportional kana or Latin letter. Dialog units are not alike:
// IPAPGothic's wider Latin letters make a horizontal unit about 1.75 px here against 1.5 px
// on Japanese Windows, so every page is wider here than there, and a line cut off there
// would pass here. Each dialog control is therefore given the room it has on Japanese Windows
// (its width in dialog units x 1.5 px) when that is less than its room here. The windows that
// draw in the System font are sized from the screen (or from their own text) alike on both.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "setupwalk.h"
#include "testsupport.h"

namespace {

const DWORD kWaitMs = 30000;
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SETUP Uninst 0";
const char kInstallDir[] = "C:\\Program Files\\Velmora";
// Japanese Windows draws "ＭＳ Ｐゴシック" 9 pt with dialog base units of 6 x 12.
const int kWindowsBaseUnitX = 6;
// SETUP's strings: the preparation window's line and "uninstalling %s".
const UINT kPreparingString = 1, kUninstallingString = 42;
// The background's lines: their font heights, and the shadow's left edge (the shadow reaches
// furthest right).
const int kTitleHeight = 40, kSubTitleHeight = 10, kShadowX = 15;
const int kSaverDialog = 2003;
// The registration page's two labels, whose words and boxes the design fixes: in the stand-in
// font they fit the room they have here but are 3 to 6 px wider than the room Japanese
// Windows' dialog units give them. Whether they fit there depends on its own font's kana,
// which this machine does not have; they are held to the room they have here.
const char *const kFixedLabels[] = {"ユーザー名 ：", "部   署   名 ："};

bool IsFixedLabel(const std::string &text)
{
    for (const char *label : kFixedLabels)
        if (text == Sjis(label))
            return true;
    return false;
}

// A line, or a block of lines, and the room it is shown in.
struct Shown {
    std::string where;   // the window, UTF-8
    int id = 0;          // the control's id; 0 for a window's own drawing
    std::string text;    // code page 932
    HFONT font = NULL;
    int width = 0, height = 0;
    bool block = false;  // several lines, measured with DrawTextA
    UINT format = 0;     // the DT_ flags of a block
};

// Pixels the text needs beyond its room (its width; for a block, width or height); 0 when it
// fits. how tells both sizes.
int Overflow(const Shown &s, std::string *how)
{
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, s.font);
    int over = 0;
    if (s.block) {
        RECT need = {0, 0, s.width, 0};
        DrawTextA(dc, s.text.c_str(), (int)s.text.size(), &need, s.format | DT_CALCRECT);
        int wide = need.right - s.width, tall = need.bottom - s.height;
        over = wide > tall ? wide : tall;
        *how = std::to_string(need.right) + " x " + std::to_string(need.bottom) + " px in " +
               std::to_string(s.width) + " x " + std::to_string(s.height);
    } else {
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, s.text.c_str(), (int)s.text.size(), &extent);
        over = extent.cx - s.width;
        *how = std::to_string(extent.cx) + " px in " + std::to_string(s.width);
    }
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return over > 0 ? over : 0;
}

void ExpectFits(const Shown &s)
{
    ASSERT_TRUE(s.font != NULL) << s.where;
    std::string how;
    int over = Overflow(s, &how);
    printf("%s, control %d: \"%s\": %s\n", s.where.c_str(), s.id, Utf8(s.text).c_str(), how.c_str());
    EXPECT_EQ(0, over) << s.where << ", control " << s.id << ": \"" << Utf8(s.text) << "\" overflows by " << over
                       << " px (" << how << ")";
}

// A dialog template's font and dialog units, from a hidden copy made in this process from the
// same resource: a font handle of another process means nothing here.
struct TemplateCopy {
    HWND dialog = NULL;
    HFONT font = NULL;
    int baseUnitX = 0;   // pixels of 4 horizontal dialog units
};

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A child dialog (the progress dialog) needs a parent: any window of this process.
TemplateCopy CopyTemplate(HMODULE module, LPCSTR name, HWND parent = NULL)
{
    TemplateCopy t;
    t.dialog = CreateDialogParamA(module, name, parent, QuietDialog, 0);
    if (t.dialog == NULL)
        return t;
    ShowWindow(t.dialog, SW_HIDE);
    t.font = (HFONT)SendMessageA(t.dialog, WM_GETFONT, 0, 0);
    RECT four = {0, 0, 4, 8};
    MapDialogRect(t.dialog, &four);
    t.baseUnitX = four.right;
    return t;
}

BOOL CALLBACK CollectControl(HWND control, LPARAM data)
{
    ((std::vector<HWND> *)data)->push_back(control);
    return TRUE;
}

// The statics of a dialog of another process that show text, each in its template's font.
// Lines already measured (by id and text) are left out; the count of new ones is returned.
int ExpectStaticsFit(HWND dialog, const char *where, const TemplateCopy &copy, std::set<std::string> *seen)
{
    if (dialog == NULL || copy.font == NULL || copy.baseUnitX <= 0) {
        ADD_FAILURE() << where << ": no dialog, or no copy of its template";
        return 0;
    }
    RECT shown, made;
    GetClientRect(dialog, &shown);
    GetClientRect(copy.dialog, &made);
    // The same size in pixels: the copy's font is the one the dialog was laid out with.
    EXPECT_EQ(made.right, shown.right) << where;
    EXPECT_EQ(made.bottom, shown.bottom) << where;
    std::vector<HWND> controls;
    EnumChildWindows(dialog, CollectControl, (LPARAM)&controls);
    int measured = 0;
    for (HWND control : controls) {
        char className[32] = "";
        GetClassNameA(control, className, sizeof className);
        LONG style = GetWindowLongA(control, GWL_STYLE);
        LONG type = style & SS_TYPEMASK;
        if (lstrcmpiA(className, "Static") != 0 || !(style & WS_VISIBLE) ||
            (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP))
            continue;
        Shown s;
        s.where = where;
        s.id = GetDlgCtrlID(control);
        s.text = WindowText(control);
        if (s.text.empty() || (seen != NULL && !seen->insert(std::to_string(s.id) + ":" + s.text).second))
            continue;
        RECT client;
        GetClientRect(control, &client);
        s.width = client.right;
        s.height = client.bottom;
        int windowsWidth = MulDiv(s.width, kWindowsBaseUnitX, copy.baseUnitX);
        if (windowsWidth < s.width && !IsFixedLabel(s.text))
            s.width = windowsWidth;
        s.font = copy.font;
        s.block = s.text.find('\n') != std::string::npos;
        s.format = (style & SS_NOPREFIX ? DT_NOPREFIX : 0) | DT_EXPANDTABS |
                   (type == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK);
        ExpectFits(s);
        measured++;
    }
    return measured;
}

// A line a window draws itself in the System font, in the middle of its client area.
void ExpectLineFits(HWND window, const char *where, const std::string &text)
{
    if (window == NULL) {
        ADD_FAILURE() << where << ": not found";
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    Shown s;
    s.where = where;
    s.text = text;
    s.font = (HFONT)GetStockObject(SYSTEM_FONT);
    s.width = client.right;
    s.height = client.bottom;
    ExpectFits(s);
}

// The background's title or subtitle, in the font it paints them with: the face of its
// device context's font, bold italic, Shift-JIS, at the given height.
void ExpectBackgroundLineFits(HWND background, const char *where, const std::string &text, int height)
{
    if (background == NULL) {
        ADD_FAILURE() << where << ": no background window";
        return;
    }
    char face[32] = "";
    HDC dc = GetDC(background);
    GetTextFaceA(dc, sizeof face, face);
    ReleaseDC(background, dc);
    RECT client;
    GetClientRect(background, &client);
    Shown s;
    s.where = where;
    s.text = text;
    s.font = CreateFontA(height, 0, 0, 0, FW_BOLD, TRUE, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, face);
    s.width = client.right - kShadowX;
    s.height = client.bottom;
    ExpectFits(s);
    DeleteObject(s.font);
}

// What the tests share: the sample's medium, its script, the programs' resources.
const std::string medium = "D:\\";
std::string script;    // the sample's SETUP.ini, Shift-JIS
HMODULE setupImage, saverImage;
TemplateCopy pageCopies[3], progressCopy, configCopy;
const char *const kPageTemplates[] = {"INIT_DIALOG", "REGIST_DIALOG", "START_DIALOG"};

std::string ScriptValue(const char *key)
{
    const std::string line = std::string("\n") + key + "=";
    size_t at = script.find(line);
    if (at == std::string::npos)
        return "";
    at += line.size();
    return script.substr(at, script.find('\r', at) - at);
}

std::string SetupString(UINT id)
{
    char text[1024] = "";
    LoadStringA(setupImage, id, text, sizeof text);
    return text;
}

// A screenshot of the whole 640 x 480 screen in the suite's folder, to look at.
void KeepScreen(const std::string &name)
{
    PumpFor(100);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreenBitmap(SuiteFolder() + "\\texts-" + name + ".bmp", screen);
}

// The walk's steps, each measured as the user sees it.
struct Walked {
    std::string caption;
    int pages = 0;
    int progressLines = 0;
    bool prepared = false, uninstalling = false;
};

HWND Background(const std::string &caption)
{
    return FindWindowA("SETUP", caption.c_str());
}

void MeasureStep(void *context, const char *name, const char *)
{
    Walked *w = (Walked *)context;
    const std::string step = name;
    if (step != "copying")
        KeepScreen(step);
    if (step == "preparing") {
        ExpectLineFits(Background(w->caption), "preparation window", SetupString(kPreparingString));
        w->prepared = true;
    } else if (step == "welcome" || step == "registration" || step == "destination") {
        int page = step == "welcome" ? 0 : step == "registration" ? 1 : 2;
        const int required[] = {10, 12, 13};
        HWND dialog = WaitForDialogWith(w->caption, required[page], kWaitMs);
        EXPECT_GT(ExpectStaticsFit(dialog, kPageTemplates[page], pageCopies[page], NULL), 0) << step;
        if (page == 0) {
            ExpectBackgroundLineFits(Background(w->caption), "background title", w->caption, kTitleHeight);
            ExpectBackgroundLineFits(Background(w->caption), "background subtitle", ScriptValue("SubTitle"),
                                     kSubTitleHeight);
        }
        w->pages++;
    } else if (step == "copying") {
        // Every line the dialog shows while it copies, each once.
        std::set<std::string> seen;
        HWND background = Background(w->caption);
        HWND progress = background != NULL ? FindWindowExA(background, NULL, "#32770", NULL) : NULL;
        for (DWORD start = GetTickCount(); progress != NULL && IsWindow(progress) && GetTickCount() - start < kWaitMs;
             PumpFor(20))
            w->progressLines += ExpectStaticsFit(progress, "PROGR_DIALOG", progressCopy, &seen);
    } else if (step == "uninstalling") {
        char text[1024];
        wsprintfA(text, SetupString(kUninstallingString).c_str(), ScriptValue("Title").c_str());
        ExpectLineFits(FindWindowA("SETUP", w->caption.c_str()), "uninstall window", text);
        w->uninstalling = true;
    }
}

class TextsFit : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(640, GetSystemMetrics(SM_CXSCREEN));
        ASSERT_EQ(480, GetSystemMetrics(SM_CYSCREEN));
        InitCommonControls();
        std::string built = SuiteFolder() + "\\medium";
        std::string failure;
        ASSERT_TRUE(BuildSampleMedium(built, &script, &failure)) << failure;
        // On a CD in drive D:, so that the progress dialog names the files as a user sees them.
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((built + "\\*").c_str(), &found);
        ASSERT_TRUE(search != INVALID_HANDLE_VALUE);
        int copied = 0;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::string name = found.cFileName;
            ASSERT_TRUE(CopyFileA((built + "\\" + name).c_str(), (medium + name).c_str(), FALSE)) << name;
            copied++;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        ASSERT_EQ(8, copied) << "SETUP, its script, two pictures, four files";

        setupImage = LoadLibraryExA(BuiltProgram("SETUP.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        saverImage = LoadLibraryExA(BuiltProgram("Tessary.scr").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(setupImage != NULL && saverImage != NULL);
        for (int page = 0; page < 3; page++)
            pageCopies[page] = CopyTemplate(setupImage, kPageTemplates[page]);
        progressCopy = CopyTemplate(setupImage, "PROGR_DIALOG", pageCopies[0].dialog);
        configCopy = CopyTemplate(saverImage, MAKEINTRESOURCEA(kSaverDialog));
        printf("4 horizontal dialog units: %d px on the pages here, %d px on Japanese Windows\n",
               pageCopies[0].baseUnitX, kWindowsBaseUnitX);
    }

    void TearDown() override
    {
        RemoveTree(kInstallDir);
        RegDeleteTree(HKEY_LOCAL_MACHINE, kEntry);
    }
};

TEST_F(TextsFit, SetupItsPagesAndTheUninstall)
{
    Walked walked;
    walked.caption = ScriptValue("Title") + Sjis(" セットアップ");
    SetupWalk walk;
    walk.caption = walked.caption;
    walk.step = MeasureStep;
    walk.context = &walked;
    ASSERT_TRUE(WalkSetupInstall(medium, &walk)) << walk.failure;
    EXPECT_TRUE(walked.prepared) << "the preparation window was not seen";
    EXPECT_EQ(3, walked.pages);
    EXPECT_GE(walked.progressLines, 3) << "the progress dialog's lines";

    std::string command;
    DWORD type;
    ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", &type, &command));
    walked.caption = ScriptValue("Title") + Sjis(" アンインストール");
    walk.caption = walked.caption;
    EXPECT_TRUE(WalkUninstall(command.c_str(), &walk)) << walk.failure;
    EXPECT_TRUE(walked.uninstalling) << "the uninstall window was not seen";
}

TEST_F(TextsFit, SaverConfigurationDialog)
{
    ChildProcess saver;
    ASSERT_TRUE(StartChild("\"" + BuiltProgram("Tessary.scr") + "\" /c", "", &saver));
    HWND dialog = WaitForWindow(saver.pid, "#32770", NULL, kWaitMs);
    // Found as soon as it is made: its controls are there once it is shown.
    for (DWORD start = GetTickCount(); dialog != NULL && !IsWindowVisible(dialog) && GetTickCount() - start < kWaitMs;
         PumpFor(20)) {
    }
    EXPECT_GT(ExpectStaticsFit(dialog, "configuration dialog", configCopy, NULL), 0);
    KeepScreen("configuration");
    if (dialog != NULL)
        PressDialogButton(dialog, IDCANCEL);
    DWORD code = 1;
    EXPECT_TRUE(WaitChild(&saver, kWaitMs, &code));
    StopChild(&saver);
}

}  // namespace
