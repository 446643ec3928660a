// Each shipped program starts and ends under Wine with exit code 0, answering the boxes it
// shows when started bare from the build folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport.h"

namespace {

// Starts the program, expects one box after the other with the caption and texts given,
// presses OK on each, then expects the program to end with 0.
void ExpectBoxesThenEnd(const char *name, const std::string &arguments, const char *caption,
                        const std::vector<std::string> &texts)
{
    std::string program = BuiltProgram(name);
    ASSERT_TRUE(FileExists(program)) << program;
    ChildProcess child;
    ASSERT_TRUE(StartChild("\"" + program + "\"" + arguments, SuiteFolder(), &child)) << program;
    for (const std::string &text : texts) {
        SCOPED_TRACE(name);
        if (!AnswerMessageBox(child.pid, caption, Utf8(text).c_str(), IDOK, 20000, __LINE__).came) {
            StopChild(&child);
            return;
        }
    }
    DWORD code = 12345;
    bool ended = WaitChild(&child, 20000, &code);
    StopChild(&child);
    ASSERT_TRUE(ended) << name << " did not end";
    EXPECT_EQ(0u, code) << name;
}

// Without a setup script beside it, SETUP names the first key it could not read, then says
// that setup is stopped.
TEST(Programs, SetupStartsAndEnds)
{
    ASSERT_FALSE(FileExists(BuiltProgram("SETUP.ini")));
    ExpectBoxesThenEnd("SETUP.exe", "", "SETUP",
                       {"SETUP.ini Title Error", Sjis("異常が発生しました。\nセットアップを中断します。")});
}

// Without Pavrell.ini beside it, the assistant says so in its one box.
TEST(Programs, AssistantStartsAndEnds)
{
    ASSERT_FALSE(FileExists(BuiltProgram("Pavrell.ini")));
    ExpectBoxesThenEnd("PAVRELL.exe", "", "PAVRELL", {"PAVRELL.INI ScrName Error"});
}

// The saver starts full screen and ends on a key press.
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

}  // namespace
