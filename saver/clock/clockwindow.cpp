#include "clockwindow.h"

#include "clockrules.h"
#include "clocksettings.h"
#include "saverhost.h"

// Valid from the window's creation to its destruction.
static HDC DesktopSnapshot;
static HBITMAP snapshotBitmap;
static int snapshotWidth;
static int snapshotHeight;
static UINT_PTR timerId;
static ClockTiming timing = {NO_SECOND_YET};

static void TakeDesktopSnapshot()
{
    snapshotWidth = GetSystemMetrics(SM_CXSCREEN);
    snapshotHeight = GetSystemMetrics(SM_CYSCREEN);
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    DesktopSnapshot = CreateCompatibleDC(screen);
    snapshotBitmap = CreateCompatibleBitmap(screen, snapshotWidth, snapshotHeight);
    SelectObject(DesktopSnapshot, snapshotBitmap);
    BitBlt(DesktopSnapshot, 0, 0, snapshotWidth, snapshotHeight, screen, 0, 0, SRCCOPY);
    ReleaseDC(desktop, screen);
}

static void OnCreate(HWND window)
{
    LoadClockSettings();
    TakeDesktopSnapshot();
    ClockSettings.BackIndex = BackIndexFromMask(ClockSettings.BackCol, ClockSettings.BackIndex);
    timing.lastSecond = NO_SECOND_YET;
    timerId = SetTimer(window, CLOCK_TIMER_ID, CLOCK_TIMER_PERIOD, NULL);
}

static void OnTimer(HWND window, WPARAM id)
{
    if (id != CLOCK_TIMER_ID)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    struct tm local;
    ClockTimeRecord(ClockDateTime{now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute,
                                  now.wSecond},
                    &local);
    if (!ClockTick(&timing, local.tm_sec, ClockSettings.BackLoop, &ClockSettings.BackIndex))
        return;
    DrawClock(window, DesktopSnapshot, snapshotWidth, snapshotHeight, &local);
}

static void OnDestroy(HWND window)
{
    if (timerId != 0) {
        KillTimer(window, timerId);
        timerId = 0;
    }
    if (DesktopSnapshot != NULL) {
        DeleteDC(DesktopSnapshot);
        DesktopSnapshot = NULL;
    }
    if (snapshotBitmap != NULL) {
        DeleteObject(snapshotBitmap);
        snapshotBitmap = NULL;
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_TIMER:
        OnTimer(window, wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    default:
        return HostDefaultProc(window, message, wParam, lParam);
    }
}

static void DrawLine(HDC dc, int width, int height, ClockLine line, const char *text)
{
    int length = lstrlenA(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    int x, y;
    ClockLineOrigin(width, height, size.cx, size.cy, line, &x, &y);
    TextOutA(dc, x, y, text, length);
}

void DrawClock(HWND window, HDC snapshot, int snapWidth, int snapHeight, const struct tm *local)
{
    HDC windowDC = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;

    HDC dc = CreateCompatibleDC(windowDC);
    HBITMAP surface = CreateCompatibleBitmap(windowDC, width, height);
    HGDIOBJ previousBitmap = SelectObject(dc, surface);

    int index = ClockSettings.BackIndex;
    if (index < 0 || index >= BACK_COLOR_COUNT)
        index = 0;
    HBRUSH brush = CreateSolidBrush(BackPalette[index]);
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    FillRect(dc, &client, brush);
    SelectObject(dc, previousBrush);
    DeleteObject(brush);

    // Each channel of the desktop survives where the palette color is full, else clears.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, width, height, snapshot, 0, 0, snapWidth, snapHeight, SRCAND);

    ClockLines lines;
    FormatClockLines(local, &lines);
    SetBkMode(dc, TRANSPARENT);
    if (saverHost.isPreview) {
        ClockSettings.Font.lfWidth = 0;
        ClockSettings.Font.lfHeight = PreviewFontHeight(height);
    }
    HFONT font = CreateFontIndirectA(&ClockSettings.Font);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetTextColor(dc, ClockSettings.TextCol);

    bool outline = ClockSettings.TextPen == 1;
    HPEN pen = NULL;
    HGDIOBJ previousPen = NULL;
    if (outline) {
        LOGBRUSH penBrush = {BS_SOLID, ClockSettings.TextCol, 0};
        pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 1, &penBrush, 0, NULL);
        previousPen = SelectObject(dc, pen);
        BeginPath(dc);
    }
    DrawLine(dc, width, height, DATE_LINE, lines.date);
    DrawLine(dc, width, height, WEEKDAY_LINE, lines.weekday);
    DrawLine(dc, width, height, TIME_LINE, lines.time);
    if (outline) {
        EndPath(dc);
        StrokePath(dc);
        SelectObject(dc, previousPen);
        DeleteObject(pen);
    }
    SelectObject(dc, previousFont);
    DeleteObject(font);

    BitBlt(windowDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, previousBitmap);
    DeleteDC(dc);
    DeleteObject(surface);
    ReleaseDC(window, windowDC);
}
