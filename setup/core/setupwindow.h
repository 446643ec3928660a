// The small centered windows of SETUP's starts (the preparation window, the uninstall
// window) and the class every SETUP window shares.
#ifndef SETUPWINDOW_H
#define SETUPWINDOW_H

#include <windows.h>

// 0.4 x 2/15 of the screen, centered: the preparation window, and the uninstall window
// before it sizes itself to its text.
void GetCenteredWindowRect(int *x, int *y, int *width, int *height);

// Registers the window class named baseName: redrawn on resize, icon "SETUP" (with its
// 16 x 16 form as small icon when smallIcon is set), arrow cursor, white background.
bool RegisterSetupClass(HINSTANCE instance, WNDPROC procedure, bool smallIcon);

// Registers the class with procedure and shows a window of it titled caption at the place
// GetCenteredWindowRect gives, with a caption bar but no system menu (the user cannot close
// it), then runs its message loop. False when the window could not be made or the loop failed.
bool RunCenteredSetupWindow(HINSTANCE instance, WNDPROC procedure);

// Paints text on one line in the middle of the window's client area, default font and colors.
void PaintCenteredLine(HWND window, const char *text);

#endif
