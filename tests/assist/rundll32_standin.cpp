// Stands in for the platform's rundll32.exe in the assistant's tests: placed where the shell
// finds rundll32.exe, it writes the command line it was given to the file named by
// KIT_RUNDLL32_RECORD (else rundll32.txt beside itself) and ends, so the test sees exactly
// what would have been started.
#include <windows.h>

#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;
    char path[MAX_PATH + 16];
    DWORD named = GetEnvironmentVariableA("KIT_RUNDLL32_RECORD", path, MAX_PATH);
    if (named == 0 || named >= MAX_PATH) {
        DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return 1;
        char *slash = strrchr(path, '\\');
        if (slash == NULL)
            return 1;
        strcpy(slash + 1, "rundll32.txt");
    }
    const char *line = GetCommandLineA();
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
    return ok ? 0 : 1;
}
