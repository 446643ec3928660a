// Test fixture standing in for the Windows 95 password control-panel module PASSWORD.CPL,
// which Wine does not have. Built as PASSWORD.CPL and placed beside a copy of Tessary.scr.
// It records its load and each call in fixture-calls.txt beside itself and answers as
// verify-answer.txt says: "1" allows leaving, anything else refuses; "0+key" refuses and
// posts a key press to the saver before returning, a second close request at once.
#include <windows.h>

#include <stdio.h>
#include <string.h>

static char folder[MAX_PATH];

static void Record(const char *line)
{
    char path[MAX_PATH + 32];
    snprintf(path, sizeof path, "%sfixture-calls.txt", folder);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
}

static void Answer(char *text, DWORD size)
{
    char path[MAX_PATH + 32];
    snprintf(path, sizeof path, "%sverify-answer.txt", folder);
    text[0] = '\0';
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD got = 0;
    ReadFile(file, text, size - 1, &got, NULL);
    text[got] = '\0';
    CloseHandle(file);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DWORD n = GetModuleFileNameA(instance, folder, sizeof folder);
        while (n > 0 && folder[n - 1] != '\\')
            n--;
        folder[n] = '\0';
        Record("load\r\n");
    } else if (reason == DLL_PROCESS_DETACH) {
        Record("unload\r\n");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    char answer[16];
    Answer(answer, sizeof answer);
    char line[64];
    snprintf(line, sizeof line, "verify %lu\r\n", (unsigned long)(DWORD)(UINT_PTR)window);
    Record(line);
    if (strncmp(answer, "0+key", 5) == 0)
        PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    return answer[0] == '1';
}
