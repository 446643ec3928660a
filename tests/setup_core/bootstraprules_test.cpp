// Staging list and the texts of the bootstrap start.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "bootstraprules.h"

namespace {

TEST(BootstrapRules, StagingList)
{
    struct Case {
        const char *exeName;
        const char *titlemap;
        const char *bitmap;
        std::string expected;   // entry>staged name, each followed by '|'
    };
    // 表 is 0x95 0x5C and 示 0x8E 0xA6 in Shift-JIS.
    const Case cases[] = {
        {"SETUP.exe", "t.bmp", "pic\\b.bmp", "SETUP.exe>SETUP.exe|SETUP.ini>SETUP.ini|t.bmp>t.bmp|pic\\b.bmp>b.bmp|"},
        {"SETUP.exe", "0", "0", "SETUP.exe>SETUP.exe|SETUP.ini>SETUP.ini|"},
        {"SETUP.exe", "0.bmp", "b.bmp", "SETUP.exe>SETUP.exe|SETUP.ini>SETUP.ini|b.bmp>b.bmp|"},
        {"SETUP.exe", "t.bmp", "0", "SETUP.exe>SETUP.exe|SETUP.ini>SETUP.ini|t.bmp>t.bmp|"},
        {"\x95\x5C\x8E\xA6.exe", "0", "\x95\x5C.bmp",
         "\x95\x5C\x8E\xA6.exe>\x95\x5C\x8E\xA6.exe|SETUP.ini>SETUP.ini|\x95\x5C.bmp>.bmp|"},
    };
    for (const Case &c : cases) {
        StagedFile list[STAGED_FILES_MAX];
        int count = StagingList(c.exeName, "SETUP.ini", c.titlemap, c.bitmap, list);
        std::string joined;
        for (int i = 0; i < count; i++)
            joined += std::string(list[i].entry) + ">" + list[i].stagedName + "|";
        EXPECT_EQ(c.expected, joined) << c.titlemap << " " << c.bitmap;
    }
}

TEST(BootstrapRules, RelaunchCommand)
{
    char command[772];
    ASSERT_TRUE(RelaunchCommand(command, sizeof command, "C:\\WINDOWS", "SETUP", "D:\\"));
    EXPECT_STREQ("C:\\WINDOWS\\SETUP.exe /D:\\", command);
    ASSERT_TRUE(RelaunchCommand(command, sizeof command, "C:\\", "INST", "Z:\\a b\\"));
    EXPECT_STREQ("C:\\INST.exe /Z:\\a b\\", command);
    std::string folder(260, 'f');
    std::string name(255, 'n');
    EXPECT_FALSE(RelaunchCommand(command, sizeof command, folder.c_str(), name.c_str(),
                                 folder.c_str()));
}

const char *const kStagedShortNames[] = {"C:\\WINDOWS\\SETUP.ini", "C:\\WINDOWS\\TITLE~1.BMP"};

// WININIT.INI appended to as SETUP did with the C library's buffered text files: the last
// byte read in binary, then "\n" written in text mode, which the target's C library writes as
// CR LF. A host without text mode is given CR LF itself. Returns the file afterwards.
std::string AppendWithTheCLibrary(const std::string &path, bool existed)
{
#ifdef _WIN32
    const char *appendMode = "at", *lineEnd = "\n";
#else
    const char *appendMode = "ab", *lineEnd = "\r\n";
#endif
    bool endLastLine = false;
    if (FILE *file = existed ? fopen(path.c_str(), "rb") : NULL) {
        if (fseek(file, -1, SEEK_END) == 0) {
            int last = fgetc(file);
            endLastLine = last != EOF && last != '\n' && last != '\r';
        }
        fclose(file);
    }
    FILE *file = fopen(path.c_str(), appendMode);
    if (file == NULL)
        return "(not opened)";
    if (!existed) {
        fputs("[rename]", file);
        fputs(lineEnd, file);
    }
    if (endLastLine)
        fputs(lineEnd, file);
    for (const char *name : kStagedShortNames) {
        fputs("NUL=", file);
        fputs(name, file);
        fputs(lineEnd, file);
    }
    fclose(file);
    std::string after;
    file = fopen(path.c_str(), "rb");
    for (int c; file != NULL && (c = fgetc(file)) != EOF;)
        after += (char)c;
    if (file != NULL)
        fclose(file);
    return after;
}

// What SETUP now appends, byte for byte what the C library's text file gave: "[rename]" only
// for a new file, a line end only after a last line without one, then one line a file.
TEST(BootstrapRules, WininitAppendAgreesWithTheCLibrary)
{
    struct Case {
        const char *name;
        bool existed;
        std::string before;
        const char *opening;
    };
    const Case cases[] = {
        {"missing", false, "", "[rename]\r\n"},
        {"empty", true, "", ""},
        {"ends with CR LF", true, "[rename]\r\nNUL=C:\\OLD.TXT\r\n", ""},
        {"ends with LF alone", true, "[rename]\nNUL=C:\\OLD.TXT\n", ""},
        {"ends with CR alone", true, "[rename]\r", ""},
        {"ends without a line end", true, "[rename]\r\nC:\\NEW.TXT=C:\\OLD.TXT", "\r\n"},
        {"one byte, no line end", true, "x", "\r\n"},
        {"ends in a trail byte 0x5C", true, "[rename]\r\nNUL=C:\\\x95\x5C", "\r\n"},
        {"ends in a zero byte", true, std::string("[rename]\r\n\0", 11), "\r\n"},
        {"ends in end-of-file mark", true, "[rename]\r\n\x1A", "\r\n"},
    };
    const std::string path = testing::TempDir() + "wininit-append.ini";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        remove(path.c_str());
        int lastByte = c.before.empty() ? (int)NO_LAST_BYTE : (unsigned char)c.before.back();
        EXPECT_STREQ(c.opening, WininitOpening(c.existed, lastByte));
        std::string ours = c.before + WininitOpening(c.existed, lastByte);
        for (const char *name : kStagedShortNames) {
            char line[600];
            ASSERT_TRUE(WininitDeletionLine(line, sizeof line, name));
            ours += line;
        }
        if (c.existed) {
            FILE *file = fopen(path.c_str(), "wb");
            ASSERT_TRUE(file != NULL);
            fwrite(c.before.data(), 1, c.before.size(), file);
            fclose(file);
        }
        EXPECT_EQ(AppendWithTheCLibrary(path, c.existed), ours);
    }
    remove(path.c_str());
}

TEST(BootstrapRules, WininitDeletionLineRefusesWhatDoesNotFit)
{
    const std::string name = "C:\\WINDOWS\\SETUP.ini";
    const size_t whole = 4 + name.size() + 2 + 1;   // "NUL=", CR LF, terminator
    std::vector<char> line(whole + 1);
    EXPECT_TRUE(WininitDeletionLine(line.data(), whole, name.c_str()));
    EXPECT_EQ("NUL=" + name + "\r\n", std::string(line.data()));
    EXPECT_FALSE(WininitDeletionLine(line.data(), whole - 1, name.c_str()));
    EXPECT_FALSE(WininitDeletionLine(line.data(), 0, name.c_str()));
}

}  // namespace
