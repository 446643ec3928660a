// Test fixture standing in for the Windows 95 MPR.DLL entry PwdChangePasswordA, which Wine
// does not have. Built as MPR.DLL and placed beside a copy of Tessary.scr; records each call
// in fixture-calls.txt beside itself.
#include <windows.h>

#include <stdio.h>
#include <string.h>

static char folder[MAX_PATH];

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DWORD n = GetModuleFileNameA(instance, folder, sizeof folder);
        while (n > 0 && folder[n - 1] != '\\')
            n--;
        folder[n] = '\0';
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND window, DWORD reserved1,
                                                                 DWORD reserved2)
{
    char path[MAX_PATH + 32];
    snprintf(path, sizeof path, "%sfixture-calls.txt", folder);
    char line[128];
    snprintf(line, sizeof line, "change %s %lu %lu %lu\r\n", provider ? provider : "(null)",
             (unsigned long)(DWORD)(UINT_PTR)window, (unsigned long)reserved1, (unsigned long)reserved2);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
        CloseHandle(file);
    }
    return 0;
}
