// The listed-path rule over the paths a hostile medium or an edited install log may hold,
// and the Shift-JIS names whose second byte is 0x5C, which must stay accepted.
#include <gtest/gtest.h>

#include "listedfile.h"

namespace {

TEST(ListedFile, CheckListedPath)
{
    const ListedPathFault OK = LISTED_PATH_OK, DEV = LISTED_PATH_DEVICE, TRAILING = LISTED_PATH_TRAILING;
    const struct {
        const char *path;
        ListedPathFault fault;
    } cases[] = {
        {"A.TXT", LISTED_PATH_OK},
        {"SUB\\EXTRA.DLL", LISTED_PATH_OK},
        {"a.b.c", LISTED_PATH_OK},
        {".profile", LISTED_PATH_OK},
        {"..x", LISTED_PATH_OK},
        {"\x95\\\x8E\xA6.txt", LISTED_PATH_OK},        // one character ending in 0x5C, then a name
        {"\x95\\\\x.txt", LISTED_PATH_OK},             // that character, then a real separator
        {"", LISTED_PATH_NO_NAME},
        {"SUB\\", LISTED_PATH_NO_NAME},
        {"a\\\x95\\", LISTED_PATH_NO_NAME},            // installed name (after the last 0x5C) empty
        {"x/../../../Victim/data.txt", LISTED_PATH_SLASH},
        {"/etc", LISTED_PATH_SLASH},
        {"C:data.txt", LISTED_PATH_COLON},
        {"a.txt:stream", LISTED_PATH_COLON},
        {"..", LISTED_PATH_DOTS},
        {".", LISTED_PATH_DOTS},
        {"...", LISTED_PATH_DOTS},
        {". .", LISTED_PATH_DOTS},
        {"  ", LISTED_PATH_DOTS},
        {"..\\..\\WINDOWS\\SYSTEM.INI", LISTED_PATH_DOTS},
        {"SUB\\.\\A.TXT", LISTED_PATH_DOTS},
        {"\x95\\..", LISTED_PATH_DOTS},                // one character, but the installed name is ".."
        {"\\Victim\\data.txt", LISTED_PATH_EMPTY_PART},
        {"\\\\server\\share\\a.txt", LISTED_PATH_EMPTY_PART},
        {"SUB\\\\A.TXT", LISTED_PATH_EMPTY_PART},
        // Every device name, alone, with an extension, in mixed case, as a middle part, and as the
        // medium has it ("AUX.tx_" opens the serial port and blocks); then names that are none.
        {"CON", DEV}, {"prn.txt", DEV}, {"Aux.txt", DEV}, {"sub\\nUl\\a.txt", DEV}, {"AUX.tx_", DEV},
        {"COM1.txt", DEV}, {"com2", DEV}, {"Com3.log", DEV}, {"a\\COM4\\b", DEV}, {"COM5.a.b", DEV}, {"cOM6", DEV},
        {"COM7.x", DEV}, {"com8.ex_", DEV}, {"COM9.log", DEV}, {"LPT1", DEV}, {"lpt2.txt", DEV}, {"Lpt3\\x", DEV},
        {"x\\LPT4.dat", DEV}, {"lPT5", DEV}, {"LPT6.doc", DEV}, {"lpt7", DEV}, {"LPT8.x_", DEV}, {"Lpt9.txt", DEV},
        {"clock$", DEV}, {"CONIN$.txt", DEV}, {"sub\\conout$\\a", DEV}, {"nul.", DEV},
        {"CON .txt", DEV},           // blanks before the dot are dropped
        {"\x95\\Con.txt", DEV},     // the installed name, after the trail byte 0x5C
        {"COM10", OK}, {"COM0.txt", OK}, {"LPT.txt", OK}, {"CONSOLE.txt", OK}, {"AUXI.txt", OK}, {"a.CON", OK},
        {"CLOCK.txt", OK}, {"\x83\x4E\x83\x8D.txt", OK},
        // The system drops trailing dots and blanks: SETUP.ini. is SETUP.ini.
        {"SETUP.ini.", TRAILING}, {"setup.exe ", TRAILING}, {"sub.\\a.txt", TRAILING}, {"sub \\a.txt", TRAILING},
        {"a.txt. .", TRAILING},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.fault, CheckListedPath(c.path)) << c.path;
}

TEST(ListedFile, CheckFileName)
{
    const struct {
        const char *name;
        ListedPathFault fault;
    } cases[] = {
        {"Velmora.ini", LISTED_PATH_OK},
        {"\x95\\.ini", LISTED_PATH_OK},                // the trail byte 0x5C is no folder
        {"..\\..\\windows\\win.ini", LISTED_PATH_DOTS},
        {"sub\\reg.ini", LISTED_PATH_FOLDER},
        {"C:\\reg.ini", LISTED_PATH_COLON},
        {"", LISTED_PATH_NO_NAME},
        {"NUL.ini", LISTED_PATH_DEVICE},
        {"Reg.ini.", LISTED_PATH_TRAILING},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.fault, CheckFileName(c.name)) << c.name;
}

}  // namespace
