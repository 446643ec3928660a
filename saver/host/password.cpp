// Password protection and change through the platform modules of the Windows 95 family.
#include "saverhost.h"

// The platform's screensaver-running flag (SPI_SCREENSAVERRUNNING).
enum { SCREEN_SAVER_RUNNING_ACTION = 97 };

void SetSaverRunning(bool on)
{
    if (!saverHost.isWin9x)
        return;
    UINT previous = 0;
    SystemParametersInfoA(SCREEN_SAVER_RUNNING_ACTION, on ? 1 : 0, &previous, 0);
}

void UnloadPasswordVerifier()
{
    if (!saverHost.isWin9x || saverHost.passwordModule == NULL)
        return;
    FreeLibrary(saverHost.passwordModule);
    saverHost.passwordModule = NULL;
    if (saverHost.verifyPassword != NULL) {
        saverHost.verifyPassword = NULL;
        SetSaverRunning(false);
    }
}

// Protection is on when the desktop settings say so and the platform's verifier is there;
// any missing piece means no protection, without a message.
void LoadPasswordVerifier()
{
    if (!saverHost.isWin9x)
        return;
    if (saverHost.passwordModule != NULL)
        UnloadPasswordVerifier();
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return;
    // A value shorter than four bytes leaves the high bytes zero.
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", NULL, NULL, data, &size) == ERROR_SUCCESS) {
        DWORD usePassword = (DWORD)data[0] | ((DWORD)data[1] << 8) | ((DWORD)data[2] << 16) |
                            ((DWORD)data[3] << 24);
        if (usePassword != 0) {
            saverHost.passwordModule = LoadLibraryA("PASSWORD.CPL");
            if (saverHost.passwordModule != NULL) {
                saverHost.verifyPassword = (VerifyPasswordFunction)(void (*)())GetProcAddress(
                    saverHost.passwordModule, "VerifyScreenSavePwd");
                if (saverHost.verifyPassword != NULL)
                    SetSaverRunning(true);
                else
                    UnloadPasswordVerifier();
            }
        }
    }
    RegCloseKey(key);
}

typedef DWORD(WINAPI *ChangePasswordFunction)(LPCSTR, HWND, DWORD, DWORD);

void RequestPasswordChange(HWND window)
{
    HMODULE module = LoadLibraryA("MPR.DLL");
    if (module == NULL)
        return;
    ChangePasswordFunction change =
        (ChangePasswordFunction)(void (*)())GetProcAddress(module, "PwdChangePasswordA");
    if (change != NULL)
        change("SCRSAVE", window, 0, 0);
    FreeLibrary(module);
}
