// The screensaver's command line: program name, mode letter and handle.
#include <gtest/gtest.h>

#include <string.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "saverargs.h"

namespace {

#ifdef _WIN32
const char *PlatformStep(const char *text) { return CharNextA(text); }
#endif

struct SkipCase {
    const char *name;
    const char *commandLine;
    const char *arguments;
};

const SkipCase skipCases[] = {
    {"plain name", "Tessary.scr /s", "/s"},
    {"quoted path with spaces", "\"C:\\Program Files\\Tessary.scr\" /s", "/s"},
    {"tabs after the name are skipped with it", "Tessary.scr\t\t/s", "/s"},
    {"control bytes after the name", "Tessary.scr\x01\x1f /p 12", "/p 12"},
    {"unterminated quote takes everything", "\"C:\\Tessary.scr /s", ""},
    {"text right after the closing quote stays", "\"a b\"x /s", "x /s"},
    {"name only", "Tessary.scr", ""},
    {"empty", "", ""},
    {"leading blanks only skipped after the name", "   /s", "/s"},
    // 0x83 0x5C is one character whose second byte is a backslash; bytes from 0x80 count as
    // part of the name.
    {"Shift-JIS name", "C:\\\x83\x5c\x83\x8a.scr /c", "/c"},
    {"quoted Shift-JIS name", "\"\x83\x5c \x83\x8a.scr\" /a 5", "/a 5"},
    {"lone lead byte at the end", "abc\x83", ""},
};

TEST(SkipProgramName, Table)
{
    for (const SkipCase &c : skipCases) {
        EXPECT_STREQ(c.arguments, SkipProgramName(c.commandLine, NextShiftJisChar)) << c.name;
#ifdef _WIN32
        EXPECT_STREQ(c.arguments, SkipProgramName(c.commandLine, PlatformStep)) << c.name << " (CharNextA)";
#endif
    }
}

struct HandleCase {
    const char *text;
    uint32_t value;
};

const HandleCase handleCases[] = {
    {"508", 508},
    {"", 0},
    {"0", 0},
    {"4294967295", 0xFFFFFFFFu},
    {"4294967296", 0},          // wraps
    {"4294967297", 1},
    {"42949672950", 0xFFFFFFF6u},
    {"12a3", 12},
    {"-5", 0},
    {"+5", 0},
    {"0x10", 0},
    {" 5", 0},
    {":508", 0},
    {"00000000000000000000000007", 7},
};

TEST(ParseDecimalHandle, Table)
{
    for (const HandleCase &c : handleCases)
        EXPECT_EQ(c.value, ParseDecimalHandle(c.text)) << "\"" << c.text << "\"";
}

struct ModeCase {
    const char *text;
    SaverMode mode;
    bool ownerIsForeground;
    uint32_t handle;
};

const ModeCase modeCases[] = {
    {"", ConfigureMode, false, 0},
    {"   ", ConfigureMode, false, 0},
    {"-/ /--", ConfigureMode, false, 0},
    {"/S", FullScreenMode, false, 0},
    {"-s", FullScreenMode, false, 0},
    {"s", FullScreenMode, false, 0},
    {"/sx", FullScreenMode, false, 0},
    {"ss", FullScreenMode, false, 0},
    {"   /s", FullScreenMode, false, 0},
    {"--/ S", FullScreenMode, false, 0},
    {"/c", ConfigureMode, true, 0},
    {"/C", ConfigureMode, true, 0},
    {"/c 508", ConfigureMode, true, 0},
    {"/c:508", ConfigureMode, true, 0},
    {"/p 508", PreviewMode, false, 508},
    {"/P508", PreviewMode, false, 508},
    {"/p    508", PreviewMode, false, 508},
    {"/l 508", PreviewMode, false, 508},
    {"/L508", PreviewMode, false, 508},
    {"/p", PreviewMode, false, 0},
    {"/p 0", PreviewMode, false, 0},
    {"/p:508", PreviewMode, false, 0},
    {"/p\t508", PreviewMode, false, 0},
    {"/p 4294967297", PreviewMode, false, 1},
    {"/a", ChangePasswordMode, false, 0},
    {"/A 77", ChangePasswordMode, false, 77},
    {"/a77x", ChangePasswordMode, false, 77},
    {"/x", InvalidMode, false, 0},
    {"/\ts", InvalidMode, false, 0},
    {"\t/s", InvalidMode, false, 0},
    {":s", InvalidMode, false, 0},
    {"/\x82\x93", InvalidMode, false, 0},   // a double-byte letter in the letter's place
    {"/\xb1", InvalidMode, false, 0},       // a single-byte katakana
    {"/\xff", InvalidMode, false, 0},
    {"/1", InvalidMode, false, 0},
};

TEST(ParseSaverMode, Table)
{
    for (const ModeCase &c : modeCases) {
        SaverRequest request = ParseSaverMode(c.text);
        EXPECT_EQ(c.mode, request.mode) << "\"" << c.text << "\"";
        EXPECT_EQ(c.ownerIsForeground, request.ownerIsForeground) << "\"" << c.text << "\"";
        EXPECT_EQ(c.handle, request.handle) << "\"" << c.text << "\"";
    }
}

TEST(ParseSaverMode, OnlyTheFirstLetterCounts)
{
    const char *letters = "sScCpPlLaAxX";
    for (const char *first = letters; *first; first++) {
        char alone[3] = {'/', *first, '\0'};
        SaverMode expected = ParseSaverMode(alone).mode;
        for (const char *second = letters; *second; second++) {
            char text[4] = {'/', *first, *second, '\0'};
            EXPECT_EQ(expected, ParseSaverMode(text).mode) << text;
        }
    }
}

}  // namespace
