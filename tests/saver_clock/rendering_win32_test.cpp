// The clock's picture in real windows: over a desktop of a known color the saver window
// shows that color ANDed with the palette color, the text in the middle, filled or
// outlined; the preview scales its font; the window's messages go where they should.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "clocksettings.h"
#include "clocktestsupport.h"
#include "clockwindow.h"
#include "saverhost.h"
#include "testsupport.h"

namespace {

const COLORREF kDesktopColor = RGB(200, 150, 100);
const COLORREF kTextColor = RGB(255, 0, 0);

// Stands in for the host's class procedure: every message goes to the clock.
LRESULT CALLBACK TestSaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

class ClockRenderingTest : public ::testing::Test {
protected:
    HWND backdrop = NULL;
    int screenW = 0, screenH = 0;

    void SetUp() override
    {
        saverHost = SaverHostState();
        saverHost.instance = GetModuleHandleA(NULL);
        ClearClockRegistry();
        ClockSettings.BackIndex = 0;
        hostDefaultMessages.clear();
        screenW = GetSystemMetrics(SM_CXSCREEN);
        screenH = GetSystemMetrics(SM_CYSCREEN);

        static bool registered = false;
        if (!registered) {
            WNDCLASSA cls = {};
            cls.lpfnWndProc = TestSaverClassProc;
            cls.hInstance = saverHost.instance;
            cls.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
            cls.lpszClassName = "ClockTestSaver";
            cls.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
            ASSERT_NE(0, RegisterClassA(&cls));
            cls.lpfnWndProc = PlainProc;
            cls.hbrBackground = CreateSolidBrush(kDesktopColor);
            cls.lpszClassName = "ClockTestBackdrop";
            cls.style = 0;
            ASSERT_NE(0, RegisterClassA(&cls));
            registered = true;
        }
        // The "desktop" the saver will photograph: one color over the whole screen.
        backdrop = CreateWindowExA(0, "ClockTestBackdrop", "backdrop", WS_POPUP | WS_VISIBLE, 0, 0, screenW, screenH,
                                   NULL, NULL, saverHost.instance, NULL);
        ASSERT_TRUE(backdrop != NULL);
        UpdateWindow(backdrop);
        PumpFor(200);
    }

    void TearDown() override
    {
        DestroyWindow(backdrop);
        ClearClockRegistry();
        saverHost.isPreview = false;
    }

    // A bold face large enough that filled strokes are many pixels wide.
    void StoreTextSettings(BYTE backCol, DWORD textPen)
    {
        WriteRawValue(kSettingsKey, "TextCol", REG_DWORD, Le32(kTextColor));
        WriteRawValue(kSettingsKey, "TextPen", REG_BINARY, Le32(textPen));
        WriteRawValue(kSettingsKey, "BackCol", REG_BINARY, std::string(1, (char)backCol));
        WriteRawValue(kFontKey, "Height", REG_BINARY, Le32((DWORD)-110));
        WriteRawValue(kFontKey, "Weight", REG_BINARY, Le32(FW_HEAVY));
        WriteRawValue(kFontKey, "CharSet", REG_BINARY, std::string("\x80", 1));
        WriteRawValue(kFontKey, "FaceName", REG_SZ, Sjis("ＭＳ ゴシック") + '\0');
    }

    HWND CreateSaver(HWND parent, int width, int height)
    {
        // Let the backdrop repaint where an earlier saver window was.
        RedrawWindow(backdrop, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpFor(100);
        DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN : WS_POPUP | WS_VISIBLE;
        DWORD exStyle = parent ? 0 : WS_EX_TOPMOST;
        HWND saver = CreateWindowExA(exStyle, "ClockTestSaver", parent ? "Preview" : "Screen Saver", style, 0, 0,
                                     width, height, parent, NULL, saverHost.instance, NULL);
        if (saver != NULL)
            UpdateWindow(saver);
        return saver;
    }

    // Destroys the saver window; its destruction must post the quit message.
    void DestroySaver(HWND saver)
    {
        DestroyWindow(saver);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_DESTROY posts the quit message";
    }

    Picture Capture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        Picture picture = CapturePicture(dc, 0, 0, client.right, client.bottom);
        ReleaseDC(window, dc);
        return picture;
    }
};

COLORREF AndColors(COLORREF a, COLORREF b)
{
    return a & b;
}

void ExpectCorners(const Picture &p, COLORREF expected, const char *what)
{
    const int xs[2] = {2, p.width - 3}, ys[2] = {2, p.height - 3};
    for (int x : xs)
        for (int y : ys)
            EXPECT_EQ(expected, p.At(x, y)) << what << " corner " << x << "," << y << " expected " << std::hex
                                            << expected << " seen " << p.At(x, y);
}

TEST_F(ClockRenderingTest, EveryPaletteColorTintsTheDesktopAndTheTextIsInTheMiddle)
{
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE("palette entry " + std::to_string(i));
        StoreTextSettings((BYTE)(1 << i), 0);
        HWND saver = CreateSaver(NULL, screenW, screenH);
        ASSERT_TRUE(saver != NULL);
        EXPECT_EQ(i, ClockSettings.BackIndex);
        SendMessageA(saver, WM_TIMER, 1, 0);
        Picture p = Capture(saver);
        ASSERT_EQ(screenW, p.width);
        ExpectCorners(p, AndColors(kDesktopColor, BackPalette[i]), "full screen");
        // Text in each of the three bands around the middle, none near the edges.
        int lineH = 110;
        int middle = screenH / 2;
        EXPECT_GT(p.Count(kTextColor, 0, middle - lineH * 3 / 2 - 10, screenW, middle - lineH / 2), 200)
            << "date line";
        EXPECT_GT(p.Count(kTextColor, 0, middle - lineH / 2, screenW, middle + lineH / 2), 200)
            << "weekday line";
        EXPECT_GT(p.Count(kTextColor, 0, middle + lineH / 2, screenW, middle + lineH * 3 / 2 + 10), 200)
            << "time line";
        EXPECT_EQ(0, p.Count(kTextColor, 0, 0, screenW, 60));
        if (i == 0)
            SavePictureArtefact(p, "fullscreen-filled.bmp");
        DestroySaver(saver);
    }
}

TEST_F(ClockRenderingTest, OutlineModeDrawsOnlyOutlines)
{
    const struct {
        DWORD textPen;
        bool outline;
        const char *artefact;
    } cases[] = {
        {0, false, NULL},
        {1, true, "fullscreen-outline.bmp"},
        {2, false, NULL},   // only exactly 1 means outlines
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("TextPen " + std::to_string(c.textPen));
        StoreTextSettings(0x24, c.textPen);
        HWND saver = CreateSaver(NULL, screenW, screenH);
        ASSERT_TRUE(saver != NULL);
        EXPECT_EQ(5, ClockSettings.BackIndex) << "bits 2 and 5: the highest wins";
        SendMessageA(saver, WM_TIMER, 1, 0);
        Picture p = Capture(saver);
        ExpectCorners(p, AndColors(kDesktopColor, RGB(0, 255, 255)), "cyan");
        int pixels = p.Count(kTextColor, 0, 0, p.width, p.height);
        int solid = p.SolidBlocks(kTextColor);
        EXPECT_GT(pixels, 500);
        if (c.outline)
            EXPECT_EQ(0, solid) << pixels << " text pixels";
        else
            EXPECT_GT(solid, 100) << pixels << " text pixels";
        if (c.artefact)
            SavePictureArtefact(p, c.artefact);
        DestroySaver(saver);
    }
}

TEST_F(ClockRenderingTest, OnlyTimerOneDrawsAndNoTimerReachesTheHost)
{
    StoreTextSettings(0x01, 0);
    HWND saver = CreateSaver(NULL, screenW, screenH);
    ASSERT_TRUE(saver != NULL);
    EXPECT_EQ(0, SendMessageA(saver, WM_TIMER, 2, 0));
    Picture before = Capture(saver);
    ExpectCorners(before, RGB(0, 0, 0), "class background before the first tick");
    SendMessageA(saver, WM_TIMER, 1, 0);
    ExpectCorners(Capture(saver), AndColors(kDesktopColor, BackPalette[0]), "after the first tick");
    // The window's own 250 ms timer keeps it drawn while messages flow.
    PumpFor(600);
    ExpectCorners(Capture(saver), AndColors(kDesktopColor, BackPalette[0]), "after ticking");
    for (UINT m : hostDefaultMessages) {
        EXPECT_NE((UINT)WM_TIMER, m);
        EXPECT_NE((UINT)WM_CREATE, m);
    }
    bool otherMessagesReachTheHost = false;
    for (UINT m : hostDefaultMessages)
        otherMessagesReachTheHost |= m == WM_PAINT || m == WM_ERASEBKGND || m == WM_NCCREATE;
    EXPECT_TRUE(otherMessagesReachTheHost);
    DestroySaver(saver);
    for (UINT m : hostDefaultMessages)
        EXPECT_NE((UINT)WM_DESTROY, m);
}

TEST_F(ClockRenderingTest, PreviewShrinksTheDesktopAndScalesTheFont)
{
    StoreTextSettings(0x04, 0);   // red
    HWND frame = CreateWindowExA(0, "ClockTestBackdrop", "frame", WS_POPUP | WS_VISIBLE, screenW - 400,
                                 screenH - 300, 320, 240, NULL, NULL, saverHost.instance, NULL);
    ASSERT_TRUE(frame != NULL);
    saverHost.isPreview = true;
    HWND saver = CreateSaver(frame, 320, 240);
    ASSERT_TRUE(saver != NULL);
    SendMessageA(saver, WM_TIMER, 1, 0);
    EXPECT_EQ(24, ClockSettings.Font.lfHeight) << "a tenth of 240";
    EXPECT_EQ(0, ClockSettings.Font.lfWidth);
    EXPECT_EQ(FW_HEAVY, ClockSettings.Font.lfWeight) << "the rest of the chosen font stays";
    Picture p = Capture(saver);
    ASSERT_EQ(320, p.width);
    // The screen's corners are the backdrop's color; red keeps only its red channel.
    EXPECT_EQ(AndColors(kDesktopColor, BackPalette[2]), p.At(1, 1));
    EXPECT_GT(p.Count(kTextColor, 0, 60, 320, 180), 50) << "the text in the middle of the preview";
    SavePictureArtefact(p, "preview.bmp");
    DestroyWindow(frame);   // takes the preview with it
    EXPECT_FALSE(IsWindow(saver));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ClockRenderingTest, DrawClockShowsTheGivenTime)
{
    // DrawClock on its own, with a snapshot of our making: the text is the time given.
    StoreTextSettings(0x01, 0);
    LoadClockSettings();
    HWND saver = CreateSaver(NULL, screenW, screenH);
    ASSERT_TRUE(saver != NULL);
    HDC screen = GetDC(NULL);
    HDC snapshot = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    HGDIOBJ old = SelectObject(snapshot, bitmap);
    RECT all = {0, 0, 64, 64};
    HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
    FillRect(snapshot, &all, white);
    struct tm local;
    memset(&local, 0, sizeof local);
    local.tm_year = 124;
    local.tm_mon = 5;
    local.tm_mday = 1;
    local.tm_wday = 6;
    local.tm_hour = 12;
    DrawClock(saver, snapshot, 64, 64, &local);
    Picture drawn = Capture(saver);
    ExpectCorners(drawn, BackPalette[0], "white snapshot ANDed with blue");

    // The weekday line measured with the same font sits centred.
    LOGFONTA font = ClockSettings.Font;
    HFONT hfont = CreateFontIndirectA(&font);
    HDC dc = GetDC(saver);
    HGDIOBJ oldFont = SelectObject(dc, hfont);
    SIZE size;
    GetTextExtentPoint32A(dc, "Saturday", 8, &size);
    SelectObject(dc, oldFont);
    ReleaseDC(saver, dc);
    DeleteObject(hfont);
    int left = (screenW - size.cx) / 2, top = (screenH - size.cy) / 2;
    EXPECT_GT(drawn.Count(kTextColor, left, top, left + size.cx, top + size.cy), 200);
    EXPECT_EQ(0, drawn.Count(kTextColor, 0, top, left - 2, top + size.cy)) << "nothing left of the line";
    SelectObject(snapshot, old);
    DeleteObject(bitmap);
    DeleteDC(snapshot);
    ReleaseDC(NULL, screen);
    DestroySaver(saver);
}

}  // namespace
