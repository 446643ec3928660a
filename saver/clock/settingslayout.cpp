#include "settingslayout.h"

#include <string.h>

const char kSettingsRoot[] = "Software\\Norvane Settings\\";
const char kProductName[] = "Velmora";
const char kFontKeyName[] = "Font";

const StoredValue kSettingsValues[SETTINGS_VALUE_COUNT] = {
    {"TextCol", STORED_DWORD, 4}, {"TextPen", STORED_BINARY, 4},
    {"BackCol", STORED_BINARY, 1}, {"BackLoop", STORED_BINARY, 4},
};

// LOGFONTA's five LONG fields, then its eight BYTE fields.
const StoredValue kFontNumbers[FONT_NUMBER_COUNT] = {
    {"Height", STORED_BINARY, 4}, {"Width", STORED_BINARY, 4}, {"Escapement", STORED_BINARY, 4},
    {"Orientation", STORED_BINARY, 4}, {"Weight", STORED_BINARY, 4},
    {"Italic", STORED_BINARY, 1}, {"Underline", STORED_BINARY, 1}, {"StrikeOut", STORED_BINARY, 1},
    {"CharSet", STORED_BINARY, 1}, {"OutPrecision", STORED_BINARY, 1},
    {"ClipPrecision", STORED_BINARY, 1}, {"Quality", STORED_BINARY, 1},
    {"PitchAndFamily", STORED_BINARY, 1},
};

const char kFaceNameValue[] = "FaceName";

bool DecodeStoredInteger(const unsigned char *data, size_t length, size_t fieldSize, uint32_t *value)
{
    if (length == 0 || length > fieldSize || fieldSize > 4)
        return false;
    uint32_t result = 0;
    for (size_t i = 0; i < length; i++)
        result |= (uint32_t)data[i] << (8 * i);
    *value = result;
    return true;
}

void EncodeStoredInteger(uint32_t value, size_t fieldSize, unsigned char *out)
{
    for (size_t i = 0; i < fieldSize && i < 4; i++)
        out[i] = (unsigned char)(value >> (8 * i));
}

bool DecodeFaceName(const unsigned char *data, size_t length, char face[FACE_NAME_BYTES])
{
    if (length > FACE_NAME_BYTES)
        return false;
    const void *zero = memchr(data, 0, length);
    if (zero == NULL)
        return false;
    size_t nameLength = (size_t)((const unsigned char *)zero - data);
    memcpy(face, data, nameLength);
    memset(face + nameLength, 0, FACE_NAME_BYTES - nameLength);
    return true;
}

size_t StoredFaceNameLength(const char face[FACE_NAME_BYTES])
{
    size_t length = 0;
    while (length < FACE_NAME_BYTES - 1 && face[length] != '\0')
        length++;
    return length + 1;
}
