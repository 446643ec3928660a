// Each shipped program starts and ends under Wine with exit code 0.
#include <gtest/gtest.h>

#include <string>

#include "testsupport.h"

namespace {

void ExpectStartsAndEnds(const char *name, const std::string &arguments)
{
    std::string program = BuiltProgram(name);
    ASSERT_TRUE(FileExists(program)) << program;
    ChildProcess child;
    ASSERT_TRUE(StartChild("\"" + program + "\"" + arguments, SuiteFolder(), &child)) << program;
    DWORD code = 12345;
    bool ended = WaitChild(&child, 20000, &code);
    StopChild(&child);
    ASSERT_TRUE(ended) << name << " did not end";
    EXPECT_EQ(0u, code) << name;
}

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
TEST(Programs, SaverStartsAndEnds) { ExpectStartsAndEnds("Tessary.scr", ""); }
TEST(Programs, AssistantStartsAndEnds) { ExpectStartsAndEnds("PAVRELL.exe", ""); }

}  // namespace
