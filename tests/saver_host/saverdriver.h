// Starting Tessary.scr under Wine and driving its windows as the platform and a user would.
#ifndef SAVERDRIVER_H
#define SAVERDRIVER_H

#include <string>
#include <vector>

#include "testsupport.h"

extern const char SaverClass[];

// Starts the saver (by default the built one) with the given argument text.
bool StartSaver(const std::string &arguments, ChildProcess *child, const std::string &program = "");
// The full-screen window of the process, waited for up to 10 s.
HWND WaitFullScreen(const ChildProcess &child);
// The preview child of frame, waited for up to 10 s while this thread answers the frame.
HWND WaitPreview(HWND frame);
// True when the process ends within ms (its code in *code); messages are handled meanwhile.
bool EndsWithin(ChildProcess *child, DWORD ms, DWORD *code);
// True when the process is still running after ms of handling messages.
bool StillRunningAfter(ChildProcess *child, DWORD ms);
// Whether any window of the process became visible while it ran, watched until it ended.
bool ShowedAnyWindowUntilEnd(ChildProcess *child, DWORD ms, DWORD *code, bool *ended);
// A visible frame window of this process with the given client size, as the control panel's
// preview frame.
HWND CreateFrame(int width, int height);
// Moves the display's real pointer (Wine's SetCursorPos does not hold against the X pointer)
// and waits until the platform reports it there.
bool MovePointer(int x, int y);
// The decimal 32-bit value of a handle, as the platform writes it on a command line.
std::string HandleText(HWND window);
// Saves the rectangle of a window as a .bmp in the suite folder.
void KeepScreenshot(HWND window, const char *fileName);

// Presses and releases a key (an xdotool key name) on the display's real keyboard. The tool's
// end is not waited for: its effect is what the caller watches.
bool PressKey(const char *keyName);

#endif
