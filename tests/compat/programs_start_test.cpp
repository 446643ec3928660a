// Each shipped program starts and ends under Wine with exit code 0.
#include <gtest/gtest.h>

#include <string>

#include "testsupport.h"

namespace {

// Without a setup script beside it, SETUP names the first key it could not read, then says
// that setup is stopped, and ends.
TEST(Programs, SetupStartsAndEnds)
{
    std::string program = BuiltProgram("SETUP.exe");
    ASSERT_TRUE(FileExists(program)) << program;
    ASSERT_FALSE(FileExists(program.substr(0, program.size() - 4) + ".ini"));
    ChildProcess child;
    ASSERT_TRUE(StartChild("\"" + program + "\"", SuiteFolder(), &child)) << program;
    const std::string texts[] = {"SETUP.ini Title Error",
                                 Sjis("異常が発生しました。\nセットアップを中断します。")};
    for (const std::string &text : texts) {
        HWND box = WaitForWindow(child.pid, "#32770", "SETUP", 20000);
        if (box == NULL) {
            StopChild(&child);
            FAIL() << "no box with " << Utf8(text);
        }
        EXPECT_EQ(Utf8(text), Utf8(MessageBoxText(box)));
        PressDialogButton(box, IDOK);
        for (int i = 0; i < 250 && IsWindow(box); i++)
            PumpFor(20);
    }
    DWORD code = 12345;
    bool ended = WaitChild(&child, 20000, &code);
    StopChild(&child);
    ASSERT_TRUE(ended) << "SETUP did not end";
    EXPECT_EQ(0u, code);
}

// The saver starts full screen and ends on a key press with exit code 0.
TEST(Programs, SaverStartsAndEnds)
{
    std::string program = BuiltProgram("Tessary.scr");
    ASSERT_TRUE(FileExists(program)) << program;
    ChildProcess child;
    ASSERT_TRUE(StartChild("\"" + program + "\" /s", SuiteFolder(), &child)) << program;
    HWND window = WaitForWindow(child.pid, "WindowsScreenSaverClass", "Screen Saver", 20000);
    EXPECT_TRUE(window != NULL) << "no full-screen window";
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    DWORD code = 12345;
    bool ended = WaitChild(&child, 20000, &code);
    StopChild(&child);
    ASSERT_TRUE(ended) << "Tessary.scr did not end";
    EXPECT_EQ(0u, code);
}

// Beside the built program there is no Pavrell.ini: the assistant says so in its one box,
// which is answered here, and still ends with 0.
TEST(Programs, AssistantStartsAndEnds)
{
    std::string program = BuiltProgram("PAVRELL.exe");
    ASSERT_TRUE(FileExists(program)) << program;
    ASSERT_FALSE(FileExists(BuiltProgram("Pavrell.ini")));
    ChildProcess child;
    ASSERT_TRUE(StartChild("\"" + program + "\"", SuiteFolder(), &child)) << program;
    HWND box = WaitForWindow(child.pid, "#32770", NULL, 20000);
    std::string caption = box != NULL ? WindowText(box) : std::string();
    std::string text = box != NULL ? MessageBoxText(box) : std::string();
    if (box != NULL)
        PressDialogButton(box, IDOK);
    DWORD code = 12345;
    bool ended = WaitChild(&child, 20000, &code);
    StopChild(&child);
    ASSERT_TRUE(box != NULL) << "no message box";
    EXPECT_EQ("PAVRELL", caption);
    EXPECT_EQ("PAVRELL.INI ScrName Error", text);
    ASSERT_TRUE(ended) << "PAVRELL.exe did not end";
    EXPECT_EQ(0u, code);
}

}  // namespace
