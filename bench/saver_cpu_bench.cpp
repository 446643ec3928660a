// Benchmark driver of bench/saver-clock-bench.sh (not a test): starts the real Tessary.scr /s
// under Wine, lets it run, and reports the share of one core its process used, read with
// GetProcessTimes on the saver's process handle. Usage: saver_cpu_bench [seconds]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "saverdriver.h"

static double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

static const char kRootKey[] = "Software\\Norvane Settings";
static const char kSettingsKey[] = "Software\\Norvane Settings\\Velmora";
static const char kFontKey[] = "Software\\Norvane Settings\\Velmora\\Font";

static void SetBinary(const char *key, const char *name, DWORD value, DWORD size)
{
    HKEY handle;
    if (RegCreateKeyA(HKEY_CURRENT_USER, key, &handle) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, name, 0, REG_BINARY, (const BYTE *)&value, size);
    RegCloseKey(handle);
}

static void StoreLargeOutlinedFont()
{
    SetBinary(kSettingsKey, "TextPen", 1, 4);
    SetBinary(kFontKey, "Height", (DWORD)-(GetSystemMetrics(SM_CYSCREEN) / 8), 4);
    SetBinary(kFontKey, "Weight", FW_HEAVY, 4);
}

static bool MeasureSaver(const char *what, int seconds)
{
    ChildProcess child;
    if (!StartSaver("/s", &child)) {
        printf("Tessary.scr /s (%s): could not start %s\n", what, BuiltProgram("Tessary.scr").c_str());
        return false;
    }
    HWND window = WaitFullScreen(child);
    if (window == NULL) {
        printf("Tessary.scr /s (%s): no full-screen window\n", what);
        StopChild(&child);
        return false;
    }
    PumpFor(1000);   // past start-up and the first picture
    double cpuStart = ProcessCpuSeconds(child.process), wallStart = Now();
    PumpFor((DWORD)seconds * 1000);
    double cpuEnd = ProcessCpuSeconds(child.process), wallEnd = Now();
    bool running = IsWindow(window) != FALSE;
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    DWORD code = 0;
    bool ended = EndsWithin(&child, 10000, &code);
    StopChild(&child);
    double wall = wallEnd - wallStart, cpu = cpuEnd - cpuStart;
    if (cpuStart < 0 || cpuEnd < 0)
        printf("Tessary.scr /s (%s): GetProcessTimes failed\n", what);
    else
        printf("Tessary.scr /s %dx%d (%s) for %.1f s: %.2f s CPU, %.2f%% of one core%s%s\n",
               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), what, wall, cpu, 100.0 * cpu / wall,
               running ? "" : " [saver ended early]", ended ? "" : " [did not end on a key]");
    return running && ended;
}

int main(int argc, char **argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 20;
    setvbuf(stdout, NULL, _IONBF, 0);
    RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
    bool ok = MeasureSaver("stored settings: none", seconds);
    StoreLargeOutlinedFont();
    ok = MeasureSaver("heavy font of an eighth of the height, outlined", seconds) && ok;
    RegDeleteTree(HKEY_CURRENT_USER, kRootKey);
    return ok ? 0 : 1;
}
