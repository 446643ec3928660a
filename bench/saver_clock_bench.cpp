// Benchmark of the clock, run by bench/saver-clock-bench.sh under Wine (not a test):
// the cost of one DrawClock at 1024 x 768 and 1920 x 1080, and the CPU share of a saver
// window ticking for a while with a stand-in for the host's message loop.
#include <windows.h>

#include "testsupport.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "clocksettings.h"
#include "clockwindow.h"
#include "saverhost.h"

// Stands in for the host, which this program does not link.
SaverHostState saverHost;

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK BenchClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SaverWindowProc(window, message, wParam, lParam);
}

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

static void MeasureDraw(int width, int height, LONG textPen, int rounds)
{
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "BenchSaver", "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  NULL, NULL, saverHost.instance, NULL);
    ClockSettings.TextPen = textPen;
    ClockSettings.Font.lfHeight = -height / 8;
    ClockSettings.Font.lfWeight = FW_BOLD;
    HDC screen = GetDC(NULL);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    HDC snapshot = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, sw, sh);
    HGDIOBJ old = SelectObject(snapshot, bitmap);
    BitBlt(snapshot, 0, 0, sw, sh, screen, 0, 0, SRCCOPY);
    time_t now = time(NULL);
    struct tm local = *localtime(&now);

    DrawClock(window, snapshot, sw, sh, &local);   // warm-up: fonts, surfaces
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; i++) {
        local.tm_sec = i % 60;
        DrawClock(window, snapshot, sw, sh, &local);
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    printf("DrawClock %4dx%-4d %-8s %7.2f ms per call (%d calls)\n", width, height,
           textPen == 1 ? "outline" : "filled", 1000.0 * Seconds(start, end) / rounds, rounds);
    SelectObject(snapshot, old);
    DeleteObject(bitmap);
    DeleteDC(snapshot);
    ReleaseDC(NULL, screen);
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
}

static void MeasureRunning(int seconds)
{
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "BenchSaver", "Screen Saver", WS_POPUP | WS_VISIBLE, 0, 0, sw, sh,
                                  NULL, NULL, saverHost.instance, NULL);
    double cpuStart = ProcessCpuSeconds(GetCurrentProcess());
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    SetTimer(NULL, 0, (UINT)seconds * 1000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL) {
            DestroyWindow(window);
            continue;
        }
        DispatchMessageA(&msg);
    }
    QueryPerformanceCounter(&now);
    double wall = Seconds(start, now);
    double cpu = ProcessCpuSeconds(GetCurrentProcess()) - cpuStart;
    printf("running %dx%d for %.1f s: %.2f s CPU, %.2f%% of one core (stand-in host loop, stored settings: none)\n", sw, sh, wall, cpu,
           100.0 * cpu / wall);
}

int main(int argc, char **argv)
{
    int runSeconds = argc > 1 ? atoi(argv[1]) : 20;
    int rounds = argc > 2 ? atoi(argv[2]) : 50;
    saverHost.instance = GetModuleHandleA(NULL);
    WNDCLASSA cls = {};
    cls.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    cls.lpfnWndProc = BenchClassProc;
    cls.hInstance = saverHost.instance;
    cls.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    cls.lpszClassName = "BenchSaver";
    RegisterClassA(&cls);
    setvbuf(stdout, NULL, _IONBF, 0);

    // Default colors; each measurement sets its own font size and outline choice.
    ResetClockSettings();
    const int sizes[][2] = {{1024, 768}, {1920, 1080}};
    for (const auto &size : sizes) {
        MeasureDraw(size[0], size[1], 0, rounds);
        MeasureDraw(size[0], size[1], 1, rounds);
    }
    if (runSeconds > 0)
        MeasureRunning(runSeconds);
    return 0;
}
