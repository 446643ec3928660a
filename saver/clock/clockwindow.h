// The clock inside the saver window.
#ifndef CLOCKWINDOW_H
#define CLOCKWINDOW_H

#include <windows.h>
#include <time.h>

// One complete redraw of the window: the snapshot tinted with the current palette color
// and the three lines for local, composed off screen and copied in one BitBlt.
void DrawClock(HWND window, HDC snapshot, int snapshotWidth, int snapshotHeight, const struct tm *local);

#endif
