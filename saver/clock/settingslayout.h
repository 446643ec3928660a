// How the clock's settings lie in the registry: key paths, value names, sizes, and the
// bytes of each value. The registry calls themselves are in clocksettings.cpp.
#ifndef SETTINGSLAYOUT_H
#define SETTINGSLAYOUT_H

#include <stddef.h>
#include <stdint.h>

// The settings key is kSettingsRoot + kProductName, the font key that + "\" + kFontKeyName.
extern const char kSettingsRoot[];
extern const char kProductName[];
extern const char kFontKeyName[];

enum {
    FACE_NAME_BYTES = 32,         // lfFaceName, its terminator included
    FONT_NUMBER_COUNT = 13        // the font values before "FaceName"
};

// The values of the settings key, by their place in kSettingsValues.
enum SettingsValueIndex {
    TEXT_COL_VALUE,
    TEXT_PEN_VALUE,
    BACK_COL_VALUE,
    BACK_LOOP_VALUE,
    SETTINGS_VALUE_COUNT
};

enum StoredKind { STORED_DWORD, STORED_BINARY };

struct StoredValue {
    const char *name;
    StoredKind kind;     // the type written; a reader accepts any
    size_t size;         // bytes written, and the most a reader accepts
};

// In the order they are written: TextCol, TextPen, BackCol, BackLoop.
extern const StoredValue kSettingsValues[SETTINGS_VALUE_COUNT];
// Height .. PitchAndFamily, in LOGFONTA's field order; "FaceName" follows them.
extern const StoredValue kFontNumbers[FONT_NUMBER_COUNT];
extern const char kFaceNameValue[];

// A stored integer of fieldSize bytes (1 or 4), little-endian. A value longer than the
// field, or empty, is refused; a shorter one is taken as its low-order bytes, the rest zero.
bool DecodeStoredInteger(const unsigned char *data, size_t length, size_t fieldSize, uint32_t *value);
// The fieldSize low-order bytes of value, little-endian.
void EncodeStoredInteger(uint32_t value, size_t fieldSize, unsigned char *out);

// A stored face name: at most FACE_NAME_BYTES bytes, taken up to its first zero. Bytes with
// no zero among them are refused, so a name is never cut inside a double-byte character.
// face always ends with a zero inside its FACE_NAME_BYTES.
bool DecodeFaceName(const unsigned char *data, size_t length, char face[FACE_NAME_BYTES]);
// Bytes to write for a face name held in a FACE_NAME_BYTES field: the name and its zero,
// never more than the field.
size_t StoredFaceNameLength(const char face[FACE_NAME_BYTES]);

#endif
