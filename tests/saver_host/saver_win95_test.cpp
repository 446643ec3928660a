// Tessary.scr as the Windows 95 family sees it (the harness makes Wine report that family to
// programs named Tessary.scr): password verification and change. Wine has neither
// PASSWORD.CPL nor PwdChangePasswordA, so our fixtures (password_fixture.cpp, mpr_fixture.cpp)
// stand in for them, copied beside a copy of the saver where LoadLibraryA finds them first.
#include <gtest/gtest.h>

#include <string.h>

#include "saverdriver.h"

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";

void SetUsePassword(const char *data, DWORD size, DWORD type)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    if (data == NULL)
        RegDeleteValueA(key, "ScreenSaveUsePassword");
    else
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "ScreenSaveUsePassword", 0, type, (const BYTE *)data, size));
    RegCloseKey(key);
}

// A folder with a copy of the saver and, if asked, the stand-in modules.
std::string PrepareFolder(const char *name, bool withFixtures)
{
    std::string folder = SuiteFolder() + "\\" + name;
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    CopyFileA(BuiltProgram("Tessary.scr").c_str(), (folder + "\\Tessary.scr").c_str(), FALSE);
    if (withFixtures) {
        std::string fixtures = WinePath(FIXTURE_DIR);
        CopyFileA((fixtures + "\\PASSWORD.CPL").c_str(), (folder + "\\PASSWORD.CPL").c_str(), FALSE);
        CopyFileA((fixtures + "\\MPR.DLL").c_str(), (folder + "\\MPR.DLL").c_str(), FALSE);
    }
    // Wine has its own MPR.DLL; the one beside the program is to win.
    RegWriteString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "mpr", "native,builtin");
    return folder;
}

std::string Calls(const std::string &folder)
{
    std::string text;
    ReadWholeFile(folder + "\\fixture-calls.txt", &text);
    return text;
}

int Count(const std::string &text, const char *word)
{
    int count = 0;
    for (size_t pos = text.find(word); pos != std::string::npos; pos = text.find(word, pos + 1))
        count++;
    return count;
}

// Waits until the fixture has recorded n verifier calls.
bool WaitForVerifyCalls(const std::string &folder, int n)
{
    DWORD start = GetTickCount();
    while (Count(Calls(folder), "verify ") < n) {
        if (GetTickCount() - start > 10000)
            return false;
        PumpFor(20);
    }
    return true;
}

void Answer(const std::string &folder, const char *answer)
{
    ASSERT_TRUE(WriteWholeFile(folder + "\\verify-answer.txt", answer));
}

TEST(Win95Password, VerifierDecidesAndIsNotAskedAgainWithin200ms)
{
    std::string folder = PrepareFolder("password-on", true);
    SetUsePassword("\x01\x00\x00\x00", 4, REG_DWORD);
    // The first refusal also posts a key press at once: that second request comes within
    // 200 ms of the check and must be refused without a call.
    Answer(folder, "0+key");
    ChildProcess child;
    ASSERT_TRUE(StartSaver("/s", &child, folder + "\\Tessary.scr"));
    HWND window = WaitFullScreen(child);
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(1, Count(Calls(folder), "load\r\n")) << "the verifier is loaded before any close";
    EXPECT_EQ(0, Count(Calls(folder), "verify "));

    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(WaitForVerifyCalls(folder, 1));
    EXPECT_TRUE(StillRunningAfter(&child, 1000)) << "a refusal ended the saver";
    std::string calls = Calls(folder);
    EXPECT_EQ(1, Count(calls, "verify ")) << "the request right after the refusal called the verifier:\n" << calls;
    EXPECT_NE(std::string::npos, calls.find("verify " + HandleText(window))) << calls;

    // Later than 200 ms the verifier is asked again.
    Answer(folder, "0");
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_TRUE(WaitForVerifyCalls(folder, 2));
    EXPECT_TRUE(StillRunningAfter(&child, 500));

    Answer(folder, "1");
    PostMessageA(window, WM_KEYDOWN, 'B', 0);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&child, 10000, &code));
    StopChild(&child);
    EXPECT_EQ(0u, code);
    calls = Calls(folder);
    EXPECT_EQ(3, Count(calls, "verify ")) << calls;
    EXPECT_EQ(1, Count(calls, "unload")) << calls;
}

struct OffCase {
    const char *name;
    const char *data;
    DWORD size;
    DWORD type;
};

const OffCase offCases[] = {
    {"value 0", "\x00\x00\x00\x00", 4, REG_DWORD},
    {"value absent", NULL, 0, REG_DWORD},
    {"data longer than 4 bytes", "\x01\x00\x00\x00\x00", 5, REG_BINARY},
};

TEST(Win95Password, WithoutProtectionTheFirstRequestEndsIt)
{
    for (const OffCase &c : offCases) {
        std::string folder = PrepareFolder("password-off", true);
        SetUsePassword(c.data, c.size, c.type);
        Answer(folder, "0");
        ChildProcess child;
        ASSERT_TRUE(StartSaver("/s", &child, folder + "\\Tessary.scr")) << c.name;
        HWND window = WaitFullScreen(child);
        ASSERT_TRUE(window != NULL) << c.name;
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
        DWORD code = 12345;
        EXPECT_TRUE(EndsWithin(&child, 10000, &code)) << c.name;
        StopChild(&child);
        EXPECT_EQ(0u, code) << c.name;
        EXPECT_EQ("", Calls(folder)) << c.name << ": the verifier was loaded";
    }
}

TEST(Win95Password, ShortDataCountsWithZeroHighBytes)
{
    std::string folder = PrepareFolder("password-short", true);
    SetUsePassword("\x01", 1, REG_BINARY);
    Answer(folder, "1");
    ChildProcess child;
    ASSERT_TRUE(StartSaver("/s", &child, folder + "\\Tessary.scr"));
    HWND window = WaitFullScreen(child);
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&child, 10000, &code));
    StopChild(&child);
    EXPECT_EQ(1, Count(Calls(folder), "verify ")) << Calls(folder);
}

TEST(Win95Password, PreviewNeverLoadsTheVerifier)
{
    std::string folder = PrepareFolder("password-preview", true);
    SetUsePassword("\x01\x00\x00\x00", 4, REG_DWORD);
    HWND frame = CreateFrame(120, 90);
    ChildProcess child;
    ASSERT_TRUE(StartSaver("/p " + HandleText(frame), &child, folder + "\\Tessary.scr"));
    HWND preview = WaitPreview(frame);
    ASSERT_TRUE(preview != NULL);
    PostMessageA(preview, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(StillRunningAfter(&child, 500));
    DestroyWindow(frame);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&child, 10000, &code));
    StopChild(&child);
    EXPECT_EQ(0u, code);
    EXPECT_EQ("", Calls(folder));
}

TEST(Win95PasswordChange, HandsTheRequestToTheProvider)
{
    std::string folder = PrepareFolder("password-change", true);
    HWND frame = CreateFrame(60, 40);
    HWND gone = CreateFrame(10, 10);
    std::string goneHandle = HandleText(gone);
    DestroyWindow(gone);
    struct {
        std::string arguments;
        std::string expectedWindow;   // empty: the foreground window, whatever it is
    } cases[] = {
        {"/a " + HandleText(frame), HandleText(frame)},
        {"-A" + HandleText(frame), HandleText(frame)},
        {"/a", ""},
        {"/a " + goneHandle, ""},
    };
    int n = 0;
    for (const auto &c : cases) {
        ChildProcess child;
        ASSERT_TRUE(StartSaver(c.arguments, &child, folder + "\\Tessary.scr")) << c.arguments;
        DWORD code = 12345;
        EXPECT_TRUE(EndsWithin(&child, 10000, &code)) << c.arguments;
        StopChild(&child);
        EXPECT_EQ(0u, code) << c.arguments;
        std::string calls = Calls(folder);
        EXPECT_EQ(++n, Count(calls, "change SCRSAVE ")) << c.arguments << "\n" << calls;
        size_t last = calls.rfind("change SCRSAVE ");
        ASSERT_NE(std::string::npos, last);
        std::string line = calls.substr(last, calls.find('\r', last) - last);
        EXPECT_EQ(" 0 0", line.substr(line.size() - 4)) << line;
        if (!c.expectedWindow.empty())
            EXPECT_EQ("change SCRSAVE " + c.expectedWindow + " 0 0", line);
        else
            EXPECT_EQ(std::string::npos, line.find(" " + goneHandle + " ")) << line;
    }
    DestroyWindow(frame);
}

TEST(Win95PasswordChange, WithoutTheModuleNothingHappensAndTheCodeIsZero)
{
    std::string folder = PrepareFolder("password-change-none", false);
    ChildProcess child;
    ASSERT_TRUE(StartSaver("/a", &child, folder + "\\Tessary.scr"));
    DWORD code = 12345;
    bool ended = false;
    bool showed = ShowedAnyWindowUntilEnd(&child, 10000, &code, &ended);
    StopChild(&child);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(showed);
    EXPECT_EQ(0u, code);
}

}  // namespace
