// Tessary.scr under Wine (NT family): full-screen run, preview, the refused command lines,
// configuration and password modes, with real windows of a real process.
#include <gtest/gtest.h>

#include "saverdriver.h"

namespace {

const DWORD Invalid = 0xFFFFFFFFu;   // exit code -1

// A running full-screen saver that the test ends by handle if the case did not end it.
struct FullScreenRun {
    ChildProcess child;
    HWND window = NULL;
    ~FullScreenRun() { StopChild(&child); }
    bool Start(const std::string &arguments = "/s")
    {
        if (!StartSaver(arguments, &child))
            return false;
        window = WaitFullScreen(child);
        return window != NULL;
    }
};

// First of all cases, before other tests have moved activation between windows.
TEST(FullScreen, MouseTravelOfFiveEndsItButFourDoesNot)
{
    ASSERT_TRUE(MovePointer(300, 300));
    FullScreenRun run;
    ASSERT_TRUE(run.Start());
    PumpFor(500);
    // A move message with the cursor where it was at creation ends nothing.
    PostMessageA(run.window, WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_TRUE(StillRunningAfter(&run.child, 300));
    ASSERT_TRUE(MovePointer(302, 302));
    PostMessageA(run.window, WM_MOUSEMOVE, 0, MAKELPARAM(302, 302));
    EXPECT_TRUE(StillRunningAfter(&run.child, 600)) << "a travel of 4 ended the saver";
    ASSERT_TRUE(MovePointer(302, 303));
    PostMessageA(run.window, WM_MOUSEMOVE, 0, MAKELPARAM(302, 303));
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&run.child, 10000, &code)) << "a travel of 5 did not end the saver";
    EXPECT_EQ(0u, code);
}

TEST(FullScreen, CoversTheScreenOnTopAndEndsOnAKey)
{
    FullScreenRun run;
    ASSERT_TRUE(run.Start());
    LONG_PTR style = GetWindowLongPtrA(run.window, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrA(run.window, GWL_EXSTYLE);
    EXPECT_EQ((LONG_PTR)(WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              style & (WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CHILD | WS_CAPTION));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    RECT area;
    ASSERT_TRUE(GetWindowRect(run.window, &area));
    EXPECT_EQ(0, area.left);
    EXPECT_EQ(0, area.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), area.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), area.bottom);
    EXPECT_EQ((ULONG_PTR)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC), GetClassLongPtrA(run.window, GCL_STYLE));
    PumpFor(600);
    KeepScreenshot(run.window, "fullscreen.bmp");

    // The title never changes.
    SendMessageTimeoutA(run.window, WM_SETTEXT, 0, (LPARAM) "changed", SMTO_ABORTIFHUNG, 2000, NULL);
    EXPECT_EQ("Screen Saver", WindowText(run.window));

    PostMessageA(run.window, WM_KEYDOWN, 'A', 0x001E0001);
    DWORD code = 12345;
    ASSERT_TRUE(EndsWithin(&run.child, 10000, &code));
    EXPECT_EQ(0u, code);
}

struct EndingInput {
    const char *name;
    UINT message;
    WPARAM wParam;
};

const EndingInput endingInputs[] = {
    {"key", WM_KEYDOWN, VK_SPACE},
    {"key with Alt", WM_SYSKEYDOWN, 'X'},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON},
    {"switch to another application", WM_ACTIVATEAPP, FALSE},
};

TEST(FullScreen, EndsOnPressesAndDeactivation)
{
    for (const EndingInput &input : endingInputs) {
        FullScreenRun run;
        ASSERT_TRUE(run.Start()) << input.name;
        PostMessageA(run.window, input.message, input.wParam, 0);
        DWORD code = 12345;
        EXPECT_TRUE(EndsWithin(&run.child, 10000, &code)) << input.name;
        EXPECT_EQ(0u, code) << input.name;
    }
}

TEST(FullScreen, EndsWhenAnotherWindowIsActivated)
{
    FullScreenRun run;
    ASSERT_TRUE(run.Start());
    PumpFor(300);
    HWND other = CreateFrame(200, 100);
    ASSERT_TRUE(other != NULL);
    SetForegroundWindow(other);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&run.child, 10000, &code));
    EXPECT_EQ(0u, code);
    DestroyWindow(other);
}

TEST(FullScreen, ReleasesWheelAndActivationDoNotEndIt)
{
    FullScreenRun run;
    ASSERT_TRUE(run.Start());
    const UINT harmless[] = {WM_KEYUP, WM_SYSKEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_MOUSEWHEEL};
    for (UINT message : harmless)
        PostMessageA(run.window, message, message == WM_MOUSEWHEEL ? (WHEEL_DELTA << 16) : 0, 0);
    PostMessageA(run.window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(StillRunningAfter(&run.child, 800));
    EXPECT_TRUE(IsWindow(run.window));
}

TEST(FullScreen, RefusesTaskSwitchAndScreensaveCommands)
{
    FullScreenRun run;
    ASSERT_TRUE(run.Start());
    const WPARAM refused[] = {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE};
    for (WPARAM command : refused) {
        DWORD_PTR result = 99;
        ASSERT_TRUE(SendMessageTimeoutA(run.window, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_EQ(0u, result) << std::hex << command;
    }
    EXPECT_TRUE(StillRunningAfter(&run.child, 500));
    EXPECT_EQ(1, [] {
        int count = 0;
        for (HWND w = FindWindowA(SaverClass, NULL); w != NULL; w = FindWindowExA(NULL, w, SaverClass, NULL))
            count++;
        return count;
    }()) << "a screensave command started another saver";
    // Other commands go on to the default handling: the close command ends the saver.
    PostMessageA(run.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&run.child, 10000, &code));
    EXPECT_EQ(0u, code);
}

TEST(FullScreen, SecondStartBringsTheFirstToTheFrontAndEnds)
{
    FullScreenRun running;
    ASSERT_TRUE(running.Start());
    ChildProcess second;
    ASSERT_TRUE(StartSaver("/s", &second));
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&second, 10000, &code));
    StopChild(&second);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(running.window, GetForegroundWindow());
    EXPECT_TRUE(StillRunningAfter(&running.child, 300));
    EXPECT_EQ(running.window, FindWindowA(SaverClass, "Screen Saver"));
    EXPECT_EQ(NULL, FindWindowExA(NULL, running.window, SaverClass, "Screen Saver"));
}

class PreviewRun : public ::testing::TestWithParam<const char *> {};

TEST_P(PreviewRun, ChildOfTheFrameIgnoresInputAndEndsWithIt)
{
    HWND frame = CreateFrame(152, 112);
    ASSERT_TRUE(frame != NULL);
    ChildProcess child;
    ASSERT_TRUE(StartSaver(std::string(GetParam()) + HandleText(frame), &child));
    HWND preview = WaitPreview(frame);
    ASSERT_TRUE(preview != NULL);
    PumpFor(300);   // found while CreateWindowExA was still making it visible
    EXPECT_EQ(frame, GetParent(preview));
    RECT area;
    GetClientRect(preview, &area);
    EXPECT_EQ(152, area.right);
    EXPECT_EQ(112, area.bottom);
    LONG_PTR style = GetWindowLongPtrA(preview, GWL_STYLE);
    EXPECT_EQ((LONG_PTR)(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN), style & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP));
    EXPECT_EQ(0, GetWindowLongPtrA(preview, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(NULL, FindWindowA(SaverClass, "Screen Saver"));
    RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(500);
    KeepScreenshot(frame, (std::string("preview") + (GetParam()[1] == 'l' ? "_l" : "_p") + ".bmp").c_str());

    const UINT input[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_ACTIVATEAPP};
    for (UINT message : input)
        PostMessageA(preview, message, 0, 0);
    MovePointer(500, 500);
    PostMessageA(preview, WM_MOUSEMOVE, 0, 0);
    MovePointer(10, 10);
    PostMessageA(preview, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(StillRunningAfter(&child, 800));
    EXPECT_TRUE(IsWindow(preview));

    DestroyWindow(frame);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&child, 10000, &code));
    StopChild(&child);
    EXPECT_EQ(0u, code);
}

INSTANTIATE_TEST_SUITE_P(Letters, PreviewRun, ::testing::Values("/p ", "/l ", "-P"));

TEST(Preview, PreviewAndFullScreenMayRunTogether)
{
    HWND frame = CreateFrame(100, 80);
    ChildProcess preview;
    ASSERT_TRUE(StartSaver("/p " + HandleText(frame), &preview));
    ASSERT_TRUE(WaitPreview(frame) != NULL);
    FullScreenRun run;
    EXPECT_TRUE(run.Start()) << "the preview was taken for a running full-screen saver";
    DestroyWindow(frame);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&preview, 10000, &code));
    StopChild(&preview);
}

struct RefusedLine {
    const char *name;
    std::string arguments;
};

TEST(CommandLine, RefusedLinesEndWithMinusOneAndShowNothing)
{
    HWND gone = CreateFrame(10, 10);
    std::string goneHandle = HandleText(gone);
    DestroyWindow(gone);
    const RefusedLine lines[] = {
        {"colon before the handle", "/p:508"},
        {"handle 0", "/p 0"},
        {"no handle", "/p"},
        {"handle of no window", "/p " + goneHandle},
        {"unknown letter", "/x"},
        {"tab before the letter", "/\ts"},
        {"Shift-JIS double-byte s", "/" + Sjis("ｓ")},
        {"Shift-JIS kana", "/" + Sjis("ｱ")},
        {"full-width slash", Sjis("／") + "s"},
        {"password change outside the Windows 95 family", "/a"},
    };
    for (const RefusedLine &line : lines) {
        ChildProcess child;
        ASSERT_TRUE(StartSaver(line.arguments, &child)) << line.name;
        DWORD code = 12345;
        bool ended = false;
        bool showed = ShowedAnyWindowUntilEnd(&child, 10000, &code, &ended);
        StopChild(&child);
        EXPECT_TRUE(ended) << line.name;
        EXPECT_FALSE(showed) << line.name;
        EXPECT_EQ(Invalid, code) << line.name;
    }
}

TEST(CommandLine, QuotedPathWithSpacesThenS)
{
    // A copy in a folder whose name has spaces, started by its quoted path.
    std::string folder = SuiteFolder() + "\\with spaces";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string copy = folder + "\\Tessary.scr";
    ASSERT_TRUE(CopyFileA(BuiltProgram("Tessary.scr").c_str(), copy.c_str(), FALSE));
    ChildProcess child;
    ASSERT_TRUE(StartSaver("   -s", &child, copy));
    HWND window = WaitFullScreen(child);
    EXPECT_TRUE(window != NULL);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    DWORD code = 12345;
    EXPECT_TRUE(EndsWithin(&child, 10000, &code));
    StopChild(&child);
    EXPECT_EQ(0u, code);
}

// Dialog 2003 comes with the clock's resources; until the program carries it, the dialog
// cannot be created and DialogBoxParamA's failure (-1) is the exit code.
bool ProgramHasConfigDialog()
{
    HMODULE image = LoadLibraryExA(BuiltProgram("Tessary.scr").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (image == NULL)
        return false;
    bool found = FindResourceA(image, MAKEINTRESOURCEA(2003), (LPCSTR)RT_DIALOG) != NULL;
    FreeLibrary(image);
    return found;
}

TEST(Configure, NoLetterOrCShowsTheDialog)
{
    const char *lines[] = {"", "   ", "-/ /", "/c", "/C 508", "/c:508"};
    bool hasDialog = ProgramHasConfigDialog();
    for (const char *line : lines) {
        ChildProcess child;
        ASSERT_TRUE(StartSaver(line, &child)) << line;
        DWORD code = 12345;
        if (hasDialog) {
            HWND dialog = WaitForWindow(child.pid, "#32770", NULL, 10000);
            ASSERT_TRUE(dialog != NULL) << line;
            PressDialogButton(dialog, IDCANCEL);
            EXPECT_TRUE(EndsWithin(&child, 10000, &code)) << line;
            EXPECT_EQ(1u, code) << line;
        } else {
            EXPECT_TRUE(EndsWithin(&child, 10000, &code)) << line;
            EXPECT_EQ(Invalid, code) << line << " (no dialog 2003 in this build)";
        }
        StopChild(&child);
    }
}

}  // namespace
