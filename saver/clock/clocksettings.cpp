#include "clocksettings.h"

#include <stddef.h>
#include <string.h>

#include "saverhost.h"
#include "saverres.h"
#include "settingslayout.h"
#include "text.h"

ClockSettingsRecord ClockSettings;

const COLORREF BackPalette[BACK_COLOR_COUNT] = {
    RGB(0, 0, 255), RGB(255, 0, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0), RGB(0, 255, 255),
};

enum { KEY_PATH_BYTES = 128, MESSAGE_BYTES = 255 };

// Each stored value beside the field of ClockSettings it fills: one row per value, in the
// order of the layout's tables, which is the order they are written in.
struct StoredField {
    const StoredValue &value;
    size_t offset;
};

#define FONT_FIELD(name) offsetof(ClockSettingsRecord, Font) + offsetof(LOGFONTA, name)
static const StoredField kSettingsFields[SETTINGS_VALUE_COUNT] = {
    {kSettingsValues[TEXT_COL_VALUE], offsetof(ClockSettingsRecord, TextCol)},
    {kSettingsValues[TEXT_PEN_VALUE], offsetof(ClockSettingsRecord, TextPen)},
    {kSettingsValues[BACK_COL_VALUE], offsetof(ClockSettingsRecord, BackCol)},
    {kSettingsValues[BACK_LOOP_VALUE], offsetof(ClockSettingsRecord, BackLoop)},
};
static const StoredField kFontFields[FONT_NUMBER_COUNT] = {
    {kFontNumbers[0], FONT_FIELD(lfHeight)},        {kFontNumbers[1], FONT_FIELD(lfWidth)},
    {kFontNumbers[2], FONT_FIELD(lfEscapement)},    {kFontNumbers[3], FONT_FIELD(lfOrientation)},
    {kFontNumbers[4], FONT_FIELD(lfWeight)},        {kFontNumbers[5], FONT_FIELD(lfItalic)},
    {kFontNumbers[6], FONT_FIELD(lfUnderline)},     {kFontNumbers[7], FONT_FIELD(lfStrikeOut)},
    {kFontNumbers[8], FONT_FIELD(lfCharSet)},       {kFontNumbers[9], FONT_FIELD(lfOutPrecision)},
    {kFontNumbers[10], FONT_FIELD(lfClipPrecision)}, {kFontNumbers[11], FONT_FIELD(lfQuality)},
    {kFontNumbers[12], FONT_FIELD(lfPitchAndFamily)},
};
#undef FONT_FIELD

static void *FieldOf(const StoredField &field)
{
    return (char *)&ClockSettings + field.offset;
}

static_assert(sizeof(LONG) == 4 && sizeof(COLORREF) == 4, "stored integers are 32 bits");
static_assert(sizeof(((LOGFONTA *)0)->lfFaceName) == FACE_NAME_BYTES, "face name field size");

static void SettingsKeyPath(char (&path)[KEY_PATH_BYTES])
{
    CopyText(path, sizeof path, kSettingsRoot);
    AppendText(path, sizeof path, kProductName);
}

static void FontKeyPath(char (&path)[KEY_PATH_BYTES])
{
    SettingsKeyPath(path);
    AppendText(path, sizeof path, "\\");
    AppendText(path, sizeof path, kFontKeyName);
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
    char path[KEY_PATH_BYTES];
    HKEY key;
    uint32_t number;

    SettingsKeyPath(path);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        for (const StoredField &field : kSettingsFields) {
            if (ReadStoredInteger(key, field.value, &number))
                StoreInField(FieldOf(field), field.value.size, number);
        }
        RegCloseKey(key);
    }

    FontKeyPath(path);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (const StoredField &field : kFontFields) {
        if (ReadStoredInteger(key, field.value, &number))
            StoreInField(FieldOf(field), field.value.size, number);
    }
    unsigned char face[FACE_NAME_BYTES];
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
    DWORD type = value.kind == STORED_DWORD ? REG_DWORD : REG_BINARY;
    return RegSetValueExA(key, value.name, 0, type, bytes, (DWORD)value.size) == ERROR_SUCCESS;
}

static bool WriteField(HKEY key, const StoredField &field)
{
    const void *at = FieldOf(field);
    uint32_t number;
    if (field.value.size == 1) {
        number = *(const BYTE *)at;
    } else {
        LONG value;
        memcpy(&value, at, sizeof value);
        number = (uint32_t)value;
    }
    return WriteStoredInteger(key, field.value, number);
}

// Shows the failure once and closes what is open; the result is what the save returns.
static bool ReportSaveFailure(HWND dialog, HKEY openKey)
{
    char text[MESSAGE_BYTES];
    if (LoadStringA(saverHost.instance, IDS_SAVEFAILED, text, sizeof text) <= 0)
        text[0] = '\0';
    MessageBoxA(dialog, text, kProductName, MB_ICONERROR);
    if (openKey != NULL)
        RegCloseKey(openKey);
    return false;
}

static bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool SaveClockSettings(HWND dialog)
{
    char path[KEY_PATH_BYTES];
    HKEY key;

    SettingsKeyPath(path);
    if (!OpenForWriting(path, &key))
        return ReportSaveFailure(dialog, NULL);
    if (!WriteField(key, kSettingsFields[TEXT_COL_VALUE]))
        return ReportSaveFailure(dialog, key);
    ClockSettings.TextPen = (LONG)SendDlgItemMessageA(dialog, IDC_TEXTPEN, BM_GETCHECK, 0, 0);
    if (!WriteField(key, kSettingsFields[TEXT_PEN_VALUE]))
        return ReportSaveFailure(dialog, key);
    // With several buttons checked the last one wins; with none the stored color stays.
    for (int i = 0; i < BACK_COLOR_COUNT; i++) {
        if (IsChecked(dialog, IDC_BACKCOL0 + i))
            ClockSettings.BackCol = (BYTE)(1u << i);
    }
    if (!WriteField(key, kSettingsFields[BACK_COL_VALUE]))
        return ReportSaveFailure(dialog, key);
    ClockSettings.BackLoop = (LONG)SendDlgItemMessageA(dialog, IDC_BACKLOOP, BM_GETCHECK, 0, 0);
    if (!WriteField(key, kSettingsFields[BACK_LOOP_VALUE]))
        return ReportSaveFailure(dialog, key);
    RegFlushKey(key);
    RegCloseKey(key);

    FontKeyPath(path);
    if (!OpenForWriting(path, &key))
        return ReportSaveFailure(dialog, NULL);
    for (const StoredField &field : kFontFields) {
        if (!WriteField(key, field))
            return ReportSaveFailure(dialog, key);
    }
    const char *face = ClockSettings.Font.lfFaceName;
    if (RegSetValueExA(key, kFaceNameValue, 0, REG_SZ, (const BYTE *)face, (DWORD)StoredFaceNameLength(face)) !=
        ERROR_SUCCESS)
        return ReportSaveFailure(dialog, key);
    RegFlushKey(key);
    RegCloseKey(key);
    return true;
}
