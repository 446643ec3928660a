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
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.fault, CheckFileName(c.name)) << c.name;
}

}  // namespace
