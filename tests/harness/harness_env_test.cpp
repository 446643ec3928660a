// What every Wine test relies on: the harness gives a Japanese system (code page 932,
// Japanese faces available), drives of the requested types, and leaves other programs
// in the Windows NT family when only one is switched to Windows 95.
#include <gtest/gtest.h>

#include <string>

#include "testsupport.h"

namespace {

TEST(HarnessEnv, AnsiCodePageIsShiftJis)
{
    EXPECT_EQ(932u, GetACP());
    EXPECT_EQ("\x95\x5C", Sjis("表"));
    EXPECT_TRUE(IsDBCSLeadByte(0x95));
}

TEST(HarnessEnv, JapaneseFacesAreSubstituted)
{
    DWORD type = 0;
    std::string value;
    std::string name = Sjis("ＭＳ Ｐゴシック");
    ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                             name.c_str(), &type, &value));
    EXPECT_EQ(std::string("IPAPGothic", 11), value);

    // The face resolves to a real font with Japanese glyphs.
    HDC dc = CreateCompatibleDC(NULL);
    LOGFONTA lf = {};
    lf.lfHeight = -16;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynA(lf.lfFaceName, name.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    EXPECT_EQ(SHIFTJIS_CHARSET, GetTextCharset(dc)) << face;
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST(HarnessEnv, DrivesHaveTheRequestedTypes)
{
    EXPECT_EQ((UINT)DRIVE_FIXED, GetDriveTypeA("C:\\"));
    EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("D:\\"));
    EXPECT_EQ((UINT)DRIVE_REMOVABLE, GetDriveTypeA("A:\\"));
    EXPECT_EQ((UINT)DRIVE_NO_ROOT_DIR, GetDriveTypeA("Q:\\"));
    // The CD-ROM's folder is the one the harness names.
    std::string file = WinePath(EnvText("KIT_DRIVE_D")) + "\\probe.txt";
    ASSERT_TRUE(WriteWholeFile(file, "probe"));
    std::string seen;
    ASSERT_TRUE(ReadWholeFile("D:\\probe.txt", &seen));
    EXPECT_EQ("probe", seen);
}

TEST(HarnessEnv, OnlyTheNamedProgramSeesWindows95)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ((DWORD)VER_PLATFORM_WIN32_NT, info.dwPlatformId);
}

TEST(HarnessEnv, RegisteredOwnerIsSet)
{
    DWORD type = 0;
    std::string value;
    ASSERT_TRUE(RegReadValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "RegisteredOwner",
                             &type, &value));
    EXPECT_EQ(Sjis("テスト 太郎"), std::string(value.c_str()));
}

}  // namespace
