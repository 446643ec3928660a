// The native buildmedium as an author runs it on Linux: the script's Shift-JIS names found
// as UTF-8 names whatever the case of their ASCII letters, paths relative to the current
// folder, and bad input refused with one line, no medium, no OUTPUT.partial and no work
// folder left. (What it prints against BuildMedium.exe: tests/medium/native_builder_test.sh.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "szdd.h"
#include "testbitmap.h"

namespace fs = std::filesystem;

namespace {

// The script as an author writes it (UTF-8; built with /utf8).
const char kScript[] =
    "[Setup]\n"
    "Title=テスト時計\n"
    "SubTitle=副題\n"
    "BackColor=BL\n"
    "Titlemap=title.bmp\n"
    "TitlemapX=10\n"
    "TitlemapY=10\n"
    "Bitmap=0\n"
    "DefaultDir=C:\\Program Files\\Test\n"
    "StartMsg1=コピーします。\n"
    "StartMsg2=*\n"
    "RegIni=Reg.ini\n"
    "RegSec=User\n"
    "ShortCutObj=0\n"
    "FinalExec=0\n"
    "[README]\n"
    "1=ようこそ\n"
    "[DISK1]\n"
    "1=$App:A.TXT\n"
    "2=$App:時計.txt\n"
    "[DISK2]\n"
    "1=$Sys:SUB\\B.DLL\n";

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const fs::path &path, const std::string &bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file below a folder with its bytes, folders as "/" (what a build must leave alone).
std::map<std::string, std::string> Tree(const fs::path &folder)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it); it.increment(error))
        files[fs::relative(it->path(), folder).string()] =
            it->is_symlink() ? "-> " + fs::read_symlink(it->path()).string()
            : it->is_directory() ? "/" : it->is_regular_file() ? ReadAll(it->path()) : "(special)";
    return files;
}

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A medium file as SETUP copies it: expanded when compressed, else as it is.
std::string Expanded(const std::string &image)
{
    if (image.compare(0, 4, "SZDD") != 0)
        return image;
    std::string out(4 << 20, '\0');
    size_t length = 0;
    if (!SzddExpand((const unsigned char *)image.data(), image.size(), (unsigned char *)&out[0], out.size(), &length))
        return "(not expandable)";
    return out.substr(0, length);
}

// Whether text has the line; a '*' in it stands for any text.
bool HasLine(const std::string &text, const std::string &pattern)
{
    size_t star = pattern.find('*');
    std::string before = pattern.substr(0, star);
    std::string after = star == std::string::npos ? "" : pattern.substr(star + 1);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (star == std::string::npos ? line == pattern
                                      : line.size() >= before.size() + after.size() &&
                                            line.compare(0, before.size(), before) == 0 &&
                                            line.compare(line.size() - after.size(), after.size(), after) == 0)
            return true;
    }
    return false;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class NativeBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() /
                ("buildmedium-native-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        package_ = root_ / "pkg";
        output_ = root_ / "out";
        temp_ = root_ / "tmp";
        fs::create_directories(temp_);
        WriteAll(package_ / "SETUP.ini", kScript);
        WriteAll(package_ / "title.bmp", SmallBitmapBytes());
        WriteAll(package_ / "A.TXT", std::string(4000, 'a') + "end of A");
        WriteAll(package_ / "時計.txt", "clock text");
        WriteAll(package_ / "SUB" / "B.DLL", std::string(3000, 'b'));
        WriteAll(root_ / "SETUP.exe", "MZ setup program");
    }
    void TearDown() override
    {
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }

    // The builder with arguments, in folder; without the rights that let root read any file
    // when unprivileged is set, as an author's own account runs it. Killed after a minute,
    // so that a build that waits for ever fails instead.
    pid_t Start(const std::vector<std::string> &arguments, const std::string &log,
                const fs::path &folder = fs::path(), bool unprivileged = false)
    {
        fs::path out = root_ / (log + ".out"), err = root_ / (log + ".err");
        pid_t child = fork();
        if (child == 0) {
            int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(o, 1);
            dup2(e, 2);
            if (!folder.empty() && chdir(folder.c_str()) != 0)
                _exit(97);
            if (unprivileged && geteuid() == 0) {
                prctl(PR_CAPBSET_DROP, 1 /* CAP_DAC_OVERRIDE */, 0, 0, 0);
                prctl(PR_CAPBSET_DROP, 2 /* CAP_DAC_READ_SEARCH */, 0, 0, 0);
            }
            setenv("TMPDIR", temp_.c_str(), 1);
            alarm(60);
            std::vector<char *> argv;
            argv.push_back((char *)KIT_BUILDMEDIUM);
            for (const std::string &a : arguments)
                argv.push_back((char *)a.c_str());
            argv.push_back(NULL);
            execv(KIT_BUILDMEDIUM, argv.data());
            _exit(98);
        }
        return child;
    }
    Outcome Finish(pid_t child, const std::string &log)
    {
        Outcome run;
        int status = 0;
        waitpid(child, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadAll(root_ / (log + ".out"));
        run.err = ReadAll(root_ / (log + ".err"));
        fs::remove(root_ / (log + ".out"));
        fs::remove(root_ / (log + ".err"));
        return run;
    }
    Outcome Builder(const std::vector<std::string> &arguments, const fs::path &folder = fs::path(),
                    bool unprivileged = false)
    {
        return Finish(Start(arguments, "run", folder, unprivileged), "run");
    }

    // A build, after /check with the same options: /check refuses (2) exactly what the build
    // refuses, and its findings are the build's (check_ keeps its outcome).
    Outcome Build(const std::string &options = "/utf8", bool unprivileged = false)
    {
        std::vector<std::string> arguments = {"/check", "/setup", (root_ / "SETUP.exe").string()};
        std::istringstream words(options);
        for (std::string word; words >> word;)
            arguments.push_back(word);
        for (const fs::path &p : {package_ / "SETUP.ini", package_})
            arguments.push_back(p.string());
        check_ = Builder(arguments, fs::path(), unprivileged);
        arguments.erase(arguments.begin());
        arguments.push_back(output_.string());
        Outcome build = Builder(arguments, fs::path(), unprivileged);
        EXPECT_EQ(check_.status == 2, build.status == 2) << "check:\n" << check_.err << "build:\n" << build.err;
        if (check_.status == 2)
            EXPECT_EQ(check_.err, build.err.substr(0, check_.err.size()));
        return build;
    }

    fs::path root_, package_, output_, temp_;
    Outcome check_;
};

TEST_F(NativeBuilder, NamesTheFilesAsTheScriptNamesThem)
{
    // The script's case and the package's differ; Wine finds such a file all the same.
    fs::rename(package_ / "A.TXT", package_ / "a.txt");
    fs::rename(package_ / "SUB", package_ / "Sub");
    Outcome run = Build();
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ("", run.err);
    EXPECT_NE(std::string::npos, run.out.find("[5/6] DISK1\\\x8E\x9E\x8C\x76.tx_\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("medium ready: " + output_.string() + " (one folder per disk)\n"));
    const struct {
        fs::path medium;
        std::string original;
    } files[] = {
        {output_ / "DISK1" / "A.TX_", ReadAll(package_ / "a.txt")},
        {output_ / "DISK1" / "時計.tx_", "clock text"},
        {output_ / "DISK2" / "SUB" / "B.DL_", ReadAll(package_ / "Sub" / "B.DLL")},
    };
    for (const auto &f : files)
        EXPECT_EQ(f.original, Expanded(ReadAll(f.medium))) << f.medium;
    EXPECT_EQ("MZ setup program", ReadAll(output_ / "DISK1" / "SETUP.exe"));
    EXPECT_EQ(SmallBitmapBytes(), ReadAll(output_ / "DISK1" / "title.bmp"));
    // The script in Shift-JIS with CR LF; the package's own is left as it was.
    std::string onMedium = ReadAll(output_ / "DISK1" / "SETUP.ini");
    EXPECT_EQ(0u, onMedium.find("[Setup]\r\nTitle=\x83\x65\x83\x58\x83\x67\x8E\x9E\x8C\x76\r\n")) << onMedium;
    EXPECT_EQ(kScript, ReadAll(package_ / "SETUP.ini"));
    EXPECT_TRUE(fs::is_empty(temp_)) << "the work folder is removed";
}

TEST_F(NativeBuilder, PathsRelativeToTheCurrentFolder)
{
    fs::create_directories(root_ / "deep" / "er");
    Outcome run = Builder({"/cd", "/utf8", "/setup", "../../SETUP.exe", "../../pkg/./SETUP.ini", "../../pkg/",
                       "./../../out//"},
                      root_ / "deep" / "er");
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("medium ready: " + output_.string() + " (one folder)\n")) << run.out;
    EXPECT_TRUE(fs::is_regular_file(output_ / "SUB" / "B.DL_"));
}

TEST_F(NativeBuilder, UsageOnRequestAndOnWrongArguments)
{
    Outcome help = Builder({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find("usage: buildmedium [/cd] [/utf8] [/setup PROGRAM] SCRIPT PACKAGE OUTPUT\n"))
        << help.out;
    EXPECT_EQ("", help.err);
    Outcome wrong = Builder({"a", "b"});
    EXPECT_EQ(2, wrong.status);
    EXPECT_EQ(help.out, wrong.err);
    EXPECT_EQ("", wrong.out);
}

// Every refusal: exit status 2, its line on the error output (from /check as well where
// the package tells), the earlier medium left as it was, no OUTPUT.partial and no work folder.
TEST_F(NativeBuilder, RefusalsLeaveNothingHalfWritten)
{
    struct Case {
        const char *name;
        std::function<void(const fs::path &pkg)> spoil;
        std::string line;   // the whole line
        bool unprivileged;
    };
    const Case cases[] = {
        {"a listed file that cannot be read",
         [](const fs::path &pkg) { fs::permissions(pkg / "SUB" / "B.DLL", fs::perms::none); },
         package_.string() + "/SETUP.ini:22: error: [DISK2] SUB\\B.DLL: cannot read it in " + package_.string() + "/",
         true},
        {"a picture that cannot be read", [](const fs::path &pkg) { fs::permissions(pkg / "title.bmp", fs::perms::none); },
         package_.string() + "/SETUP.ini:5: error: Titlemap title.bmp: cannot read it in " + package_.string() + "/",
         true},
        {"a picture cut short", [](const fs::path &pkg) { WriteAll(pkg / "title.bmp", SmallBitmapBytes().substr(0, 60)); },
         package_.string() + "/SETUP.ini:5: error: Titlemap title.bmp: 60 bytes, but its header says 70; the file is "
                             "cut short", false},
        {"a picture whose header claims 65535 x 65535 pixels",
         [](const fs::path &pkg) {
             std::string b = SmallBitmapBytes();
             b.replace(2, 4, 4, '\0');
             b.replace(18, 8, "\xFF\xFF\0\0\xFF\xFF\0\0", 8);
             WriteAll(pkg / "title.bmp", b);
         },
         package_.string() + "/SETUP.ini:5: error: Titlemap title.bmp: its header's 65535 x 65535 pixels end at byte "
                             "12,884,705,334, past the file's 70 bytes", false},
        {"a folder where a listed file belongs",
         [](const fs::path &pkg) {
             fs::remove(pkg / "A.TXT");
             fs::create_directories(pkg / "A.TXT");
         },
         package_.string() + "/SETUP.ini:19: error: [DISK1] A.TXT: is a folder, not a file", false},
        {"a disk that overflows",
         [](const fs::path &pkg) {
             std::string noise(1500000, '\0');
             unsigned state = 7;
             for (char &c : noise)
                 c = (char)((state = state * 1103515245 + 12345) >> 16);
             WriteAll(pkg / "SUB" / "B.DLL", noise);
         },
         package_.string() + "/SETUP.ini:21: error: DISK2: 1,500,672 bytes do not fit on a disk of 1,457,664 bytes",
         false},
        {"a line that is not UTF-8",
         [](const fs::path &pkg) { WriteAll(pkg / "SETUP.ini", Replaced(kScript, "副題", "\x95\x9B\x91\xE8")); },
         package_.string() + "/SETUP.ini:3: error: not valid UTF-8", false},
        {"a character without a Shift-JIS form",
         [](const fs::path &pkg) { WriteAll(pkg / "SETUP.ini", Replaced(kScript, "副題", "副題〜")); },
         package_.string() + "/SETUP.ini:3: error: U+301C at column 12 has no Shift-JIS form (code page 932)", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        ASSERT_EQ(0, Build().status);
        const auto earlier = Tree(output_);
        c.spoil(package_);
        Outcome run = Build("/utf8", c.unprivileged);
        EXPECT_EQ(2, run.status);
        EXPECT_TRUE(HasLine(run.err, c.line)) << "expected " << c.line << "\nin " << run.err;
        EXPECT_EQ(earlier, Tree(output_));
        EXPECT_FALSE(fs::exists(root_ / "out.partial"));
        EXPECT_TRUE(fs::is_empty(temp_)) << "the work folder is removed";
    }
}

TEST_F(NativeBuilder, AFileWhereTheMediumGoesIsKept)
{
    WriteAll(output_, "a file of the author's");
    // Not a case for /check, which has no OUTPUT.
    Outcome run = Builder({"/utf8", "/setup", (root_ / "SETUP.exe").string(), (package_ / "SETUP.ini").string(),
                           package_.string(), output_.string()});
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(output_.string() + ": is a file; the medium is a folder\n", run.err);
    EXPECT_EQ("a file of the author's", ReadAll(output_));
    EXPECT_FALSE(fs::exists(root_ / "out.partial"));
    EXPECT_FALSE(fs::exists(root_ / "out.old"));
}

// A medium built again replaces the earlier one whole, files it no longer has included.
TEST_F(NativeBuilder, ABuildAgainReplacesTheEarlierMedium)
{
    ASSERT_EQ(0, Build("/cd /utf8").status);
    WriteAll(package_ / "SETUP.ini", Replaced(kScript, "2=$App:時計.txt\n", ""));
    WriteAll(package_ / "A.TXT", "changed");
    Outcome again = Build("/cd /utf8");
    ASSERT_EQ(0, again.status) << again.err;
    EXPECT_EQ("changed", Expanded(ReadAll(output_ / "A.TX_")));
    EXPECT_FALSE(fs::exists(output_ / "時計.tx_"));
    for (const char *beside : {"out.old", "out.partial", "out.lock"})
        EXPECT_FALSE(fs::exists(root_ / beside)) << beside;
}

// The author's folders around a build: OUTPUT where their files lie, package entries that
// are no files, links, a second build at once, what a killed build leaves. Each ends within
// the bound with its status and its line; a refusal leaves every file as it was.
TEST_F(NativeBuilder, KeepsTheAuthorsFiles)
{
    const int kBuildRefused = 2;   // a build's exit status for an error
    const int kCheckRefused = 2;
    const std::string big = std::string(1500000, 'x') + "end";
    std::map<std::string, std::string> earlier;
    pid_t first = -1;
    const fs::path script = package_ / "SETUP.ini", scripts = root_ / "scripts", elsewhere = root_ / "elsewhere";
    fs::path given;   // the script the build is given
    auto list = [&](const std::string &line) { WriteAll(script, Replaced(kScript, "[DISK2]", line + "\n[DISK2]")); };
    auto buildEarlier = [&] {
        ASSERT_EQ(0, Build().status);
        earlier = Tree(output_);
    };
    const struct {
        const char *name;
        std::function<void()> arrange;
        bool check;          // /check, else a build into output
        fs::path output;
        int status;
        std::string line;    // of the output, '*' for any text
        std::function<void()> verify;   // instead of every file as it was
    } cases[] = {
        {"OUTPUT is the package folder", nullptr, false, package_, kBuildRefused,
         package_.string() + ": is the package folder *", nullptr},
        {"OUTPUT is the script's folder", [&] { WriteAll(given = scripts / "SETUP.ini", kScript); }, false, scripts,
         kBuildRefused, scripts.string() + ": is the script's folder *", nullptr},
        {"OUTPUT holds the package", nullptr, false, root_, kBuildRefused,
         root_.string() + ": holds the package folder " + package_.string() + "; *", nullptr},
        {"OUTPUT is a folder of photos", [&] { WriteAll(elsewhere / "holiday.jpg", "photo"); }, false, elsewhere,
         kBuildRefused, elsewhere.string() + ": holds holiday.jpg and no setup program with its script: *", nullptr},
        {"OUTPUT.old is the author's", [&] { buildEarlier(), WriteAll(root_ / "out.old" / "mine.txt", "mine"); },
         false, output_, kBuildRefused, output_.string() + ".old: holds mine.txt and no setup program *", nullptr},
        {"a floppy medium with its images", [&] { buildEarlier(), WriteAll(output_ / "DISK1.img", "image"); }, false,
         output_, 0, "medium ready: *", [&] { EXPECT_FALSE(fs::exists(output_ / "DISK1.img")); }},
        {"OUTPUT is a link",
         [&] { fs::create_directories(elsewhere), fs::create_directory_symlink(elsewhere, output_); }, false,
         output_, kBuildRefused, output_.string() + ": is a symbolic link to " + elsewhere.string() + "; *", nullptr},
        {"a FIFO listed", [&] { list("3=$App:PIPE.DAT"), mkfifo((package_ / "PIPE.DAT").c_str(), 0644); }, false,
         output_, kBuildRefused, "*SETUP.ini:21: error: [DISK1] PIPE.DAT: is a FIFO (named pipe), not a file",
         nullptr},
        {"a FIFO as the picture",
         [&] { fs::remove(package_ / "title.bmp"), mkfifo((package_ / "title.bmp").c_str(), 0644); }, true, "",
         kCheckRefused, "*SETUP.ini:5: error: Titlemap title.bmp: is a FIFO (named pipe), not a file", nullptr},
        {"a link out of the package",
         [&] {
             WriteAll(root_ / "secret.txt", "secret"), list("3=$App:S.TXT");
             fs::create_symlink("../secret.txt", package_ / "S.TXT");
         },
         true, "", kCheckRefused, "*:21: error: [DISK1] S.TXT: a link to " + (root_ / "secret.txt").string() +
         ", outside the package folder; copy the file in", nullptr},
        {"a link inside the package",
         [&] {
             fs::rename(package_ / "A.TXT", package_ / "SUB" / "A.REAL");
             fs::create_symlink("SUB/A.REAL", package_ / "A.TXT");
         },
         false, output_, 0, "medium ready: *",
         [&] { EXPECT_EQ(ReadAll(package_ / "SUB" / "A.REAL"), Expanded(ReadAll(output_ / "DISK1" / "A.TX_"))); }},
        {"a second build at once",
         [&] {
             WriteAll(package_ / "BIG.DAT", big);
             list("3=$App:BIG.DAT");
             first = Start({"/cd", "/utf8", "/setup", (root_ / "SETUP.exe").string(), script.string(),
                            package_.string(), output_.string()}, "first");
             for (int i = 0; i < 600 && !fs::exists(root_ / "out.partial"); i++)
                 usleep(50000);
         },
         false, output_, kBuildRefused, "another build is writing " + output_.string(),
         [&] {
             EXPECT_EQ(0, waitpid(first, NULL, WNOHANG)) << "the first build ended too soon";
             EXPECT_EQ(0, Finish(first, "first").status);
             EXPECT_TRUE(big == Expanded(ReadAll(output_ / "BIG.DA_")));
             EXPECT_EQ(ReadAll(package_ / "A.TXT"), Expanded(ReadAll(output_ / "A.TX_")));
         }},
        {"killed between its renames, then refused",
         [&] {   // what a kill between the renames leaves, then a package the build refuses
             buildEarlier();
             fs::rename(output_, root_ / "out.old");
             fs::copy(root_ / "out.old", root_ / "out.partial", fs::copy_options::recursive);
             fs::remove(package_ / "A.TXT");
         },
         false, output_, kBuildRefused, output_.string() + ": the earlier medium put back from *.old", [&] {
             EXPECT_TRUE(earlier == Tree(output_));
             EXPECT_FALSE(fs::exists(root_ / "out.old") || fs::exists(root_ / "out.partial"));
         }},
        {"a work folder a killed run left",
         [&] {
             pid_t gone = fork();
             if (gone == 0)
                 _exit(0);
             waitpid(gone, NULL, 0);
             WriteAll(temp_ / ("buildmedium-" + std::to_string(gone)) / "SETUP.ini", kScript);
             WriteAll(temp_ / ("buildmedium-" + std::to_string(gone + 100000000)) / "photo.jpg", "not ours");
         },
         false, output_, 0, "medium ready: *",
         [&] { EXPECT_EQ(1, std::distance(fs::directory_iterator(temp_), fs::directory_iterator())); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        given = script;
        if (c.arrange)
            c.arrange();
        const auto before = Tree(root_);
        std::vector<std::string> arguments = {"/utf8", "/setup", (root_ / "SETUP.exe").string(), given.string(),
                                              package_.string()};
        if (c.check)
            arguments.insert(arguments.begin(), "/check");
        else
            arguments.push_back(c.output.string());
        Outcome run = Builder(arguments);
        EXPECT_EQ(c.status, run.status) << run.err;
        EXPECT_TRUE(HasLine(run.out + run.err, c.line)) << "expected " << c.line << "\nin " << run.out << run.err;
        if (c.verify)
            c.verify();
        else
            EXPECT_EQ(before, Tree(root_));
    }
}

// Scripts as an author brings them: each builds and checks as stated, and the medium holds
// what SETUP must read.
TEST_F(NativeBuilder, WhatAnAuthorBringsIsTakenAsItIs)
{
    // The script in Shift-JIS, RegSec given twice to show the line count; lines ended by end.
    const auto shiftJis = [](const std::string &end) {
        std::string text = Replaced(Replaced(Replaced(Replaced(kScript, "テスト時計", "Clock"), "副題", "Sub"),
                                             "コピーします。", "Copying"), "ようこそ", "Welcome");
        text = Replaced(Replaced(text, "時計", "\x8E\x9E\x8C\x76"), "RegSec=User\n", "RegSec=User\nRegSec=Other\n");
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + end.size()))
            text.replace(at, 1, end);
        return text;
    };
    const std::string warning = ":14: warning: RegSec given twice; SETUP takes the first, on line 13\n";
    struct Case {
        const char *name;
        std::string script;
        const char *options;
        int checkStatus;
        std::string err;      // of /check, after the package's script path
        std::string medium;   // DISK1\SETUP.ini
    };
    const Case cases[] = {
        {"CR line ends", shiftJis("\r"), "", 1, warning, shiftJis("\r\n")},
        {"CR LF and LF mixed", Replaced(shiftJis("\r\n"), "Title=Clock\r\n", "Title=Clock\n"), "", 1, warning,
         shiftJis("\r\n")},
        {"a byte-order mark", "\xEF\xBB\xBF" + std::string(kScript), "", 0, "", ""},
        {"UTF-8 without /utf8", kScript, "", 0,
         ": read as UTF-8: the file is valid UTF-8 with non-ASCII text; the medium gets it in Shift-JIS\n", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        WriteAll(package_ / "SETUP.ini", c.script);
        Outcome run = Build(c.options);
        EXPECT_EQ(c.checkStatus, check_.status);
        EXPECT_EQ(c.err.empty() ? "" : (package_ / "SETUP.ini").string() + c.err, check_.err);
        ASSERT_EQ(0, run.status) << run.err;
        std::string onMedium = ReadAll(output_ / "DISK1" / "SETUP.ini");
        if (!c.medium.empty())
            EXPECT_EQ(c.medium, onMedium);
        else
            EXPECT_EQ(0u, onMedium.find("[Setup]\r\nTitle=\x83\x65\x83\x58\x83\x67\x8E\x9E\x8C\x76\r\n")) << onMedium;
    }
}

}  // namespace
