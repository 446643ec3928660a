// The registry layout of the clock's settings: names, sizes, and the bytes of each value.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "settingslayout.h"

namespace {

TEST(SettingsLayout, KeyPartsAndValueTable)
{
    EXPECT_EQ(std::string("Software\\Norvane Settings\\Velmora"), std::string(kSettingsRoot) + kProductName);
    EXPECT_STREQ("Font", kFontKeyName);
    const char *names[] = {"TextCol", "TextPen", "BackCol", "BackLoop"};
    const size_t sizes[] = {4, 4, 1, 4};
    for (int i = 0; i < SETTINGS_VALUE_COUNT; i++) {
        EXPECT_STREQ(names[i], kSettingsValues[i].name);
        EXPECT_EQ(sizes[i], kSettingsValues[i].size) << names[i];
        EXPECT_EQ(i == 0 ? STORED_DWORD : STORED_BINARY, kSettingsValues[i].kind) << names[i];
    }
    const char *fontNames[] = {"Height", "Width", "Escapement", "Orientation", "Weight", "Italic", "Underline",
                               "StrikeOut", "CharSet", "OutPrecision", "ClipPrecision", "Quality",
                               "PitchAndFamily"};
    for (int i = 0; i < FONT_NUMBER_COUNT; i++) {
        EXPECT_STREQ(fontNames[i], kFontNumbers[i].name);
        EXPECT_EQ(i < 5 ? 4u : 1u, kFontNumbers[i].size) << fontNames[i];
        EXPECT_EQ(STORED_BINARY, kFontNumbers[i].kind) << fontNames[i];
    }
    EXPECT_STREQ("FaceName", kFaceNameValue);
}

TEST(SettingsLayout, StoredIntegersDecode)
{
    struct Case {
        const char *name;
        std::string bytes;
        size_t fieldSize;
        bool accepted;
        uint32_t value;
    } cases[] = {
        {"white text color", std::string("\xFF\xFF\xFF\x00", 4), 4, true, 0x00FFFFFF},
        {"little-endian order", std::string("\x01\x02\x03\x04", 4), 4, true, 0x04030201},
        {"negative height", std::string("\xF4\xFF\xFF\xFF", 4), 4, true, 0xFFFFFFF4},
        {"one byte field", std::string("\x24", 1), 1, true, 0x24},
        {"zero byte", std::string("\x00", 1), 1, true, 0},
        {"too long for one byte", std::string("\x24\x00", 2), 1, false, 0},
        {"too long for four bytes", std::string("\x01\x02\x03\x04\x05", 5), 4, false, 0},
        {"empty", std::string(), 4, false, 0},
        {"short value: low bytes, rest zero", std::string("\x01", 1), 4, true, 1},
        {"short value with high bit", std::string("\xFF\xFF", 2), 4, true, 0xFFFF},
    };
    for (const Case &c : cases) {
        uint32_t value = 0xDEADBEEF;
        bool accepted = DecodeStoredInteger((const unsigned char *)c.bytes.data(), c.bytes.size(), c.fieldSize, &value);
        EXPECT_EQ(c.accepted, accepted) << c.name;
        EXPECT_EQ(c.accepted ? c.value : 0xDEADBEEF, value) << c.name;
    }
}

TEST(SettingsLayout, StoredIntegersEncodeLittleEndianAndRoundTrip)
{
    unsigned char bytes[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EncodeStoredInteger(0x11223344, 4, bytes);
    EXPECT_EQ(0, memcmp(bytes, "\x44\x33\x22\x11\xAA", 5));
    memset(bytes, 0xAA, sizeof bytes);
    EncodeStoredInteger(0x11223344, 1, bytes);
    EXPECT_EQ(0, memcmp(bytes, "\x44\xAA", 2)) << "a 1-byte field writes one byte only";

    const uint32_t values[] = {0, 1, 0x00FF00FF, 0x80000000, 0xFFFFFFFF};
    for (uint32_t v : values) {
        uint32_t back = 0;
        EncodeStoredInteger(v, 4, bytes);
        ASSERT_TRUE(DecodeStoredInteger(bytes, 4, 4, &back));
        EXPECT_EQ(v, back);
    }
}

TEST(SettingsLayout, FaceNames)
{
    struct Case {
        const char *name;
        std::string bytes;
        bool accepted;
        const char *face;
    } cases[] = {
        {"plain", std::string("Courier\0", 8), true, "Courier"},
        {"Shift-JIS face", std::string("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E\0", 14), true,
         "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"},
        {"empty name", std::string("\0", 1), true, ""},
        {"stops at the first zero", std::string("Ab\0cd\0", 6), true, "Ab"},
        {"31 bytes and zero", std::string(31, 'x') + '\0', true, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {"32 bytes without zero", std::string(32, 'x'), false, ""},
        {"longer than the field", std::string(40, 'x') + '\0', false, ""},
        {"no zero at all", std::string("Arial", 5), false, ""},
        {"nothing", std::string(), false, ""},
    };
    for (const Case &c : cases) {
        char face[FACE_NAME_BYTES];
        memset(face, 0, sizeof face);
        bool accepted = DecodeFaceName((const unsigned char *)c.bytes.data(), c.bytes.size(), face);
        EXPECT_EQ(c.accepted, accepted) << c.name;
        EXPECT_STREQ(c.face, face) << c.name;
    }
}

TEST(SettingsLayout, DecodedFaceClearsWhatWasThere)
{
    char face[FACE_NAME_BYTES];
    memset(face, 'z', sizeof face);
    ASSERT_TRUE(DecodeFaceName((const unsigned char *)"Ab", 3, face));
    for (size_t i = 2; i < sizeof face; i++)
        EXPECT_EQ('\0', face[i]) << "byte " << i;
}

TEST(SettingsLayout, StoredFaceNameLengthIncludesTheZeroAndStaysInTheField)
{
    char face[FACE_NAME_BYTES] = "";
    EXPECT_EQ(1u, StoredFaceNameLength(face));
    strcpy(face, "IPAGothic");
    EXPECT_EQ(10u, StoredFaceNameLength(face));
    memset(face, 'x', sizeof face);
    EXPECT_EQ((size_t)FACE_NAME_BYTES, StoredFaceNameLength(face)) << "a field with no zero: 31 bytes and one more";
}

}  // namespace
