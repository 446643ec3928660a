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

TEST(Programs, SetupStartsAndEnds) { ExpectStartsAndEnds("SETUP.exe", ""); }
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
TEST(Programs, AssistantStartsAndEnds) { ExpectStartsAndEnds("PAVRELL.exe", ""); }

}  // namespace
