// The engine's path and command texts at the edges the installation under Wine cannot reach:
// names split on a trail byte, texts that do not fit.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "installrules.h"

namespace {

typedef bool (*Builder)(char *, size_t, const char *, const char *);

TEST(InstallRules, PathTexts)
{
    const std::string longFolder = "C:\\" + std::string(257, 'a');   // 260 bytes
    struct Case {
        const char *name;
        Builder build;
        std::string folder, item;
        const char *expected;   // NULL: refused
    } cases[] = {
        {"medium root", MediumSourcePath, "D:\\", "SUB\\A.TXT", "D:\\SUB\\A.TX_"},
        {"medium folder without backslash", MediumSourcePath, "Z:\\cd", "x", "Z:\\cd\\_"},
        {"medium, empty listed path", MediumSourcePath, "D:\\", "", NULL},
        {"medium, too long", MediumSourcePath, longFolder, "A.TXT", NULL},
        {"medium, leading backslash", MediumSourcePath, "D:\\", "\\Victim\\data.txt", NULL},
        {"medium, parent folder", MediumSourcePath, "D:\\", "..\\WINDOWS\\SYSTEM.INI", NULL},
        {"medium, a device", MediumSourcePath, "D:\\", "sub\\COM1.txt", NULL},
        {"link", ShortcutLinkPath, "C:\\Menu\\Clock", "Clock", "C:\\Menu\\Clock\\Clock.lnk"},
        {"link, too long", ShortcutLinkPath, longFolder.substr(0, 255), "Clock", NULL},
        {"join, root", JoinFolderName, "C:", "SETUP.ini", "C:\\SETUP.ini"},
    };
    for (const Case &c : cases) {
        char out[MAX_PATH_BYTES] = "junk";
        bool ok = c.build(out, sizeof out, c.folder.c_str(), c.item.c_str());
        EXPECT_EQ(c.expected != NULL, ok) << c.name;
        EXPECT_STREQ(c.expected != NULL ? c.expected : "", out) << c.name;
    }
}

// The header of the compressed form: "SZDD" 0x88 0xF0 0x27 0x33, mode, replaced character,
// expanded size low byte first.
std::string Header(char mode, unsigned long size)
{
    std::string head("SZDD\x88\xF0\x27\x33", 8);
    head += mode;
    head += 'T';
    for (int i = 0; i < 4; i++)
        head += (char)((size >> (8 * i)) & 0xFF);
    return head;
}

TEST(InstallRules, ExpectedCopyBytes)
{
    const struct {
        const char *name;
        std::string head;             // the file's first bytes, at most 14
        unsigned long long length;    // the whole file's
        long expected;                // -1: refused
    } cases[] = {
        {"compressed", Header('A', 6240), 3000, 6240},
        {"compressed, longer than it expands", Header('A', 5), 14000, 5},
        {"header alone", Header('A', 0), 14, 0},
        {"header cut to 10 bytes", Header('A', 6240).substr(0, 10), 10, -1},
        {"header cut to 13 bytes", Header('A', 6240).substr(0, 13), 13, -1},
        {"signature cut to 4 bytes", "SZDD", 4, -1},
        {"another mode", Header('B', 6240), 3000, -1},
        {"plain text", "Hello, world!!", 20000, 20000},
        {"plain, begins like the signature", "SZDD is a form", 14, 14},
        {"plain, three bytes", "SZD", 3, 3},
        {"empty", "", 0, 0},
        {"4 GiB", "plain plain pl", 1ull << 32, -1},
    };
    for (const auto &c : cases) {
        unsigned long count = 12345;
        bool ok = ExpectedCopyBytes((const unsigned char *)c.head.data(), c.head.size(), c.length, &count);
        EXPECT_EQ(c.expected >= 0, ok) << c.name;
        if (ok) {
            EXPECT_EQ((unsigned long)c.expected, count) << c.name;
        }
    }
}

TEST(InstallRules, CopyTempPath)
{
    const std::string folder = "C:\\" + std::string(246, 'd') + "\\";   // 250 bytes: 260 with the name
    const struct {
        std::string destination;
        int n;
        std::string expected;   // empty: refused
    } cases[] = {
        {"C:\\App\\A.TXT", 0, "C:\\App\\~SU000.TMP"},
        {"C:\\App\\A.TXT", 4095, "C:\\App\\~SUFFF.TMP"},
        {"C:\\App\\A.TXT", 4096, ""},
        {"C:\\App\\A.TXT", -1, ""},
        {"C:\\\x95\\\x8E\xA6.txt", 0x1A2, "C:\\\x95\\~SU1A2.TMP"},   // the folder ends at the last 0x5C
        {"A.TXT", 0, ""},
        {folder + "A.EXE", 0, folder + "~SU000.TMP"},
        {"C:\\e" + folder.substr(2) + "A", 0, ""},
    };
    for (const auto &c : cases) {
        char out[MAX_PATH_BYTES] = "junk";
        bool ok = CopyTempPath(out, sizeof out, c.destination.c_str(), c.n);
        EXPECT_EQ(!c.expected.empty(), ok) << c.destination << " " << c.n;
        EXPECT_EQ(c.expected, out) << c.destination << " " << c.n;
    }
}

// Only the names CopyTempPath makes are taken for stale temporaries of ours, and the search
// for them lies in the destination's folder.
TEST(InstallRules, CopyTempNames)
{
    for (int n : {0, 0x1A2, COPY_TEMP_NAMES - 1}) {
        char made[MAX_PATH_BYTES];
        ASSERT_TRUE(CopyTempPath(made, sizeof made, "C:\\App\\A.TXT", n));
        EXPECT_TRUE(IsCopyTempName(made + 7)) << made;
    }
    for (const char *name : {"~su000.tmp", "~SU00G.TMP", "~SUa00.TMP", "~SU000.TMP.txt", "~SU0000.TMP", "~SU00.TMP",
                             "~SU000.TM", "~SU000XTMP", "SU000.TMP", ""})
        EXPECT_FALSE(IsCopyTempName(name)) << name;
    char search[MAX_PATH_BYTES];
    EXPECT_TRUE(CopyTempSearch(search, 16, "C:\\App\\A.TXT"));
    EXPECT_STREQ("C:\\App\\~SU*.TMP", search);
    EXPECT_FALSE(CopyTempSearch(search, 15, "C:\\App\\A.TXT"));   // one byte short: refused, not cut
    EXPECT_FALSE(CopyTempSearch(search, sizeof search, "A.TXT"));
}

TEST(InstallRules, InstallFolderFitsTheLongestName)
{
    static SetupScript script;
    memset(&script, 0, sizeof script);
    strcpy(script.RegIni, "Reg.ini");
    strcpy(script.ShortCutObj, "0");
    strcpy(script.FinalExec, "0");
    FileEntry app = {"$App:", "SUB\\Tessary.scr"}, sys = {"$Sys:", "A-very-long-system-library.dll"};
    script.fileList[0] = app;
    script.fileList[1] = sys;
    // Tessary.scr, 11 bytes, is the longest name in the install folder; the system file is not in it.
    EXPECT_EQ(11u, LongestInstallFolderName(&script, "SETUP.ini"));
    EXPECT_EQ(248u, InstallFolderLimit(&script, "SETUP.ini"));
    const std::string fits = "C:\\" + std::string(245, 'f');   // 248 bytes, its backslash and 11
    EXPECT_TRUE(InstallFolderFits(fits.c_str(), &script, "SETUP.ini"));
    EXPECT_TRUE(InstallFolderFits((fits + "\\").c_str(), &script, "SETUP.ini"));
    EXPECT_FALSE(InstallFolderFits((fits + "g").c_str(), &script, "SETUP.ini"));
    EXPECT_FALSE(InstallFolderFits(("C:\\" + std::string(600, 'f')).c_str(), &script, "SETUP.ini"));

    const struct {
        const char *name;
        size_t longest;
        void (*change)(SetupScript *);
    } cases[] = {
        {"a longer install log", 16, [](SetupScript *) {}},
        {"the registration file", 21, [](SetupScript *s) { strcpy(s->RegIni, "Registration-file.ini"); }},
        {"the copy's temporary names", 10, [](SetupScript *s) { strcpy(s->fileList[0].path, "A"); }},
        {"FinalExec", 16, [](SetupScript *s) { strcpy(s->FinalExec, "docs\\readme.html"); }},
        {"FinalExec none", 11, [](SetupScript *s) { strcpy(s->FinalExec, "0-longer-than-the-rest"); }},
        {"the shortcut's icon", 15, [](SetupScript *s) {
             strcpy(s->ShortCutObj, "a.exe");
             strcpy(s->ShortCutIco, "icons\\clock.ico");
         }},
        {"shortcut none", 11, [](SetupScript *s) { strcpy(s->ShortCutIco, "icons\\much-longer.ico"); }},
        {"a name that leaves no folder", 259, [](SetupScript *s) { memset(s->fileList[0].path, 'n', 259); }},
    };
    for (const auto &c : cases) {
        static SetupScript changed;
        changed = script;
        c.change(&changed);
        const char *scriptName = strcmp(c.name, "a longer install log") == 0 ? "PRODUCTSETUP.ini" : "SETUP.ini";
        EXPECT_EQ(c.longest, LongestInstallFolderName(&changed, scriptName)) << c.name;
        // The field's limit is never 0, which would mean no limit at all.
        EXPECT_EQ(c.longest == 259 ? 1 : MAX_PATH_BYTES - 2 - c.longest, InstallFolderLimit(&changed, scriptName))
            << c.name;
    }
}

TEST(InstallRules, FirstRefusedEntry)
{
    static SetupScript script;
    const struct {
        std::vector<std::string> entries;   // macro and path
        const char *uninstall, *shortCutObj;
        int refused;
    } cases[] = {
        {{"$App:A.TXT", "$Sys:SUB\\B.DLL"}, "1", "0", -1},
        {{"$App:A.TXT", "$App:x/../b.txt", "$App:..\\c.txt"}, "1", "0", 1},
        {{"$App:..", "$App:A.TXT"}, "1", "0", 0},
        {{}, "1", "0", -1},
        {{"$App:A.TXT", "$Win:AUX.txt"}, "1", "0", 1},
        // A file under the install log's name would replace it, in any letter case.
        {{"$App:A.TXT", "$app:sub\\setup.INI"}, "1", "0", 1},
        {{"$App:SETUP.ini"}, "0", "app.exe", 0},   // the shortcut's folder is logged as well
        {{"$App:SETUP.ini"}, "0", "0", -1},        // no log is written
        {{"$Win:SETUP.ini", "$App:SETUP.ini.x"}, "1", "0", -1},
    };
    for (const auto &c : cases) {
        memset(&script, 0, sizeof script);
        strcpy(script.Uninstall, c.uninstall);
        strcpy(script.ShortCutObj, c.shortCutObj);
        for (size_t i = 0; i < c.entries.size(); i++) {
            strcpy(script.fileList[i].macro, c.entries[i].substr(0, 5).c_str());
            strcpy(script.fileList[i].path, c.entries[i].substr(5).c_str());
        }
        EXPECT_EQ(c.refused, FirstRefusedEntry(&script, "SETUP.ini")) << c.entries.size();
    }
    // The list ends at the first unused entry: what lies beyond is never installed.
    memset(&script, 0, sizeof script);
    strcpy(script.fileList[1].macro, "$App:");
    strcpy(script.fileList[1].path, "..");
    EXPECT_EQ(-1, FirstRefusedEntry(&script, "SETUP.ini"));
}

}  // namespace
