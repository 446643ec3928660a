// The script checker over broken scripts: the exact lines it prints for each. Natively SETUP's
// reading is played by the profile rules over the same text; built for Windows the same table
// runs with the platform's profile functions reading a file, so both must agree.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "scriptcheck.h"

namespace {

const char kScript[] =
    "[Setup]\r\n"                           // 1
    "Title=Clock\r\n"                       // 2
    "SubTitle=Desk clock\r\n"               // 3
    "BackColor=BL\r\n"                      // 4
    "Titlemap=title.bmp\r\n"                // 5
    "TitlemapX=10\r\n"                      // 6
    "TitlemapY=10\r\n"                      // 7
    "Bitmap=0\r\n"                          // 8
    "DefaultDir=C:\\Program Files\\Clock\r\n"  // 9
    "StartMsg1=Copying\r\n"                 // 10
    "StartMsg2=*\r\n"                       // 11
    "RegIni=Reg.ini\r\n"                    // 12
    "RegSec=User\r\n"                       // 13
    "Uninstall=1\r\n"                       // 14
    "ShortCutObj=clock.exe\r\n"             // 15
    "ShortCutLnk=Clock\r\n"                 // 16
    "ShortCutDir=2\r\n"                     // 17
    "ShortCutFld=0\r\n"                     // 18
    "ShortCutIco=0\r\n"                     // 19
    "ShortCutIcoNum=0\r\n"                  // 20
    "ShortCutFldOpn=0\r\n"                  // 21
    "FinalExec=clock.exe\r\n"               // 22
    "\r\n"                                  // 23
    "[README]\r\n"                          // 24
    "1=Welcome\r\n"                         // 25
    "2=**Item\r\n"                          // 26
    "; files\r\n"                           // 27
    "[DISK1]\r\n"                           // 28
    "1=$App:clock.exe\r\n"                  // 29
    "2=$Sys:SUB\\B.DLL\r\n";                // 30

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// Header of a 100 x 50 24-bit bitmap.
std::string PictureHead()
{
    std::string b(54, '\0');
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; i++)
            b[at + i] = (char)((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, 100);
    put32(22, 50);
    b[26] = 1;
    b[28] = 24;
    return b;
}

struct Package {
    std::map<std::string, PackageFile> files;
};

void Look(void *context, const char *path, PackageFile *file)
{
    const Package *package = (const Package *)context;
    auto found = package->files.find(path);
    if (found == package->files.end())
        file->kind = PACKAGE_MISSING;
    else
        *file = found->second;
}

Package SamplePackage()
{
    Package p;
    PackageFile file = {};
    file.kind = PACKAGE_FILE;
    file.size = 100;
    p.files["clock.exe"] = file;
    p.files["SUB\\B.DLL"] = file;
    std::string head = PictureHead();
    file.size = 54 + 100 * 50 * 3;
    memcpy(file.head, head.data(), head.size());
    file.headLength = head.size();
    p.files["title.bmp"] = file;
    return p;
}

#ifdef _WIN32
char scriptFile[MAX_PATH];

size_t ReadFileKey(void *, const char *key, const char *def, char *value, size_t size)
{
    return GetPrivateProfileStringA("Setup", key, def, value, (DWORD)size, scriptFile);
}

size_t ReadFileSection(void *, const char *section, char *data, size_t size)
{
    return GetPrivateProfileSectionA(section, data, (DWORD)size, scriptFile);
}

ScriptSource Judge(const std::string &text, IniText *)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    snprintf(scriptFile, sizeof scriptFile, "%sscriptcheck_test.ini", folder);
    HANDLE file = CreateFileA(scriptFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE && WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL));
    CloseHandle(file);
    return ScriptSource{NULL, ReadFileKey, ReadFileSection};
}
#else
ScriptSource Judge(const std::string &, IniText *ini)
{
    return ScriptSource{ini, IniReadKey, IniReadSection};
}
#endif

struct CheckRun {
    std::vector<std::string> lines;
    std::string count;
};

CheckRun Check(const std::string &text, Package *package, bool utf8Declared = false)
{
    IniText ini;
    EXPECT_TRUE(ParseIniText(text.data(), text.size(), &ini));
    ScriptSource source = Judge(text, &ini);
    PackageProbe probe = {package, Look, NULL};
    CheckInput input = {"SETUP.ini", "SETUP.ini", &ini, &source, utf8Declared, false,
                        package != NULL ? &probe : NULL, "PKG\\", 0, 0};
    static CheckReport report;
    CheckScript(&input, &report);
    CheckRun run;
    for (int i = 0; i < report.count; i++) {
        char line[CHECK_TEXT_BYTES + 64];
        FormatFinding(input.fileName, &report.findings[i], line, sizeof line);
        run.lines.push_back(line);
    }
    char count[64];
    FormatCount(&report, count, sizeof count);
    run.count = count;
    FreeIniText(&ini);
    return run;
}

// count full-width characters (Shift-JIS), two columns each.
std::string FullWidth(int count)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += "\x82\xA0";
    return text;
}

std::string Lines(int first, int count, const std::string &prefix)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += std::to_string(first + i) + "=" + prefix + std::to_string(first + i) + "\r\n";
    return text;
}

TEST(ScriptCheck, BrokenScriptsGiveTheirLines)
{
    const std::string e = "SETUP.ini:";
    const std::string box = "; SETUP shows \"SETUP.ini ";
    const std::string refused =
        "; SETUP installs nothing of a list that holds it, and the uninstaller removes nothing by it";
    const std::string semicolon = "';' begins a comment only at the start of a line; here it is part of the path";
    std::string longDisk;
    // Short names, each a line the progress dialog shows whole.
    for (int k = 100; k < 180; k++)
        longDisk += std::to_string(k) + "=$Sys:SUB\\F" + std::to_string(k) + ".DLL\r\n";
    struct Case {
        const char *name;
        std::string script;
        std::vector<std::string> lines;
        const char *count;
        bool package = true;
    };
    const Case cases[] = {
        {"clean", kScript, {}, "0 errors, 0 warnings"},
        {"quotes are taken off", Replaced(kScript, "Title=Clock", "Title=\"Clock\""), {}, "0 errors, 0 warnings"},
        {"no [Setup]", Replaced(kScript, "[Setup]", "[Setop]"),
         {e + "1: warning: unknown section [Setop]; did you mean [Setup]?",
          e + "1: error: the script has no [Setup] section" + box + "Title Error\""},
         "1 error, 1 warning"},
        {"Title missing", Replaced(kScript, "Title=Clock\r\n", ""),
         {e + "1: error: Title is missing from [Setup]" + box + "Title Error\""}, "1 error, 0 warnings"},
        {"Title empty", Replaced(kScript, "Title=Clock", "Title="),
         {e + "2: error: Title is empty" + box + "Title Error\""}, nullptr},
        {"every error at once",
         Replaced(Replaced(Replaced(Replaced(kScript, "Title=Clock", "Title="), "Uninstall=1", "Uninstall=yes"),
                           "ShortCutDir=2", "ShortCutDir=3"),
                  "2=$Sys:", "2=Sys:"),
         {e + "2: error: Title is empty" + box + "Title Error\"",
          e + "14: error: Uninstall is \"yes\", not 0 or 1" + box + "Uninstall Error\"",
          e + "17: error: ShortCutDir is \"3\", not 0 (desktop), 2 (programs menu) or 7 (start-up folder)" + box +
              "ShortCutDir Error\"",
          e + "30: error: \"2=Sys:SUB\\B.DLL\" names no $App:, $Win: or $Sys: right after its '='" + box +
              "DISK1 Error\""},
         "4 errors, 0 warnings"},
        {"ShortCutFldOpn and a missing shortcut key",
         Replaced(Replaced(kScript, "ShortCutFldOpn=0", "ShortCutFldOpn=2"), "ShortCutIco=0\r\n", ""),
         {e + "1: error: ShortCutIco is missing from [Setup]" + box + "ShortCutIco Error\"",
          e + "20: error: ShortCutFldOpn is \"2\", not 0 or 1" + box + "ShortCutFldOpn Error\""},
         nullptr},
        {"key given twice", Replaced(kScript, "Title=Clock\r\n", "Title=Clock\r\ntitle=Other\r\n"),
         {e + "3: warning: title given twice; SETUP takes the first, on line 2"}, "0 errors, 1 warning"},
        {"unknown key", Replaced(kScript, "RegSec=User\r\n", "RegSec=User\r\nRegSection=User\r\n"),
         {e + "14: warning: unknown key RegSection in [Setup]; did you mean RegSec?"}, nullptr},
        {"unknown section", std::string(kScript) + "[DISC2]\r\n1=$App:x.txt\r\n",
         {e + "31: warning: unknown section [DISC2]; did you mean [DISK2]?"}, nullptr},
        {"install log section", std::string(kScript) + "[CreatedDir]\r\nDir0=C:\\Windows\r\n",
         {e + "31: warning: [CreatedDir] belongs to the install log, which the installation writes; the "
              "uninstaller would act on it"},
         nullptr},
        {"section twice", std::string(kScript) + "[README]\r\n3=More\r\n",
         {e + "31: warning: [README] given twice; SETUP reads only the first, on line 24"}, nullptr},
        {"value cut at its width", Replaced(kScript, "Title=Clock", "Title=" + std::string(300, 'a')),
         {e + "2: warning: Title is 300 bytes; SETUP keeps the first 254",
          e + "2: warning: Title is 254 columns wide; the background's title line, which adds 13 for the word setup, "
              "shows about 17"},
         nullptr},
        {"key without '='", Replaced(kScript, "Title=Clock\r\n", "Title=Clock\r\nSubTitle\r\n"),
         {e + "3: error: SubTitle has no '='" + box + "SubTitle Error\"",
          e + "4: warning: SubTitle given twice; SETUP takes the first, on line 3"},
         nullptr},
        {"not a number", Replaced(kScript, "TitlemapY=10", "TitlemapY=1O"),
         {e + "7: warning: TitlemapY \"1O\" is not a whole number; SETUP takes 1"}, nullptr},
        {"BackColor none of the codes", Replaced(kScript, "BackColor=BL", "BackColor=Blue"),
         {e + "4: warning: BackColor \"Blue\" is none of BL GR RD LB PK YL MN; the background is black"}, nullptr},
        {"keys that are not read", Replaced(kScript, "Titlemap=title.bmp", "Titlemap=0"),
         {e + "6: warning: TitlemapX is not read: the picture's value begins with 0 (no picture)",
          e + "7: warning: TitlemapY is not read: the picture's value begins with 0 (no picture)"},
         nullptr},
        {"README lines beyond the box",
         Replaced(kScript, "1=Welcome\r\n2=**Item\r\n", Lines(1, 21, "Line ")),
         {e + "40: warning: the welcome box shows about 15 lines; this one and those after it fall below it",
          e + "45: warning: SETUP shows the first 20 [README] lines; this one and those after it are not shown"},
         nullptr},
        {"README line too wide and too long",
         Replaced(kScript, "2=**Item", "2=" + std::string(41, 'w') + "\r\n3=" + std::string(256, 'l')),
         {e + "26: warning: [README] value 41 columns wide; the welcome box shows about 40",
          e + "27: warning: [README] value of 256 bytes; SETUP keeps the first 255"},
         nullptr},
        {"README ends at an empty value", Replaced(kScript, "1=Welcome", "1="),
         {e + "25: warning: empty [README] value: the welcome text ends here",
          e + "26: warning: not shown: the welcome text ends at the empty [README] value before it"},
         nullptr},
        {"README empty", Replaced(kScript, "1=Welcome\r\n2=**Item\r\n", ""),
         {e + "24: error: [README] is empty" + box + "Readme Error\""}, nullptr},
        {"no DISK1", Replaced(kScript, "[DISK1]", "[DISK2]"),
         {e + "1: error: the script has no [DISK1] section" + box + "DISK1 Error\"",
          e + "28: warning: [DISK2] is not read: SETUP stops at [DISK1], which is missing or empty"},
         nullptr},
        {"a disk after a gap", std::string(kScript) + "[DISK3]\r\n1=$App:x.txt\r\n",
         {e + "31: warning: [DISK3] is not read: SETUP stops at [DISK2], which is missing or empty"}, nullptr},
        {"';' on a disk's first line", Replaced(kScript, "[DISK1]\r\n", "[DISK1]\r\n0=$Win:a;b.txt\r\n"),
         {e + "29: error: \"0=$Win:a;b.txt\": " + semicolon + ", and SETUP refuses ';' on the first line of [DISK1]" +
          box + "DISK1 Error\""},
         "1 error, 0 warnings"},
        {"';' after a later line's value",
         Replaced(Replaced(kScript, "2=$Sys:SUB\\B.DLL", "2=$App:B.DLL  ; the helper"), "FinalExec=clock.exe",
                  "FinalExec=B.DLL"),
         {e + "30: error: [DISK1] B.DLL  ; the helper: " + semicolon}, "1 error, 0 warnings"},
        {"picture path of dots", Replaced(kScript, "Titlemap=title.bmp", "Titlemap=...\\t.bmp"),
         {e + "5: error: Titlemap ...\\t.bmp: has a part of dots only, such as \"..\", which leads out of its folder"},
         nullptr, false},
        {"section longer than SETUP reads", std::string(kScript) + longDisk,
         {e + "87: error: [DISK1] holds 1794 bytes, more than the 1282 that SETUP reads; it would lose this line "
              "and the rest"},
         "1 error, 0 warnings", false},
        {"not Shift-JIS", Replaced(kScript, "Title=Clock", "Title=\x81\x20" "Clock"),
         {e + "2: warning: byte 0x81 at column 7 is not valid Shift-JIS"}, nullptr},
        {"Shift-JIS is fine", Replaced(kScript, "Title=Clock", "Title=\x8E\x9E\x8C\x76"), {}, nullptr},
        {"UTF-8 file", Replaced(kScript, "Title=Clock", "Title=\xE6\x99\x82\xE8\xA8\x88"),
         {e + "1: warning: the file is UTF-8; SETUP reads Shift-JIS and would show garbled text: build with /utf8"},
         nullptr},
        {"picture partly off the screen", Replaced(kScript, "TitlemapX=10", "TitlemapX=541"),
         {e + "6: warning: Titlemap at (541, 10), 100 x 50 pixels, lies partly off a 640 x 480 screen"}, nullptr},
        {"picture at the screen's edge", Replaced(kScript, "TitlemapY=10", "TitlemapY=430"), {}, nullptr},
        {"picture just above the pages", Replaced(kScript, "TitlemapY=10", "TitlemapY=24"), {}, nullptr},
        {"picture a pixel under the pages", Replaced(kScript, "TitlemapY=10", "TitlemapY=25"),
         {e + "6: warning: Titlemap at (10, 25), 100 x 50 pixels, reaches under the wizard's pages, which cover x 69 "
              "to 562 and y 74 to 354 of a 640 x 480 screen"},
         nullptr},
        {"picture not found", Replaced(kScript, "Titlemap=title.bmp", "Titlemap=titel.bmp"),
         {e + "5: error: Titlemap titel.bmp: picture not found in PKG\\"}, nullptr},
        {"FinalExec not installed", Replaced(kScript, "FinalExec=clock.exe", "FinalExec=clok.exe"),
         {e + "22: warning: FinalExec clok.exe is not a file the package installs into the install folder; did "
              "you mean clock.exe?"},
         nullptr},
        {"FinalExec the registration file", Replaced(kScript, "FinalExec=clock.exe", "FinalExec=REG.INI"), {},
         nullptr},
        {"listed file missing", Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:SUB\\C.DLL"),
         {e + "30: error: [DISK1] SUB\\C.DLL: listed file not found in PKG\\"}, nullptr},
        {"two names become one", Replaced(kScript, "2=$Sys:SUB\\B.DLL", "2=$Win:clock.exx"),
         {e + "30: error: [DISK1] clock.exx: listed file not found in PKG\\",
          e + "30: error: clock.exe and clock.exx: both become clock.ex_ on the medium"},
         nullptr},
        {"path beyond what SETUP reaches", Replaced(kScript, "SUB\\B.DLL", std::string(258, 'n')),
         {e + "30: error: [DISK1] " + std::string(258, 'n') +
              ": 258 bytes; SETUP reaches at most 257 bytes below the medium's drive root"},
         nullptr},
        {"listed path with '/'", Replaced(kScript, "$Sys:SUB\\B.DLL", "$App:x/../../../Victim/data.txt"),
         {e + "30: error: [DISK1] x/../../../Victim/data.txt: holds '/', which the system takes for '\\'" + refused},
         "1 error, 0 warnings", false},
        {"listed path with a drive", Replaced(kScript, "$Sys:SUB\\B.DLL", "$App:C:data.txt"),
         {e + "30: error: [DISK1] C:data.txt: holds ':', which names a drive, never part of a file name" + refused},
         nullptr, false},
        {"listed path of dots", Replaced(kScript, "$Sys:SUB\\B.DLL", "$Win:SUB\\..\\..\\x.dll"),
         {e + "30: error: [DISK1] SUB\\..\\..\\x.dll: has a part of dots only, such as \"..\", which leads out of "
              "its folder" + refused},
         nullptr, false},
        {"listed path from the root", Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:\\Victim\\data.txt"),
         {e + "30: error: [DISK1] \\Victim\\data.txt: begins with or doubles '\\', which leads to a drive's root "
              "or another machine" + refused},
         nullptr, false},
        {"listed path naming a device", Replaced(kScript, "$Sys:SUB\\B.DLL", "$App:sub\\Aux.txt"),
         {e + "30: error: [DISK1] sub\\Aux.txt: has a part that names a device, such as CON or AUX.txt, which SETUP "
              "would open instead of a file" + refused},
         nullptr, false},
        {"listed name ending in a dot", Replaced(kScript, "$Sys:SUB\\B.DLL", "$App:SETUP.ini."),
         {e + "30: error: [DISK1] SETUP.ini.: has a part ending in a dot or a blank, which the system drops, so that "
              "it names another file" + refused},
         nullptr, false},
        {"RegIni with a path", Replaced(kScript, "RegIni=Reg.ini", "RegIni=..\\..\\windows\\win.ini"),
         {e + "12: error: RegIni ..\\..\\windows\\win.ini has a part of dots only, such as \"..\", which leads "
              "out of its folder; SETUP writes the registration file only under a name in the install folder, "
              "and writes none for this"},
         "1 error, 0 warnings"},
        {"RegIni in a sub-folder", Replaced(kScript, "RegIni=Reg.ini", "RegIni=data\\Reg.ini"),
         {e + "12: error: RegIni data\\Reg.ini is a path, not a name; SETUP writes the registration file only "
              "under a name in the install folder, and writes none for this"},
         nullptr},
        {"listed file named like the script", Replaced(kScript, "$Sys:SUB\\B.DLL", "$App:SUB\\setup.INI"),
         {e + "30: error: [DISK1] SUB\\setup.INI: installed into the install folder it would replace the install "
              "log SETUP.ini"},
         "1 error, 0 warnings", false},
        {"the script's name in the system folder", Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:SETUP.ini"), {},
         "0 errors, 0 warnings", false},
        {"line outside a section", "Title=x\r\n" + std::string(kScript),
         {e + "1: warning: line outside any section; SETUP reads nothing of it"}, nullptr},
        // Texts in places of fixed width, at the width they have and one column beyond.
        {"StartMsg2 of 26 full-width characters", Replaced(kScript, "StartMsg2=*", "StartMsg2=" + FullWidth(26)),
         {e + "11: warning: StartMsg2 is 52 columns wide; its line on the destination page shows about 39"},
         "0 errors, 1 warning"},
        {"StartMsg1 as wide as its line", Replaced(kScript, "StartMsg1=Copying", "StartMsg1=" + FullWidth(19) + "a"),
         {}, nullptr},
        {"StartMsg1 a column wider", Replaced(kScript, "StartMsg1=Copying", "StartMsg1=" + FullWidth(20)),
         {e + "10: warning: StartMsg1 is 40 columns wide; its line on the destination page shows about 39"}, nullptr},
        {"Title as wide as the title line", Replaced(kScript, "Title=Clock", "Title=" + std::string(17, 'T')), {},
         nullptr},
        {"Title a column wider", Replaced(kScript, "Title=Clock", "Title=" + FullWidth(9)),
         {e + "2: warning: Title is 18 columns wide; the background's title line, which adds 13 for the word setup, "
              "shows about 17"},
         nullptr},
        {"SubTitle as wide as its line", Replaced(kScript, "SubTitle=Desk clock", "SubTitle=" + std::string(123, 's')),
         {}, nullptr},
        {"SubTitle a column wider", Replaced(kScript, "SubTitle=Desk clock", "SubTitle=" + std::string(124, 's')),
         {e + "3: warning: SubTitle is 124 columns wide; the background's subtitle line shows about 123"}, nullptr},
        {"source line as wide as the progress dialog",
         Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:" + std::string(49, 'd') + "\\B.DLL"), {}, "0 errors, 0 warnings",
         false},
        {"source line a column wider", Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:" + std::string(50, 'd') + "\\B.DLL"),
         {e + "30: warning: [DISK1] " + std::string(50, 'd') +
              "\\B.DLL: the progress dialog's source line is 67 columns wide; it shows about 66"},
         nullptr, false},
        {"destination in DefaultDir as wide as the progress dialog",
         Replaced(kScript, "DefaultDir=C:\\Program Files\\Clock", "DefaultDir=C:\\" + std::string(45, 'f')), {},
         nullptr},
        {"destination in DefaultDir a column wider",
         Replaced(kScript, "DefaultDir=C:\\Program Files\\Clock", "DefaultDir=C:\\" + std::string(46, 'f')),
         {e + "29: warning: [DISK1] clock.exe: the progress dialog's line for its destination C:\\" +
              std::string(46, 'f') + "\\clock.exe is 67 columns wide; it shows about 66"},
         nullptr},
        {"destination in the system folder a column wider",
         Replaced(kScript, "$Sys:SUB\\B.DLL", "$Sys:SUB\\" + std::string(37, 'n') + ".DLL"),
         {e + "30: warning: [DISK1] SUB\\" + std::string(37, 'n') +
              ".DLL: the progress dialog's line for its destination C:\\WINDOWS\\SYSTEM\\" + std::string(37, 'n') +
              ".DLL is 67 columns wide; it shows about 66"},
         nullptr, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Package package = SamplePackage();
        CheckRun run = Check(c.script, c.package ? &package : nullptr);
        EXPECT_EQ(c.lines, run.lines);
        if (c.count != nullptr) {
            EXPECT_EQ(c.count, run.count);
        }
    }
}

TEST(ScriptCheck, WithoutPackageOnlyTheScriptIsChecked)
{
    CheckRun run = Check(Replaced(kScript, "TitlemapX=10", "TitlemapX=640"), nullptr);
    EXPECT_EQ(std::vector<std::string>{"SETUP.ini:6: warning: Titlemap at (640, 10) lies off a 640 x 480 screen"},
              run.lines);
    EXPECT_EQ(std::vector<std::string>{}, Check(kScript, nullptr).lines);
}

TEST(ScriptCheck, ProfileRulesOfTheTextModel)
{
    const std::string text = "x=0\n[Setup]\n  Title  =  \"a b\"  \r\nTitle=second\n;Gone=1\n[DISK1]\n"
                             " 1 = $App:a \n\n; comment\n=v\nnaked\n[disk1]\n9=$App:z\n";
    IniText ini;
    ASSERT_TRUE(ParseIniText(text.data(), text.size(), &ini));
    char value[16];
    EXPECT_EQ(3u, IniReadKey(&ini, "TITLE", "", value, sizeof value));
    EXPECT_STREQ("a b", value);
    EXPECT_EQ(3u, IniReadKey(&ini, "Gone", "def", value, sizeof value));
    EXPECT_STREQ("def", value);
    EXPECT_EQ(2u, IniReadKey(&ini, "Title", "", value, 3));
    char data[64];
    size_t length = IniReadSection(&ini, "DISK1", data, sizeof data);
    EXPECT_EQ(std::string("1=$App:a\0=v\0naked\0", 18), std::string(data, length));
    EXPECT_EQ(7, ini.lines[4].number);   // " 1 = $App:a " after the comment line
    EXPECT_EQ(1, ini.sections[2].first);
    FreeIniText(&ini);
}

TEST(ScriptCheck, TextMeasures)
{
    const struct {
        const char *text;
        size_t sjisBad;
        bool utf8;
        size_t columns;
    } cases[] = {
        {"abc", 3, false, 3},
        {"\x8E\x9E\x8C\x76", 4, false, 4},         // two double-byte characters
        {"\xB1\xB2", 2, false, 2},                 // half-width katakana
        {"a\x81", 1, false, 2},                    // lead byte at the end
        {"\x81\x7F", 0, false, 2},                 // 0x7F is no trail byte
        {"\xA0", 0, false, 1},
        {"\xE6\x99\x82", 2, true, 3},               // one UTF-8 character
        {"\xEF\xBB\xBF" "a", 4, true, 4},
        {"\xC0\x80", 1, false, 2},                  // overlong UTF-8
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.sjisBad, FirstInvalidShiftJis(c.text, strlen(c.text)));
        EXPECT_EQ(c.utf8, LooksLikeUtf8(c.text, strlen(c.text)));
        EXPECT_EQ(c.columns, TextColumns(c.text, strlen(c.text)));
    }
    const char *const names[] = {"DISK1", "DISK10", "README"};
    EXPECT_STREQ("DISK10", NearestName("disk100", 7, names, 3));
    EXPECT_STREQ("README", NearestName("READ", 4, names, 3));
}

}  // namespace
