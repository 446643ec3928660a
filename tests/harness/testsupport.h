// Helpers for the Win32 test programs that run under scripts/wine-run.sh.
#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

// Text in the ANSI code page 932 from UTF-8 source text, and back.
std::string Sjis(const char *utf8);
std::string Utf8(const std::string &sjis);

// A Unix path as the Windows side sees it (Z:\...).
std::string WinePath(const std::string &unixPath);
// An environment variable set by the harness or by CTest; empty when unset.
std::string EnvText(const char *name);
// A shipped program in the build's bin folder, as a Windows path.
std::string BuiltProgram(const char *fileName);
// A special folder of the shell (CSIDL_DESKTOP, CSIDL_PROGRAMS ...); empty when unknown.
std::string SpecialFolder(int id);
// Expands source into dest with the platform's LZ32, as SETUP does (dest deleted first);
// returns LZCopy's result: the bytes written, or a negative error.
LONG ExpandLikeSetup(const std::string &source, const std::string &dest);
// The suite's own scratch folder (Windows path, no trailing backslash).
std::string SuiteFolder();

bool ReadWholeFile(const std::string &path, std::string *bytes);
bool WriteWholeFile(const std::string &path, const std::string &bytes);
bool FileExists(const std::string &path);
// Removes a folder and everything below it; true when it is gone.
bool RemoveTree(const std::string &path);

struct ChildProcess {
    HANDLE process = NULL;
    DWORD pid = 0;
};
// Starts a command line; workDir may be empty. The caller must WaitChild or StopChild.
bool StartChild(const std::string &commandLine, const std::string &workDir, ChildProcess *child);
// Waits up to ms; true with its exit code when the process ended.
bool WaitChild(ChildProcess *child, DWORD ms, DWORD *exitCode);
// Ends the process by its handle (never by name) and closes the handle.
void StopChild(ChildProcess *child);

// A top-level window of the given process (pid 0: any) with class and title (NULL: any),
// polled until ms have passed; NULL when none came.
HWND WaitForWindow(DWORD pid, const char *className, const char *title, DWORD ms);
// The same for a visible dialog of the process, whatever its caption.
HWND WaitForVisibleDialog(DWORD pid, DWORD ms);
std::string WindowText(HWND window);
// The text of a message box (its static control 65535).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog by its id, as a click would.
void PressDialogButton(HWND dialog, int id);
// Handles messages of this thread for ms milliseconds.
void PumpFor(DWORD ms);
// Handles messages of this thread until the window is gone or ms have passed.
void WaitUntilGone(HWND window, DWORD ms = 5000);

// A message box of the given process (pid 0: any) and caption (code page 932; NULL: any),
// polled until ms have passed: a visible dialog whose static 65535 holds its text and that
// has no edit field (a page's labels may carry that id as well). NULL when none came.
HWND WaitForMessageBox(DWORD pid, const char *caption, DWORD ms);

struct AnsweredBox {
    bool came = false;
    std::string text;   // what the box showed, UTF-8
    DWORD pid = 0;      // the process that showed it
};
// A user's answer to a message box: waits up to ms for it (WaitForMessageBox), checks that it
// shows textUtf8 (NULL: any text), presses button and waits until the box has gone. A box
// that does not come, or shows another text, is a test failure that names the caller's line.
AnsweredBox AnswerMessageBox(DWORD pid, const char *caption, const char *textUtf8, int button, DWORD ms,
                             int line);

// Registry helpers for HKEY roots; values as raw bytes with their type.
bool RegWriteString(HKEY root, const char *key, const char *name, const std::string &value);
bool RegReadValue(HKEY root, const char *key, const char *name, DWORD *type, std::string *bytes);
void RegDeleteTree(HKEY root, const char *key);

// The command line another process was started with, read from its process parameters
// (the handle needs PROCESS_QUERY_INFORMATION | PROCESS_VM_READ); empty when unreadable.
// Converted to the ANSI code page.
std::string ProcessCommandLine(HANDLE process);
// Ids of the running processes whose parent is parentPid.
std::vector<DWORD> ChildProcessIds(DWORD parentPid);
// Like WaitChild, but handles this thread's messages meanwhile: a child window of another
// process needs its parent's thread to answer.
bool WaitChildPumping(ChildProcess *child, DWORD ms, DWORD *exitCode);

// The bytes of a 32-bit value, little-endian, as the registry stores a DWORD.
std::string Le32(DWORD value);

// A 24-bit copy of a rectangle of a device context, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;   // 3 bytes a pixel, rows of width * 3 (no padding)
    // CLR_INVALID outside the picture.
    COLORREF At(int x, int y) const;
    // Pixels of exactly this color in [left, right) x [top, bottom).
    int Count(COLORREF color, int left, int top, int right, int bottom) const;
    // 5 x 5 blocks wholly in the color: many inside filled strokes, none along thin lines.
    int SolidBlocks(COLORREF color) const;
};
// Empty (width 0) when the copy cannot be made.
Picture CapturePicture(HDC source, int x, int y, int width, int height);
// A rectangle of the screen as the display shows it, all processes' windows.
Picture CaptureScreen(const RECT &area);
// Writes the picture as a 24-bit .bmp file (a test artefact).
bool SavePicture(const Picture &picture, const std::string &path);
// Copies a rectangle of the screen into a 24-bit .bmp file.
bool SaveScreenBitmap(const std::string &path, const RECT &area);

// The text with its line "line\n" replaced by "replacement\n" (removed when replacement is
// empty); a failure is recorded when the line is not there.
std::string ReplaceLine(const std::string &text, const std::string &line, const std::string &replacement);

// Kernel and user time a process has used, in seconds; -1 when it cannot be read.
double ProcessCpuSeconds(HANDLE process);

#endif
