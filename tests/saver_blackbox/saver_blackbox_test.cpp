// The real Tessary.scr started as the Display control panel starts it, judged only by what a
// user and the platform can see: dialog 2003 and the registry it leaves behind, the picture
// on the screen in full-screen mode, the preview inside a frame window of ours.
#include <gtest/gtest.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "saverdriver.h"
#include "saverres.h"

namespace {

const char kRootKey[] = "Software\\Norvane Settings";
const char kSettingsKey[] = "Software\\Norvane Settings\\Velmora";
const char kFontKey[] = "Software\\Norvane Settings\\Velmora\\Font";

// A registry value as the test reads it back: its type and its bytes.
struct Stored {
    DWORD type;
    std::string bytes;
    bool operator==(const Stored &other) const { return type == other.type && bytes == other.bytes; }
};
typedef std::map<std::string, Stored> KeyValues;

std::ostream &operator<<(std::ostream &out, const Stored &value)
{
    out << "type " << value.type << ", " << value.bytes.size() << " bytes:";
    for (unsigned char c : value.bytes)
        out << ' ' << std::hex << (int)c << std::dec;
    return out;
}

std::string Byte(unsigned char value)
{
    return std::string(1, (char)value);
}

void StoreValues(const char *key, const KeyValues &values)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, key, &handle)) << key;
    for (const auto &value : values) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, value.first.c_str(), 0, value.second.type,
                                                (const BYTE *)value.second.bytes.data(),
                                                (DWORD)value.second.bytes.size()))
            << value.first;
    }
    RegCloseKey(handle);
}

// Every value of a key; false when the key does not exist.
bool ReadKey(const char *key, KeyValues *values)
{
    values->clear();
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; index++) {
        char name[256];
        BYTE data[512];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(handle, index, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        (*values)[name] = Stored{type, std::string((const char *)data, dataSize)};
    }
    RegCloseKey(handle);
    return true;
}

bool KeyExists(const char *key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void ExpectKey(const char *key, const KeyValues &expected)
{
    KeyValues seen;
    ASSERT_TRUE(ReadKey(key, &seen)) << key << " was not created";
    for (const auto &value : expected) {
        auto found = seen.find(value.first);
        if (found == seen.end())
            ADD_FAILURE() << key << ": no value " << value.first;
        else
            EXPECT_EQ(value.second, found->second) << key << ": " << value.first;
    }
    for (const auto &value : seen) {
        EXPECT_TRUE(expected.count(value.first)) << key << ": unexpected value " << value.first;
    }
}

// The font as a user might have stored it earlier, one value of each size and a face name.
KeyValues StoredFont()
{
    return {
        {"Height", {REG_BINARY, Le32((DWORD)-24)}},  {"Width", {REG_BINARY, Le32(7)}},
        {"Escapement", {REG_BINARY, Le32(0)}},       {"Orientation", {REG_BINARY, Le32(0)}},
        {"Weight", {REG_BINARY, Le32(FW_BOLD)}},     {"Italic", {REG_BINARY, Byte(1)}},
        {"Underline", {REG_BINARY, Byte(0)}},        {"StrikeOut", {REG_BINARY, Byte(1)}},
        {"CharSet", {REG_BINARY, Byte(SHIFTJIS_CHARSET)}}, {"OutPrecision", {REG_BINARY, Byte(3)}},
        {"ClipPrecision", {REG_BINARY, Byte(2)}},    {"Quality", {REG_BINARY, Byte(1)}},
        {"PitchAndFamily", {REG_BINARY, Byte(0x31)}}, {"FaceName", {REG_SZ, Sjis("ＭＳ ゴシック") + '\0'}},
    };
}

// What a save writes when nothing was stored and nothing chosen: the all-zero font.
KeyValues DefaultFont()
{
    KeyValues font;
    for (const char *name : {"Height", "Width", "Escapement", "Orientation", "Weight"})
        font[name] = Stored{REG_BINARY, Le32(0)};
    for (const char *name : {"Italic", "Underline", "StrikeOut", "CharSet", "OutPrecision", "ClipPrecision",
                             "Quality", "PitchAndFamily"})
        font[name] = Stored{REG_BINARY, Byte(0)};
    font["FaceName"] = Stored{REG_SZ, std::string(1, '\0')};
    return font;
}

class SaverBlackBox : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTree(HKEY_CURRENT_USER, kRootKey); }
    void TearDown() override { RegDeleteTree(HKEY_CURRENT_USER, kRootKey); }
};

// --- configuration dialog -------------------------------------------------------------------

// A configuration process and its dialog 2003, ended by handle if the case did not end it.
struct ConfigRun {
    ChildProcess child;
    HWND dialog = NULL;
    ~ConfigRun() { StopChild(&child); }
    bool Start(const char *arguments)
    {
        if (!StartSaver(arguments, &child))
            return false;
        dialog = WaitForWindow(child.pid, "#32770", NULL, 10000);
        DWORD start = GetTickCount();
        while (dialog != NULL && !IsWindowVisible(dialog) && GetTickCount() - start < 10000)
            PumpFor(20);
        return dialog != NULL && IsWindowVisible(dialog);
    }
    // A click as the user gives it, so that the automatic buttons change their state.
    void Click(int id)
    {
        SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, NULL);
    }
    UINT Checked(int id) { return IsDlgButtonChecked(dialog, id); }
};

TEST_F(SaverBlackBox, ConfigureOkWritesEveryValueWithItsTypeAndSize)
{
    const struct {
        const char *name;
        const char *arguments;
        bool stored;
        std::vector<int> clicks;
        KeyValues settings, font;
    } cases[] = {
        {"/c over stored settings, a color and both boxes clicked", "/c", true,
         {IDC_BACKCOL2, IDC_BACKLOOP, IDC_TEXTPEN},
         {{"TextCol", {REG_DWORD, Le32(RGB(12, 34, 56))}},
          {"TextPen", {REG_BINARY, Le32(1)}},
          {"BackCol", {REG_BINARY, Byte(0x04)}},
          {"BackLoop", {REG_BINARY, Le32(1)}}},
         StoredFont()},
        {"no letter, nothing stored, nothing changed", "", false, {},
         {{"TextCol", {REG_DWORD, Le32(RGB(255, 255, 255))}},
          {"TextPen", {REG_BINARY, Le32(0)}},
          {"BackCol", {REG_BINARY, Byte(0x01)}},
          {"BackLoop", {REG_BINARY, Le32(0)}}},
         DefaultFont()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
        if (c.stored) {
            // TextCol stored as binary loads as well as a DWORD; the save writes a DWORD.
            StoreValues(kSettingsKey, {{"TextCol", {REG_BINARY, Le32(RGB(12, 34, 56))}},
                                       {"TextPen", {REG_BINARY, Le32(0)}},
                                       {"BackCol", {REG_BINARY, Byte(0x24)}},
                                       {"BackLoop", {REG_BINARY, Le32(0)}}});
            StoreValues(kFontKey, StoredFont());
        }
        ConfigRun run;
        ASSERT_TRUE(run.Start(c.arguments));
        EXPECT_EQ(Sjis("ｽｸﾘｰﾝｾｰﾊﾞｰの設定"), WindowText(run.dialog));
        for (int id : c.clicks)
            run.Click(id);
        if (c.stored) {
            PumpFor(500);   // let the dialog finish painting before the picture
            RECT area;
            GetWindowRect(run.dialog, &area);
            SaveScreenBitmap(SuiteFolder() + "\\config-dialog.bmp", area);
        }
        PressDialogButton(run.dialog, IDOK);
        DWORD code = 12345;
        ASSERT_TRUE(EndsWithin(&run.child, 10000, &code));
        EXPECT_EQ(1u, code) << "OK ends the dialog with 1";
        ExpectKey(kSettingsKey, c.settings);
        ExpectKey(kFontKey, c.font);
    }
}

TEST_F(SaverBlackBox, ConfigureCancelAndTheCloseBoxWriteNothing)
{
    KeyValues settings = {{"TextCol", {REG_DWORD, Le32(RGB(1, 2, 3))}},
                          {"TextPen", {REG_BINARY, Le32(0)}},
                          {"BackCol", {REG_BINARY, Byte(0x08)}},
                          {"BackLoop", {REG_BINARY, Le32(0)}}};
    const struct {
        const char *name;
        const char *arguments;
        bool stored;
        bool closeBox;
    } cases[] = {
        {"Cancel, nothing stored", "/c", false, false},
        {"close box, nothing stored", "", false, true},
        {"Cancel over stored settings", "", true, false},
        {"close box over stored settings", "/C", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
        if (c.stored) {
            StoreValues(kSettingsKey, settings);
            StoreValues(kFontKey, StoredFont());
        }
        ConfigRun run;
        ASSERT_TRUE(run.Start(c.arguments));
        run.Click(IDC_BACKCOL5);
        run.Click(IDC_TEXTPEN);
        run.Click(IDC_BACKLOOP);
        EXPECT_EQ((UINT)BST_CHECKED, run.Checked(IDC_BACKCOL5)) << "the clicks reached the dialog";
        if (c.closeBox)
            PostMessageA(run.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PressDialogButton(run.dialog, IDCANCEL);
        DWORD code = 12345;
        ASSERT_TRUE(EndsWithin(&run.child, 10000, &code));
        EXPECT_EQ(1u, code) << "Cancel ends the dialog with 1 too";
        if (c.stored) {
            ExpectKey(kSettingsKey, settings);
            ExpectKey(kFontKey, StoredFont());
        } else {
            EXPECT_FALSE(KeyExists(kRootKey)) << "a key was created";
        }
    }
}

// The registry refuses a lasting key below a volatile one: a way to make a save fail.
bool CreateVolatileKey(const char *path)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST_F(SaverBlackBox, ConfigureReportsAFailedSaveOnceAndStillEnds)
{
    const struct {
        const char *name;
        const char *volatileKey;
        bool settingsWritten;
    } cases[] = {
        {"settings key cannot be created", kRootKey, false},
        {"font key cannot be created after the settings", kSettingsKey, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
        ASSERT_TRUE(CreateVolatileKey(kRootKey));
        if (c.volatileKey != kRootKey) {
            ASSERT_TRUE(CreateVolatileKey(c.volatileKey));
        }
        ConfigRun run;
        ASSERT_TRUE(run.Start("/c"));
        run.Click(IDC_BACKCOL3);
        PressDialogButton(run.dialog, IDOK);
        HWND box = WaitForWindow(run.child.pid, "#32770", "Velmora", 10000);
        ASSERT_TRUE(box != NULL) << "no failure message";
        EXPECT_EQ(Utf8(Sjis("設定値の登録に失敗しました。")), Utf8(MessageBoxText(box)));
        EXPECT_EQ(run.dialog, GetWindow(box, GW_OWNER)) << "the box is owned by the dialog";
        PressDialogButton(box, IDOK);
        DWORD code = 12345;
        ASSERT_TRUE(EndsWithin(&run.child, 10000, &code)) << "a second box or a hang after the first";
        EXPECT_EQ(1u, code) << "the dialog ends with 1 whatever the save gave";
        EXPECT_FALSE(KeyExists(kFontKey));
        if (c.settingsWritten) {
            ExpectKey(kSettingsKey, {{"TextCol", {REG_DWORD, Le32(RGB(255, 255, 255))}},
                                     {"TextPen", {REG_BINARY, Le32(0)}},
                                     {"BackCol", {REG_BINARY, Byte(0x08)}},
                                     {"BackLoop", {REG_BINARY, Le32(0)}}});
        } else {
            EXPECT_FALSE(KeyExists(kSettingsKey));
        }
    }
}

TEST_F(SaverBlackBox, StoredColorBitsCheckSeveralButtons)
{
    const struct {
        unsigned char backCol;
        std::vector<int> checked;
    } cases[] = {
        {0x15, {IDC_BACKCOL0, IDC_BACKCOL2, IDC_BACKCOL4}},
        {0x3F, {IDC_BACKCOL0, IDC_BACKCOL1, IDC_BACKCOL2, IDC_BACKCOL3, IDC_BACKCOL4, IDC_BACKCOL5}},
        {0xC0, {}},   // no bit of a color: no button
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("BackCol " + std::to_string(c.backCol));
        StoreValues(kSettingsKey, {{"BackCol", {REG_BINARY, Byte(c.backCol)}},
                                   {"BackLoop", {REG_BINARY, Le32(1)}},
                                   {"TextPen", {REG_BINARY, Le32(1)}}});
        ConfigRun run;
        ASSERT_TRUE(run.Start("/c"));
        std::vector<int> checked;
        for (int id = IDC_BACKCOL0; id <= IDC_BACKCOL5; id++) {
            UINT state = run.Checked(id);
            EXPECT_TRUE(state == BST_CHECKED || state == BST_UNCHECKED) << id << ": " << state;
            if (state == BST_CHECKED)
                checked.push_back(id);
        }
        EXPECT_EQ(c.checked, checked);
        EXPECT_EQ((UINT)BST_CHECKED, run.Checked(IDC_BACKLOOP));
        EXPECT_EQ((UINT)BST_CHECKED, run.Checked(IDC_TEXTPEN));
        PressDialogButton(run.dialog, IDCANCEL);
        DWORD code = 12345;
        ASSERT_TRUE(EndsWithin(&run.child, 10000, &code));
        EXPECT_EQ(1u, code);
    }
}

// --- the picture --------------------------------------------------------------------------

const COLORREF kDesktopColor = RGB(200, 150, 100);
const COLORREF kFrameColor = RGB(255, 255, 255);   // CreateFrame's white

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The desktop the saver photographs: a window of ours in one color over the whole screen,
// shown before the saver starts.
struct Backdrop {
    HWND window = NULL;
    ~Backdrop()
    {
        if (window != NULL)
            DestroyWindow(window);
    }
    bool Show()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA backdropClass = {};
            backdropClass.lpfnWndProc = BackdropProc;
            backdropClass.hInstance = GetModuleHandleA(NULL);
            backdropClass.hbrBackground = CreateSolidBrush(kDesktopColor);
            backdropClass.lpszClassName = "BlackBoxBackdrop";
            registered = RegisterClassA(&backdropClass) != 0;
        }
        window = CreateWindowExA(0, "BlackBoxBackdrop", "backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        if (window == NULL)
            return false;
        UpdateWindow(window);
        PumpFor(300);
        RECT middle = {500, 380, 501, 381};
        return CaptureScreen(middle).At(0, 0) == kDesktopColor;
    }
};

// The text settings of a picture case: a heavy face large enough for filled strokes to be
// many pixels wide.
void StoreTextSettings(unsigned char backCol, DWORD textPen, COLORREF text)
{
    StoreValues(kSettingsKey, {{"TextCol", {REG_DWORD, Le32(text)}},
                               {"TextPen", {REG_BINARY, Le32(textPen)}},
                               {"BackCol", {REG_BINARY, Byte(backCol)}}});
    StoreValues(kFontKey, {{"Height", {REG_BINARY, Le32((DWORD)-110)}},
                           {"Weight", {REG_BINARY, Le32(FW_HEAVY)}},
                           {"CharSet", {REG_BINARY, Byte(SHIFTJIS_CHARSET)}},
                           {"FaceName", {REG_SZ, Sjis("ＭＳ ゴシック") + '\0'}}});
}

std::string Hex(COLORREF color)
{
    char text[16];
    snprintf(text, sizeof text, "%06lx", (unsigned long)color);
    return text;
}

TEST_F(SaverBlackBox, FullScreenTintsTheDesktopAndDrawsTheText)
{
    const struct {
        const char *name;
        unsigned char backCol;
        COLORREF palette;   // the color of the highest bit set
        DWORD textPen;
        COLORREF text;
        bool outline;
        const char *artefact;
    } cases[] = {
        {"red, filled", 0x04, RGB(255, 0, 0), 0, RGB(0, 255, 0), false, "fullscreen-filled.bmp"},
        {"bits 2 and 5 give cyan, outlined", 0x24, RGB(0, 255, 255), 1, RGB(255, 0, 0), true,
         "fullscreen-outline.bmp"},
    };
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const RECT screen = {0, 0, width, height};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
        StoreTextSettings(c.backCol, c.textPen, c.text);
        Backdrop backdrop;
        ASSERT_TRUE(backdrop.Show()) << "the known color is not on the screen";

        ChildProcess child;
        ASSERT_TRUE(StartSaver("/s", &child));
        if (WaitFullScreen(child) == NULL) {
            StopChild(&child);
            FAIL() << "no full-screen window";
        }
        PumpFor(1500);   // past the first second: the clock has drawn
        Picture p = CaptureScreen(screen);
        SaveScreenBitmap(SuiteFolder() + "\\" + c.artefact, screen);
        ASSERT_EQ(width, p.width);

        COLORREF tinted = kDesktopColor & c.palette;
        const POINT corners[] = {{2, 2}, {width - 3, 2}, {2, height - 3}, {width - 3, height - 3}};
        for (POINT corner : corners)
            EXPECT_EQ(Hex(tinted), Hex(p.At(corner.x, corner.y))) << "corner " << corner.x << "," << corner.y;
        // Three lines of about 110 pixels around the middle; nothing of the text elsewhere.
        int band = 110 * 3 / 2 + 20;
        int inBand = p.Count(c.text, 0, height / 2 - band, width, height / 2 + band);
        EXPECT_GT(inBand, 500) << "text color " << Hex(c.text) << " in the centre band";
        EXPECT_EQ(0, p.Count(c.text, 0, 0, width, height / 2 - band));
        EXPECT_EQ(0, p.Count(c.text, 0, height / 2 + band, width, height));
        int solid = p.SolidBlocks(c.text);
        if (c.outline)
            EXPECT_EQ(0, solid) << "outlined characters have no solid interior (" << inBand << " text pixels)";
        else
            EXPECT_GT(solid, 100) << "filled characters (" << inBand << " text pixels)";

        // A real key press on the display ends it.
        ASSERT_TRUE(PressKey("space"));
        DWORD code = 12345;
        EXPECT_TRUE(EndsWithin(&child, 10000, &code)) << "a key did not end the saver";
        StopChild(&child);
        EXPECT_EQ(0u, code);
    }
}

// Under Wine a child window draws to the screen only when its top-level window belongs to the
// same process: a preview inside a frame of ours stays invisible there, whatever it draws. The
// desktop window belongs to no process of ours, and a child of it shows; so the preview's
// picture is checked with the desktop as its frame. That the preview lives inside a small frame
// and ends with it is checked by the host's tests.
TEST_F(SaverBlackBox, PreviewDrawsWithTheFontScaledToItsWindow)
{
    const COLORREF text = RGB(255, 0, 255);
    StoreTextSettings(0x08, 0, text);   // green, and a 110-pixel font that the preview must not use
    Backdrop backdrop;
    ASSERT_TRUE(backdrop.Show());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const RECT screen = {0, 0, width, height};

    HWND frame = GetDesktopWindow();
    ChildProcess child;
    ASSERT_TRUE(StartSaver("/p " + HandleText(frame), &child));
    if (WaitPreview(frame) == NULL) {
        StopChild(&child);
        FAIL() << "no preview window";
    }
    PumpFor(1500);
    Picture p = CaptureScreen(screen);
    SaveScreenBitmap(SuiteFolder() + "\\preview-desktop.bmp", screen);
    StopChild(&child);   // nothing but its frame's end would end a preview
    ASSERT_EQ(width, p.width);

    EXPECT_EQ(0, p.Count(kDesktopColor, 0, 0, width, height)) << "the preview did not cover its frame";
    EXPECT_EQ(Hex(kDesktopColor & RGB(0, 255, 0)), Hex(p.At(2, 2)));
    // A tenth of the height a line: three lines within 1.5 tenths of the middle, where the
    // stored 110-pixel font would reach further.
    int line = height / 10;
    int band = line * 3 / 2 + 6;
    EXPECT_GT(p.Count(text, 0, height / 2 - band, width, height / 2 + band), 300) << "no text in the preview";
    EXPECT_EQ(0, p.Count(text, 0, 0, width, height / 2 - band)) << "text above the lines: font not scaled";
    EXPECT_EQ(0, p.Count(text, 0, height / 2 + band, width, height)) << "text below the lines: font not scaled";
}

}  // namespace
