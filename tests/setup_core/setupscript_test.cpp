// The script reader on real Shift-JIS INI files through the platform's profile functions:
// their rules on blanks, quotes, comments and letter case, and the texts of the errors.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "scripterror.h"
#include "setupcontext.h"
#include "setupscript.h"
#include "testsupport.h"

// The reader's one way of reporting, collected here instead of shown.
static std::vector<std::string> shownErrors;

void ShowScriptError(const char *text)
{
    shownErrors.push_back(text);
}

namespace {

const char kValidScript[] =
    "[Setup]\n"
    "Title=時計のテスト\n"
    "SubTitle=サブタイトル\n"
    "BackColor=mn\n"
    "Titlemap=0\n"
    "Bitmap=pic\\clock.bmp\n"
    "BitmapX=12\n"
    "BitmapY=34\n"
    "DefaultDir=C:\\Program Files\\時計\n"
    "StartMsg1=一行目\n"
    "StartMsg2=*\n"
    "RegIni=Clock.ini\n"
    "RegSec=User\n"
    "Uninstall=1\n"
    "ShortCutObj=0\n"
    "FinalExec=0\n"
    "[README]\n"
    "1=ようこそ\n"
    "2=**表示\n"
    "[DISK1]\n"
    "1=$App:Tessary.scr\n"
    "2=$Win:表示.txt\n";

class ScriptReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = SuiteFolder() + "\\reader";
        RemoveTree(folder);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        memset(&setupContext, 0, sizeof setupContext);
        strcpy(setupContext.baseName, "SETUP");
        strcpy(setupContext.scriptName, "SETUP.ini");
        strcpy(setupContext.scriptDir, (folder + "\\").c_str());
        shownErrors.clear();
    }
    void TearDown() override { RemoveTree(folder); }

    // Writes the UTF-8 text as Shift-JIS with CR LF line ends.
    void WriteScript(const std::string &utf8)
    {
        std::string text = Sjis(utf8.c_str());
        std::string crlf;
        for (char c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        ASSERT_TRUE(WriteWholeFile(folder + "\\SETUP.ini", crlf));
    }

    // The valid script with one line replaced (or removed when replacement is empty).
    static std::string Edited(const std::string &line, const std::string &replacement)
    {
        return ReplaceLine(kValidScript, line, replacement);
    }

    std::string folder;
};

TEST_F(ScriptReader, ValidShiftJisScript)
{
    WriteScript(kValidScript);
    ASSERT_EQ(1, ReadSetupScript());
    EXPECT_TRUE(shownErrors.empty());
    EXPECT_EQ(Sjis("時計のテスト"), setupScript.Title);
    EXPECT_EQ(Sjis("C:\\Program Files\\時計"), setupScript.DefaultDir);
    EXPECT_EQ(7, setupScript.backColorIndex);
    EXPECT_EQ(12, setupScript.bitmapPos.x);
    EXPECT_EQ(34, setupScript.bitmapPos.y);
    EXPECT_STREQ("0", setupScript.ShortCutDir);
    EXPECT_EQ(Sjis("ようこそ"), setupScript.readmeLines[0]);
    EXPECT_EQ("  " + Sjis("表示"), setupScript.readmeLines[1]);
    ASSERT_EQ(2, setupScript.fileCount);
    EXPECT_STREQ("$Win:", setupScript.fileList[1].macro);
    // 表 is 0x95 0x5C: its second byte must not end the path.
    EXPECT_EQ(Sjis("表示.txt"), setupScript.fileList[1].path);
    EXPECT_EQ(3, setupScript.stepCount);

    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_STREQ(windows, setupContext.windowsDir);
    EXPECT_STREQ(system, setupContext.systemDir);
    EXPECT_EQ(folder + "\\SETUP.ini", setupContext.scriptPath);
}

TEST_F(ScriptReader, TheSamplePackageIsValid)
{
    std::string sample = WinePath(EnvText("KIT_SOURCE_DIR") + "/examples/clock");
    strcpy(setupContext.scriptDir, sample.c_str());   // no trailing backslash: one is added
    ASSERT_EQ(1, ReadSetupScript()) << (shownErrors.empty() ? "" : shownErrors[0]);
    EXPECT_EQ(Sjis("Velmora 時計"), setupScript.Title);
    EXPECT_STREQ("1", setupScript.Uninstall);
    EXPECT_STREQ("PAVRELL.exe", setupScript.FinalExec);
    EXPECT_EQ(2, setupScript.shortCutFolderId);
    ASSERT_EQ(4, setupScript.fileCount);
    EXPECT_STREQ("Tessary.scr", setupScript.fileList[0].path);
    EXPECT_STREQ("PAVRELL.exe", setupScript.fileList[1].path);
    EXPECT_STREQ("Pavrell.ini", setupScript.fileList[2].path);
    EXPECT_STREQ("Velmora.ini", setupScript.fileList[3].path);
    EXPECT_EQ(5, setupScript.stepCount);
    EXPECT_EQ("  " + Sjis("時計スクリーンセーバー (Tessary.scr)"), setupScript.readmeLines[2]);
    EXPECT_EQ(sample + "\\SETUP.ini", setupContext.scriptPath);
}

// What the profile functions do to the text decides what the reader sees.
TEST_F(ScriptReader, ProfileRules)
{
    struct Case {
        const char *name;
        std::string script;
        const char *error;   // NULL when valid
    };
    const Case cases[] = {
        {"blanks around = and key case", Edited("Title=時計のテスト", "  tItLe   =   時計のテスト   "),
         NULL},
        {"quoted value", Edited("RegSec=User", "RegSec=\"User\""), NULL},
        {"empty value", Edited("RegSec=User", "RegSec="), "SETUP.ini RegSec Error"},
        {"blank value", Edited("RegSec=User", "RegSec=   "), "SETUP.ini RegSec Error"},
        {"commented out", Edited("RegSec=User", ";RegSec=User"), "SETUP.ini RegSec Error"},
        {"Uninstall absent", Edited("Uninstall=1", ""), NULL},
        {"Uninstall empty", Edited("Uninstall=1", "Uninstall="), "SETUP.ini Uninstall Error"},
        {"Uninstall yes", Edited("Uninstall=1", "Uninstall=yes"), "SETUP.ini Uninstall Error"},
        {"DefaultDir absent, no medium", Edited("DefaultDir=C:\\Program Files\\時計", ""),
         "SETUP.ini DefaultDir Error"},
        {"section names without case", Edited("[DISK1]", "[disk1]"), NULL},
        {"no README", Edited("[README]", "[READ]"), "SETUP.ini Readme Error"},
        {"DISK line without $", Edited("2=$Win:表示.txt", "2=Win:x.txt"), "SETUP.ini DISK1 Error"},
        {"DISK2 bad", std::string(kValidScript) + "[DISK2]\n1=$Tmp:x\n", "SETUP.ini DISK2 Error"},
        {"DISK1 missing", Edited("[DISK1]", "[DISKONE]"), "SETUP.ini DISK1 Error"},
        {"ShortCutDir 3", Edited("ShortCutObj=0",
                                 "ShortCutObj=app.exe\nShortCutLnk=App\nShortCutDir=3\n"
                                 "ShortCutFld=0\nShortCutIco=0\nShortCutIcoNum=0\n"
                                 "ShortCutFldOpn=0"),
         "SETUP.ini ShortCutDir Error"},
    };
    for (const Case &c : cases) {
        shownErrors.clear();
        WriteScript(c.script);
        int result = ReadSetupScript();
        EXPECT_EQ(c.error == NULL ? 1 : 0, result) << c.name;
        if (c.error == NULL) {
            EXPECT_TRUE(shownErrors.empty()) << c.name;
        } else {
            ASSERT_EQ(1u, shownErrors.size()) << c.name;
            EXPECT_EQ(c.error, shownErrors[0]) << c.name;
        }
    }
}

TEST_F(ScriptReader, DefaultDirDefaultsToTheMedium)
{
    WriteScript(Edited("DefaultDir=C:\\Program Files\\時計", ""));
    strcpy(setupContext.sourceDir, "D:\\");
    ASSERT_EQ(1, ReadSetupScript());
    EXPECT_STREQ("D:\\", setupScript.DefaultDir);
}

TEST_F(ScriptReader, MissingFileNamesTheFirstKey)
{
    ASSERT_EQ(0, ReadSetupScript());
    ASSERT_EQ(1u, shownErrors.size());
    EXPECT_EQ("SETUP.ini Title Error", shownErrors[0]);
}

TEST_F(ScriptReader, ScriptNameFollowsTheProgramName)
{
    WriteScript("[Setup]\nTitle=x\n");
    ASSERT_TRUE(CopyFileA((folder + "\\SETUP.ini").c_str(), (folder + "\\INST.ini").c_str(), FALSE));
    strcpy(setupContext.baseName, "INST");
    strcpy(setupContext.scriptName, "INST.ini");
    ASSERT_EQ(0, ReadSetupScript());
    ASSERT_EQ(1u, shownErrors.size());
    EXPECT_EQ("INST.ini SubTitle Error", shownErrors[0]);
}

// A script path that does not fit is not cut down to another file's name.
TEST_F(ScriptReader, OverlongScriptPathIsNotRead)
{
    std::string deep(250, 'd');
    strcpy(setupContext.scriptDir, ("C:\\" + deep).c_str());
    memset(setupContext.scriptName, 'n', 200);
    setupContext.scriptName[200] = '\0';
    ASSERT_EQ(0, ReadSetupScript());
    ASSERT_EQ(1u, shownErrors.size());
    EXPECT_EQ(std::string(200, 'n') + " Title Error", shownErrors[0]);
}

}  // namespace
