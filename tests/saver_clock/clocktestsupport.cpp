#include "clocktestsupport.h"

#include <gtest/gtest.h>

#include "saverhost.h"
#include "testsupport.h"

// Stands in for the host, which is not linked into these tests: its record and its
// default procedure, which only counts and hands on to the platform.
SaverHostState saverHost;
std::vector<UINT> hostDefaultMessages;

LRESULT CALLBACK HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    hostDefaultMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kSettingsKey[] = "Software\\Norvane Settings\\Velmora";
const char kFontKey[] = "Software\\Norvane Settings\\Velmora\\Font";

void ClearClockRegistry()
{
    RegDeleteTree(HKEY_CURRENT_USER, "Software\\Norvane Settings");
}

void WriteRawValue(const char *key, const char *name, DWORD type, const std::string &bytes)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, key, &handle)) << key;
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(handle, name, 0, type, (const BYTE *)bytes.data(), (DWORD)bytes.size()))
        << name;
    RegCloseKey(handle);
}

void SavePictureArtefact(const Picture &picture, const char *fileName)
{
    EXPECT_TRUE(SavePicture(picture, SuiteFolder() + "\\" + fileName)) << fileName;
}

bool PumpUntil(DWORD ms, bool (*poll)(void *), void *context)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpFor(20);
        if (poll != NULL && poll(context))
            return true;
        if (GetTickCount() - start >= ms)
            return false;
    }
}
