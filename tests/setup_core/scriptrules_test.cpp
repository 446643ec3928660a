// The setup script's rules over an in-memory script: key order, defaults, each key's error,
// [README] and [DISKn] lines, number and color conversion.
#include <gtest/gtest.h>

#include <string.h>
#include <strings.h>

#include <string>
#include <utility>
#include <vector>

#include "scriptrules.h"

namespace {

// An INI file as the profile functions present it: keys compared without case, an absent
// key gives the default, a section comes back as zero-separated key=value lines.
struct FakeScript {
    std::vector<std::pair<std::string, std::string>> setup;
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    std::vector<std::string> keysRead;

    void Set(const std::string &key, const std::string &value)
    {
        for (auto &entry : setup) {
            if (strcasecmp(entry.first.c_str(), key.c_str()) == 0) {
                entry.second = value;
                return;
            }
        }
        setup.push_back({key, value});
    }
    void Remove(const std::string &key)
    {
        for (size_t i = 0; i < setup.size(); i++) {
            if (strcasecmp(setup[i].first.c_str(), key.c_str()) == 0) {
                setup.erase(setup.begin() + i);
                return;
            }
        }
    }
    void SetSection(const std::string &name, const std::vector<std::string> &lines)
    {
        for (auto &entry : sections) {
            if (entry.first == name) {
                entry.second = lines;
                return;
            }
        }
        sections.push_back({name, lines});
    }
};

size_t ReadKey(void *context, const char *key, const char *def, char *value, size_t size)
{
    FakeScript *script = (FakeScript *)context;
    script->keysRead.push_back(key);
    std::string text = def;
    for (const auto &entry : script->setup) {
        if (strcasecmp(entry.first.c_str(), key) == 0)
            text = entry.second;
    }
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(value, text.data(), n);
    value[n] = '\0';
    return n;
}

size_t ReadSection(void *context, const char *section, char *data, size_t size)
{
    FakeScript *script = (FakeScript *)context;
    std::string all;
    for (const auto &entry : script->sections) {
        if (strcasecmp(entry.first.c_str(), section) == 0) {
            for (const auto &line : entry.second)
                all += line + '\0';
        }
    }
    // Like the profile function: a section that does not fit is cut, two terminators kept.
    if (all.size() + 1 > size)
        all.resize(size - 2);
    memcpy(data, all.data(), all.size());
    data[all.size()] = '\0';
    data[all.size() + 1 < size ? all.size() + 1 : size - 1] = '\0';
    return all.size();
}

FakeScript ValidScript()
{
    FakeScript s;
    const char *keys[][2] = {
        {"Title", "Clock"},           {"SubTitle", "Desk clock"}, {"BackColor", "BL"},
        {"Titlemap", "title.bmp"},    {"TitlemapX", "10"},        {"TitlemapY", "20"},
        {"Bitmap", "pic\\clock.bmp"}, {"BitmapX", " -5"},         {"BitmapY", "+7px"},
        {"DefaultDir", "C:\\Clock"},  {"StartMsg1", "Line one"},  {"StartMsg2", "*"},
        {"RegIni", "Clock.ini"},      {"RegSec", "User"},         {"Uninstall", "1"},
        {"ShortCutObj", "app.exe"},   {"ShortCutLnk", "App"},     {"ShortCutDir", "2"},
        {"ShortCutFld", "Clock"},     {"ShortCutIco", "0"},       {"ShortCutIcoNum", "3"},
        {"ShortCutFldOpn", "1"},      {"FinalExec", "app.exe"},
    };
    for (const auto &k : keys)
        s.Set(k[0], k[1]);
    s.SetSection("README", {"1=Welcome", "2=*Step"});
    s.SetSection("DISK1", {"1=$App:Tessary.scr", "2=$Sys:SUB\\EXTRA.DLL"});
    return s;
}

struct Outcome {
    bool ok;
    std::string error;
};

Outcome Check(FakeScript *fake, SetupScript *script, const char *sourceDir = "")
{
    ScriptSource source = {fake, ReadKey, ReadSection};
    char error[SCRIPT_ERROR_BYTES];
    bool ok = CheckSetupScript(&source, sourceDir, script, error, sizeof error);
    return {ok, error};
}

TEST(ScriptRules, ValidScriptFillsEveryField)
{
    FakeScript fake = ValidScript();
    static SetupScript script;
    Outcome out = Check(&fake, &script);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_STREQ("Clock", script.Title);
    EXPECT_EQ(1, script.backColorIndex);
    EXPECT_EQ(10, script.titlemapPos.x);
    EXPECT_EQ(20, script.titlemapPos.y);
    EXPECT_EQ(-5, script.bitmapPos.x);
    EXPECT_EQ(7, script.bitmapPos.y);
    EXPECT_EQ(2, script.shortCutFolderId);
    EXPECT_EQ(3, script.shortCutIconIndex);
    EXPECT_STREQ("*", script.StartMsg2);
    EXPECT_STREQ("Welcome", script.readmeLines[0]);
    EXPECT_STREQ(" Step", script.readmeLines[1]);
    EXPECT_STREQ("", script.readmeLines[2]);
    ASSERT_EQ(2, script.fileCount);
    EXPECT_STREQ("$App:", script.fileList[0].macro);
    EXPECT_STREQ("Tessary.scr", script.fileList[0].path);
    EXPECT_STREQ("$Sys:", script.fileList[1].macro);
    EXPECT_STREQ("SUB\\EXTRA.DLL", script.fileList[1].path);
    EXPECT_TRUE(script.diskStart[0]);
    EXPECT_FALSE(script.diskStart[1]);
    EXPECT_EQ(3, script.stepCount);  // two files and the uninstall entry
}

TEST(ScriptRules, KeysAreReadInTheirOrder)
{
    FakeScript fake = ValidScript();
    static SetupScript script;
    ASSERT_TRUE(Check(&fake, &script).ok);
    std::vector<std::string> expected = {
        "Title", "SubTitle", "BackColor", "Titlemap", "TitlemapX", "TitlemapY", "Bitmap",
        "BitmapX", "BitmapY", "DefaultDir", "StartMsg1", "StartMsg2", "RegIni", "RegSec",
        "Uninstall", "ShortCutObj", "ShortCutLnk", "ShortCutDir", "ShortCutFld", "ShortCutIco",
        "ShortCutIcoNum", "ShortCutFldOpn", "FinalExec"};
    EXPECT_EQ(expected, fake.keysRead);
}

// Each required key, absent and present but empty, gives its own error.
TEST(ScriptRules, EachMissingKeyNamesItself)
{
    const char *keys[] = {"Title", "SubTitle", "BackColor", "Titlemap", "TitlemapX",
                          "TitlemapY", "Bitmap", "BitmapX", "BitmapY", "DefaultDir",
                          "StartMsg1", "StartMsg2", "RegIni", "RegSec", "ShortCutObj",
                          "ShortCutLnk", "ShortCutDir", "ShortCutFld", "ShortCutIco",
                          "ShortCutIcoNum", "ShortCutFldOpn", "FinalExec"};
    for (const char *key : keys) {
        for (bool absent : {true, false}) {
            FakeScript fake = ValidScript();
            if (absent)
                fake.Remove(key);
            else
                fake.Set(key, "");
            static SetupScript script;
            Outcome out = Check(&fake, &script);
            EXPECT_FALSE(out.ok) << key;
            EXPECT_EQ(std::string(" ") + key + " Error", out.error)
                << key << (absent ? " absent" : " empty");
        }
    }
}

TEST(ScriptRules, ValueChecks)
{
    struct Case {
        const char *name;
        const char *key;
        const char *value;   // NULL: remove the key
        const char *error;   // "" for a valid script
    };
    const Case cases[] = {
        {"Uninstall absent counts as 0", "Uninstall", NULL, ""},
        {"Uninstall empty", "Uninstall", "", " Uninstall Error"},
        {"Uninstall yes", "Uninstall", "yes", " Uninstall Error"},
        {"Uninstall 0", "Uninstall", "0", ""},
        {"ShortCutDir 3", "ShortCutDir", "3", " ShortCutDir Error"},
        {"ShortCutDir 7", "ShortCutDir", "7", ""},
        {"ShortCutDir 0", "ShortCutDir", "0", ""},
        {"ShortCutDir 02 is not 2", "ShortCutDir", "02", " ShortCutDir Error"},
        {"ShortCutFldOpn 2", "ShortCutFldOpn", "2", " ShortCutFldOpn Error"},
        {"ShortCutFldOpn 0", "ShortCutFldOpn", "0", ""},
        {"BackColor Blue is black", "BackColor", "Blue", ""},
        {"StartMsg2 star", "StartMsg2", "*", ""},
    };
    for (const Case &c : cases) {
        FakeScript fake = ValidScript();
        if (c.value == NULL)
            fake.Remove(c.key);
        else
            fake.Set(c.key, c.value);
        static SetupScript script;
        Outcome out = Check(&fake, &script);
        EXPECT_EQ(c.error[0] == '\0', out.ok) << c.name;
        EXPECT_EQ(std::string(c.error), out.error) << c.name;
    }
}

TEST(ScriptRules, ShortCutDirIsCheckedAfterTheOtherShortcutKeys)
{
    FakeScript fake = ValidScript();
    fake.Set("ShortCutDir", "3");
    fake.Remove("ShortCutIco");
    static SetupScript script;
    EXPECT_EQ(" ShortCutIco Error", Check(&fake, &script).error);
}

TEST(ScriptRules, NoShortcutSetsTheSixKeysToZero)
{
    FakeScript fake = ValidScript();
    fake.Set("ShortCutObj", "0");
    for (const char *key : {"ShortCutLnk", "ShortCutDir", "ShortCutFld", "ShortCutIco",
                            "ShortCutIcoNum", "ShortCutFldOpn"})
        fake.Remove(key);
    static SetupScript script;
    ASSERT_TRUE(Check(&fake, &script).ok);
    for (const char *value : {script.ShortCutLnk, script.ShortCutDir, script.ShortCutFld,
                              script.ShortCutIco, script.ShortCutIcoNum, script.ShortCutFldOpn})
        EXPECT_STREQ("0", value);
    EXPECT_EQ(0, script.shortCutFolderId);
    EXPECT_EQ(0, script.shortCutIconIndex);
    for (const std::string &key : fake.keysRead)
        EXPECT_NE("ShortCutLnk", key);
}

TEST(ScriptRules, PictureZeroSkipsItsPosition)
{
    FakeScript fake = ValidScript();
    fake.Set("Titlemap", "0.bmp");
    fake.Remove("TitlemapX");
    fake.Remove("TitlemapY");
    fake.Set("Bitmap", "0");
    fake.Remove("BitmapX");
    fake.Remove("BitmapY");
    static SetupScript script;
    ASSERT_TRUE(Check(&fake, &script).ok);
    for (const std::string &key : fake.keysRead) {
        EXPECT_NE("TitlemapX", key);
        EXPECT_NE("BitmapY", key);
    }
}

TEST(ScriptRules, DefaultDirFallsBackToTheMediumOnlyWhenAbsent)
{
    FakeScript fake = ValidScript();
    fake.Remove("DefaultDir");
    static SetupScript script;
    EXPECT_EQ(" DefaultDir Error", Check(&fake, &script, "").error);
    ASSERT_TRUE(Check(&fake, &script, "D:\\").ok);
    EXPECT_STREQ("D:\\", script.DefaultDir);
    fake.Set("DefaultDir", "");
    EXPECT_EQ(" DefaultDir Error", Check(&fake, &script, "D:\\").error);
}

TEST(ScriptRules, ValuesReadBeforeTheErrorStay)
{
    FakeScript fake = ValidScript();
    fake.Set("RegIni", "");
    static SetupScript script;
    ASSERT_FALSE(Check(&fake, &script).ok);
    EXPECT_STREQ("Clock", script.Title);
    EXPECT_STREQ("*", script.StartMsg2);
    EXPECT_STREQ("", script.RegSec);
}

TEST(ScriptRules, SectionErrors)
{
    struct Case {
        const char *name;
        std::vector<std::pair<std::string, std::vector<std::string>>> sections;
        const char *error;
        int files;
    };
    const Case cases[] = {
        {"README empty", {{"README", {}}}, " Readme Error", 0},
        {"DISK1 absent", {{"DISK1", {}}}, " DISK1 Error", 0},
        {"DISK1 and DISK3 only", {{"DISK3", {"1=$App:c.txt"}}}, "", 2},
        {"macro without dollar", {{"DISK2", {"1=App:x.txt"}}}, " DISK2 Error", 3},
        {"lower-case macro", {{"DISK2", {"1=$app:X.TXT"}}}, "", 3},
        {"no colon", {{"DISK2", {"1=$App"}}}, " DISK2 Error", 3},
        {"no equals", {{"DISK2", {"$App:x"}}}, " DISK2 Error", 3},
        {"unknown macro", {{"DISK2", {"1=$Tmp:x"}}}, " DISK2 Error", 3},
        {"semicolon in first line", {{"DISK2", {"1=$App:a;b"}}}, " DISK2 Error", 3},
        {"semicolon in second line", {{"DISK2", {"1=$App:a", "2=$App:b;c"}}}, "", 4},
        {"bad line in DISK10", {{"DISK2", {"1=$App:a"}}, {"DISK3", {"1=$App:a"}},
                                {"DISK4", {"1=$App:a"}}, {"DISK5", {"1=$App:a"}},
                                {"DISK6", {"1=$App:a"}}, {"DISK7", {"1=$App:a"}},
                                {"DISK8", {"1=$App:a"}}, {"DISK9", {"1=$App:a"}},
                                {"DISK10", {"x"}}}, " DISK10 Error", 0},
    };
    for (const Case &c : cases) {
        FakeScript fake = ValidScript();
        for (const auto &s : c.sections)
            fake.SetSection(s.first, s.second);
        static SetupScript script;
        Outcome out = Check(&fake, &script);
        EXPECT_EQ(std::string(c.error), out.error) << c.name;
        if (out.ok) {
            EXPECT_EQ(c.files, script.fileCount) << c.name;
        }
        if (out.ok && c.files > 2) {
            EXPECT_STREQ("$App:", script.fileList[2].macro) << c.name;
        }
    }
}

TEST(ScriptRules, FileListStopsAtOneHundred)
{
    FakeScript fake = ValidScript();
    std::vector<std::string> lines;
    for (int i = 0; i < 60; i++)
        lines.push_back(std::to_string(i) + "=$Win:f" + std::to_string(i));
    fake.SetSection("DISK1", lines);
    fake.SetSection("DISK2", lines);
    fake.SetSection("DISK3", {"bad line"});   // first line checked only for ';'
    fake.Set("Uninstall", "0");
    static SetupScript script;
    Outcome out = Check(&fake, &script);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(100, script.fileCount);
    EXPECT_EQ(100, script.stepCount);
    EXPECT_STREQ("f39", script.fileList[99].path);
    EXPECT_TRUE(script.diskStart[0]);
    EXPECT_TRUE(script.diskStart[60]);
    fake.SetSection("DISK3", {"1=$App:x;y"});
    EXPECT_EQ(" DISK3 Error", Check(&fake, &script).error);
}

TEST(ScriptRules, StepCountCountsTheUninstallEntry)
{
    FakeScript fake = ValidScript();
    fake.SetSection("DISK1", {"1=$App:a", "2=$App:b", "3=$App:c"});
    fake.SetSection("DISK2", {"1=$App:d", "2=$App:e"});
    static SetupScript script;
    ASSERT_TRUE(Check(&fake, &script).ok);
    EXPECT_EQ(6, script.stepCount);
    EXPECT_TRUE(script.diskStart[3]);
    fake.Set("Uninstall", "0");
    ASSERT_TRUE(Check(&fake, &script).ok);
    EXPECT_EQ(5, script.stepCount);
}

TEST(ScriptRules, Numbers)
{
    struct Case {
        const char *text;
        int value;
    };
    const Case cases[] = {
        {"0", 0},          {"42", 42},          {"  17", 17},       {"\t-3", -3},
        {"+8", 8},         {"12px", 12},        {"px12", 0},        {"", 0},
        {"-", 0},          {"- 5", 0},          {"2147483647", 2147483647},
        {"99999999999999999999", 2147483647},   {"-99999999999999999999", -2147483647 - 1},
        {"007", 7},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.value, ScriptNumber(c.text)) << "\"" << c.text << "\"";
}

TEST(ScriptRules, BackColorCodes)
{
    struct Case {
        const char *code;
        int index;
    };
    const Case cases[] = {{"BL", 1}, {"bl", 1}, {"Gr", 2}, {"RD", 3}, {"lb", 4}, {"PK", 5},
                          {"YL", 6}, {"mn", 7}, {"Blue", 0}, {"B", 0}, {"XX", 0}, {"", 0},
                          {"BL ", 0}};
    for (const Case &c : cases)
        EXPECT_EQ(c.index, BackColorIndex(c.code)) << c.code;
}

TEST(ScriptRules, ReadmeLines)
{
    std::string data = std::string("1=Welcome") + '\0' + "2=**Item" + '\0' + "key only" + '\0' +
                       "3=a=b" + '\0' + "4=" + '\0' + "5=x*" + '\0';
    static char lines[README_LINES][README_LINE_BYTES];
    FillReadmeLines(data.data(), data.size(), lines);
    EXPECT_STREQ("Welcome", lines[0]);
    EXPECT_STREQ("  Item", lines[1]);
    EXPECT_STREQ("key only", lines[2]);
    EXPECT_STREQ("a=b", lines[3]);
    EXPECT_STREQ("", lines[4]);
    EXPECT_STREQ("x*", lines[5]);
    EXPECT_STREQ("", lines[6]);
}

TEST(ScriptRules, ReadmeKeepsTwentyLinesOfAtMost255Bytes)
{
    std::string data;
    for (int i = 0; i < 25; i++)
        data += std::to_string(i) + "=" + std::string(300, 'a' + i % 26) + '\0';
    static char lines[README_LINES][README_LINE_BYTES];
    FillReadmeLines(data.data(), data.size(), lines);
    for (int i = 0; i < README_LINES; i++) {
        EXPECT_EQ(255u, strlen(lines[i])) << i;
        EXPECT_EQ('a' + i % 26, lines[i][0]) << i;
    }
    // Cut at a whole character: a double-byte character across byte 255 is left out.
    std::string kanji = "1=" + std::string(254, 'x') + "\x93\xfa" + '\0';
    FillReadmeLines(kanji.data(), kanji.size(), lines);
    EXPECT_EQ(254u, strlen(lines[0]));
    // 256 asterisks and more: all that fit become blanks.
    std::string stars = "1=" + std::string(300, '*') + '\0';
    FillReadmeLines(stars.data(), stars.size(), lines);
    EXPECT_EQ(std::string(255, ' '), lines[0]);
}

TEST(ScriptRules, DiskLines)
{
    struct Case {
        const char *line;
        bool ok;
        const char *macro;
        const char *path;
    };
    const Case cases[] = {
        {"1=$App:Tessary.scr", true, "$App:", "Tessary.scr"},
        {"Lib=$Sys:SUB\\EXTRA.DLL", true, "$Sys:", "SUB\\EXTRA.DLL"},
        {"x=$WIN:a.txt", true, "$Win:", "a.txt"},
        {"1=$App:", true, "$App:", ""},
        {"1=App:x.txt", false, "", ""},
        {"1=$Ap:x", false, "", ""},
        {"1=$App", false, "", ""},
        {"$App:x", false, "", ""},
        {"", false, "", ""},
        {"=$App:x", true, "$App:", "x"},
    };
    for (const Case &c : cases) {
        FileEntry entry = {};
        EXPECT_EQ(c.ok, ParseDiskLine(c.line, &entry)) << c.line;
        EXPECT_STREQ(c.macro, entry.macro) << c.line;
        EXPECT_STREQ(c.path, entry.path) << c.line;
    }
    // A path of 260 bytes fits; one of 261 cannot name a file and is refused.
    FileEntry entry = {};
    std::string longest = "1=$App:" + std::string(260, 'p');
    EXPECT_TRUE(ParseDiskLine(longest.c_str(), &entry));
    EXPECT_EQ(260u, strlen(entry.path));
    std::string tooLong = "1=$App:" + std::string(261, 'p');
    EXPECT_FALSE(ParseDiskLine(tooLong.c_str(), &entry));
}

}  // namespace
