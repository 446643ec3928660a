#include "clocksettings.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "saverhost.h"
#include "saverres.h"
#include "settingslayout.h"

ClockSettingsRecord ClockSettings;

const COLORREF BackPalette[6] = {
    RGB(0, 0, 255), RGB(255, 0, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0), RGB(0, 255, 255),
};

enum { kKeyPathBytes = 128, kMessageBytes = 255 };

// The LOGFONTA field of each entry of kFontNumbers, in the same order.
static const size_t kFontFieldOffsets[kFontNumberCount] = {
    offsetof(LOGFONTA, lfHeight),         offsetof(LOGFONTA, lfWidth),
    offsetof(LOGFONTA, lfEscapement),     offsetof(LOGFONTA, lfOrientation),
    offsetof(LOGFONTA, lfWeight),         offsetof(LOGFONTA, lfItalic),
    offsetof(LOGFONTA, lfUnderline),      offsetof(LOGFONTA, lfStrikeOut),
    offsetof(LOGFONTA, lfCharSet),        offsetof(LOGFONTA, lfOutPrecision),
    offsetof(LOGFONTA, lfClipPrecision),  offsetof(LOGFONTA, lfQuality),
    offsetof(LOGFONTA, lfPitchAndFamily),
};
static_assert(sizeof(LONG) == 4 && sizeof(COLORREF) == 4, "stored integers are 32 bits");
static_assert(sizeof(((LOGFONTA *)0)->lfFaceName) == kFaceNameBytes, "face name field size");

static void SettingsKeyPath(char (&path)[kKeyPathBytes])
{
    _snprintf(path, sizeof path - 1, "%s%s", kSettingsRoot, kProductName);
    path[sizeof path - 1] = '\0';
}

static void FontKeyPath(char (&path)[kKeyPathBytes])
{
    _snprintf(path, sizeof path - 1, "%s%s%s%s", kSettingsRoot, kProductName, "\\", kFontKeyName);
    path[sizeof path - 1] = '\0';
}

// Integer fields are read into a buffer of exactly their size, so a longer value fails.
static bool ReadStoredInteger(HKEY key, const StoredValue &value, uint32_t *result)
{
    unsigned char bytes[4];
    DWORD length = (DWORD)value.size;
    if (RegQueryValueExA(key, value.name, NULL, NULL, bytes, &length) != ERROR_SUCCESS)
        return false;
    return DecodeStoredInteger(bytes, length, value.size, result);
}

static void StoreInField(void *field, size_t size, uint32_t value)
{
    if (size == 1) {
        *(BYTE *)field = (BYTE)value;
    } else {
        LONG number = (LONG)value;
        memcpy(field, &number, sizeof number);
    }
}

static void *SettingsField(int index)
{
    switch (index) {
    case 0: return &ClockSettings.TextCol;
    case 1: return &ClockSettings.TextPen;
    case 2: return &ClockSettings.BackCol;
    default: return &ClockSettings.BackLoop;
    }
}

void ResetClockSettings()
{
    ClockSettings.TextCol = RGB(255, 255, 255);
    ClockSettings.TextPen = 0;
    ClockSettings.BackCol = 1;
    ClockSettings.BackLoop = 0;
    memset(&ClockSettings.Font, 0, sizeof ClockSettings.Font);
}

void LoadClockSettings()
{
    ResetClockSettings();
    char path[kKeyPathBytes];
    HKEY key;
    uint32_t number;

    SettingsKeyPath(path);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        for (int i = 0; i < kSettingsValueCount; i++) {
            if (ReadStoredInteger(key, kSettingsValues[i], &number))
                StoreInField(SettingsField(i), kSettingsValues[i].size, number);
        }
        RegCloseKey(key);
    }

    FontKeyPath(path);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < kFontNumberCount; i++) {
        if (ReadStoredInteger(key, kFontNumbers[i], &number))
            StoreInField((char *)&ClockSettings.Font + kFontFieldOffsets[i], kFontNumbers[i].size, number);
    }
    unsigned char face[kFaceNameBytes];
    DWORD length = sizeof face;
    if (RegQueryValueExA(key, kFaceNameValue, NULL, NULL, face, &length) == ERROR_SUCCESS)
        DecodeFaceName(face, length, ClockSettings.Font.lfFaceName);
    RegCloseKey(key);
}

static bool OpenForWriting(const char *path, HKEY *key)
{
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, key) == ERROR_SUCCESS)
        return true;
    return RegCreateKeyA(HKEY_CURRENT_USER, path, key) == ERROR_SUCCESS;
}

static bool WriteStoredInteger(HKEY key, const StoredValue &value, uint32_t number)
{
    unsigned char bytes[4];
    EncodeStoredInteger(number, value.size, bytes);
    DWORD type = value.kind == kStoredDword ? REG_DWORD : REG_BINARY;
    return RegSetValueExA(key, value.name, 0, type, bytes, (DWORD)value.size) == ERROR_SUCCESS;
}

static uint32_t FieldValue(const void *field, size_t size)
{
    if (size == 1)
        return *(const BYTE *)field;
    LONG number;
    memcpy(&number, field, sizeof number);
    return (uint32_t)number;
}

// Shows the failure once and closes what is open; the result is what the save returns.
static int ReportSaveFailure(HWND dialog, HKEY openKey)
{
    char text[kMessageBytes];
    if (LoadStringA(saverHost.instance, IDS_SAVEFAILED, text, sizeof text) <= 0)
        text[0] = '\0';
    MessageBoxA(dialog, text, kProductName, MB_ICONERROR);
    if (openKey != NULL)
        RegCloseKey(openKey);
    return 1;
}

static bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int SaveClockSettings(HWND dialog)
{
    char path[kKeyPathBytes];
    HKEY key;

    SettingsKeyPath(path);
    if (!OpenForWriting(path, &key))
        return ReportSaveFailure(dialog, NULL);
    if (!WriteStoredInteger(key, kSettingsValues[0], ClockSettings.TextCol))
        return ReportSaveFailure(dialog, key);
    ClockSettings.TextPen = (LONG)SendDlgItemMessageA(dialog, IDC_TEXTPEN, BM_GETCHECK, 0, 0);
    if (!WriteStoredInteger(key, kSettingsValues[1], (uint32_t)ClockSettings.TextPen))
        return ReportSaveFailure(dialog, key);
    // With several buttons checked the last one wins; with none the stored colour stays.
    for (int i = 0; i < 6; i++) {
        if (IsChecked(dialog, IDC_BACKCOL0 + i))
            ClockSettings.BackCol = (BYTE)(1u << i);
    }
    if (!WriteStoredInteger(key, kSettingsValues[2], ClockSettings.BackCol))
        return ReportSaveFailure(dialog, key);
    ClockSettings.BackLoop = (LONG)SendDlgItemMessageA(dialog, IDC_BACKLOOP, BM_GETCHECK, 0, 0);
    if (!WriteStoredInteger(key, kSettingsValues[3], (uint32_t)ClockSettings.BackLoop))
        return ReportSaveFailure(dialog, key);
    RegFlushKey(key);
    RegCloseKey(key);

    FontKeyPath(path);
    if (!OpenForWriting(path, &key))
        return ReportSaveFailure(dialog, NULL);
    for (int i = 0; i < kFontNumberCount; i++) {
        const void *field = (const char *)&ClockSettings.Font + kFontFieldOffsets[i];
        if (!WriteStoredInteger(key, kFontNumbers[i], FieldValue(field, kFontNumbers[i].size)))
            return ReportSaveFailure(dialog, key);
    }
    const char *face = ClockSettings.Font.lfFaceName;
    if (RegSetValueExA(key, kFaceNameValue, 0, REG_SZ, (const BYTE *)face, (DWORD)StoredFaceNameLength(face)) !=
        ERROR_SUCCESS)
        return ReportSaveFailure(dialog, key);
    RegFlushKey(key);
    RegCloseKey(key);
    return 0;
}
