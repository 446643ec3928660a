// The listed-path rule over the paths a hostile medium or an edited install log may hold,
// and the Shift-JIS names whose second byte is 0x5C, which must stay accepted.
#include <gtest/gtest.h>

#include "listedfile.h"

namespace {

TEST(ListedFile, CheckListedPath)
{
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
        // Every device name, alone, with an extension, in mixed case, as a middle part, and
        // as the medium has it ("AUX.tx_" opens the serial port and blocks).
        {"CON", LISTED_PATH_DEVICE},
        {"prn.txt", LISTED_PATH_DEVICE},
        {"Aux.txt", LISTED_PATH_DEVICE},
        {"sub\\nUl\\a.txt", LISTED_PATH_DEVICE},
        {"AUX.tx_", LISTED_PATH_DEVICE},
        {"COM1.txt", LISTED_PATH_DEVICE},
        {"com2", LISTED_PATH_DEVICE},
        {"Com3.log", LISTED_PATH_DEVICE},
        {"a\\COM4\\b", LISTED_PATH_DEVICE},
        {"COM5.a.b", LISTED_PATH_DEVICE},
        {"cOM6", LISTED_PATH_DEVICE},
        {"COM7.x", LISTED_PATH_DEVICE},
        {"com8.ex_", LISTED_PATH_DEVICE},
        {"COM9.log", LISTED_PATH_DEVICE},
        {"LPT1", LISTED_PATH_DEVICE},
        {"lpt2.txt", LISTED_PATH_DEVICE},
        {"Lpt3\\x", LISTED_PATH_DEVICE},
        {"x\\LPT4.dat", LISTED_PATH_DEVICE},
        {"lPT5", LISTED_PATH_DEVICE},
        {"LPT6.doc", LISTED_PATH_DEVICE},
        {"lpt7", LISTED_PATH_DEVICE},
        {"LPT8.x_", LISTED_PATH_DEVICE},
        {"Lpt9.txt", LISTED_PATH_DEVICE},
        {"clock$", LISTED_PATH_DEVICE},
        {"CONIN$.txt", LISTED_PATH_DEVICE},
        {"sub\\conout$\\a", LISTED_PATH_DEVICE},
        {"CON .txt", LISTED_PATH_DEVICE},              // blanks before the dot are dropped
        {"\x95\\Con.txt", LISTED_PATH_DEVICE},       // the installed name after the trail byte 0x5C
        {"COM10", LISTED_PATH_OK},
        {"COM0.txt", LISTED_PATH_OK},
        {"LPT.txt", LISTED_PATH_OK},
        {"CONSOLE.txt", LISTED_PATH_OK},
        {"AUXI.txt", LISTED_PATH_OK},
        {"a.CON", LISTED_PATH_OK},
        {"CLOCK.txt", LISTED_PATH_OK},
        {"\x83\x4E\x83\x8D.txt", LISTED_PATH_OK},
        // The system drops trailing dots and blanks: SETUP.ini. is SETUP.ini.
        {"SETUP.ini.", LISTED_PATH_TRAILING},
        {"setup.exe ", LISTED_PATH_TRAILING},
        {"sub.\\a.txt", LISTED_PATH_TRAILING},
        {"sub \\a.txt", LISTED_PATH_TRAILING},
        {"a.txt. .", LISTED_PATH_TRAILING},
        {"nul.", LISTED_PATH_DEVICE},
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
