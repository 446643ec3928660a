// BuildMedium.exe as a user runs it: a package folder and its setup script in, a medium
// out, or one line naming what is wrong and nothing written.
#include <windows.h>

#include <lzexpand.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "szddcases.h"
#include "testbitmap.h"
#include "testsupport.h"

namespace {

const char kScript[] =
    "[Setup]\n"
    "Title=テスト時計\n"
    "SubTitle=副題\n"
    "BackColor=BL\n"
    "Titlemap=title.bmp\n"
    "TitlemapX=10\n"
    "TitlemapY=10\n"
    "Bitmap=pic\\clock.bmp\n"
    "BitmapX=10\n"
    "BitmapY=90\n"
    "DefaultDir=C:\\Program Files\\Test\n"
    "StartMsg1=コピーします。\n"
    "StartMsg2=*\n"
    "RegIni=Reg.ini\n"
    "RegSec=User\n"
    "Uninstall=1\n"
    "ShortCutObj=0\n"
    "FinalExec=0\n"
    "[README]\n"
    "1=ようこそ\n"
    "[DISK1]\n"
    "1=$App:A.TXT\n"
    "2=$App:時計.txt\n"
    "[DISK2]\n"
    "1=$Sys:SUB\\B.DLL\n";


// Script text (UTF-8 source) as SETUP reads it: Shift-JIS with CR LF.
std::string ScriptBytes(const std::string &utf8)
{
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return Sjis(crlf.c_str());
}

// The lines of a program's output, without their CR LF.
std::vector<std::string> OutputLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

struct BuildResult {
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

class BuildMedium : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = SuiteFolder() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(root_);
        CreateDirectoryA(root_.c_str(), NULL);
        package_ = root_ + "\\pkg";
        output_ = root_ + "\\out";
        CreateDirectoryA(package_.c_str(), NULL);
        CreateDirectoryA((package_ + "\\SUB").c_str(), NULL);
        CreateDirectoryA((package_ + "\\pic").c_str(), NULL);
        files_ = {
            {"A.TXT", RandomBytes(5000, 1, 4)},
            {Sjis("時計.txt"), std::string(3000, ' ') + "clock"},
            {"SUB\\B.DLL", RandomBytes(20000, 2)},
            {"title.bmp", SmallBitmapBytes()},
            {"pic\\clock.bmp", SmallBitmapBytes()},
        };
        for (const auto &f : files_)
            ASSERT_TRUE(WriteWholeFile(package_ + "\\" + f.first, f.second));
        WriteScript(kScript);
    }
    void TearDown() override { RemoveTree(root_); }

    void WriteScript(const std::string &utf8)
    {
        ASSERT_TRUE(WriteWholeFile(package_ + "\\SETUP.ini", ScriptBytes(utf8)));
    }

    BuildResult Build(const std::string &options, const std::string &scriptName = "SETUP.ini")
    {
        return Run(options + " /setup \"" + BuiltProgram("SETUP.exe") + "\" \"" + package_ + "\\" + scriptName +
                   "\" \"" + package_ + "\" \"" + output_ + "\"");
    }

    // BuildMedium.exe with these arguments.
    BuildResult Run(const std::string &arguments)
    {
        BuildResult run;
        std::string outPath = root_ + "\\stdout.txt", errPath = root_ + "\\stderr.txt";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
        HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
        std::string command = "\"" + BuiltProgram("BuildMedium.exe") + "\" " + arguments;
        STARTUPINFOA start = {};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        start.hStdOutput = out;
        start.hStdError = err;
        PROCESS_INFORMATION process = {};
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        if (CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &start, &process)) {
            if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
                TerminateProcess(process.hProcess, 99);
            GetExitCodeProcess(process.hProcess, &run.exitCode);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        } else {
            run.exitCode = 98;
        }
        CloseHandle(out);
        CloseHandle(err);
        ReadWholeFile(outPath, &run.out);
        ReadWholeFile(errPath, &run.err);
        return run;
    }

    // LZ32 expansion of a medium file as SETUP does it; empty when it fails.
    std::string Expand(const std::string &mediumFile)
    {
        std::string dest = root_ + "\\expanded.tmp";
        std::string bytes;
        if (ExpandLikeSetup(mediumFile, dest) <= 0 || !ReadWholeFile(dest, &bytes))
            return std::string();
        return bytes;
    }

    void ExpectSame(const std::string &mediumFile, const std::string &packageFile)
    {
        std::string medium, original;
        EXPECT_TRUE(ReadWholeFile(mediumFile, &medium)) << mediumFile;
        EXPECT_TRUE(ReadWholeFile(package_ + "\\" + packageFile, &original)) << packageFile;
        EXPECT_TRUE(medium == original) << mediumFile;
    }

    std::string root_, package_, output_;
    std::vector<std::pair<std::string, std::string>> files_;
};

TEST_F(BuildMedium, OneFolderPerDisk)
{
    BuildResult run = Build("");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ("", run.err);
    EXPECT_NE(std::string::npos, run.out.find("[7/7]")) << run.out;   // progress, file by file
    const std::string disk1 = output_ + "\\DISK1", disk2 = output_ + "\\DISK2";
    ExpectSame(disk1 + "\\SETUP.ini", "SETUP.ini");
    ExpectSame(disk1 + "\\title.bmp", "title.bmp");
    ExpectSame(disk1 + "\\pic\\clock.bmp", "pic\\clock.bmp");
    std::string setup, built;
    ReadWholeFile(disk1 + "\\SETUP.exe", &setup);
    ReadWholeFile(BuiltProgram("SETUP.exe"), &built);
    EXPECT_TRUE(!setup.empty() && setup == built);

    const struct {
        std::string medium;
        std::string original;
    } listed[] = {
        {disk1 + "\\A.TX_", files_[0].second},
        {disk1 + "\\" + Sjis("時計.tx_"), files_[1].second},
        {disk2 + "\\SUB\\B.DL_", files_[2].second},
    };
    for (const auto &l : listed) {
        std::string expanded = Expand(l.medium);
        EXPECT_TRUE(expanded == l.original) << l.medium << ": " << expanded.size() << " bytes";
    }
    // Listed files only on their own disk; nothing of the work folder left.
    EXPECT_FALSE(FileExists(disk2 + "\\A.TX_"));
    EXPECT_FALSE(FileExists(disk1 + "\\SUB\\B.DL_"));
    EXPECT_FALSE(FileExists(output_ + ".partial"));
    // B.DLL, random bytes, lies there as it is.
    EXPECT_NE(std::string::npos, run.out.find("DISK2: 20,992 of 1,457,664 bytes used")) << run.out;
}

TEST_F(BuildMedium, OneFolderForACdAndARunAgainReplacesIt)
{
    ASSERT_EQ(0u, Build("/cd").exitCode);
    WriteScript(Replaced(kScript, "2=$App:時計.txt\n", ""));
    BuildResult run = Build("/cd");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_TRUE(FileExists(output_ + "\\SETUP.exe"));
    EXPECT_TRUE(FileExists(output_ + "\\SETUP.ini"));
    EXPECT_EQ(files_[0].second, Expand(output_ + "\\A.TX_"));
    EXPECT_EQ(files_[2].second, Expand(output_ + "\\SUB\\B.DL_"));
    EXPECT_FALSE(FileExists(output_ + "\\DISK1"));
    EXPECT_FALSE(FileExists(output_ + "\\" + Sjis("時計.tx_")));
    EXPECT_FALSE(FileExists(output_ + ".old"));
}

TEST_F(BuildMedium, SetupProgramTakesTheScriptsName)
{
    std::string script;
    ASSERT_TRUE(ReadWholeFile(package_ + "\\SETUP.ini", &script));
    ASSERT_TRUE(WriteWholeFile(package_ + "\\INSTALL.ini", script));
    BuildResult run = Build("/cd", "INSTALL.ini");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_TRUE(FileExists(output_ + "\\INSTALL.exe"));
    EXPECT_TRUE(FileExists(output_ + "\\INSTALL.ini"));
    EXPECT_FALSE(FileExists(output_ + "\\SETUP.exe"));

    ASSERT_TRUE(WriteWholeFile(package_ + "\\INSTALL.txt", script));
    run = Build("/cd", "INSTALL.txt");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("INSTALL.txt: the setup script's name must end in .ini")) << run.err;
}

// Every refusal: exit code 2, a line naming what is wrong (the script's problems each with
// its line), no medium and no work folder, and the earlier medium left as it was.
TEST_F(BuildMedium, Refusals)
{
    struct Case {
        const char *name;
        std::string script;                 // UTF-8
        std::vector<std::pair<std::string, std::string>> write;   // package files to (re)write
        std::vector<std::string> remove;    // package files to delete
        std::string line;                   // the expected error line, "*" at its end: a prefix
        const char *options;
    };
    const std::string pkg = package_ + "\\";
    const std::string at = pkg + "SETUP.ini:";
    const std::string shows = "; SETUP shows \"SETUP.ini ";
    const std::string big = RandomBytes(1500000, 9);
    const std::string longName = std::string(258, 'n');
    // Seven lines of 240 bytes: SETUP's buffer would end well inside the sixth line's path,
    // which would then name another file without a word.
    std::string manyLines;
    for (int k = 2; k <= 8; k++)
        manyLines += std::to_string(k) + "=$Sys:SUB\\" + std::string(227, 'x') + std::to_string(k) + "\n";
    const Case cases[] = {
        {"script: Title missing", Replaced(kScript, "Title=テスト時計\n", ""), {}, {},
         at + "1: error: Title is missing from [Setup]" + shows + "Title Error\"", ""},
        {"script: bad DISK2 line", Replaced(kScript, "$Sys:SUB", "Sys:SUB"), {}, {},
         at + "25: error: \"1=Sys:SUB\\B.DLL\" names no $App:, $Win: or $Sys: right after its '='" + shows +
             "DISK2 Error\"",
         ""},
        {"script: ShortCutDir", Replaced(kScript, "ShortCutObj=0\n",
                                         "ShortCutObj=A.TXT\nShortCutLnk=a\nShortCutDir=3\nShortCutFld=0\n"
                                         "ShortCutIco=0\nShortCutIcoNum=0\nShortCutFldOpn=0\n"),
         {}, {},
         at + "19: error: ShortCutDir is \"3\", not 0 (desktop), 2 (programs menu) or 7 (start-up folder)" + shows +
             "ShortCutDir Error\"",
         ""},
        {"listed file missing", kScript, {}, {"A.TXT"},
         at + "22: error: [DISK1] A.TXT: listed file not found in " + pkg, ""},
        {"listed file empty", kScript, {{"SUB\\B.DLL", ""}}, {},
         at + "25: error: [DISK2] SUB\\B.DLL: empty file; SETUP counts an expansion of zero bytes as a failed copy",
         ""},
        {"two names become one", Replaced(kScript, "2=$App:", "3=$Win:a.txa\n2=$App:"), {{"a.txa", "x"}}, {},
         at + "23: error: A.TXT and a.txa: both become a.tx_ on the medium", ""},
        {"picture missing", kScript, {}, {"title.bmp"},
         at + "5: error: Titlemap title.bmp: picture not found in " + pkg, ""},
        {"picture not a bitmap", kScript, {{"pic\\clock.bmp", "GIF89a not a bitmap"}}, {},
         at + "8: error: Bitmap pic\\clock.bmp: not a Windows bitmap (.bmp)", ""},
        {"path longer than SETUP reaches", Replaced(kScript, "1=$App:A.TXT", "1=$App:" + longName), {}, {},
         at + "22: error: [DISK1] " + longName +
             ": 258 bytes; SETUP reaches at most 257 bytes below the medium's drive root",
         ""},
        // C:\ and 252 letters, a backslash and A.TXT: 261 bytes.
        {"installed path longer than SETUP handles",
         Replaced(kScript, "DefaultDir=C:\\Program Files\\Test", "DefaultDir=C:\\" + std::string(252, 'd')), {},
         {}, at + "22: error: [DISK1] A.TXT: installed into DefaultDir its path would be longer than 260 bytes", ""},
        {"disk overflows", kScript, {{"SUB\\B.DLL", big}}, {}, at + "24: error: DISK2: *", ""},
        {"section longer than SETUP reads",
         Replaced(kScript, "[DISK2]\n", "[DISK2]\n" + manyLines), {}, {},
         at + "30: error: [DISK2] holds *", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        ASSERT_EQ(0u, Build("/cd").exitCode);
        std::string earlier, after;
        ASSERT_TRUE(ReadWholeFile(output_ + "\\A.TX_", &earlier));
        WriteScript(c.script);
        for (const auto &w : c.write)
            ASSERT_TRUE(WriteWholeFile(pkg + w.first, w.second));
        for (const auto &r : c.remove)
            ASSERT_TRUE(DeleteFileA((pkg + r).c_str()));
        EXPECT_EQ(2u, Run(std::string(c.options) + " /check /setup \"" + BuiltProgram("SETUP.exe") + "\" \"" + pkg +
                          "SETUP.ini\" \"" + package_ + "\"").exitCode) << "/check refuses it as well";
        BuildResult run = Build(c.options);
        EXPECT_EQ(2u, run.exitCode);
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ('\n', run.err.back());
        std::string expected = Sjis(c.line.c_str());
        bool prefix = !expected.empty() && expected.back() == '*';
        if (prefix)
            expected.pop_back();
        bool found = false;
        for (const std::string &line : OutputLines(run.err))
            found = found || (prefix ? line.compare(0, expected.size(), expected) == 0 : line == expected);
        EXPECT_TRUE(found) << "expected " << expected << "\nin " << run.err;
        EXPECT_TRUE(ReadWholeFile(output_ + "\\A.TX_", &after));
        EXPECT_TRUE(earlier == after);
        EXPECT_FALSE(FileExists(output_ + "\\DISK1"));
        EXPECT_FALSE(FileExists(output_ + ".partial"));
        TearDown();
    }
}

TEST_F(BuildMedium, OverflowNamesTheDiskAndItsSize)
{
    ASSERT_TRUE(WriteWholeFile(package_ + "\\SUB\\B.DLL", RandomBytes(1500000, 9)));
    BuildResult run = Build("");
    EXPECT_EQ(2u, run.exitCode);
    // Random bytes lie there as they are, in whole clusters, plus the SUB folder.
    EXPECT_NE(std::string::npos, run.err.find(":24: error: DISK2: 1,500,672 bytes do not fit on a disk of 1,457,664 "
                                              "bytes")) << run.err;
    // The same files fit a CD.
    EXPECT_EQ(0u, Build("/cd").exitCode);
}

// /check: every problem with its line on the error output, the count on the standard
// output, the exit status telling errors from warnings; nothing is built.
TEST_F(BuildMedium, CheckReportsEveryProblemWithItsLine)
{
    const std::string script = "\"" + package_ + "\\SETUP.ini\"";
    const std::string at = package_ + "\\SETUP.ini:";
    const struct {
        const char *name;
        std::string script;
        std::string arguments;
        DWORD exitCode;
        std::vector<std::string> err;
        std::string count;
    } cases[] = {
        {"clean", kScript, "", 0, {}, "0 errors, 0 warnings"},
        {"warnings only", Replaced(Replaced(kScript, "RegSec=User\n", "RegSec=User\nRegSec=Other\n"), "BitmapX=10",
                                   "BitmapX=639"),
         "", 1,
         {at + "9: warning: Bitmap at (639, 90), 2 x 2 pixels, lies partly off a 640 x 480 screen",
          at + "16: warning: RegSec given twice; SETUP takes the first, on line 15"},
         "0 errors, 2 warnings"},
        {"errors and warnings",
         Replaced(Replaced(kScript, "Uninstall=1", "Uninstall=2"), "FinalExec=0", "FinalExec=B.DLL"),
         "", 2,
         {at + "16: error: Uninstall is \"2\", not 0 or 1; SETUP shows \"SETUP.ini Uninstall Error\"",
          at + "18: warning: FinalExec B.DLL is not a file the package installs into the install folder; did you "
               "mean A.TXT?"},
         "1 error, 1 warning"},
        {"a StartMsg2 of 26 characters, wider than its line",
         Replaced(kScript, "StartMsg2=*", "StartMsg2=別のフォルダにするときはフォルダ名を入力してください"), "", 1,
         {at + "13: warning: StartMsg2 is 52 columns wide; its line on the destination page shows about 39"},
         "0 errors, 1 warning"},
        {"without the package the files are not looked for", Replaced(kScript, "A.TXT", "GONE.TXT"), "nopackage", 0,
         {}, "0 errors, 0 warnings"},
        {"with the package they are", Replaced(kScript, "A.TXT", "GONE.TXT"), "", 2,
         {at + "22: error: [DISK1] GONE.TXT: listed file not found in " + package_ + "\\"}, "1 error, 0 warnings"},
        {"a byte-order mark: checked as the medium gets it", "\xEF\xBB\xBF" + std::string(kScript), "rawfile", 0, {},
         "0 errors, 0 warnings"},
        {"a UTF-8 file without /utf8", kScript, "rawfile", 0,
         {package_ + "\\SETUP.ini: read as UTF-8: the file is valid UTF-8 with non-ASCII text; the medium gets it in "
                     "Shift-JIS"},
         "0 errors, 0 warnings"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.arguments == "rawfile")
            ASSERT_TRUE(WriteWholeFile(package_ + "\\SETUP.ini", c.script));
        else
            WriteScript(c.script);
        BuildResult run = Run("/check " + script + (c.arguments == "nopackage" ? "" : " \"" + package_ + "\""));
        std::vector<std::string> expected;
        for (const std::string &line : c.err)
            expected.push_back(Sjis(line.c_str()));
        EXPECT_EQ(c.exitCode, run.exitCode);
        EXPECT_EQ(expected, OutputLines(run.err));
        EXPECT_EQ(std::vector<std::string>{c.count}, OutputLines(run.out));
        EXPECT_FALSE(FileExists(output_));
    }
}

// A UTF-8 script, asked for or marked by its byte-order mark, lies on the medium in
// Shift-JIS with CR LF; a character code page 932 lacks is refused with its line.
TEST_F(BuildMedium, Utf8ScriptsGoOnTheMediumInShiftJis)
{
    const std::string shiftJis = ScriptBytes(kScript);
    const struct {
        const char *name;
        std::string file;
        const char *options;
    } cases[] = {
        {"/utf8", kScript, "/cd /utf8"},
        {"byte-order mark", "\xEF\xBB\xBF" + Replaced(kScript, "\n", "\r\n"), "/cd"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWholeFile(package_ + "\\SETUP.ini", c.file));
        BuildResult run = Build(c.options);
        ASSERT_EQ(0u, run.exitCode) << run.err;
        EXPECT_EQ("", run.err);
        std::string onMedium;
        EXPECT_TRUE(ReadWholeFile(output_ + "\\SETUP.ini", &onMedium));
        EXPECT_TRUE(onMedium == shiftJis) << onMedium;
        std::string source;
        EXPECT_TRUE(ReadWholeFile(package_ + "\\SETUP.ini", &source));
        EXPECT_TRUE(source == c.file) << "the package's script is left as it was";
    }

    RemoveTree(output_);
    ASSERT_TRUE(WriteWholeFile(package_ + "\\SETUP.ini", Replaced(kScript, "副題", "副題\xED\x95\x9C")));
    BuildResult run = Build("/cd /utf8");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{package_ + "\\SETUP.ini:3: error: U+D55C at column 12 has no Shift-JIS form "
                                                  "(code page 932)"},
              OutputLines(run.err));
    EXPECT_FALSE(FileExists(output_));
}

// The sample package: its UTF-8 script checks clean and becomes exactly the Shift-JIS
// script kept beside it.
TEST_F(BuildMedium, TheSamplePackage)
{
    const std::string sample = WinePath(EnvText("KIT_SOURCE_DIR") + "/examples/clock");
    const char *const copied[] = {"SETUP.utf8.ini", "title.bmp", "clock.bmp", "Pavrell.ini", "Velmora.ini"};
    for (const char *name : copied)
        ASSERT_TRUE(CopyFileA((sample + "\\" + name).c_str(), (package_ + "\\" + name).c_str(), FALSE)) << name;
    ASSERT_TRUE(MoveFileExA((package_ + "\\SETUP.utf8.ini").c_str(), (package_ + "\\SETUP.ini").c_str(),
                            MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(WriteWholeFile(package_ + "\\Tessary.scr", RandomBytes(3000, 5)));
    ASSERT_TRUE(WriteWholeFile(package_ + "\\PAVRELL.exe", RandomBytes(2000, 6)));

    BuildResult check = Run("/check /utf8 \"" + package_ + "\\SETUP.ini\" \"" + package_ + "\"");
    EXPECT_EQ(0u, check.exitCode);
    EXPECT_EQ("", check.err);
    EXPECT_EQ(std::vector<std::string>{"0 errors, 0 warnings"}, OutputLines(check.out));

    BuildResult run = Build("/cd /utf8");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    std::string onMedium, kept;
    EXPECT_TRUE(ReadWholeFile(output_ + "\\SETUP.ini", &onMedium));
    EXPECT_TRUE(ReadWholeFile(sample + "\\SETUP.ini", &kept));
    EXPECT_TRUE(!kept.empty() && onMedium == kept) << "examples/clock/SETUP.ini is SETUP.utf8.ini in Shift-JIS";
}

// The reference's complete example is a package that builds: its files made up from the
// example's own lines, its script given as the author writes it, in UTF-8.
TEST_F(BuildMedium, TheReferenceExampleBuilds)
{
    std::string doc;
    ASSERT_TRUE(ReadWholeFile(WinePath(EnvText("KIT_SOURCE_DIR") + "/docs/setup-script.md"), &doc));
    size_t start = doc.find("```ini\n");
    ASSERT_NE(std::string::npos, start);
    start += 7;
    size_t end = doc.find("```", start);
    ASSERT_NE(std::string::npos, end);
    const std::string script = doc.substr(start, end - start);

    RemoveTree(package_);
    CreateDirectoryA(package_.c_str(), NULL);
    ASSERT_TRUE(WriteWholeFile(package_ + "\\SETUP.ini", script));
    int made = 0;
    for (const std::string &line : OutputLines(script)) {
        size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        std::string path;
        if ((key == "Titlemap" || key == "Bitmap") && value[0] != '0')
            path = value;
        else if (value.compare(0, 1, "$") == 0 && value.find(':') != std::string::npos)
            path = value.substr(value.find(':') + 1);
        if (path.empty())
            continue;
        size_t slash = path.rfind('\\');
        if (slash != std::string::npos)
            CreateDirectoryA((package_ + "\\" + path.substr(0, slash)).c_str(), NULL);
        bool picture = key == "Titlemap" || key == "Bitmap";
        ASSERT_TRUE(WriteWholeFile(package_ + "\\" + path, picture ? SmallBitmapBytes() : RandomBytes(900, made)));
        made++;
    }
    EXPECT_EQ(6, made) << "two pictures and four listed files";

    BuildResult check = Run("/check /utf8 \"" + package_ + "\\SETUP.ini\" \"" + package_ + "\"");
    EXPECT_EQ(0u, check.exitCode);
    EXPECT_EQ("", check.err);
    BuildResult run = Build("/utf8");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_TRUE(FileExists(output_ + "\\DISK1\\SETUP.exe"));
    EXPECT_TRUE(FileExists(output_ + "\\DISK1\\KUMO.EX_"));
    EXPECT_TRUE(FileExists(output_ + "\\DISK2\\SYS\\KUMOLIB.DL_"));
    std::string onMedium;
    EXPECT_TRUE(ReadWholeFile(output_ + "\\DISK1\\SETUP.ini", &onMedium));
    EXPECT_NE(std::string::npos, onMedium.find("Title=" + Sjis("雲メモ") + "\r\n"));
}

// OUTPUT where the author's own files lie, and a second build into the OUTPUT another one is
// writing: refused with what is there, the package as it was, the first build's medium whole.
TEST_F(BuildMedium, KeepsWhatItDidNotMake)
{
    const DWORD kRefused = 2;   // a build's exit code for an error
    const struct {
        const char *name;
        std::string output;
        std::string line;   // the start of the error line
        bool whileAnotherBuilds;
    } cases[] = {
        {"OUTPUT is the package folder", package_, package_ + ": is the package folder ", false},
        {"OUTPUT holds the package folder", root_, root_ + ": holds the package folder ", false},
        {"a second build at once", output_, "another build is writing " + output_, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        files_.push_back({"NOTES.txt", "the author's notes"});
        const std::string big = RandomBytes(4000000, 5);
        PROCESS_INFORMATION first = {};
        const std::string arguments =
            "/cd /setup \"" + BuiltProgram("SETUP.exe") + "\" \"" + package_ + "\\SETUP.ini\" \"" + package_ + "\" \"";
        // Long enough to compress that the second build starts while the first writes.
        if (c.whileAnotherBuilds)
            files_.push_back({"BIG.DAT", big}), WriteScript(Replaced(kScript, "2=$App:", "3=$App:BIG.DAT\n2=$App:"));
        for (const auto &f : files_)
            ASSERT_TRUE(WriteWholeFile(package_ + "\\" + f.first, f.second));
        std::string script;
        ASSERT_TRUE(ReadWholeFile(package_ + "\\SETUP.ini", &script));
        files_.push_back({"SETUP.ini", script});
        if (c.whileAnotherBuilds) {
            std::string line = "\"" + BuiltProgram("BuildMedium.exe") + "\" " + arguments + output_ + "\"";
            STARTUPINFOA start = {};
            start.cb = sizeof start;
            start.dwFlags = STARTF_USESTDHANDLES;
            ASSERT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &start, &first));
            for (int i = 0; i < 600 && !FileExists(output_ + ".partial"); i++)
                Sleep(100);
        }
        BuildResult run = Run(arguments + c.output + "\"");
        EXPECT_EQ(kRefused, run.exitCode);
        EXPECT_EQ(0u, run.err.find(c.line)) << run.err;
        for (const auto &f : files_) {
            std::string now;
            EXPECT_TRUE(ReadWholeFile(package_ + "\\" + f.first, &now) && now == f.second) << f.first;
        }
        if (c.whileAnotherBuilds) {
            EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first.hProcess, 0)) << "the first build ended too soon";
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.hProcess, 120000));
            DWORD status = 99;
            EXPECT_TRUE(GetExitCodeProcess(first.hProcess, &status) && status == 0);
            EXPECT_TRUE(Expand(output_ + "\\BIG.DA_") == big);
            EXPECT_EQ(files_[0].second, Expand(output_ + "\\A.TX_"));
            TerminateProcess(first.hProcess, 99);
            CloseHandle(first.hThread);
            CloseHandle(first.hProcess);
        }
        TearDown();
    }
}

}  // namespace
