// SETUP's command line: its own name and folder, and the choice of the start.
#include <gtest/gtest.h>

#include <string>

#include "commandline.h"

namespace {

struct Case {
    const char *name;
    const char *line;
    const char *module;
    CommandLineStatus status;
    RunMode mode;
    const char *baseName;
    const char *scriptDir;
    const char *sourceDir;
    const char *entryNumber;
};

const char *ModeName(RunMode mode)
{
    switch (mode) {
    case RunMode::Bootstrap:
        return "Bootstrap";
    case RunMode::Wizard:
        return "Wizard";
    case RunMode::Uninstall:
        return "Uninstall";
    }
    return "?";
}

const CommandLineStatus OK = CommandLineStatus::Ok;
const CommandLineStatus BAD = CommandLineStatus::BadArgument;
const RunMode BOOT = RunMode::Bootstrap;
const RunMode WIZ = RunMode::Wizard;
const RunMode UNI = RunMode::Uninstall;

const Case kCases[] = {
    {"quoted, no argument", "\"D:\\SETUP.exe\"", "D:\\SETUP.exe", OK, BOOT, "SETUP", "D:\\", "", ""},
    {"unquoted with blanks after", "D:\\Disk\\SETUP.EXE  ", "D:\\Disk\\SETUP.EXE", OK, BOOT,
     "SETUP", "D:\\Disk\\", "", ""},
    {"no slash is always bootstrap", "\"D:\\SETUP.exe\" Uninst-3-C:\\A", "D:\\SETUP.exe", OK, BOOT,
     "SETUP", "D:\\", "", ""},
    {"relaunch", "C:\\WINDOWS\\SETUP.exe /D:\\", "C:\\WINDOWS\\SETUP.exe", OK, WIZ, "SETUP",
     "C:\\WINDOWS\\", "D:\\", ""},
    {"relaunch from a folder with a dot", "C:\\WINDOWS\\SETUP.exe /D:\\Disk.1\\",
     "C:\\WINDOWS\\SETUP.exe", OK, WIZ, "SETUP", "C:\\WINDOWS\\", "D:\\Disk.1\\", ""},
    {"uninstall", "C:\\WINDOWS\\SETUP.exe /Uninst-0-C:\\Program Files\\Clock",
     "C:\\WINDOWS\\SETUP.exe", OK, UNI, "SETUP", "C:\\Program Files\\Clock", "", "0"},
    {"uninstall keyword in capitals, folder with dashes",
     "C:\\WINDOWS\\SETUP.exe /UNINST-3-C:\\A-B\\C", "C:\\WINDOWS\\SETUP.exe", OK, UNI, "SETUP",
     "C:\\A-B\\C", "", "3"},
    {"Uninstall without dash is a medium", "C:\\WINDOWS\\SETUP.exe /Uninstall",
     "C:\\WINDOWS\\SETUP.exe", OK, WIZ, "SETUP", "C:\\WINDOWS\\", "Uninstall", ""},
    {"uninstall without the second dash", "C:\\WINDOWS\\SETUP.exe /Uninst-5",
     "C:\\WINDOWS\\SETUP.exe", BAD, BOOT, "SETUP", "C:\\WINDOWS\\", "", ""},
    {"uninstall number not digits", "C:\\WINDOWS\\SETUP.exe /Uninst-5x-C:\\A",
     "C:\\WINDOWS\\SETUP.exe", BAD, BOOT, "SETUP", "C:\\WINDOWS\\", "", ""},
    {"uninstall number empty", "C:\\WINDOWS\\SETUP.exe /Uninst--C:\\A", "C:\\WINDOWS\\SETUP.exe",
     BAD, BOOT, "SETUP", "C:\\WINDOWS\\", "", ""},
    {"uninstall without folder", "C:\\WINDOWS\\SETUP.exe /Uninst-5-", "C:\\WINDOWS\\SETUP.exe",
     BAD, BOOT, "SETUP", "C:\\WINDOWS\\", "", ""},
    {"uninstall number of 31 digits",
     "C:\\WINDOWS\\SETUP.exe /Uninst-1234567890123456789012345678901-C:\\A",
     "C:\\WINDOWS\\SETUP.exe", OK, UNI, "SETUP", "C:\\A", "", "1234567890123456789012345678901"},
    {"uninstall number of 32 digits",
     "C:\\WINDOWS\\SETUP.exe /Uninst-12345678901234567890123456789012-C:\\A",
     "C:\\WINDOWS\\SETUP.exe", BAD, BOOT, "SETUP", "C:\\WINDOWS\\", "", ""},
    {"folder with a dot", "\"D:\\Disk.1\\SETUP.exe\"", "D:\\Disk.1\\SETUP.exe", OK, BOOT, "SETUP",
     "D:\\Disk.1\\", "", ""},
    {"no dot at all", "D:\\SETUP", "D:\\SETUP.EXE", OK, BOOT, "SETUP", "D:\\", "", ""},
    {"bare name", "SETUP.exe", "D:\\Pkg\\SETUP.exe", OK, BOOT, "SETUP", "D:\\Pkg\\", "", ""},
    {"quoted bare name", "\"SETUP.exe\"", "D:\\SETUP.exe", OK, BOOT, "SETUP", "D:\\", "", ""},
    {"other name", "\"D:\\INST.exe\"", "D:\\INST.exe", OK, BOOT, "INST", "D:\\", "", ""},
    {"name with two dots", "\"D:\\SETUP.v2.exe\"", "D:\\SETUP.v2.exe", OK, BOOT, "SETUP.v2",
     "D:\\", "", ""},
    {"case of the module differs", "d:\\setup.exe", "D:\\SETUP.EXE", OK, BOOT, "setup", "d:\\",
     "", ""},
    {"no module path: the line alone", "D:\\Disk.1\\SETUP.exe", "", OK, BOOT, "Disk", "D:\\", "",
     ""},
    {"kanji ending in 0x5C in the folder", "C:\\\x95\x5C\\SETUP.exe", "C:\\\x95\x5C\\SETUP.exe",
     OK, BOOT, "SETUP", "C:\\\x95\x5C\\", "", ""},
    {"empty line", "", "C:\\SETUP.exe", OK, BOOT, "SETUP", "C:\\", "", ""},
};

TEST(CommandLine, Decompose)
{
    for (const Case &c : kCases) {
        CommandLineParts parts;
        CommandLineStatus status = DecomposeCommandLine(c.line, c.module, &parts);
        EXPECT_EQ((int)c.status, (int)status) << c.name;
        EXPECT_STREQ(c.baseName, parts.baseName) << c.name;
        if (status != CommandLineStatus::Ok)
            continue;
        EXPECT_STREQ(ModeName(c.mode), ModeName(parts.mode)) << c.name;
        EXPECT_STREQ(c.scriptDir, parts.scriptDir) << c.name;
        EXPECT_STREQ(c.sourceDir, parts.sourceDir) << c.name;
        EXPECT_STREQ(c.entryNumber, parts.entryNumber) << c.name;
    }
}

TEST(CommandLine, LengthLimits)
{
    std::string program = "C:\\WINDOWS\\SETUP.exe /";
    CommandLineParts parts;
    // 771 bytes are handled; the argument must still fit a path.
    std::string line = program + std::string(771 - program.size(), 'x');
    EXPECT_EQ((int)CommandLineStatus::BadArgument,
              (int)DecomposeCommandLine(line.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
    line = program + std::string(260, 'x');
    EXPECT_EQ((int)CommandLineStatus::Ok,
              (int)DecomposeCommandLine(line.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
    EXPECT_EQ(260u, std::string(parts.sourceDir).size());
    line = program + std::string(261, 'x');
    EXPECT_EQ((int)CommandLineStatus::BadArgument,
              (int)DecomposeCommandLine(line.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
    // Beyond 771 bytes the line is refused, but the name is still known for the message.
    line = program + std::string(772 - program.size(), 'x');
    EXPECT_EQ((int)CommandLineStatus::TooLong,
              (int)DecomposeCommandLine(line.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
    EXPECT_STREQ("SETUP", parts.baseName);
    std::string uninstall = "C:\\WINDOWS\\SETUP.exe /Uninst-1-C:\\" + std::string(257, 'f');
    EXPECT_EQ((int)CommandLineStatus::Ok,
              (int)DecomposeCommandLine(uninstall.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
    uninstall += "f";
    EXPECT_EQ((int)CommandLineStatus::BadArgument,
              (int)DecomposeCommandLine(uninstall.c_str(), "C:\\WINDOWS\\SETUP.exe", &parts));
}

}  // namespace
