// The clock's settings in the real registry: defaults, the reading rules for wrong sizes,
// and what a save writes (types, sizes, bytes).
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "clocksettings.h"
#include "clocktestsupport.h"
#include "saverhost.h"
#include "saverres.h"
#include "testsupport.h"

namespace {

class ClockSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saverHost.instance = GetModuleHandleA(NULL);
        ClearClockRegistry();
        // Something other than the defaults, so that a load must overwrite it.
        memset(&ClockSettings, 0x5A, sizeof ClockSettings);
    }
    void TearDown() override { ClearClockRegistry(); }
};

void ExpectDefaultColorsAndFlags()
{
    EXPECT_EQ(RGB(255, 255, 255), ClockSettings.TextCol);
    EXPECT_EQ(0, ClockSettings.TextPen);
    EXPECT_EQ(1, ClockSettings.BackCol);
    EXPECT_EQ(0, ClockSettings.BackLoop);
}

bool FontIsAllZero()
{
    static const LOGFONTA zero = {};
    return memcmp(&zero, &ClockSettings.Font, sizeof zero) == 0;
}

TEST_F(ClockSettingsTest, NothingStoredGivesTheDefaults)
{
    ClockSettings.BackIndex = 4;
    LoadClockSettings();
    ExpectDefaultColorsAndFlags();
    EXPECT_TRUE(FontIsAllZero());
    EXPECT_EQ(4, ClockSettings.BackIndex) << "the run-time palette entry is not a setting";
}

TEST_F(ClockSettingsTest, StoredValuesAreRead)
{
    WriteRawValue(kSettingsKey, "TextCol", REG_DWORD, Le32(0x00123456));
    WriteRawValue(kSettingsKey, "TextPen", REG_BINARY, Le32(1));
    WriteRawValue(kSettingsKey, "BackCol", REG_BINARY, std::string("\x24", 1));
    WriteRawValue(kSettingsKey, "BackLoop", REG_BINARY, Le32(7));
    WriteRawValue(kFontKey, "Height", REG_BINARY, Le32((DWORD)-24));
    WriteRawValue(kFontKey, "Weight", REG_BINARY, Le32(700));
    WriteRawValue(kFontKey, "Italic", REG_BINARY, std::string("\x01", 1));
    WriteRawValue(kFontKey, "CharSet", REG_BINARY, std::string("\x80", 1));
    WriteRawValue(kFontKey, "PitchAndFamily", REG_BINARY, std::string("\x31", 1));
    WriteRawValue(kFontKey, "FaceName", REG_SZ, Sjis("ＭＳ ゴシック") + '\0');
    LoadClockSettings();
    EXPECT_EQ(0x00123456u, ClockSettings.TextCol);
    EXPECT_EQ(1, ClockSettings.TextPen);
    EXPECT_EQ(0x24, ClockSettings.BackCol);
    EXPECT_EQ(7, ClockSettings.BackLoop);
    EXPECT_EQ(-24, ClockSettings.Font.lfHeight);
    EXPECT_EQ(700, ClockSettings.Font.lfWeight);
    EXPECT_EQ(1, ClockSettings.Font.lfItalic);
    EXPECT_EQ(0x80, ClockSettings.Font.lfCharSet);
    EXPECT_EQ(0x31, ClockSettings.Font.lfPitchAndFamily);
    EXPECT_EQ(0, ClockSettings.Font.lfWidth) << "a missing value keeps its default";
    EXPECT_EQ(Sjis("ＭＳ ゴシック"), ClockSettings.Font.lfFaceName);
}

TEST_F(ClockSettingsTest, ValuesOfTheWrongSizeKeepTheirDefaults)
{
    struct Case {
        const char *key;
        const char *name;
        DWORD type;
        std::string bytes;
    } cases[] = {
        {kSettingsKey, "TextCol", REG_BINARY, std::string("\x01\x02\x03\x04\x05", 5)},
        {kSettingsKey, "TextPen", REG_BINARY, std::string("\x01\0\0\0\0\0\0\0", 8)},
        {kSettingsKey, "BackCol", REG_BINARY, std::string("\x04\x00", 2)},
        {kSettingsKey, "BackLoop", REG_DWORD, std::string("\x01\0\0\0\0", 5)},
        {kFontKey, "Height", REG_BINARY, std::string("\x10\0\0\0\0", 5)},
        {kFontKey, "Italic", REG_BINARY, std::string("\x01\x01", 2)},
        {kFontKey, "FaceName", REG_SZ, std::string(40, 'A') + '\0'},
    };
    for (const Case &c : cases)
        WriteRawValue(c.key, c.name, c.type, c.bytes);
    LoadClockSettings();
    ExpectDefaultColorsAndFlags();
    EXPECT_TRUE(FontIsAllZero());
}

TEST_F(ClockSettingsTest, BinaryTextColorCountsLikeADword)
{
    WriteRawValue(kSettingsKey, "TextCol", REG_BINARY, Le32(0x0000FF00));
    LoadClockSettings();
    EXPECT_EQ(RGB(0, 255, 0), ClockSettings.TextCol);
}

TEST_F(ClockSettingsTest, ShortValuesFillTheLowBytes)
{
    // Not written by the program; we read them as their low-order bytes with zeros above.
    WriteRawValue(kSettingsKey, "TextPen", REG_BINARY, std::string("\x01", 1));
    WriteRawValue(kFontKey, "Weight", REG_BINARY, std::string("\xBC\x02", 2));
    LoadClockSettings();
    EXPECT_EQ(1, ClockSettings.TextPen);
    EXPECT_EQ(700, ClockSettings.Font.lfWeight);
}

TEST_F(ClockSettingsTest, FaceNameOfThirtyTwoBytesWithoutZeroIsRefused)
{
    WriteRawValue(kFontKey, "FaceName", REG_BINARY, std::string(32, 'B'));
    LoadClockSettings();
    EXPECT_STREQ("", ClockSettings.Font.lfFaceName);
    WriteRawValue(kFontKey, "FaceName", REG_SZ, std::string(31, 'C') + '\0');
    LoadClockSettings();
    EXPECT_EQ(std::string(31, 'C'), ClockSettings.Font.lfFaceName);
}

TEST_F(ClockSettingsTest, FontKeyWithoutSettingsKey)
{
    WriteRawValue(kFontKey, "Height", REG_BINARY, Le32(30));
    WriteRawValue(kFontKey, "FaceName", REG_SZ, std::string("Courier\0", 8));
    LoadClockSettings();
    ExpectDefaultColorsAndFlags();
    EXPECT_EQ(30, ClockSettings.Font.lfHeight);
    EXPECT_STREQ("Courier", ClockSettings.Font.lfFaceName);
}

void ExpectStored(const char *key, const char *name, DWORD type, const std::string &bytes)
{
    DWORD seenType = 0;
    std::string seen;
    ASSERT_TRUE(RegReadValue(HKEY_CURRENT_USER, key, name, &seenType, &seen)) << name << " missing";
    EXPECT_EQ(type, seenType) << name;
    EXPECT_EQ(bytes, seen) << name << ": " << bytes.size() << " bytes expected, " << seen.size() << " seen";
}

TEST_F(ClockSettingsTest, SaveWritesEveryValueWithItsTypeAndSize)
{
    HWND dialog = CreateDialogParamA(saverHost.instance, MAKEINTRESOURCEA(IDD_CONFIG), NULL, SaverConfigDialogProc, 0);
    ASSERT_TRUE(dialog != NULL);
    // What the font dialog would have left in the record.
    ClockSettings.TextCol = RGB(1, 2, 3);
    LOGFONTA &font = ClockSettings.Font;
    font.lfHeight = -40;
    font.lfWidth = 17;
    font.lfEscapement = 900;
    font.lfOrientation = -900;
    font.lfWeight = 400;
    font.lfItalic = 1;
    font.lfUnderline = 0;
    font.lfStrikeOut = 1;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 0x31;
    lstrcpynA(font.lfFaceName, Sjis("ＭＳ ゴシック").c_str(), LF_FACESIZE);
    CheckRadioButton(dialog, IDC_BACKCOL0, IDC_BACKCOL5, IDC_BACKCOL4);
    CheckDlgButton(dialog, IDC_BACKLOOP, BST_CHECKED);
    CheckDlgButton(dialog, IDC_TEXTPEN, BST_CHECKED);

    EXPECT_TRUE(SaveClockSettings(dialog));
    DestroyWindow(dialog);

    ExpectStored(kSettingsKey, "TextCol", REG_DWORD, Le32(RGB(1, 2, 3)));
    ExpectStored(kSettingsKey, "TextPen", REG_BINARY, Le32(1));
    ExpectStored(kSettingsKey, "BackCol", REG_BINARY, std::string("\x10", 1));
    ExpectStored(kSettingsKey, "BackLoop", REG_BINARY, Le32(1));
    ExpectStored(kFontKey, "Height", REG_BINARY, Le32((DWORD)-40));
    ExpectStored(kFontKey, "Width", REG_BINARY, Le32(17));
    ExpectStored(kFontKey, "Escapement", REG_BINARY, Le32(900));
    ExpectStored(kFontKey, "Orientation", REG_BINARY, Le32((DWORD)-900));
    ExpectStored(kFontKey, "Weight", REG_BINARY, Le32(400));
    ExpectStored(kFontKey, "Italic", REG_BINARY, std::string("\x01", 1));
    ExpectStored(kFontKey, "Underline", REG_BINARY, std::string("\x00", 1));
    ExpectStored(kFontKey, "StrikeOut", REG_BINARY, std::string("\x01", 1));
    ExpectStored(kFontKey, "CharSet", REG_BINARY, std::string("\x80", 1));
    ExpectStored(kFontKey, "OutPrecision", REG_BINARY, std::string("\x03", 1));
    ExpectStored(kFontKey, "ClipPrecision", REG_BINARY, std::string("\x02", 1));
    ExpectStored(kFontKey, "Quality", REG_BINARY, std::string("\x01", 1));
    ExpectStored(kFontKey, "PitchAndFamily", REG_BINARY, std::string("\x31", 1));
    ExpectStored(kFontKey, "FaceName", REG_SZ, Sjis("ＭＳ ゴシック") + '\0');

    // And the record comes back as it was saved.
    ClockSettingsRecord saved = ClockSettings;
    memset(&ClockSettings, 0, sizeof ClockSettings);
    LoadClockSettings();
    EXPECT_EQ(saved.TextCol, ClockSettings.TextCol);
    EXPECT_EQ(saved.TextPen, ClockSettings.TextPen);
    EXPECT_EQ(saved.BackCol, ClockSettings.BackCol);
    EXPECT_EQ(saved.BackLoop, ClockSettings.BackLoop);
    EXPECT_EQ(0, memcmp(&saved.Font, &ClockSettings.Font, sizeof saved.Font));
}

TEST_F(ClockSettingsTest, SaveWithNoColorCheckedKeepsTheStoredMask)
{
    WriteRawValue(kSettingsKey, "BackCol", REG_BINARY, std::string("\x40", 1));
    HWND dialog = CreateDialogParamA(saverHost.instance, MAKEINTRESOURCEA(IDD_CONFIG), NULL, SaverConfigDialogProc, 0);
    ASSERT_TRUE(dialog != NULL);
    for (int id = IDC_BACKCOL0; id <= IDC_BACKCOL5; id++)
        EXPECT_EQ((UINT)BST_UNCHECKED, IsDlgButtonChecked(dialog, id)) << id;
    EXPECT_TRUE(SaveClockSettings(dialog));
    DestroyWindow(dialog);
    ExpectStored(kSettingsKey, "BackCol", REG_BINARY, std::string("\x40", 1));
    ExpectStored(kSettingsKey, "TextPen", REG_BINARY, Le32(0));
    ExpectStored(kSettingsKey, "BackLoop", REG_BINARY, Le32(0));
}

}  // namespace
