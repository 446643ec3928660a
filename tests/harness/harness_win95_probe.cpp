// The harness's --win95 switch: this program, named there, sees the Windows 95 family.
#include <gtest/gtest.h>

#include "testsupport.h"

TEST(HarnessWin95, NamedProgramSeesWindows95Family)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ((DWORD)VER_PLATFORM_WIN32_WINDOWS, info.dwPlatformId);
    EXPECT_EQ(4u, info.dwMajorVersion);
}
