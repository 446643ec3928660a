// The assistant's texts, natively under the sanitizers and again as a Win32 program under Wine.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "assisttext.h"

namespace {

// 0x95 0x5C is one double-byte character whose second byte is a backslash.
#define KANJI_5C "\x95\x5C"

struct DirectoryCase {
    const char *name;
    std::string commandLine;
    bool found;
    std::string directory;
};

TEST(AssistText, FindProgramDirectory)
{
    const std::string dir250(250, 'd');
    const std::string dir260 = std::string(259, 'd') + "\\";
    const std::string dir261 = std::string(260, 'd') + "\\";
    const DirectoryCase cases[] = {
        {"quoted path with blanks", "\"C:\\Program Files\\Clock\\PAVRELL.exe\"", true,
         "C:\\Program Files\\Clock\\"},
        {"unquoted path", "C:\\Clock\\PAVRELL.exe", true, "C:\\Clock\\"},
        {"bare name", "PAVRELL.exe", true, ""},
        {"bare quoted name", "\"PAVRELL.exe\"", true, ""},
        {"arguments ignored", "\"C:\\A B\\PAVRELL.exe\" /s C:\\Other\\x.scr", true, "C:\\A B\\"},
        {"first of two names", "C:\\One\\PAVRELL.exe C:\\Two\\PAVRELL.exe", true, "C:\\One\\"},
        {"lower case is not the name", "\"C:\\Clock\\pavrell.exe\"", true, ""},
        {"other spelling is not the name", "C:\\Clock\\PAVRELL.EXE", true, ""},
        {"empty command line", "", true, ""},
        {"only the quote opening the line is dropped", "\"\"C:\\X\\PAVRELL.exe", true, "\"C:\\X\\"},
        {"kanji ending in 0x5C kept whole", "\"C:\\" KANJI_5C "\\PAVRELL.exe\"", true,
         "C:\\" KANJI_5C "\\"},
        {"no separator before the name", "C:\\" KANJI_5C "PAVRELL.exe", true, "C:\\" KANJI_5C},
        {"260 bytes fit", "\"" + dir260 + "PAVRELL.exe\"", true, dir260},
        {"261 bytes do not", "\"" + dir261 + "PAVRELL.exe\"", false, ""},
        {"name beyond the work text still found",
         "\"C:\\X\\PAVRELL.exe\" " + std::string(2000, 'a'), true, "C:\\X\\"},
        {"name only far into the arguments", "other.exe " + std::string(800, 'a') + " PAVRELL.exe", false, ""},
        {"250 bytes unquoted", dir250 + "PAVRELL.exe", true, dir250},
    };
    for (const DirectoryCase &c : cases) {
        char directory[MAX_PATH_BYTES];
        memset(directory, 'Z', sizeof directory);
        EXPECT_EQ(c.found, FindProgramDirectory(c.commandLine.c_str(), directory)) << c.name;
        EXPECT_EQ(c.directory, std::string(directory)) << c.name;
    }
}

struct SettingsCase {
    const char *name;
    std::string directory;
    bool built;
    std::string path;
};

TEST(AssistText, BuildSettingsPath)
{
    const std::string dir248(248, 'd');
    const SettingsCase cases[] = {
        {"empty directory gives the bare name", "", true, "Pavrell.ini"},
        {"directory with its backslash", "C:\\Program Files\\Clock\\", true,
         "C:\\Program Files\\Clock\\Pavrell.ini"},
        {"drive without backslash", "C:", true, "C:\\Pavrell.ini"},
        {"kanji ending in 0x5C gets a backslash", "C:\\" KANJI_5C, true, "C:\\" KANJI_5C "\\Pavrell.ini"},
        {"kanji then backslash unchanged", "C:\\" KANJI_5C "\\", true, "C:\\" KANJI_5C "\\Pavrell.ini"},
        {"249 bytes with backslash fill the path text", dir248 + "\\", true, dir248 + "\\Pavrell.ini"},
        {"backslash added to 248 bytes", dir248, true, dir248 + "\\Pavrell.ini"},
        {"250 bytes with backslash do not fit", dir248 + "d\\", false, ""},
        {"260 bytes leave no room for the backslash", std::string(260, 'd'), false, ""},
        {"260 bytes ending in a kanji", std::string(258, 'd') + KANJI_5C, false, ""},
        {"longer than a path text", std::string(400, 'd'), false, ""},
        {"lone lead byte at the end is not a separator", "C:\\X\x95", false, ""},
    };
    for (const SettingsCase &c : cases) {
        char path[MAX_PATH_BYTES];
        memset(path, 'Z', sizeof path);
        EXPECT_EQ(c.built, BuildSettingsPath(c.directory.c_str(), path)) << c.name;
        EXPECT_EQ(c.path, std::string(path)) << c.name;
    }
}

struct ParametersCase {
    const char *name;
    std::string shortDirectory;
    std::string scrName;
    bool built;
    std::string parameters;
};

TEST(AssistText, BuildLaunchParameters)
{
    const std::string entry = " desk.cpl,InstallScreenSaver ";
    ASSERT_EQ(29u, entry.size());
    // 29 bytes of entry, 231 of directory and 511 of name fill the 772-byte work text.
    const std::string dir231 = std::string(230, 'd') + "\\";
    const std::string name511(511, 'n');
    const ParametersCase cases[] = {
        {"short directory and name", "C:\\PROGRA~1\\CLOCK\\", "Tessary.scr", true,
         entry + "C:\\PROGRA~1\\CLOCK\\Tessary.scr"},
        {"name with blanks stays unquoted", "C:\\CLOCK\\", "My Clock.scr", true, entry + "C:\\CLOCK\\My Clock.scr"},
        {"empty directory", "", "Tessary.scr", true, entry + "Tessary.scr"},
        {"kanji directory", "C:\\" KANJI_5C "\\", "T.scr", true, entry + "C:\\" KANJI_5C "\\T.scr"},
        {"exactly fills the work text", dir231, name511, true, entry + dir231 + name511},
        {"one byte more does not fit", "d" + dir231, name511, false, ""},
        {"long short form alone", std::string(760, 'd'), "T.scr", false, ""},
    };
    for (const ParametersCase &c : cases) {
        char parameters[ASSIST_WORK_BYTES];
        memset(parameters, 'Z', sizeof parameters);
        EXPECT_EQ(c.built, BuildLaunchParameters(c.shortDirectory.c_str(), c.scrName.c_str(), parameters,
                                                 sizeof parameters))
            << c.name;
        EXPECT_EQ(c.parameters, std::string(parameters)) << c.name;
    }
}

TEST(AssistText, LaunchParametersRespectTheGivenSize)
{
    char small[40];
    memset(small, 'Z', sizeof small);
    EXPECT_TRUE(BuildLaunchParameters("C:\\", "ab.scr", small, 39));
    EXPECT_STREQ(" desk.cpl,InstallScreenSaver C:\\ab.scr", small);
    EXPECT_FALSE(BuildLaunchParameters("C:\\", "abc.scr", small, 39));
    EXPECT_STREQ("", small);
    EXPECT_FALSE(BuildLaunchParameters("", "", small, 0));
    EXPECT_EQ('\0', small[0]);
}

}  // namespace
