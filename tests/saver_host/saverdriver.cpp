#include "saverdriver.h"

#include <stdio.h>
#include <string.h>

const char SaverClass[] = "WindowsScreenSaverClass";

bool StartSaver(const std::string &arguments, ChildProcess *child, const std::string &program)
{
    std::string path = program.empty() ? BuiltProgram("Tessary.scr") : program;
    return StartChild("\"" + path + "\" " + arguments, SuiteFolder(), child);
}

// The window is listed while its creation is still running (the clock takes its snapshot
// then); it is ready once it has become visible.
static HWND WhenVisible(HWND window, DWORD start)
{
    while (window != NULL && !IsWindowVisible(window) && GetTickCount() - start < 10000)
        PumpFor(20);
    return window;
}

HWND WaitFullScreen(const ChildProcess &child)
{
    DWORD start = GetTickCount();
    return WhenVisible(WaitForWindow(child.pid, SaverClass, "Screen Saver", 10000), start);
}

HWND WaitPreview(HWND frame)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND child = FindWindowExA(frame, NULL, SaverClass, "Preview");
        if (child != NULL || GetTickCount() - start >= 10000)
            return WhenVisible(child, start);
        PumpFor(20);
    }
}

bool EndsWithin(ChildProcess *child, DWORD ms, DWORD *code)
{
    return WaitChildPumping(child, ms, code);
}

bool StillRunningAfter(ChildProcess *child, DWORD ms)
{
    DWORD code = 0;
    if (!WaitChildPumping(child, ms, &code))
        return true;
    child->process = NULL;
    return false;
}

static BOOL CALLBACK FindVisible(HWND window, LPARAM param)
{
    DWORD *pid = (DWORD *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid[0] && IsWindowVisible(window)) {
        pid[1] = 1;
        return FALSE;
    }
    return TRUE;
}

bool ShowedAnyWindowUntilEnd(ChildProcess *child, DWORD ms, DWORD *code, bool *ended)
{
    DWORD watch[2] = {child->pid, 0};
    DWORD start = GetTickCount();
    *ended = false;
    while (!*ended && GetTickCount() - start < ms) {
        EnumWindows(FindVisible, (LPARAM)watch);
        *ended = WaitChildPumping(child, 5, code);
    }
    return watch[1] != 0;
}

static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateFrame(int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA frameClass = {};
        frameClass.lpfnWndProc = FrameProc;
        frameClass.hInstance = GetModuleHandleA(NULL);
        frameClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        frameClass.lpszClassName = "SaverTestFrame";
        registered = RegisterClassA(&frameClass) != 0;
    }
    return CreateWindowExA(0, "SaverTestFrame", "frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                           width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

std::string HandleText(HWND window)
{
    char text[16];
    snprintf(text, sizeof text, "%lu", (unsigned long)(DWORD)(UINT_PTR)window);
    return text;
}

void KeepScreenshot(HWND window, const char *fileName)
{
    RECT area;
    if (GetWindowRect(window, &area))
        SaveScreenBitmap(SuiteFolder() + "\\" + fileName, area);
}

bool MovePointer(int x, int y)
{
    char arguments[64];
    snprintf(arguments, sizeof arguments, " mousemove %d %d", x, y);
    ChildProcess tool;
    if (!StartChild(WinePath("/usr/bin/xdotool") + arguments, "", &tool))
        return false;
    // A Unix process's handle is not signalled reliably under Wine: watch the cursor instead.
    CloseHandle(tool.process);
    DWORD start = GetTickCount();
    for (;;) {
        POINT now;
        if (GetCursorPos(&now) && now.x == x && now.y == y)
            return true;
        if (GetTickCount() - start > 5000)
            return false;
        PumpFor(20);
    }
}

bool PressKey(const char *keyName)
{
    ChildProcess tool;
    if (!StartChild(WinePath("/usr/bin/xdotool") + " key " + keyName, "", &tool))
        return false;
    CloseHandle(tool.process);   // as in MovePointer: the Unix process's handle is not waited on
    return true;
}
