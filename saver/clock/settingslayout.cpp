#include "settingslayout.h"

#include <string.h>

const char kSettingsRoot[] = "Software\\Norvane Settings\\";
const char kProductName[] = "Velmora";
const char kFontKeyName[] = "Font";

const StoredValue kSettingsValues[kSettingsValueCount] = {
    {"TextCol", kStoredDword, 4}, {"TextPen", kStoredBinary, 4},
    {"BackCol", kStoredBinary, 1}, {"BackLoop", kStoredBinary, 4},
};

// LOGFONTA's five LONG fields, then its eight BYTE fields.
const StoredValue kFontNumbers[kFontNumberCount] = {
    {"Height", kStoredBinary, 4}, {"Width", kStoredBinary, 4}, {"Escapement", kStoredBinary, 4},
    {"Orientation", kStoredBinary, 4}, {"Weight", kStoredBinary, 4},
    {"Italic", kStoredBinary, 1}, {"Underline", kStoredBinary, 1}, {"StrikeOut", kStoredBinary, 1},
    {"CharSet", kStoredBinary, 1}, {"OutPrecision", kStoredBinary, 1},
    {"ClipPrecision", kStoredBinary, 1}, {"Quality", kStoredBinary, 1},
    {"PitchAndFamily", kStoredBinary, 1},
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

bool DecodeFaceName(const unsigned char *data, size_t length, char face[kFaceNameBytes])
{
    if (length > kFaceNameBytes)
        return false;
    const void *zero = memchr(data, 0, length);
    if (zero == NULL)
        return false;
    size_t nameLength = (size_t)((const unsigned char *)zero - data);
    memcpy(face, data, nameLength);
    memset(face + nameLength, 0, kFaceNameBytes - nameLength);
    return true;
}

size_t StoredFaceNameLength(const char face[kFaceNameBytes])
{
    size_t length = 0;
    while (length < kFaceNameBytes - 1 && face[length] != '\0')
        length++;
    return length + 1;
}
