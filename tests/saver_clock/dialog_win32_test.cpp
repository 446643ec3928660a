// Dialog 2003 and the other resources of the clock, and the dialog run as the host runs it
// (DialogBoxParamA with SaverConfigDialogProc), driven from a timer of this thread.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "clocksettings.h"
#include "clocktestsupport.h"
#include "saverhost.h"
#include "saverres.h"
#include "testsupport.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// One control of a DIALOGEX template as the resource holds it.
struct TemplateItem {
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::string className;   // atoms 0x80 BUTTON, 0x82 STATIC named
    std::string text;        // UTF-8
};

struct TemplateDialog {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption, face;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<TemplateItem> items;
};

std::string WideToUtf8(const WCHAR *text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], length, NULL, NULL);
    return out;
}

// A name-or-ordinal field: 0 (none), 0xFFFF + ordinal, or a zero-ended UTF-16 text.
const WORD *ReadSz(const WORD *p, std::string *text, int *ordinal)
{
    *ordinal = -1;
    text->clear();
    if (*p == 0xFFFF) {
        *ordinal = p[1];
        return p + 2;
    }
    *text = WideToUtf8((const WCHAR *)p);
    while (*p != 0)
        p++;
    return p + 1;
}

const WORD *AlignDword(const WORD *p, const void *base)
{
    size_t offset = (const BYTE *)p - (const BYTE *)base;
    return (const WORD *)((const BYTE *)base + ((offset + 3) & ~(size_t)3));
}

bool ReadDialogTemplate(TemplateDialog *dialog)
{
    HRSRC found = FindResourceExA(GetModuleHandleA(NULL), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(IDD_CONFIG), kJapanese);
    if (found == NULL)
        return false;
    const WORD *base = (const WORD *)LockResource(LoadResource(GetModuleHandleA(NULL), found));
    if (base[0] != 1 || base[1] != 0xFFFF)
        return false;   // not a DIALOGEX
    const BYTE *b = (const BYTE *)base;
    dialog->style = *(const DWORD *)(b + 12);
    WORD count = *(const WORD *)(b + 16);
    dialog->x = *(const short *)(b + 18);
    dialog->y = *(const short *)(b + 20);
    dialog->cx = *(const short *)(b + 22);
    dialog->cy = *(const short *)(b + 24);
    const WORD *p = (const WORD *)(b + 26);
    std::string text;
    int ordinal;
    p = ReadSz(p, &text, &ordinal);   // menu
    p = ReadSz(p, &text, &ordinal);   // class
    p = ReadSz(p, &dialog->caption, &ordinal);
    dialog->pointSize = p[0];
    dialog->weight = p[1];
    dialog->italic = ((const BYTE *)p)[4];
    dialog->charset = ((const BYTE *)p)[5];
    p = ReadSz(p + 3, &dialog->face, &ordinal);
    for (int i = 0; i < count; i++) {
        p = AlignDword(p, base);
        const BYTE *item = (const BYTE *)p;
        TemplateItem t;
        t.exStyle = *(const DWORD *)(item + 4);
        t.style = *(const DWORD *)(item + 8);
        t.x = *(const short *)(item + 12);
        t.y = *(const short *)(item + 14);
        t.cx = *(const short *)(item + 16);
        t.cy = *(const short *)(item + 18);
        t.id = *(const int *)(item + 20);
        p = (const WORD *)(item + 24);
        p = ReadSz(p, &t.className, &ordinal);
        if (ordinal == 0x80)
            t.className = "BUTTON";
        else if (ordinal == 0x82)
            t.className = "STATIC";
        p = ReadSz(p, &t.text, &ordinal);
        WORD extra = *p++;
        p = (const WORD *)((const BYTE *)p + extra);
        dialog->items.push_back(t);
    }
    return true;
}

TEST(ConfigResources, DialogTemplateIsExactlyAsDesigned)
{
    TemplateDialog d;
    ASSERT_TRUE(ReadDialogTemplate(&d)) << "dialog 2003 in language 1041";
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), d.style);
    EXPECT_EQ(0, d.x);
    EXPECT_EQ(0, d.y);
    EXPECT_EQ(223, d.cx);
    EXPECT_EQ(119, d.cy);
    EXPECT_EQ("ｽｸﾘｰﾝｾｰﾊﾞｰの設定", d.caption);
    EXPECT_EQ("ＭＳ Ｐゴシック", d.face);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(0, d.weight);
    EXPECT_EQ(0, d.italic);
    EXPECT_EQ(1, d.charset);

    const DWORD base = WS_CHILD | WS_VISIBLE;
    const DWORD color = base | BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_BITMAP | WS_TABSTOP;
    const struct {
        int id;
        const char *cls;
        const char *text;   // NULL: checked apart
        DWORD style, exStyle;
        short x, y, cx, cy;
    } expected[] = {
        {1014, "BUTTON", "背景色の選択", base | BS_GROUPBOX, 0, 7, 7, 105, 50},
        {1007, "BUTTON", "", color, 0, 15, 20, 10, 10},
        {1008, "BUTTON", "", color, 0, 30, 20, 10, 10},
        {1009, "BUTTON", "", color, 0, 45, 20, 10, 10},
        {1010, "BUTTON", "", color, 0, 60, 20, 10, 10},
        {1011, "BUTTON", "", color, 0, 75, 20, 10, 10},
        {1012, "BUTTON", "", color, 0, 90, 20, 10, 10},
        {1013, "BUTTON", "１分毎に変更する", base | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 40, 40, 65, 10},
        {-1, "BUTTON", "デジタル文字の設定", base | BS_GROUPBOX, 0, 122, 7, 93, 50},
        {3, "BUTTON", "ﾌｫﾝﾄの選択(&F)...", base | BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 0, 130, 20,
         61, 14},
        {1015, "BUTTON", "抜き文字にする", base | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 130, 40, 60, 10},
        {-1, "STATIC", NULL, base | SS_CENTER | WS_GROUP, WS_EX_TRANSPARENT, 5, 65, 210, 11},
        {23, "BUTTON", HOME_PAGE_ADDRESS, base | BS_PUSHBUTTON | WS_TABSTOP, 0, 5, 80, 212, 14},
        {1, "BUTTON", "OK", base | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 110, 100, 50, 14},
        {2, "BUTTON", "ｷｬﾝｾﾙ", base | BS_PUSHBUTTON | WS_TABSTOP, 0, 165, 100, 50, 14},
    };
    ASSERT_EQ(sizeof expected / sizeof expected[0], d.items.size());
    for (size_t i = 0; i < d.items.size(); i++) {
        const TemplateItem &t = d.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(expected[i].id));
        EXPECT_EQ(expected[i].id, t.id);
        EXPECT_EQ(expected[i].cls, t.className);
        if (expected[i].text != NULL) {
            EXPECT_EQ(expected[i].text, t.text);
        }
        EXPECT_EQ(expected[i].style, t.style);
        EXPECT_EQ(expected[i].exStyle, t.exStyle);
        EXPECT_EQ(expected[i].x, t.x);
        EXPECT_EQ(expected[i].y, t.y);
        EXPECT_EQ(expected[i].cx, t.cx);
        EXPECT_EQ(expected[i].cy, t.cy);
    }
    // The notice line names the product, a version and the rights.
    const std::string &notice = d.items[11].text;
    EXPECT_NE(std::string::npos, notice.find("Velmora")) << notice;
    EXPECT_NE(std::string::npos, notice.find("Version")) << notice;
    EXPECT_NE(std::string::npos, notice.find("Copyright")) << notice;
}

TEST(ConfigResources, ColorBitmapsAreSwatchesOfThePalette)
{
    HINSTANCE module = GetModuleHandleA(NULL);
    for (int i = 0; i < 6; i++) {
        std::string name = "IDB_COL" + std::to_string(i);
        SCOPED_TRACE(name);
        HRSRC found = FindResourceExA(module, (LPCSTR)RT_BITMAP, name.c_str(), kJapanese);
        ASSERT_TRUE(found != NULL);
        const BITMAPINFOHEADER *info = (const BITMAPINFOHEADER *)LockResource(LoadResource(module, found));
        EXPECT_EQ(20, info->biWidth);
        EXPECT_EQ(20, info->biHeight);
        EXPECT_EQ(8, info->biBitCount);
        EXPECT_TRUE(info->biClrUsed == 0 || info->biClrUsed == 256) << info->biClrUsed;

        HBITMAP bitmap = (HBITMAP)LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        ASSERT_TRUE(bitmap != NULL);
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, bitmap);
        Picture picture = CapturePicture(dc, 0, 0, 20, 20);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        int wrong = 0;
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 20; x++)
                wrong += picture.At(x, y) != BackPalette[i];
        EXPECT_EQ(0, wrong) << "pixels not of color " << std::hex << BackPalette[i];
    }
}

TEST(ConfigResources, IconAndStrings)
{
    HINSTANCE module = GetModuleHandleA(NULL);
    EXPECT_TRUE(FindResourceA(module, MAKEINTRESOURCEA(IDI_SAVER), (LPCSTR)RT_GROUP_ICON) != NULL);
    EXPECT_TRUE(LoadIconA(module, MAKEINTRESOURCEA(IDI_SAVER)) != NULL);
    char text[256];
    ASSERT_GT(LoadStringA(module, IDS_PRODUCT, text, sizeof text), 0);
    EXPECT_STREQ("Velmora", text);
    ASSERT_GT(LoadStringA(module, IDS_SAVEFAILED, text, sizeof text), 0);
    EXPECT_EQ(Sjis("設定値の登録に失敗しました。"), text);
}

// --- the dialog run modally, driven by a thread timer --------------------------------------

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saverHost.instance = GetModuleHandleA(NULL);
        ClearClockRegistry();
        memset(&ClockSettings, 0, sizeof ClockSettings);
    }
    void TearDown() override { ClearClockRegistry(); }
};

// What the timer does once the dialog is up; it runs once per dialog.
void (*dialogAction)(HWND dialog);
HWND seenDialog;

HWND FindConfigDialog()
{
    return FindWindowA("#32770", Sjis("ｽｸﾘｰﾝｾｰﾊﾞｰの設定").c_str());
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindConfigDialog();
    if (dialog == NULL || !IsWindowVisible(dialog))
        return;
    KillTimer(NULL, timer);
    seenDialog = dialog;
    dialogAction(dialog);
}

INT_PTR RunConfigDialog(void (*action)(HWND))
{
    dialogAction = action;
    seenDialog = NULL;
    UINT_PTR timer = SetTimer(NULL, 0, 50, DriveDialog);
    INT_PTR result = DialogBoxParamA(saverHost.instance, MAKEINTRESOURCEA(IDD_CONFIG), NULL, SaverConfigDialogProc, 0);
    KillTimer(NULL, timer);
    return result;
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::vector<int> CheckedColors(HWND dialog)
{
    std::vector<int> ids;
    for (int id = IDC_BACKCOL0; id <= IDC_BACKCOL5; id++) {
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            ids.push_back(id);
    }
    return ids;
}

std::vector<int> checkedAtOpen;
UINT loopAtOpen, penAtOpen;

TEST_F(ConfigDialogTest, OkWritesEveryValue)
{
    INT_PTR result = RunConfigDialog([](HWND dialog) {
        ClockSettings.TextCol = RGB(9, 8, 7);   // as the font dialog would leave it
        Click(dialog, IDC_BACKCOL3);
        Click(dialog, IDC_BACKLOOP);
        Click(dialog, IDC_TEXTPEN);
        UpdateWindow(dialog);
        PumpFor(100);
        RECT r;
        GetWindowRect(dialog, &r);
        HDC screen = GetDC(NULL);
        SavePictureArtefact(CapturePicture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top),
                            "config-dialog.bmp");
        ReleaseDC(NULL, screen);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(seenDialog != NULL);
    const struct {
        const char *key, *name;
        DWORD type;
        size_t size;
    } values[] = {
        {kSettingsKey, "TextCol", REG_DWORD, 4}, {kSettingsKey, "TextPen", REG_BINARY, 4},
        {kSettingsKey, "BackCol", REG_BINARY, 1}, {kSettingsKey, "BackLoop", REG_BINARY, 4},
        {kFontKey, "Height", REG_BINARY, 4},     {kFontKey, "Width", REG_BINARY, 4},
        {kFontKey, "Escapement", REG_BINARY, 4}, {kFontKey, "Orientation", REG_BINARY, 4},
        {kFontKey, "Weight", REG_BINARY, 4},     {kFontKey, "Italic", REG_BINARY, 1},
        {kFontKey, "Underline", REG_BINARY, 1},  {kFontKey, "StrikeOut", REG_BINARY, 1},
        {kFontKey, "CharSet", REG_BINARY, 1},    {kFontKey, "OutPrecision", REG_BINARY, 1},
        {kFontKey, "ClipPrecision", REG_BINARY, 1}, {kFontKey, "Quality", REG_BINARY, 1},
        {kFontKey, "PitchAndFamily", REG_BINARY, 1}, {kFontKey, "FaceName", REG_SZ, 1},
    };
    for (const auto &v : values) {
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, v.key, v.name, &type, &bytes)) << v.name;
        EXPECT_EQ(v.type, type) << v.name;
        EXPECT_EQ(v.size, bytes.size()) << v.name;
    }
    DWORD type;
    std::string bytes;
    RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "TextCol", &type, &bytes);
    EXPECT_EQ(Le32(RGB(9, 8, 7)), bytes);
    RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "BackCol", &type, &bytes);
    EXPECT_EQ(std::string("\x08", 1), bytes) << "button 1010 is palette entry 3";
    RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "TextPen", &type, &bytes);
    EXPECT_EQ(Le32(1), bytes);
    RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "BackLoop", &type, &bytes);
    EXPECT_EQ(Le32(1), bytes);
}

TEST_F(ConfigDialogTest, CancelWritesNothing)
{
    INT_PTR result = RunConfigDialog([](HWND dialog) {
        ClockSettings.TextCol = RGB(9, 8, 7);
        Click(dialog, IDC_BACKCOL2);
        Click(dialog, IDC_TEXTPEN);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(seenDialog != NULL);
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Norvane Settings", 0, KEY_READ, &key))
        << "nothing at all is created";
}

TEST_F(ConfigDialogTest, StoredSettingsShowWhenTheDialogOpens)
{
    WriteRawValue(kSettingsKey, "BackCol", REG_BINARY, std::string("\x25", 1));   // bits 0, 2 and 5
    WriteRawValue(kSettingsKey, "BackLoop", REG_BINARY, Le32(1));
    WriteRawValue(kSettingsKey, "TextPen", REG_BINARY, Le32(1));
    RunConfigDialog([](HWND dialog) {
        checkedAtOpen = CheckedColors(dialog);
        loopAtOpen = IsDlgButtonChecked(dialog, IDC_BACKLOOP);
        penAtOpen = IsDlgButtonChecked(dialog, IDC_TEXTPEN);
        // The color buttons show their bitmaps.
        for (int id = IDC_BACKCOL0; id <= IDC_BACKCOL5; id++)
            EXPECT_TRUE(SendDlgItemMessageA(dialog, id, BM_GETIMAGE, IMAGE_BITMAP, 0) != 0) << id;
        // One click leaves only that button checked.
        Click(dialog, IDC_BACKCOL1);
        EXPECT_EQ(std::vector<int>{IDC_BACKCOL1}, CheckedColors(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<int>{IDC_BACKCOL0, IDC_BACKCOL2, IDC_BACKCOL5}), checkedAtOpen);
    EXPECT_EQ((UINT)BST_CHECKED, loopAtOpen);
    EXPECT_EQ((UINT)BST_CHECKED, penAtOpen);
}

TEST_F(ConfigDialogTest, OkWithSeveralStoredBitsKeepsTheLastCheckedOne)
{
    WriteRawValue(kSettingsKey, "BackCol", REG_BINARY, std::string("\x24", 1));
    RunConfigDialog([](HWND dialog) { Click(dialog, IDOK); });
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "BackCol", &type, &bytes));
    EXPECT_EQ(std::string("\x20", 1), bytes) << "the walk ends with button 1012";
}

TEST_F(ConfigDialogTest, OtherCommandsDoNothing)
{
    RunConfigDialog([](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(4711, BN_CLICKED), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BACKCOL0, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
        Click(dialog, IDCANCEL);
    });
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key));
}

// The font dialog: a thread timer answers it, and notes any message box of ours.
HWND fontOwner;
int fontAnswer;
bool fontDialogSeen, errorBoxSeen;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || GetWindow(window, GW_OWNER) != fontOwner || !IsWindowVisible(window))
        return TRUE;
    if (WindowText(window) == "Velmora") {
        errorBoxSeen = true;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    } else {
        fontDialogSeen = true;
        PostMessageA(window, WM_COMMAND, fontAnswer, 0);
    }
    return TRUE;
}

void CALLBACK AnswerFontDialog(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, 0);
}

void ChooseFontAnswering(HWND dialog, int answer)
{
    fontOwner = dialog;
    fontAnswer = answer;
    UINT_PTR timer = SetTimer(NULL, 0, 100, AnswerFontDialog);
    // The click runs the font dialog's own loop until our timer answers it.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHOOSEFONT, BN_CLICKED), 0);
    KillTimer(NULL, timer);
}

LOGFONTA fontBefore, fontAfter;
COLORREF colorAfter;

TEST_F(ConfigDialogTest, CancelledFontDialogShowsNothingAndChangesNothing)
{
    WriteRawValue(kFontKey, "Height", REG_BINARY, Le32((DWORD)-20));
    WriteRawValue(kFontKey, "FaceName", REG_SZ, Sjis("ＭＳ ゴシック") + '\0');
    WriteRawValue(kSettingsKey, "TextCol", REG_DWORD, Le32(RGB(0, 128, 0)));
    fontDialogSeen = errorBoxSeen = false;
    RunConfigDialog([](HWND dialog) {
        fontBefore = ClockSettings.Font;
        ChooseFontAnswering(dialog, IDCANCEL);
        fontAfter = ClockSettings.Font;
        colorAfter = ClockSettings.TextCol;
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(fontDialogSeen);
    EXPECT_FALSE(errorBoxSeen);
    EXPECT_EQ(0, memcmp(&fontBefore, &fontAfter, sizeof fontBefore));
    EXPECT_EQ(RGB(0, 128, 0), colorAfter);
}

TEST_F(ConfigDialogTest, FontChosenThenOkStoresTheFontAndItsColor)
{
    WriteRawValue(kFontKey, "Height", REG_BINARY, Le32((DWORD)-20));
    WriteRawValue(kFontKey, "FaceName", REG_SZ, Sjis("ＭＳ ゴシック") + '\0');
    WriteRawValue(kSettingsKey, "TextCol", REG_DWORD, Le32(RGB(0, 128, 0)));
    fontDialogSeen = errorBoxSeen = false;
    RunConfigDialog([](HWND dialog) {
        ChooseFontAnswering(dialog, IDOK);
        fontAfter = ClockSettings.Font;
        colorAfter = ClockSettings.TextCol;
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(fontDialogSeen);
    EXPECT_FALSE(errorBoxSeen);
    EXPECT_NE(0, fontAfter.lfHeight) << "the font dialog wrote its font into the record";
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, kFontKey, "Height", &type, &bytes));
    EXPECT_EQ(Le32((DWORD)fontAfter.lfHeight), bytes);
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, kFontKey, "FaceName", &type, &bytes));
    EXPECT_EQ(std::string(fontAfter.lfFaceName) + '\0', bytes);
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, kSettingsKey, "TextCol", &type, &bytes));
    EXPECT_EQ(Le32(colorAfter), bytes);
}

}  // namespace
