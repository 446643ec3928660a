// The install assistant: makes the screensaver named in Pavrell.ini the current one by
// handing it to the Display control panel. It has no window; it always ends with 0.
#include <windows.h>
#include <shellapi.h>

#include "assisttext.h"

static void ReportMissingName()
{
    MessageBoxA(NULL, "PAVRELL.INI ScrName Error", "PAVRELL", MB_ICONHAND);
}

// The 8.3 form keeps blanks out of the control panel's command line. An empty directory stays
// empty (the name is then taken from the current directory); when the platform cannot shorten
// the directory, it is passed as written rather than dropped.
static void ShortDirectory(const char *directory, char *shortDirectory, DWORD size)
{
    shortDirectory[0] = '\0';
    if (directory[0] == '\0')
        return;
    DWORD length = GetShortPathNameA(directory, shortDirectory, size);
    if (length == 0 || length >= size)
        CopyText(shortDirectory, size, directory);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;

    char directory[MAX_PATH_BYTES];
    char settingsPath[MAX_PATH_BYTES];
    char scrName[SCR_NAME_BYTES];
    if (!FindProgramDirectory(GetCommandLineA(), directory) || !BuildSettingsPath(directory, settingsPath) ||
        GetPrivateProfileStringA("Setup", "ScrName", "", scrName, sizeof scrName, settingsPath) == 0) {
        ReportMissingName();
        return 0;
    }

    // Shortened with its backslash, so that the name follows the directory even when the
    // command line had none before "PAVRELL.exe".
    char separated[MAX_PATH_BYTES];
    if (EnsureTrailingBackslash(separated, directory) == NULL) {
        ReportMissingName();
        return 0;
    }
    char shortDirectory[ASSIST_WORK_BYTES];
    ShortDirectory(separated, shortDirectory, sizeof shortDirectory);
    char parameters[ASSIST_WORK_BYTES];
    if (!BuildLaunchParameters(shortDirectory, scrName, parameters, sizeof parameters)) {
        ReportMissingName();
        return 0;
    }
    // What the control panel makes of the request is the platform's affair; nothing to report.
    ShellExecuteA(NULL, "open", "rundll32.exe", parameters, NULL, SW_SHOWNORMAL);
    return 0;
}
